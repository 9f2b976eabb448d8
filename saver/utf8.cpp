#include "saver/utf8.h"

#include <cstdint>

namespace velmora {
namespace {

constexpr char32_t kReplacementCharacter = 0xFFFD;
constexpr char32_t kSurrogateFirst = 0xD800;
constexpr char32_t kLowSurrogateFirst = 0xDC00;
constexpr char32_t kSurrogateEnd = 0xE000;
constexpr char32_t kSupplementaryFirst = 0x10000;

bool IsContinuation(unsigned char byte) {
    return (byte & 0xC0) == 0x80;
}

// Length of a well-formed sequence at offset (overlong forms, surrogates and values beyond
// U+10FFFF are not well-formed), or 0.
std::size_t SequenceLength(std::string_view text, std::size_t offset) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[offset + i]); };
    const std::size_t available = text.size() - offset;
    const unsigned char lead = byte(0);
    std::size_t length = 0;
    unsigned char low = 0x80, high = 0xBF;  // allowed range of the second byte
    if (lead < 0x80) {
        return 1;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (available < length || byte(1) < low || byte(1) > high) {
        return 0;
    }
    for (std::size_t i = 2; i < length; ++i) {
        if (!IsContinuation(byte(i))) {
            return 0;
        }
    }
    return length;
}

// The code point of a well-formed sequence of `length` bytes.
char32_t DecodeSequence(std::string_view sequence) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(sequence[i]); };
    if (sequence.size() == 1) {
        return byte(0);
    }
    char32_t value = byte(0) & (0x7F >> sequence.size());
    for (std::size_t i = 1; i < sequence.size(); ++i) {
        value = value << 6 | (byte(i) & 0x3F);
    }
    return value;
}

void AppendUtf8(std::string& out, char32_t c) {
    const auto put = [&](char32_t bits) { out.push_back(static_cast<char>(bits)); };
    if (c < 0x80) {
        put(c);
    } else if (c < 0x800) {
        put(0xC0 | c >> 6);
        put(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        put(0xE0 | c >> 12);
        put(0x80 | (c >> 6 & 0x3F));
        put(0x80 | (c & 0x3F));
    } else {
        put(0xF0 | c >> 18);
        put(0x80 | (c >> 12 & 0x3F));
        put(0x80 | (c >> 6 & 0x3F));
        put(0x80 | (c & 0x3F));
    }
}

void AppendUnit(std::string& out, char32_t unit, bool big_endian) {
    const auto high = static_cast<char>(unit >> 8);
    const auto low = static_cast<char>(unit & 0xFF);
    out.push_back(big_endian ? high : low);
    out.push_back(big_endian ? low : high);
}

}  // namespace

std::size_t Utf8CharacterLength(std::string_view text, std::size_t offset) {
    if (offset >= text.size()) {
        return 0;
    }
    const std::size_t length = SequenceLength(text, offset);
    return length == 0 ? 1 : length;
}

bool IsValidUtf8(std::string_view text) {
    for (std::size_t offset = 0; offset < text.size();) {
        const std::size_t length = SequenceLength(text, offset);
        if (length == 0) {
            return false;
        }
        offset += length;
    }
    return true;
}

bool IsAscii(std::string_view text) {
    for (const char c : text) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            return false;
        }
    }
    return true;
}

std::string Utf16ToUtf8(std::string_view bytes, bool big_endian) {
    const std::size_t units = bytes.size() / 2;
    const auto unit = [&](std::size_t i) -> char32_t {
        const auto first = static_cast<unsigned char>(bytes[2 * i]);
        const auto second = static_cast<unsigned char>(bytes[2 * i + 1]);
        return big_endian ? char32_t{first} << 8 | second : char32_t{second} << 8 | first;
    };
    std::string out;
    for (std::size_t i = 0; i < units; ++i) {
        char32_t c = unit(i);
        if (c >= kSurrogateFirst && c < kSurrogateEnd) {
            const bool high = c < kLowSurrogateFirst;
            if (high && i + 1 < units && unit(i + 1) >= kLowSurrogateFirst &&
                unit(i + 1) < kSurrogateEnd) {
                c = kSupplementaryFirst + ((c - kSurrogateFirst) << 10) +
                    (unit(i + 1) - kLowSurrogateFirst);
                ++i;
            } else {
                c = kReplacementCharacter;
            }
        }
        AppendUtf8(out, c);
    }
    return out;
}

std::optional<std::string> Utf8ToUtf16(std::string_view text, bool big_endian) {
    std::string out;
    for (std::size_t offset = 0; offset < text.size();) {
        const std::size_t length = SequenceLength(text, offset);
        if (length == 0) {
            return std::nullopt;
        }
        const char32_t c = DecodeSequence(text.substr(offset, length));
        offset += length;
        if (c < kSupplementaryFirst) {
            AppendUnit(out, c, big_endian);
        } else {
            AppendUnit(out, kSurrogateFirst + ((c - kSupplementaryFirst) >> 10), big_endian);
            AppendUnit(out, kLowSurrogateFirst + ((c - kSupplementaryFirst) & 0x3FF), big_endian);
        }
    }
    return out;
}

}  // namespace velmora
