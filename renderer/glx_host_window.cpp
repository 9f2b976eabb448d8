#include "renderer/glx_host_window.h"

#include <GL/glx.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include "common/window_id.h"
#include "renderer/end_requests.h"

namespace velmora {
namespace {

constexpr const char* kWindowClassName = "OpenGL";
constexpr int kDepthBits = 16;

}  // namespace

GlxHostWindow::GlxHostWindow(ErrorReporter& reporter) : reporter_(reporter) {}

GlxHostWindow::~GlxHostWindow() {
    Close();
}

bool GlxHostWindow::Open(const char* title, unsigned long host_window) {
    if (!MakeWindow(title, host_window)) {
        Close();
        return false;
    }
    scene_ = std::make_unique<Scene>(reporter_);
    scene_->view_resize(width_, height_);
    if (!scene_->gl_state_init()) {
        Close();
        return false;
    }
    return true;
}

bool GlxHostWindow::MakeWindow(const char* title, unsigned long host_window) {
    display_ = XOpenDisplay(nullptr);
    if (display_ == nullptr) {
        error_ = "cannot open the X display";
        return false;
    }
    EndWhenTheWindowIsLost();
    XWindowAttributes host{};
    if (XGetWindowAttributes(display_, host_window, &host) == 0) {
        error_ = "there is no window " + WindowIdText(host_window);
        return false;
    }
    host_ = host_window;
    width_ = host.width;
    height_ = host.height;
    // Size changes and the end of the daemon's window arrive as events.
    XSelectInput(display_, host_, StructureNotifyMask);
    const int screen = XScreenNumberOfScreen(host.screen);
    int attributes[] = {
        GLX_RGBA, GLX_DOUBLEBUFFER, GLX_RED_SIZE, 1,   GLX_GREEN_SIZE, 1, GLX_BLUE_SIZE,
        1,        GLX_DEPTH_SIZE,   kDepthBits,   None};
    XVisualInfo* visual = glXChooseVisual(display_, screen, attributes);
    if (visual == nullptr) {
        error_ = "no OpenGL visual on the window's screen";
        return false;
    }
    colormap_ = XCreateColormap(display_, RootWindow(display_, screen), visual->visual, AllocNone);
    XSetWindowAttributes window{};
    window.colormap = colormap_;
    window.background_pixel = BlackPixel(display_, screen);
    window.border_pixel = 0;
    window.event_mask = StructureNotifyMask;
    window_ =
        XCreateWindow(display_, host_, 0, 0, static_cast<unsigned>(width_),
                      static_cast<unsigned>(height_), 0, visual->depth, InputOutput, visual->visual,
                      CWColormap | CWBackPixel | CWBorderPixel | CWEventMask, &window);
    context_ = glXCreateContext(display_, visual, nullptr, True);
    XFree(visual);
    // Titled and classed as the full-screen window is, so that whoever looks for the renderer
    // by its title finds it here too.
    XStoreName(display_, window_, title);
    XClassHint class_hint{const_cast<char*>(kWindowClassName), const_cast<char*>(kWindowClassName)};
    XSetClassHint(display_, window_, &class_hint);
    if (context_ == nullptr || !glXMakeCurrent(display_, window_, context_)) {
        error_ = "cannot make an OpenGL context";
        return false;
    }
    XMapWindow(display_, window_);
    XSync(display_, False);
    return !EndRequested();
}

void GlxHostWindow::Close() {
    // GL objects go while their context is still current.
    scene_.reset();
    if (display_ == nullptr) {
        return;
    }
    if (context_ != nullptr) {
        glXMakeCurrent(display_, None, nullptr);
        glXDestroyContext(display_, context_);
        context_ = nullptr;
    }
    if (window_ != 0) {
        XDestroyWindow(display_, window_);
        window_ = 0;
    }
    if (colormap_ != 0) {
        XFreeColormap(display_, colormap_);
        colormap_ = 0;
    }
    XCloseDisplay(display_);
    display_ = nullptr;
}

std::optional<LoopEvent> GlxHostWindow::NextEvent() {
    if (EndRequested()) {
        return LoopEvent{LoopEvent::Kind::kCloseRequest};
    }
    while (XPending(display_) > 0) {
        XEvent event;
        XNextEvent(display_, &event);
        const Window about = event.xany.window;
        if (event.type == DestroyNotify && (about == host_ || about == window_)) {
            return LoopEvent{LoopEvent::Kind::kCloseRequest};
        }
        if (event.type == ConfigureNotify && about == host_ &&
            (event.xconfigure.width != width_ || event.xconfigure.height != height_)) {
            width_ = event.xconfigure.width;
            height_ = event.xconfigure.height;
            XResizeWindow(display_, window_, static_cast<unsigned>(width_),
                          static_cast<unsigned>(height_));
            return LoopEvent{LoopEvent::Kind::kResized, 0, width_, height_};
        }
    }
    return std::nullopt;
}

void GlxHostWindow::view_resize(int width, int height) {
    scene_->view_resize(width, height);
}

bool GlxHostWindow::frame_draw() {
    return scene_->frame_draw();
}

void GlxHostWindow::SwapBuffers() {
    glXSwapBuffers(display_, window_);
}

}  // namespace velmora
