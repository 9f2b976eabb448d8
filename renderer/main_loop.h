#pragma once

#include <cstdint>
#include <optional>

namespace velmora {

// The Escape key symbol, whichever physical key the keymap gives it: SDL's key code for it
// and the Windows virtual-key code are the same number.
inline constexpr std::uint32_t kEscapeKey = 27;

// What the window system tells the loop, reduced to what the renderer reacts to.
struct LoopEvent {
    enum class Kind { kCloseRequest, kKeyDown, kKeyUp, kMinimised, kRestored, kResized, kOther };
    Kind kind = Kind::kOther;
    std::uint32_t key = 0;      // kKeyDown, kKeyUp: the key symbol
    int width = 0, height = 0;  // kResized: the new client size
};

// The window, context and scene that the loop drives.
class FrameHost {
  public:
    virtual ~FrameHost() = default;
    // The next pending event, without waiting.
    virtual std::optional<LoopEvent> NextEvent() = 0;
    virtual void view_resize(int width, int height) = 0;
    virtual bool frame_draw() = 0;
    virtual void SwapBuffers() = 0;
};

struct LoopState {
    bool window_active = true;  // false while minimised: nothing is drawn
    // Set by a press, never cleared: a press and release that arrive together still count.
    bool escape_pressed = false;
};

// Reacts to one event; false when it ends the program (a close request).
bool render_window_proc(LoopState& state, const LoopEvent& event, FrameHost& host);

// Handles every pending event before each frame, draws (unless minimised), ends on Escape, and
// swaps. Never waits: the swap is the only brake.
void RunMainLoop(FrameHost& host);

}  // namespace velmora
