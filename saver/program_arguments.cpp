#include "saver/program_arguments.h"

#include "common/window_id.h"
#include "saver/command_line.h"

namespace velmora {
namespace {

ProgramRequest UsageError(std::string error) {
    return {ProgramRequest::Kind::kUsageError, {}, 0, std::move(error)};
}

ProgramRequest Hack(unsigned long window) {
    return {ProgramRequest::Kind::kHack, {}, window, {}};
}

}  // namespace

ProgramRequest ReadProgramArguments(const std::vector<std::string>& arguments,
                                    const char* xscreensaver_window) {
    // 0 when unset or no window id.
    const unsigned long daemon_window =
        xscreensaver_window != nullptr ? ParseWindowId(xscreensaver_window).value_or(0) : 0;
    for (const std::string& argument : arguments) {
        if (argument == "--help") {
            return {ProgramRequest::Kind::kHelp, {}, 0, {}};
        }
        if (argument == "--version") {
            return {ProgramRequest::Kind::kVersion, {}, 0, {}};
        }
    }
    if (arguments.empty()) {
        return daemon_window != 0 ? Hack(daemon_window) : ProgramRequest{};
    }
    const std::string_view window_option = kWindowIdOption;
    auto is_daemon_option = [&](std::string_view argument) {
        return argument == "--root" || argument == "-root" || argument == window_option ||
               argument == window_option.substr(1);
    };
    const std::string& first = arguments.front();
    for (std::size_t index = 1; index < arguments.size(); ++index) {
        if (is_daemon_option(arguments[index])) {
            return UsageError("'" + arguments[index] + "' goes first");
        }
    }
    if (first == "--root" || first == "-root") {
        if (arguments.size() != 1) {
            return UsageError("unexpected argument '" + arguments[1] + "'");
        }
        return Hack(daemon_window);
    }
    if (is_daemon_option(first)) {
        if (arguments.size() < 2) {
            return UsageError(first + " needs a window id");
        }
        const auto window = ParseWindowId(arguments[1]);
        if (!window) {
            return UsageError("'" + arguments[1] + "' is no window id");
        }
        if (arguments.size() != 2) {
            return UsageError("unexpected argument '" + arguments[2] + "'");
        }
        return Hack(*window);
    }
    for (const std::string& argument : arguments) {
        if (argument.starts_with("--")) {
            return UsageError("unknown option '" + argument + "'");
        }
    }
    std::vector<const char*> argv{""};
    for (const std::string& argument : arguments) {
        argv.push_back(argument.c_str());
    }
    return {ProgramRequest::Kind::kScreenSaverSwitch,
            CommandLineText(static_cast<int>(argv.size()), argv.data()),
            0,
            {}};
}

std::string UsageText(std::string_view program) {
    const std::string name(program);
    return "Usage: " + name +
           " [/S | /C | /P WINDOW]\n"
           "       " +
           name +
           " --window-id WINDOW | --root\n"
           "       " +
           name +
           " --help | --version\n"
           "\n"
           "A 3D screen saver: the desktop, photographed as the saver starts, becomes a glowing\n"
           "floor under a field of stars while the camera circles it, with music.\n"
           "\n"
           "Screen-saver switches (a dash works as well as the slash, in either case):\n"
           "  /S                 run the screen saver full screen, the mouse cursor hidden;\n"
           "                     Escape ends it\n"
           "  (no argument)      the same with the mouse cursor left alone\n"
           "  /C                 open the settings, which choose the music\n"
           "  /P WINDOW          show a still preview inside that X window (decimal id)\n"
           "\n"
           "Inside a screen-saver daemon such as XScreenSaver:\n"
           "  --window-id WINDOW, -window-id WINDOW\n"
           "                     run inside that X window (id in hex 0x... or decimal)\n"
           "  --root, -root      run inside $XSCREENSAVER_WINDOW, or on the root window\n"
           "                     when it is not set\n"
           "  (no argument)      with $XSCREENSAVER_WINDOW set, run inside that window\n"
           "\n"
           "  --help             show this text\n"
           "  --version          show the version\n"
           "\n"
           "Environment:\n"
           "  VELMORA_CDROM        the CD drive or disc image (.cue/.bin, .toc, .nrg) that\n"
           "                       audio-CD music plays from instead of the default drive\n"
           "  XSCREENSAVER_WINDOW  the window a screen-saver daemon gives the program\n";
}

}  // namespace velmora
