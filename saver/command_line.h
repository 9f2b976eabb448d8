#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace velmora {

// The arguments after the program name joined with single spaces: the command line text that
// a screen-saver host passes ("/S", "/C", "/P 12345"...).
std::string CommandLineText(int argc, const char* const* argv);

// The second character of the upper-cased command line ("/s", "-S" and "/S:123" all give "S"),
// as UTF-8; empty when the command line has fewer than two characters.
std::string ModeLetter(std::string_view command_line);

// The window id of "/P <id>" or "/P:<id>": the decimal number at the start of the text from the
// fourth character on, blanks ignored; 0 when there is no number or it does not fit 32 bits.
std::int32_t PreviewHandle(std::string_view command_line);

}  // namespace velmora
