#pragma once

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace velmora {

struct MciWords {
    std::int32_t code = 0;  // an MCI error code when the command cannot be split
    std::vector<std::string> words;
};

// Splits a command string at blanks. A word in double quotes may hold blanks and loses its
// quotes; it must be closed and followed by a blank or the end.
MciWords SplitMciCommand(std::string_view command);

// An unsigned decimal number that fits 32 bits; nothing for any other text.
std::optional<std::int32_t> ParseMciInteger(std::string_view text);

// The words after the device name, taken from front to back.
class MciArguments {
  public:
    explicit MciArguments(std::span<const std::string> words) : words_(words) {}

    bool empty() const noexcept { return next_ == words_.size(); }

    // Takes the next words when they are these keywords.
    bool Take(std::initializer_list<std::string_view> keywords);

    // Takes the next word, whatever it is.
    std::optional<std::string> TakeValue();

  private:
    std::span<const std::string> words_;
    std::size_t next_ = 0;
};

}  // namespace velmora
