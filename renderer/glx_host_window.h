#pragma once

#include <memory>
#include <optional>
#include <string>

#include "renderer/error_reporter.h"
#include "renderer/main_loop.h"
#include "renderer/scene_gl.h"

struct _XDisplay;
struct __GLXcontextRec;

namespace velmora {

// The renderer inside a window that a screen-saver daemon gives it: its own GL window made a
// child of that window on the window's screen (which need not be the display's default one, as
// with one X screen per monitor), at its size and following it. The daemon owns blanking, the
// cursor and power saving, so none of them is touched; the daemon's window going ends the
// renderer.
class GlxHostWindow : public FrameHost {
  public:
    explicit GlxHostWindow(ErrorReporter& reporter);
    GlxHostWindow(const GlxHostWindow&) = delete;
    GlxHostWindow& operator=(const GlxHostWindow&) = delete;
    ~GlxHostWindow() override;

    // True when the window, its context and the scene's GL state are ready; otherwise
    // everything made so far is gone again and error() may say why.
    bool Open(const char* title, unsigned long host_window);
    // Safe in any state, and more than once.
    void Close();
    // Why the window system could not be reached or the host window was not there.
    const std::optional<std::string>& error() const { return error_; }

    Scene& scene() { return *scene_; }

    std::optional<LoopEvent> NextEvent() override;
    void view_resize(int width, int height) override;
    bool frame_draw() override;
    void SwapBuffers() override;

  private:
    bool MakeWindow(const char* title, unsigned long host_window);

    ErrorReporter& reporter_;
    std::optional<std::string> error_;
    _XDisplay* display_ = nullptr;
    unsigned long host_ = 0;
    unsigned long window_ = 0;
    unsigned long colormap_ = 0;
    __GLXcontextRec* context_ = nullptr;
    int width_ = 0, height_ = 0;
    std::unique_ptr<Scene> scene_;
};

}  // namespace velmora
