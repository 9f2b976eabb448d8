#include "renderer/end_requests.h"

#include <X11/Xlib.h>
#include <errno.h>
#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <initializer_list>

namespace velmora {
namespace {

constexpr unsigned kSecondsToEnd = 1;

volatile sig_atomic_t end_requested = 0;

extern "C" void RequestEnd(int) {
    end_requested = 1;
    alarm(kSecondsToEnd);
}

// Xlib's own handler would print several lines and run the exit handlers, which touch the
// dead connection again.
extern "C" int EndOnLostDisplay(Display*) {
    std::fprintf(stderr, "%s: lost the connection to the X display\n",
                 program_invocation_short_name);
    _exit(1);
}

XErrorHandler outer_error_handler = nullptr;

extern "C" int EndOnLostWindow(Display* display, XErrorEvent* event) {
    if (event->error_code == BadWindow || event->error_code == BadDrawable) {
        end_requested = 1;
        return 0;
    }
    return outer_error_handler != nullptr ? outer_error_handler(display, event) : 0;
}

}  // namespace

void EndWhenTheWindowIsLost() {
    outer_error_handler = XSetErrorHandler(EndOnLostWindow);
}

void InstallEndRequests() {
    struct sigaction action {};
    action.sa_handler = RequestEnd;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
    // Whoever started us may have left these ignored or blocked.
    signal(SIGALRM, SIG_DFL);
    sigset_t used;
    sigemptyset(&used);
    for (const int signal_number : {SIGTERM, SIGINT, SIGALRM}) {
        sigaddset(&used, signal_number);
    }
    sigprocmask(SIG_UNBLOCK, &used, nullptr);
    XSetIOErrorHandler(EndOnLostDisplay);
}

bool EndRequested() {
    return end_requested != 0;
}

}  // namespace velmora
