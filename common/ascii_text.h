#pragma once

#include <string>
#include <string_view>

namespace velmora {

// The text rules of the system's own formats (ini files, media command strings, stored
// properties): only ASCII letters have a case, whatever the locale, and blanks are spaces and
// tabs.

inline bool IsAsciiBlank(char c) {
    return c == ' ' || c == '\t';
}

inline char LowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
}

inline char UpperAscii(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c;
}

inline std::string LowerAscii(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) {
        c = LowerAscii(c);
    }
    return lower;
}

inline std::string UpperAscii(std::string_view text) {
    std::string upper(text);
    for (char& c : upper) {
        c = UpperAscii(c);
    }
    return upper;
}

inline bool SameAsciiWord(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (LowerAscii(a[i]) != LowerAscii(b[i])) {
            return false;
        }
    }
    return true;
}

inline std::string_view TrimAsciiBlanks(std::string_view text) {
    while (!text.empty() && IsAsciiBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsAsciiBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

}  // namespace velmora
