#include "saver/host/mci/mci_words.h"

#include <charconv>

#include "saver/host/mci/mci_errors.h"

namespace velmora {
namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

char LowerAsciiChar(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

}  // namespace

MciWords SplitMciCommand(std::string_view command) {
    MciWords result;
    std::size_t at = 0;
    while (true) {
        while (at < command.size() && IsBlank(command[at])) {
            ++at;
        }
        if (at == command.size()) {
            return result;
        }
        if (command[at] == '"') {
            const std::size_t close = command.find('"', at + 1);
            if (close == std::string_view::npos) {
                return {mci_error::kNoClosingQuote, {}};
            }
            if (close + 1 < command.size() && !IsBlank(command[close + 1])) {
                return {mci_error::kExtraCharacters, {}};
            }
            result.words.emplace_back(command.substr(at + 1, close - at - 1));
            at = close + 1;
            continue;
        }
        std::size_t end = at;
        while (end < command.size() && !IsBlank(command[end])) {
            ++end;
        }
        result.words.emplace_back(command.substr(at, end - at));
        at = end;
    }
}

bool SameWord(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (LowerAsciiChar(a[i]) != LowerAsciiChar(b[i])) {
            return false;
        }
    }
    return true;
}

std::string LowerAscii(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) {
        c = LowerAsciiChar(c);
    }
    return lower;
}

std::optional<std::int32_t> ParseMciInteger(std::string_view text) {
    if (text.empty() || text.front() < '0' || text.front() > '9') {
        return std::nullopt;
    }
    std::int32_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

bool MciArguments::Take(std::initializer_list<std::string_view> keywords) {
    if (words_.size() - next_ < keywords.size()) {
        return false;
    }
    std::size_t at = next_;
    for (const std::string_view keyword : keywords) {
        if (!SameWord(words_[at++], keyword)) {
            return false;
        }
    }
    next_ = at;
    return true;
}

std::optional<std::string> MciArguments::TakeValue() {
    if (empty()) {
        return std::nullopt;
    }
    return words_[next_++];
}

}  // namespace velmora
