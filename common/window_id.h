#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace velmora {

// The option that puts a program inside a window given by id.
inline constexpr const char* kWindowIdOption = "--window-id";

// An X window id as screen-saver daemons write it: hexadecimal with "0x" (or "0X"), or decimal;
// nothing for any other text, 0, or a number beyond the 29 bits X gives resource ids.
std::optional<unsigned long> ParseWindowId(std::string_view text);

// "0x" and the id in hexadecimal, as passed on to the renderer.
std::string WindowIdText(unsigned long window);

// The desktop picture of a session inside a daemon's window. Each window (one per monitor) has
// its own, since each shows the part of the desktop under it.
std::string WindowDesktopPictureName(unsigned long window);

}  // namespace velmora
