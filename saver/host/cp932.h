#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace velmora {

// Text in the Windows Japanese code page (as ini files written on Windows hold it) converted to
// UTF-8; nothing when the bytes are not valid CP932.
std::optional<std::string> Cp932ToUtf8(std::string_view text);

}  // namespace velmora
