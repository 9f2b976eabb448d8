#include "renderer/main_loop.h"

namespace velmora {

bool render_window_proc(LoopState& state, const LoopEvent& event, FrameHost& host) {
    switch (event.kind) {
        case LoopEvent::Kind::kCloseRequest:
            return false;
        case LoopEvent::Kind::kKeyDown:
            if (event.key == kEscapeKey) {
                state.escape_pressed = true;
            }
            break;
        case LoopEvent::Kind::kMinimised:
            state.window_active = false;
            break;
        case LoopEvent::Kind::kRestored:
            state.window_active = true;
            break;
        case LoopEvent::Kind::kResized:
            host.view_resize(event.width, event.height);
            break;
        case LoopEvent::Kind::kKeyUp:
        case LoopEvent::Kind::kOther:
            break;
    }
    return true;
}

void RunMainLoop(FrameHost& host) {
    LoopState state;
    while (true) {
        if (const auto event = host.NextEvent()) {
            if (!render_window_proc(state, *event, host)) {
                return;
            }
            continue;
        }
        if (state.window_active && !host.frame_draw()) {
            return;
        }
        if (state.escape_pressed) {
            return;
        }
        host.SwapBuffers();
    }
}

}  // namespace velmora
