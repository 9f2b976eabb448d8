#include <QApplication>

#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "common/standard_streams.h"
#include "common/window_id.h"
#include "saver/command_line.h"
#include "saver/entry.h"
#include "saver/host/message_box.h"
#include "saver/program_arguments.h"
#include "saver/saver_program.h"

namespace {

constexpr int kUsageStatus = 2;

// Qt would otherwise fail on its own X connection with a less helpful message.
bool NeedsXDisplay() {
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    return platform == nullptr || platform[0] == '\0' ||
           std::string_view(platform).starts_with("xcb");
}

}  // namespace

int main(int argc, char** argv) {
    velmora::KeepStandardStreamsOpen();
    const std::string_view program = program_invocation_short_name;
    // Read before Qt sees the arguments: Qt would consume some switches as its own.
    const velmora::ProgramRequest request = velmora::ReadProgramArguments(
        std::vector<std::string>(argv + 1, argv + argc), std::getenv("XSCREENSAVER_WINDOW"));
    switch (request.kind) {
        case velmora::ProgramRequest::Kind::kHelp:
            std::fputs(velmora::UsageText(program).c_str(), stdout);
            return 0;
        case velmora::ProgramRequest::Kind::kVersion:
            std::printf("%s %s\n", program.data(), VELMORA_VERSION);
            return 0;
        case velmora::ProgramRequest::Kind::kUsageError:
            std::fprintf(stderr, "%s: %s\n%s", program.data(), request.error.c_str(),
                         velmora::UsageText(program).c_str());
            return kUsageStatus;
        case velmora::ProgramRequest::Kind::kScreenSaverSwitch:
        case velmora::ProgramRequest::Kind::kHack:
            break;
    }
    const bool hack = request.kind == velmora::ProgramRequest::Kind::kHack;
    auto x11 = velmora::X11Connection::Open();
    if (x11 == nullptr && NeedsXDisplay()) {
        std::fprintf(stderr, "%s: cannot open the X display; is DISPLAY set?\n", program.data());
        return 1;
    }
    std::optional<velmora::X11WindowId> daemon_window;
    if (hack) {
        daemon_window = request.hack_window != 0 ? request.hack_window
                                                 : (x11 != nullptr ? x11->Root() : 0);
        if (x11 == nullptr || !x11->WindowRect(*daemon_window)) {
            std::fprintf(stderr, "%s: there is no window %s\n", program.data(),
                         velmora::WindowIdText(*daemon_window).c_str());
            return 1;
        }
    }
    int qt_argc = 1;
    char* qt_argv[] = {argv[0], nullptr};
    QApplication application(qt_argc, qt_argv);
    QApplication::setApplicationName(QString::fromUtf8(
        velmora::kProgramTitle.data(), static_cast<qsizetype>(velmora::kProgramTitle.size())));
    velmora::SaverProgram program_forms(std::move(x11), velmora::ModeLetter(request.command_line),
                                        daemon_window);
    const velmora::MainResult result = hack ? velmora::HackMain(program_forms)
                                            : velmora::Main(request.command_line, program_forms);
    if (result == velmora::MainResult::kEndProgram) {
        return 0;
    }
    return QApplication::exec();
}
