#include "renderer/sdl_render_window.h"

#include <SDL2/SDL.h>

#include <cstdlib>
#include <system_error>
#include <thread>

#include "renderer/end_requests.h"

namespace velmora {
namespace {

static_assert(SDLK_ESCAPE == kEscapeKey);

// X11 takes the window class (WM_CLASS) from this variable when SDL's video starts.
constexpr const char* kWindowClassVariable = "SDL_VIDEO_X11_WMCLASS";
constexpr const char* kWindowClassName = "OpenGL";
constexpr int kDepthBits = 16;
constexpr int kPrimaryDisplay = 0;

// A mode the display lists with exactly this size and storage per pixel. SDL would otherwise
// pick the nearest mode and still report success.
std::optional<SDL_DisplayMode> ListedMode(int width, int height, int bits) {
    const int count = SDL_GetNumDisplayModes(kPrimaryDisplay);
    for (int index = 0; index < count; ++index) {
        SDL_DisplayMode mode{};
        if (SDL_GetDisplayMode(kPrimaryDisplay, index, &mode) == 0 && mode.w == width &&
            mode.h == height && static_cast<int>(SDL_BYTESPERPIXEL(mode.format)) * 8 == bits) {
            return mode;
        }
    }
    return std::nullopt;
}

bool DisplayShows(SDL_Window* window, int width, int height) {
    SDL_DisplayMode current{};
    const int display = SDL_GetWindowDisplayIndex(window);
    return display >= 0 && SDL_GetCurrentDisplayMode(display, &current) == 0 &&
           current.w == width && current.h == height;
}

// Runs the scene's texture upload on a thread of its own, through a second context that shares
// the window's context's objects; ends with the upload. Without such a context the window's
// thread uploads them later itself.
class SharedContextUpload {
  public:
    SharedContextUpload(SDL_Window* window, SDL_GLContext context, Scene& scene) : window_(window) {
        SDL_GL_SetAttribute(SDL_GL_SHARE_WITH_CURRENT_CONTEXT, 1);
        shared_ = SDL_GL_CreateContext(window);
        SDL_GL_SetAttribute(SDL_GL_SHARE_WITH_CURRENT_CONTEXT, 0);
        SDL_GL_MakeCurrent(window, context);
        if (shared_ == nullptr) {
            return;
        }
        try {
            thread_ = std::thread([this, &scene] {
                if (SDL_GL_MakeCurrent(window_, shared_) == 0) {
                    scene.textures_upload();
                    SDL_GL_MakeCurrent(window_, nullptr);
                }
            });
        } catch (const std::system_error&) {
            // No thread to be had: the window's thread uploads the textures.
        }
    }
    SharedContextUpload(const SharedContextUpload&) = delete;
    SharedContextUpload& operator=(const SharedContextUpload&) = delete;
    ~SharedContextUpload() {
        if (thread_.joinable()) {
            thread_.join();
        }
        if (shared_ != nullptr) {
            SDL_GL_DeleteContext(shared_);
        }
    }

  private:
    SDL_Window* window_;
    SDL_GLContext shared_ = nullptr;
    std::thread thread_;
};

LoopEvent WindowEvent(const SDL_WindowEvent& event) {
    switch (event.event) {
        case SDL_WINDOWEVENT_CLOSE:
            return {LoopEvent::Kind::kCloseRequest};
        case SDL_WINDOWEVENT_MINIMIZED:
            return {LoopEvent::Kind::kMinimised};
        case SDL_WINDOWEVENT_RESTORED:
            return {LoopEvent::Kind::kRestored};
        case SDL_WINDOWEVENT_SIZE_CHANGED:
            return {LoopEvent::Kind::kResized, 0, event.data1, event.data2};
        default:
            return {};
    }
}

}  // namespace

SdlRenderWindow::SdlRenderWindow(ErrorReporter& reporter) : reporter_(reporter) {}

SdlRenderWindow::~SdlRenderWindow() {
    render_window_close();
}

bool SdlRenderWindow::render_window_open(const char* title, int width, int height, int bits,
                                         bool want_full_screen) {
    fullscreen_ = want_full_screen;
    // The scene starts loading its pictures now, so that this happens while SDL waits, up to
    // 100 ms, for a window manager to answer the switch to full screen.
    scene_ = std::make_unique<Scene>(reporter_);
    if (!OpenWindow(title, width, height, bits)) {
        render_window_close();
        return false;
    }
    scene_->view_resize(width, height);
    if (!scene_->gl_state_init()) {
        render_window_close();
        return false;
    }
    return true;
}

bool SdlRenderWindow::OpenWindow(const char* title, int width, int height, int bits) {
    setenv(kWindowClassVariable, kWindowClassName, 1);
    // A full-screen renderer that loses the keyboard keeps showing, as it always did.
    SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
    // An X11 program: without an X display SDL would fall back to drawing off screen, unseen.
    SDL_SetHint(SDL_HINT_VIDEODRIVER, "x11");
    // The renderer's own handlers turn SIGTERM and SIGINT into close requests.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        display_error_ = SDL_GetError();
        return false;
    }
    video_started_ = true;
    EndWhenTheWindowIsLost();

    std::optional<SDL_DisplayMode> mode;
    if (fullscreen_) {
        mode = ListedMode(width, height, bits);
        fullscreen_ = mode.has_value();
    }
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, kDepthBits);
    // Hidden until the title and the mode are in place, so that nobody sees it half made.
    const Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN |
                         (fullscreen_ ? SDL_WINDOW_FULLSCREEN : SDL_WINDOW_RESIZABLE);
    window_ = SDL_CreateWindow(title, 0, 0, width, height, flags);
    if (window_ == nullptr) {
        return false;
    }
    if (fullscreen_ && SDL_SetWindowDisplayMode(window_, &*mode) != 0) {
        LeaveFullScreen(width, height);
    }
    context_ = SDL_GL_CreateContext(window_);
    if (context_ == nullptr || SDL_GL_MakeCurrent(window_, context_) != 0) {
        return false;
    }
    // Showing the window waits, on X11 up to 100 ms, for a window manager to take it to full
    // screen; meanwhile the pictures go to the GL from another thread.
    const SharedContextUpload upload(window_, context_, *scene_);
    SDL_ShowWindow(window_);
    if (fullscreen_ && !DisplayShows(window_, width, height)) {
        LeaveFullScreen(width, height);
    }
    if (fullscreen_) {
        SDL_ShowCursor(SDL_DISABLE);
    }
    SDL_RaiseWindow(window_);
    // Neither the system's screen saver nor display power saving may start over the renderer.
    SDL_DisableScreenSaver();
    return true;
}

void SdlRenderWindow::LeaveFullScreen(int width, int height) {
    SDL_SetWindowFullscreen(window_, 0);
    SDL_SetWindowResizable(window_, SDL_TRUE);
    SDL_SetWindowSize(window_, width, height);
    SDL_SetWindowPosition(window_, 0, 0);
    fullscreen_ = false;
}

void SdlRenderWindow::render_window_close() {
    // GL objects go while their context is still current.
    scene_.reset();
    if (window_ != nullptr && fullscreen_) {
        SDL_SetWindowFullscreen(window_, 0);
        SDL_ShowCursor(SDL_ENABLE);
    }
    fullscreen_ = false;
    if (context_ != nullptr) {
        SDL_GL_MakeCurrent(window_, nullptr);
        SDL_GL_DeleteContext(context_);
        context_ = nullptr;
    }
    if (window_ != nullptr) {
        SDL_DestroyWindow(window_);
        window_ = nullptr;
    }
    if (video_started_) {
        SDL_Quit();
        video_started_ = false;
    }
}

std::optional<LoopEvent> SdlRenderWindow::NextEvent() {
    if (EndRequested()) {
        return LoopEvent{LoopEvent::Kind::kCloseRequest};
    }
    SDL_Event event;
    if (SDL_PollEvent(&event) == 0) {
        return std::nullopt;
    }
    switch (event.type) {
        case SDL_QUIT:
            return LoopEvent{LoopEvent::Kind::kCloseRequest};
        case SDL_WINDOWEVENT:
            return WindowEvent(event.window);
        case SDL_KEYDOWN:
            return LoopEvent{LoopEvent::Kind::kKeyDown,
                             static_cast<std::uint32_t>(event.key.keysym.sym)};
        case SDL_KEYUP:
            return LoopEvent{LoopEvent::Kind::kKeyUp,
                             static_cast<std::uint32_t>(event.key.keysym.sym)};
        default:
            return LoopEvent{};
    }
}

void SdlRenderWindow::view_resize(int width, int height) {
    scene_->view_resize(width, height);
}

bool SdlRenderWindow::frame_draw() {
    return scene_->frame_draw();
}

void SdlRenderWindow::SwapBuffers() {
    SDL_GL_SwapWindow(window_);
}

}  // namespace velmora
