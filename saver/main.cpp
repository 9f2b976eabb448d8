#include <QApplication>

#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "saver/command_line.h"
#include "saver/entry.h"
#include "saver/host/message_box.h"
#include "saver/saver_program.h"

namespace {

// Qt would otherwise fail on its own X connection with a less helpful message.
bool NeedsXDisplay() {
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    return platform == nullptr || platform[0] == '\0' ||
           std::string_view(platform).starts_with("xcb");
}

}  // namespace

int main(int argc, char** argv) {
    // Taken before Qt sees the arguments: Qt would consume some switches as its own.
    const std::string command_line = velmora::CommandLineText(argc, argv);
    auto x11 = velmora::X11Connection::Open();
    if (x11 == nullptr && NeedsXDisplay()) {
        std::fprintf(stderr, "%s: cannot open the X display; is DISPLAY set?\n", argv[0]);
        return 1;
    }
    int qt_argc = 1;
    char* qt_argv[] = {argv[0], nullptr};
    QApplication application(qt_argc, qt_argv);
    QApplication::setApplicationName(QString::fromUtf8(
        velmora::kProgramTitle.data(), static_cast<qsizetype>(velmora::kProgramTitle.size())));
    velmora::SaverProgram program(std::move(x11), velmora::ModeLetter(command_line));
    if (velmora::Main(command_line, program) == velmora::MainResult::kEndProgram) {
        return 0;
    }
    return QApplication::exec();
}
