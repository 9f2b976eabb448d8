#include "saver/host/x11_connection.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/Xfixes.h>

#include <algorithm>
#include <string>
#include <vector>

#include "saver/host/screen_capture.h"

namespace velmora {
namespace {

// Xlib reports errors through one process-wide handler, whose default ends the process; while a
// trap is alive, errors on its connection are ignored (the calls' results already say "not
// there"), and errors on other connections go to the handler that was there.
class ErrorTrap {
  public:
    explicit ErrorTrap(Display* display) : display_(display) {
        XSync(display_, False);
        outer_ = active_;
        active_ = this;
        previous_handler_ = XSetErrorHandler(&ErrorTrap::Handle);
    }
    ErrorTrap(const ErrorTrap&) = delete;
    ErrorTrap& operator=(const ErrorTrap&) = delete;
    ~ErrorTrap() {
        XSync(display_, False);
        XSetErrorHandler(previous_handler_);
        active_ = outer_;
    }

  private:
    static int Handle(Display* display, XErrorEvent* event) {
        if (active_ != nullptr && display == active_->display_) {
            return 0;
        }
        return active_ != nullptr && active_->previous_handler_ != nullptr
                   ? active_->previous_handler_(display, event)
                   : 0;
    }

    static inline ErrorTrap* active_ = nullptr;
    Display* display_;
    ErrorTrap* outer_ = nullptr;
    XErrorHandler previous_handler_ = nullptr;
};

std::optional<std::string> TextProperty(Display* display, Window window, Atom property) {
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    // Titles longer than 64 KiB cannot match the short titles looked for.
    if (XGetWindowProperty(display, window, property, 0, 16384, False, AnyPropertyType, &type,
                           &format, &count, &after, &data) != Success) {
        return std::nullopt;
    }
    std::optional<std::string> text;
    if (data != nullptr && type != None && format == 8) {
        text.emplace(reinterpret_cast<const char*>(data), count);
    }
    if (data != nullptr) {
        XFree(data);
    }
    return text;
}

std::vector<Window> Children(Display* display, Window window) {
    Window root = 0, parent = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    if (XQueryTree(display, window, &root, &parent, &children, &count) == 0) {
        return {};
    }
    std::vector<Window> list(children, children + count);
    if (children != nullptr) {
        XFree(children);
    }
    return list;
}

// The pixmap a screen-saver daemon stored on its window: a picture of the whole screen.
Pixmap DaemonScreenshot(Display* display, Window window) {
    const Atom property = XInternAtom(display, "_SCREENSAVER_SCREENSHOT", False);
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    Pixmap pixmap = None;
    if (XGetWindowProperty(display, window, property, 0, 1, False, XA_PIXMAP, &type, &format,
                           &count, &after, &data) == Success &&
        type == XA_PIXMAP && format == 32 && count == 1 && data != nullptr) {
        pixmap = static_cast<Pixmap>(*reinterpret_cast<const unsigned long*>(data));
    }
    if (data != nullptr) {
        XFree(data);
    }
    return pixmap;
}

}  // namespace

std::unique_ptr<X11Connection> X11Connection::Open() {
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        return nullptr;
    }
    return std::unique_ptr<X11Connection>(new X11Connection(display));
}

X11Connection::~X11Connection() {
    XCloseDisplay(display_);
}

bool X11Connection::WindowTitledExists(std::string_view title) const {
    const ErrorTrap trap(display_);
    const Atom net_wm_name = XInternAtom(display_, "_NET_WM_NAME", False);
    std::vector<Window> pending{DefaultRootWindow(display_)};
    while (!pending.empty()) {
        const Window window = pending.back();
        pending.pop_back();
        auto name = TextProperty(display_, window, net_wm_name);
        if (!name) {
            name = TextProperty(display_, window, XA_WM_NAME);
        }
        if (name && *name == title) {
            return true;
        }
        for (Window child : Children(display_, window)) {
            pending.push_back(child);
        }
    }
    return false;
}

std::optional<ScreenRect> X11Connection::WindowRect(X11WindowId window) const {
    const ErrorTrap trap(display_);
    XWindowAttributes attributes{};
    if (window == 0 || XGetWindowAttributes(display_, window, &attributes) == 0) {
        return std::nullopt;
    }
    int left = 0, top = 0;
    Window child = 0;
    if (!XTranslateCoordinates(display_, window, attributes.root, 0, 0, &left, &top, &child)) {
        return std::nullopt;
    }
    return ScreenRect{left, top, left + attributes.width, top + attributes.height};
}

void X11Connection::HideCursor() const {
    XFixesHideCursor(display_, DefaultRootWindow(display_));
    XFlush(display_);
}

void X11Connection::ShowCursor() const {
    XFixesShowCursor(display_, DefaultRootWindow(display_));
    XFlush(display_);
}

std::optional<std::vector<std::uint8_t>> X11Connection::DesktopUnder(X11WindowId window) const {
    const ErrorTrap trap(display_);
    XWindowAttributes attributes{};
    int left = 0, top = 0;
    Window child = 0;
    if (XGetWindowAttributes(display_, window, &attributes) == 0 ||
        !XTranslateCoordinates(display_, window, attributes.root, 0, 0, &left, &top, &child)) {
        return std::nullopt;
    }
    // The part of the window that lies on the picture, screenshot or screen alike.
    auto area_of = [&](Drawable drawable) -> std::optional<std::vector<std::uint8_t>> {
        Window root = 0;
        int x = 0, y = 0;
        unsigned width = 0, height = 0, border = 0, depth = 0;
        if (XGetGeometry(display_, drawable, &root, &x, &y, &width, &height, &border, &depth) ==
            0) {
            return std::nullopt;
        }
        const int from_x = std::max(left, 0);
        const int from_y = std::max(top, 0);
        const int to_x = std::min(left + attributes.width, static_cast<int>(width));
        const int to_y = std::min(top + attributes.height, static_cast<int>(height));
        return velmora::CaptureMirroredBmp(display_, drawable, {from_x, from_y, to_x, to_y});
    };
    if (const Pixmap screenshot = DaemonScreenshot(display_, window); screenshot != None) {
        if (auto picture = area_of(screenshot)) {
            return picture;
        }
    }
    return area_of(attributes.root);
}

X11WindowId X11Connection::Root() const {
    return DefaultRootWindow(display_);
}

bool X11Connection::IsRootWindow(X11WindowId window) const {
    for (int screen = 0; screen < ScreenCount(display_); ++screen) {
        if (RootWindow(display_, screen) == window) {
            return true;
        }
    }
    return false;
}

bool X11Connection::ClaimSelection(const std::string& name) {
    const ErrorTrap trap(display_);
    if (selection_owner_ == 0) {
        XSetWindowAttributes attributes{};
        selection_owner_ = XCreateWindow(display_, DefaultRootWindow(display_), -1, -1, 1, 1, 0, 0,
                                         InputOnly, CopyFromParent, 0, &attributes);
    }
    const Atom selection = XInternAtom(display_, name.c_str(), False);
    // Without the grab two starts could both find the selection free and both take it.
    XGrabServer(display_);
    const bool free = XGetSelectionOwner(display_, selection) == None;
    if (free) {
        XSetSelectionOwner(display_, selection, selection_owner_, CurrentTime);
    }
    XUngrabServer(display_);
    return free && XGetSelectionOwner(display_, selection) == selection_owner_;
}

std::optional<std::vector<std::uint8_t>> X11Connection::CaptureMirroredBmp(
    X11WindowId drawable, const ScreenRect& area) const {
    const ErrorTrap trap(display_);
    return velmora::CaptureMirroredBmp(display_, drawable, area);
}

}  // namespace velmora
