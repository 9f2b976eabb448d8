#include "tests/e2e/support/xvfb_server.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <stdexcept>

namespace velmora::test {
namespace {

// Reads the display number that Xvfb writes when it is ready for clients.
std::string ReadDisplayNumber(int fd) {
    std::string number;
    pollfd waiting{fd, POLLIN, 0};
    while (poll(&waiting, 1, 15000) == 1) {
        char c = 0;
        if (read(fd, &c, 1) != 1 || c == '\n') {
            break;
        }
        number += c;
    }
    return number;
}

}  // namespace

XvfbServer::XvfbServer(int width, int height, int screens) {
    int ends[2];
    if (pipe2(ends, O_CLOEXEC) != 0) {
        throw std::runtime_error("pipe");
    }
    // Only the write end may reach Xvfb.
    fcntl(ends[1], F_SETFD, 0);
    const std::string screen = std::to_string(width) + "x" + std::to_string(height) + "x24";
    std::vector<std::string> argv{"Xvfb",      "-displayfd", std::to_string(ends[1]),
                                  "-nolisten", "tcp",        "-noreset"};
    for (int number = 0; number < screens; ++number) {
        argv.insert(argv.end(), {"-screen", std::to_string(number), screen});
    }
    server_ = std::make_unique<ChildProcess>(argv);
    close(ends[1]);
    const std::string number = ReadDisplayNumber(ends[0]);
    close(ends[0]);
    if (number.empty()) {
        throw std::runtime_error("Xvfb did not start");
    }
    display_ = ":" + number;
}

EnvironmentChanges XvfbServer::Environment() const {
    return {{"DISPLAY", display_}, {"QT_QPA_PLATFORM", std::nullopt}, {"XAUTHORITY", std::nullopt}};
}

}  // namespace velmora::test
