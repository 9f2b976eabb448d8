#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace velmora {

// Bytes taken by the character at offset: a well-formed UTF-8 sequence counts as one character,
// and so does each byte that does not start one (command lines and ini files are not always
// valid UTF-8). 0 at or past the end.
std::size_t Utf8CharacterLength(std::string_view text, std::size_t offset);

bool IsValidUtf8(std::string_view text);

bool IsAscii(std::string_view text);

// UTF-16 text, little- or big-endian as told, in UTF-8; a surrogate without its partner becomes
// U+FFFD and an odd last byte is left out.
std::string Utf16ToUtf8(std::string_view bytes, bool big_endian);

// UTF-8 text in UTF-16, little- or big-endian as told; nothing when it is not valid UTF-8.
std::optional<std::string> Utf8ToUtf16(std::string_view text, bool big_endian);

}  // namespace velmora
