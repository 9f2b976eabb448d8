#include "renderer/x11_box_focus.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <chrono>
#include <set>
#include <string_view>
#include <vector>

namespace velmora {
namespace {

constexpr std::chrono::milliseconds kLookInterval{10};

// Xlib's error handler is one for the whole process. Errors on the watcher's own connection (a
// window that goes while it is looked at) are expected and ignored; others go on to the handler
// that was there.
Display* watcher_display = nullptr;
XErrorHandler outer_handler = nullptr;

extern "C" int IgnoreWatcherErrors(Display* display, XErrorEvent* event) {
    if (display == watcher_display) {
        return 0;
    }
    return outer_handler != nullptr ? outer_handler(display, event) : 0;
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

KeyboardToNewWindow::KeyboardToNewWindow(std::string title)
    : title_(std::move(title)), watcher_([this](std::stop_token stop) { Watch(stop); }) {}

KeyboardToNewWindow::~KeyboardToNewWindow() {
    watcher_.request_stop();
    watcher_.join();
}

void KeyboardToNewWindow::Watch(const std::stop_token& stop) const {
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        return;
    }
    watcher_display = display;
    outer_handler = XSetErrorHandler(IgnoreWatcherErrors);
    const auto before = TopLevelWindows(display);
    const std::set<Window> known(before.begin(), before.end());
    bool focused = false;
    while (!focused && !stop.stop_requested()) {
        std::this_thread::sleep_for(kLookInterval);
        for (const Window window : TopLevelWindows(display)) {
            if (!known.contains(window) && ShownWithTitle(display, window, title_)) {
                XSetInputFocus(display, window, RevertToParent, CurrentTime);
                focused = true;
                break;
            }
        }
    }
    XSync(display, False);
    XSetErrorHandler(outer_handler);
    watcher_display = nullptr;
    XCloseDisplay(display);
}

}  // namespace velmora
