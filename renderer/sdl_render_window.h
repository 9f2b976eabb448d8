#pragma once

#include <memory>
#include <optional>
#include <string>

#include "renderer/error_reporter.h"
#include "renderer/main_loop.h"
#include "renderer/scene_gl.h"

struct SDL_Window;

namespace velmora {

// The renderer's window on SDL: a double-buffered GL window that takes the whole display at the
// requested mode when the display offers it, else an ordinary resizable window.
class SdlRenderWindow : public FrameHost {
  public:
    explicit SdlRenderWindow(ErrorReporter& reporter);
    SdlRenderWindow(const SdlRenderWindow&) = delete;
    SdlRenderWindow& operator=(const SdlRenderWindow&) = delete;
    ~SdlRenderWindow() override;

    // True when the window, its context and the scene's GL state are all ready; otherwise
    // everything made so far is gone again.
    bool render_window_open(const char* title, int width, int height, int bits,
                            bool want_full_screen);
    // Safe in any state, and more than once.
    void render_window_close();

    // Why the window system could not be reached, when that is why the window did not open.
    const std::optional<std::string>& display_error() const { return display_error_; }

    Scene& scene() { return *scene_; }
    const Scene& scene() const { return *scene_; }

    std::optional<LoopEvent> NextEvent() override;
    void view_resize(int width, int height) override;
    bool frame_draw() override;
    void SwapBuffers() override;

  private:
    bool OpenWindow(const char* title, int width, int height, int bits);
    void LeaveFullScreen(int width, int height);

    ErrorReporter& reporter_;
    std::optional<std::string> display_error_;
    bool video_started_ = false;
    bool fullscreen_ = false;  // the display mode was changed and must be put back
    SDL_Window* window_ = nullptr;
    void* context_ = nullptr;
    std::unique_ptr<Scene> scene_;
};

}  // namespace velmora
