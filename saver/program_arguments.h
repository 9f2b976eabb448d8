#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace velmora {

// What the program was asked to do, before any display is opened.
struct ProgramRequest {
    enum class Kind {
        kScreenSaverSwitch,  // "/S", "/C", "/P <id>", nothing...: the command line text rules
        kHelp,
        kVersion,
        kHack,        // inside a screen-saver daemon's window
        kUsageError,  // with what was wrong
    };
    Kind kind = Kind::kScreenSaverSwitch;
    std::string command_line;       // kScreenSaverSwitch: the arguments joined with blanks
    unsigned long hack_window = 0;  // kHack: the window; 0 for the root window
    std::string error;              // kUsageError
};

// Reads the arguments after the program name. The daemon options ("--window-id ID",
// "-window-id ID", "--root", "-root"), "--help" and "--version" are taken first; any other
// argument that starts with "--" is an error. Without any argument, a valid
// $XSCREENSAVER_WINDOW (given here, or null) asks for the daemon mode; "--root" goes into that
// window too when it is set, else onto the root window.
ProgramRequest ReadProgramArguments(const std::vector<std::string>& arguments,
                                    const char* xscreensaver_window);

// The text of --help.
std::string UsageText(std::string_view program);

}  // namespace velmora
