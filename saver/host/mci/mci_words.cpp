#include "saver/host/mci/mci_words.h"

#include <charconv>

#include "common/ascii_text.h"
#include "saver/host/mci/mci_errors.h"

namespace velmora {
namespace {}  // namespace

MciWords SplitMciCommand(std::string_view command) {
    MciWords result;
    std::size_t at = 0;
    while (true) {
        while (at < command.size() && IsAsciiBlank(command[at])) {
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
            if (close + 1 < command.size() && !IsAsciiBlank(command[close + 1])) {
                return {mci_error::kExtraCharacters, {}};
            }
            result.words.emplace_back(command.substr(at + 1, close - at - 1));
            at = close + 1;
            continue;
        }
        std::size_t end = at;
        while (end < command.size() && !IsAsciiBlank(command[end])) {
            ++end;
        }
        result.words.emplace_back(command.substr(at, end - at));
        at = end;
    }
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
        if (!SameAsciiWord(words_[at++], keyword)) {
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
