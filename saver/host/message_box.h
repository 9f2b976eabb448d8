#pragma once

#include <string_view>

namespace velmora {

// The program's title, as message boxes show it.
inline constexpr std::string_view kProgramTitle = "ヴェルモラ";

// A modal message box with the program's title, no icon and an OK button only; returns when it
// has been closed.
void ShowMessageBox(std::string_view text);

}  // namespace velmora
