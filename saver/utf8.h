#pragma once

#include <cstddef>
#include <string_view>

namespace velmora {

// Bytes taken by the character at offset: a well-formed UTF-8 sequence counts as one character,
// and so does each byte that does not start one (command lines and ini files are not always
// valid UTF-8). 0 at or past the end.
std::size_t Utf8CharacterLength(std::string_view text, std::size_t offset);

bool IsValidUtf8(std::string_view text);

}  // namespace velmora
