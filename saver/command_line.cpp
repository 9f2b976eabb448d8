#include "saver/command_line.h"

#include <limits>

#include "common/ascii_text.h"
#include "saver/utf8.h"

namespace velmora {

std::string CommandLineText(int argc, const char* const* argv) {
    std::string text;
    for (int i = 1; i < argc; ++i) {
        if (i > 1) {
            text += ' ';
        }
        text += argv[i];
    }
    return text;
}

std::string ModeLetter(std::string_view command_line) {
    const std::size_t first = Utf8CharacterLength(command_line, 0);
    if (first >= command_line.size()) {
        return {};
    }
    return UpperAscii(command_line.substr(first, Utf8CharacterLength(command_line, first)));
}

std::int32_t PreviewHandle(std::string_view command_line) {
    std::size_t position = 0;
    for (int skipped = 0; skipped < 3 && position < command_line.size(); ++skipped) {
        position += Utf8CharacterLength(command_line, position);
    }
    auto skip_blanks = [&] {
        while (position < command_line.size() && IsAsciiBlank(command_line[position])) {
            ++position;
        }
    };
    skip_blanks();
    bool negative = false;
    if (position < command_line.size() &&
        (command_line[position] == '-' || command_line[position] == '+')) {
        negative = command_line[position] == '-';
        ++position;
    }
    // The magnitude may reach 2^31 only for a negative number.
    const std::int64_t limit =
        std::int64_t{std::numeric_limits<std::int32_t>::max()} + (negative ? 1 : 0);
    std::int64_t magnitude = 0;
    for (skip_blanks(); position < command_line.size(); skip_blanks()) {
        const char c = command_line[position];
        if (c < '0' || c > '9') {
            break;
        }
        magnitude = magnitude * 10 + (c - '0');
        if (magnitude > limit) {
            return 0;
        }
        ++position;
    }
    return static_cast<std::int32_t>(negative ? -magnitude : magnitude);
}

}  // namespace velmora
