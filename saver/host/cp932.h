#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace velmora {

// Text in the Windows Japanese code page (as ini files written on Windows hold it) converted to
// UTF-8; nothing when the bytes are not valid CP932.
std::optional<std::string> Cp932ToUtf8(std::string_view text);

// UTF-8 text in CP932; nothing when it is not valid UTF-8 or holds a character that CP932 does
// not give back as itself (a few, such as the yen sign, only map onto another character).
std::optional<std::string> Utf8ToCp932(std::string_view text);

}  // namespace velmora
