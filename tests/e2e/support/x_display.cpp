#include "tests/e2e/support/x_display.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xfixes.h>

#include <cstdlib>
#include <cstring>
#include <functional>
#include <stdexcept>

#include "tests/support/child_process.h"

namespace velmora::test {
namespace {

int IgnoreXError(Display*, XErrorEvent*) {
    return 0;
}

std::optional<std::string> TextProperty(Display* display, Window window, Atom property, Atom type) {
    Atom actual_type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(display, window, property, 0, 4096, False, type, &actual_type, &format,
                           &count, &after, &data) != Success ||
        data == nullptr) {
        return std::nullopt;
    }
    std::string text(reinterpret_cast<char*>(data), count);
    XFree(data);
    if (actual_type == None || format != 8) {
        return std::nullopt;
    }
    return text;
}

void Walk(Display* display, Window window, const std::function<void(Window)>& visit) {
    visit(window);
    Window root = 0, parent = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    if (XQueryTree(display, window, &root, &parent, &children, &count) == 0) {
        return;
    }
    const std::vector<Window> list(children, children + count);
    if (children != nullptr) {
        XFree(children);
    }
    for (Window child : list) {
        Walk(display, child, visit);
    }
}

Screenshot ImageOf(Display* display, Window window, int width, int height, int left = 0,
                   int top = 0) {
    Screenshot shot;
    XImage* image = XGetImage(display, window, left, top, static_cast<unsigned>(width),
                              static_cast<unsigned>(height), AllPlanes, ZPixmap);
    if (image == nullptr) {
        return shot;
    }
    shot.width = width;
    shot.height = height;
    shot.pixels.reserve(static_cast<std::size_t>(width * height));
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const unsigned long pixel = XGetPixel(image, x, y);
            shot.pixels.push_back({static_cast<std::uint8_t>((pixel >> 16) & 0xFF),
                                   static_cast<std::uint8_t>((pixel >> 8) & 0xFF),
                                   static_cast<std::uint8_t>(pixel & 0xFF)});
        }
    }
    XDestroyImage(image);
    return shot;
}

}  // namespace

XDisplay::XDisplay(const std::string& name) {
    display_ = XOpenDisplay(name.c_str());
    if (display_ == nullptr) {
        throw std::runtime_error("cannot open display " + name);
    }
    XSetErrorHandler(IgnoreXError);
}

XDisplay::~XDisplay() {
    XCloseDisplay(display_);
}

WindowId XDisplay::Root() const {
    return DefaultRootWindow(display_);
}

std::vector<WindowId> XDisplay::WindowsTitled(const std::string& title) const {
    const Atom net_name = XInternAtom(display_, "_NET_WM_NAME", False);
    const Atom utf8 = XInternAtom(display_, "UTF8_STRING", False);
    std::vector<WindowId> found;
    Walk(display_, Root(), [&](Window window) {
        auto name = TextProperty(display_, window, net_name, utf8);
        if (!name) {
            name = TextProperty(display_, window, XA_WM_NAME, AnyPropertyType);
        }
        if (name && *name == title) {
            found.push_back(window);
        }
    });
    return found;
}

std::optional<WindowId> XDisplay::WindowTitled(const std::string& title) const {
    const auto windows = WindowsTitled(title);
    if (windows.empty()) {
        return std::nullopt;
    }
    return windows.front();
}

std::optional<WindowId> XDisplay::ShownWindowTitled(const std::string& title,
                                                    std::chrono::milliseconds timeout) const {
    std::optional<WindowId> found;
    WaitUntil(
        [&] {
            found = WindowTitled(title);
            return found && Viewable(*found);
        },
        timeout);
    return found && Viewable(*found) ? found : std::nullopt;
}

std::string XDisplay::WmClass(WindowId window) const {
    XClassHint hint{};
    if (XGetClassHint(display_, window, &hint) == 0) {
        return {};
    }
    std::string text = std::string(hint.res_name ? hint.res_name : "") + "/" +
                       (hint.res_class ? hint.res_class : "");
    XFree(hint.res_name);
    XFree(hint.res_class);
    return text;
}

bool XDisplay::Viewable(WindowId window) const {
    XWindowAttributes attributes{};
    return XGetWindowAttributes(display_, window, &attributes) != 0 &&
           attributes.map_state == IsViewable;
}

bool XDisplay::CursorHidden() const {
    XFixesCursorImage* cursor = XFixesGetCursorImage(display_);
    if (cursor == nullptr) {
        return false;
    }
    bool hidden = true;
    const std::size_t count = static_cast<std::size_t>(cursor->width) * cursor->height;
    for (std::size_t i = 0; i < count; ++i) {
        // Each pixel is premultiplied ARGB; the alpha is the top byte.
        hidden = hidden && ((cursor->pixels[i] >> 24) & 0xFF) == 0;
    }
    XFree(cursor);
    return hidden;
}

WindowId XDisplay::FocusedWindow() const {
    Window focus = 0;
    int revert_to = 0;
    XGetInputFocus(display_, &focus, &revert_to);
    return focus;
}

std::optional<Geometry> XDisplay::GeometryOf(WindowId window) const {
    XWindowAttributes attributes{};
    if (XGetWindowAttributes(display_, window, &attributes) == 0) {
        return std::nullopt;
    }
    Geometry geometry{0, 0, attributes.width, attributes.height};
    Window child = 0;
    XTranslateCoordinates(display_, window, Root(), 0, 0, &geometry.x, &geometry.y, &child);
    return geometry;
}

std::vector<WindowId> XDisplay::Children(WindowId window) const {
    Window root = 0, parent = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    if (XQueryTree(display_, window, &root, &parent, &children, &count) == 0) {
        return {};
    }
    std::vector<WindowId> list(children, children + count);
    if (children != nullptr) {
        XFree(children);
    }
    return list;
}

void XDisplay::RequestClose(WindowId window) const {
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display_, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display_, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display_, window, False, NoEventMask, &event);
    XSync(display_, False);
}

WindowId XDisplay::CreateWindow(const std::string& title, int width, int height, bool map) const {
    const Window window = XCreateSimpleWindow(display_, Root(), 0, 0, static_cast<unsigned>(width),
                                              static_cast<unsigned>(height), 0, 0, 0);
    XStoreName(display_, window, title.c_str());
    XChangeProperty(display_, window, XInternAtom(display_, "_NET_WM_NAME", False),
                    XInternAtom(display_, "UTF8_STRING", False), 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(title.data()),
                    static_cast<int>(title.size()));
    if (map) {
        XMapWindow(display_, window);
    }
    XSync(display_, False);
    return window;
}

void XDisplay::DestroyWindow(WindowId window) const {
    XDestroyWindow(display_, window);
    XSync(display_, False);
}

unsigned long XDisplay::MakePixmap(const Screenshot& image) const {
    const int screen = DefaultScreen(display_);
    Visual* visual = DefaultVisual(display_, screen);
    const auto depth = static_cast<unsigned>(DefaultDepth(display_, screen));
    // XDestroyImage frees the data with free().
    auto* data = static_cast<char*>(std::malloc(static_cast<std::size_t>(image.width) *
                                                static_cast<std::size_t>(image.height) * 4));
    XImage* ximage =
        XCreateImage(display_, visual, depth, ZPixmap, 0, data, static_cast<unsigned>(image.width),
                     static_cast<unsigned>(image.height), 32, 0);
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            const Rgb pixel = image.at(x, y);
            XPutPixel(ximage, x, y,
                      (static_cast<unsigned long>(pixel.red) << 16) |
                          (static_cast<unsigned long>(pixel.green) << 8) | pixel.blue);
        }
    }
    const Pixmap pixmap = XCreatePixmap(display_, Root(), static_cast<unsigned>(image.width),
                                        static_cast<unsigned>(image.height), depth);
    GC gc = XCreateGC(display_, pixmap, 0, nullptr);
    XPutImage(display_, pixmap, gc, ximage, 0, 0, 0, 0, static_cast<unsigned>(image.width),
              static_cast<unsigned>(image.height));
    XFreeGC(display_, gc);
    XDestroyImage(ximage);
    return pixmap;
}

void XDisplay::PaintRoot(const Screenshot& image) const {
    const Pixmap pixmap = MakePixmap(image);
    XSetWindowBackgroundPixmap(display_, Root(), pixmap);
    XClearWindow(display_, Root());
    XFreePixmap(display_, pixmap);
    XSync(display_, False);
}

void XDisplay::AttachScreenshot(WindowId window, const Screenshot& image) const {
    const Pixmap pixmap = MakePixmap(image);
    XChangeProperty(display_, window, XInternAtom(display_, "_SCREENSAVER_SCREENSHOT", False),
                    XA_PIXMAP, 32, PropModeReplace, reinterpret_cast<const unsigned char*>(&pixmap),
                    1);
    XSync(display_, False);
}

void XDisplay::MoveResize(WindowId window, int x, int y, int width, int height) const {
    XMoveResizeWindow(display_, window, x, y, static_cast<unsigned>(width),
                      static_cast<unsigned>(height));
    XSync(display_, False);
}

Screenshot XDisplay::CaptureWindow(WindowId window) const {
    const auto geometry = GeometryOf(window);
    if (!geometry) {
        return {};
    }
    return ImageOf(display_, window, geometry->width, geometry->height);
}

Screenshot XDisplay::CaptureArea(int x, int y, int width, int height) const {
    return ImageOf(display_, Root(), width, height, x, y);
}

}  // namespace velmora::test
