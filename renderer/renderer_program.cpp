#include "renderer/renderer_program.h"

#include <cerrno>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

#include "common/renderer_window.h"
#include "common/window_id.h"
#include "renderer/end_requests.h"
#include "renderer/glx_host_window.h"
#include "renderer/picture_files.h"
#include "renderer/sdl_message_box_reporter.h"
#include "renderer/sdl_render_window.h"

namespace velmora {
namespace {

constexpr int kRequestedWidth = 1024;
constexpr int kRequestedHeight = 768;
constexpr int kRequestedBits = 32;
constexpr int kUsageStatus = 2;

// Inside a daemon's window nobody could answer a box (the daemon holds the keyboard): the
// loader's messages go to stderr, one line each.
class StderrReporter final : public ErrorReporter {
  public:
    void ShowError(const std::string& message) override {
        std::string_view line = message;
        while (line.ends_with('\n')) {
            line.remove_suffix(1);
        }
        std::fprintf(stderr, "%s: %.*s\n", program_invocation_short_name,
                     static_cast<int>(line.size()), line.data());
    }
};

int CannotShow(const std::string& why) {
    std::fprintf(stderr, "%s: cannot show anything: %s\n", program_invocation_short_name,
                 why.c_str());
    return 1;
}

int RunInHost(unsigned long host_window) {
    StderrReporter reporter;
    UseDesktopPictureOfWindow(host_window);
    GlxHostWindow window(reporter);
    if (!window.Open(kRendererWindowTitle, host_window)) {
        return window.error() ? CannotShow(*window.error()) : 0;
    }
    window.scene().scene_build();
    RunMainLoop(window);
    window.Close();
    return 0;
}

int RunFullScreen() {
    SdlMessageBoxReporter reporter;
    SdlRenderWindow window(reporter);
    if (!window.render_window_open(kRendererWindowTitle, kRequestedWidth, kRequestedHeight,
                                   kRequestedBits, true)) {
        return window.display_error() ? CannotShow(*window.display_error()) : 0;
    }
    window.scene().scene_build();
    RunMainLoop(window);
    window.render_window_close();
    return 0;
}

}  // namespace

int RunRenderer(int argc, const char* const* argv) {
    std::optional<unsigned long> host_window;
    if (argc == 3 && std::string_view(argv[1]) == kWindowIdOption) {
        host_window = ParseWindowId(argv[2]);
    }
    if (argc != 1 && !host_window) {
        std::fprintf(stderr, "usage: %s [%s WINDOW]\n", program_invocation_short_name,
                     kWindowIdOption);
        return kUsageStatus;
    }
    InstallEndRequests();
    return host_window ? RunInHost(*host_window) : RunFullScreen();
}

}  // namespace velmora
