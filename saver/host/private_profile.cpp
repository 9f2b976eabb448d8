#include "saver/host/private_profile.h"

#include <sys/stat.h>

#include <vector>

#include "common/ascii_text.h"
#include "common/byte_cursor.h"
#include "common/file_bytes.h"
#include "common/replace_file.h"
#include "saver/host/cp932.h"
#include "saver/utf8.h"

namespace velmora {
namespace {

constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

struct Line {
    std::string text;    // decoded, without its line ending
    std::string ending;  // "\r\n", "\n", or for the last line "\r" or ""
};

struct Profile {
    std::string prefix;  // a byte-order mark, kept as found
    std::vector<Line> lines;
};

std::string Decode(std::string_view raw) {
    if (IsValidUtf8(raw)) {
        return std::string(raw);
    }
    if (auto converted = Cp932ToUtf8(raw)) {
        return *converted;
    }
    return std::string(raw);
}

Profile Parse(std::string_view content) {
    Profile profile;
    if (content.starts_with(kUtf8ByteOrderMark)) {
        profile.prefix = kUtf8ByteOrderMark;
        content.remove_prefix(kUtf8ByteOrderMark.size());
    }
    ByteCursor cursor(
        std::span(reinterpret_cast<const std::uint8_t*>(content.data()), content.size()));
    while (!cursor.at_end()) {
        const auto start = cursor.position();
        const auto bytes = cursor.take_line();
        std::string_view raw(content.data() + start, bytes.size());
        const bool had_newline = cursor.position() > start + bytes.size();
        Line line;
        // A last line may end in a carriage return without its line feed.
        if (raw.ends_with('\r')) {
            raw.remove_suffix(1);
            line.ending = "\r";
        }
        if (had_newline) {
            line.ending += "\n";
        }
        line.text = Decode(raw);
        profile.lines.push_back(std::move(line));
    }
    return profile;
}

// The name of a section header line, or nothing for any other line.
std::optional<std::string_view> SectionName(std::string_view text) {
    text = TrimAsciiBlanks(text);
    if (!text.starts_with('[')) {
        return std::nullopt;
    }
    text.remove_prefix(1);
    if (const auto close = text.rfind(']'); close != std::string_view::npos) {
        text = text.substr(0, close);
    }
    return TrimAsciiBlanks(text);
}

struct KeyLine {
    std::string_view key;
    std::string_view value;
};

std::optional<KeyLine> ParseKeyLine(std::string_view text) {
    text = TrimAsciiBlanks(text);
    if (text.empty() || text.starts_with('[')) {
        return std::nullopt;
    }
    const auto equals = text.find('=');
    if (equals == std::string_view::npos) {
        return KeyLine{text, {}};
    }
    std::string_view value = TrimAsciiBlanks(text.substr(equals + 1));
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        value = value.substr(1, value.size() - 2);
    }
    return KeyLine{TrimAsciiBlanks(text.substr(0, equals)), value};
}

struct Location {
    std::optional<std::size_t> section;  // index of the header line
    std::optional<std::size_t> key;      // index of the key line
    std::size_t section_end = 0;         // one past the section's last non-blank line
};

Location Locate(const Profile& profile, std::string_view section, std::string_view key) {
    Location location;
    const auto& lines = profile.lines;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const auto name = SectionName(lines[i].text);
        if (name && SameAsciiWord(*name, section)) {
            location.section = i;
            break;
        }
    }
    if (!location.section) {
        return location;
    }
    location.section_end = *location.section + 1;
    for (std::size_t i = *location.section + 1; i < lines.size() && !SectionName(lines[i].text);
         ++i) {
        if (!TrimAsciiBlanks(lines[i].text).empty()) {
            location.section_end = i + 1;
        }
        const auto entry = ParseKeyLine(lines[i].text);
        if (!location.key && entry && SameAsciiWord(entry->key, key)) {
            location.key = i;
        }
    }
    return location;
}

std::string LineEndingOf(const Profile& profile) {
    for (const auto& line : profile.lines) {
        if (line.ending.ends_with('\n')) {
            return line.ending;
        }
    }
    return "\n";
}

bool HasLineBreakOrNul(std::string_view text) {
    return text.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

}  // namespace

std::optional<std::string> FindProfileValue(std::string_view content, std::string_view section,
                                            std::string_view key) {
    const Profile profile = Parse(content);
    const Location location = Locate(profile, section, key);
    if (!location.key) {
        return std::nullopt;
    }
    return std::string(ParseKeyLine(profile.lines[*location.key].text)->value);
}

std::string SetProfileValue(std::string_view content, std::string_view section,
                            std::string_view key, std::string_view value) {
    Profile profile = Parse(content);
    const std::string ending = LineEndingOf(profile);
    const Location location = Locate(profile, section, key);
    const std::string entry = std::string(key) + "=" + std::string(value);
    auto& lines = profile.lines;
    // A line that gets a successor needs an ending of its own.
    auto end_line = [&](std::size_t index) {
        if (lines[index].ending.empty()) {
            lines[index].ending = ending;
        } else if (lines[index].ending == "\r") {
            lines[index].ending = "\r\n";
        }
    };
    if (location.key) {
        lines[*location.key].text = entry;
    } else if (location.section) {
        end_line(location.section_end - 1);
        lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(location.section_end),
                     Line{entry, ending});
    } else {
        if (!lines.empty()) {
            end_line(lines.size() - 1);
        }
        lines.push_back(Line{"[" + std::string(section) + "]", ending});
        lines.push_back(Line{entry, ending});
    }
    std::string result = profile.prefix;
    for (const auto& line : lines) {
        result += line.text;
        result += line.ending;
    }
    return result;
}

std::string ReadProfileString(const std::filesystem::path& file, std::string_view section,
                              std::string_view key, std::string_view fallback,
                              std::size_t buffer_size) {
    const FileBytes read = ReadFileBytes(file, kProfileMaxFileBytes);
    std::optional<std::string> value;
    if (read.status == FileBytes::Status::kRead) {
        value = FindProfileValue(
            std::string_view(reinterpret_cast<const char*>(read.bytes.data()), read.bytes.size()),
            section, key);
    }
    std::string result = value ? std::move(*value) : std::string(fallback);
    if (buffer_size == 0) {
        return {};
    }
    if (result.size() > buffer_size - 1) {
        result.resize(buffer_size - 1);
    }
    return result;
}

bool WriteProfileString(const std::filesystem::path& file, std::string_view section,
                        std::string_view key, std::string_view value) {
    if (HasLineBreakOrNul(section) || HasLineBreakOrNul(key) || HasLineBreakOrNul(value) ||
        section.find(']') != std::string_view::npos || key.find('=') != std::string_view::npos) {
        return false;
    }
    std::error_code error;
    std::filesystem::path target = std::filesystem::canonical(file, error);
    std::string content;
    std::optional<mode_t> mode;
    if (error) {
        if (error != std::errc::no_such_file_or_directory) {
            return false;
        }
        target = file;
    } else {
        const FileBytes read = ReadFileBytes(target, kProfileMaxFileBytes);
        struct stat info {};
        if (read.status != FileBytes::Status::kRead || stat(target.c_str(), &info) != 0) {
            return false;
        }
        content.assign(read.bytes.begin(), read.bytes.end());
        mode = info.st_mode & 07777;
    }
    return ReplaceFile(target, SetProfileValue(content, section, key, value), mode);
}

}  // namespace velmora
