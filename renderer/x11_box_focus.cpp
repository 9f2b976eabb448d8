#include "renderer/x11_box_focus.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <set>
#include <string_view>
#include <thread>
#include <vector>

namespace velmora {
namespace {

constexpr std::chrono::milliseconds kLookInterval{10};

// Errors on the watcher's connection (a window that goes while it is looked at) are expected.
extern "C" int IgnoreErrors(Display*, XErrorEvent*) {
    return 0;
}

std::vector<Window> Children(Display* display, Window parent) {
    Window root = 0, grandparent = 0;
    Window* children = nullptr;
    unsigned count = 0;
    if (XQueryTree(display, parent, &root, &grandparent, &children, &count) == 0) {
        return {};
    }
    std::vector<Window> list(children, children + count);
    if (children != nullptr) {
        XFree(children);
    }
    return list;
}

// Top-level windows and, inside a window manager's frames, the windows they hold.
std::vector<Window> TopLevelWindows(Display* display) {
    std::vector<Window> windows;
    for (const Window top : Children(display, DefaultRootWindow(display))) {
        windows.push_back(top);
        const auto framed = Children(display, top);
        windows.insert(windows.end(), framed.begin(), framed.end());
    }
    return windows;
}

bool ShownWithTitle(Display* display, Window window, const std::string& title) {
    XWindowAttributes attributes{};
    if (XGetWindowAttributes(display, window, &attributes) == 0 ||
        attributes.map_state != IsViewable) {
        return false;
    }
    // Any encoding: SDL writes the title as UTF-8, which XFetchName would not return.
    XTextProperty name{};
    if (XGetWMName(display, window, &name) == 0 || name.value == nullptr) {
        return false;
    }
    const bool match =
        name.format == 8 &&
        std::string_view(reinterpret_cast<const char*>(name.value), name.nitems) == title;
    XFree(name.value);
    return match;
}

}  // namespace

KeyboardToNewWindow::KeyboardToNewWindow(const std::string& title) {
    // The windows there are now, before the box can exist.
    std::set<Window> known;
    if (Display* display = XOpenDisplay(nullptr)) {
        const auto windows = TopLevelWindows(display);
        known.insert(windows.begin(), windows.end());
        XCloseDisplay(display);
    } else {
        return;
    }
    const pid_t parent = getpid();
    watcher_ = fork();
    if (watcher_ == 0) {
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (getppid() == parent) {
            Watch(known, title);
        }
        _exit(0);
    }
}

KeyboardToNewWindow::~KeyboardToNewWindow() {
    if (watcher_ > 0) {
        kill(watcher_, SIGKILL);
        waitpid(watcher_, nullptr, 0);
    }
}

void KeyboardToNewWindow::Watch(const std::set<unsigned long>& known, const std::string& title) {
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        return;
    }
    XSetErrorHandler(IgnoreErrors);
    while (true) {
        std::this_thread::sleep_for(kLookInterval);
        for (const Window window : TopLevelWindows(display)) {
            if (!known.contains(window) && ShownWithTitle(display, window, title)) {
                XSetInputFocus(display, window, RevertToParent, CurrentTime);
                XSync(display, False);
                return;
            }
        }
    }
}

}  // namespace velmora
