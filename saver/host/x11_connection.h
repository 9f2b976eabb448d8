#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "saver/screen_rect.h"

struct _XDisplay;

namespace velmora {

using X11WindowId = unsigned long;

// The saver's own Xlib connection, for what Qt does not offer: looking up other programs'
// windows by title, the geometry of a foreign window, hiding the cursor. X errors on it (a
// window that vanishes while it is looked at, an id that names no window) are trapped and
// answered as "not there"; they never end the program.
class X11Connection {
  public:
    // Nothing when no X display can be opened.
    static std::unique_ptr<X11Connection> Open();
    X11Connection(const X11Connection&) = delete;
    X11Connection& operator=(const X11Connection&) = delete;
    ~X11Connection();

    // Walks the whole window tree, mapped and unmapped windows alike, and compares each
    // window's _NET_WM_NAME (or, without one, WM_NAME) with title, byte for byte.
    bool WindowTitledExists(std::string_view title) const;
    // The window's rectangle on the root window; nothing when the id names no window.
    std::optional<ScreenRect> WindowRect(X11WindowId window) const;
    // The cursor stays hidden on the whole screen until ShowCursor or until this connection
    // closes, so it comes back even when the program is killed.
    void HideCursor() const;
    void ShowCursor() const;
    // The part of the desktop under a window that a screen-saver daemon gave us, as the
    // renderer's mirrored bitmap file: cut from the daemon's screenshot of the screen when it left
    // one on the window (a pixmap in _SCREENSAVER_SCREENSHOT, taken before it blanked the screen),
    // else what the screen shows there now. Nothing when neither can be read.
    std::optional<std::vector<std::uint8_t>> DesktopUnder(X11WindowId window) const;
    // The root window of the default screen.
    X11WindowId Root() const;
    // True for the root window of any screen of the display.
    bool IsRootWindow(X11WindowId window) const;
    // Makes this connection the owner of the selection with this name if nobody owns it, in one
    // step under a server grab; false when another client owns it. The X server drops the
    // ownership when this connection closes, however the program ends.
    bool ClaimSelection(const std::string& name);
    // An area of a window or pixmap as the renderer's mirrored bitmap file (CaptureMirroredBmp).
    std::optional<std::vector<std::uint8_t>> CaptureMirroredBmp(X11WindowId drawable,
                                                                const ScreenRect& area) const;

  private:
    explicit X11Connection(_XDisplay* display) : display_(display) {}
    _XDisplay* display_;
    X11WindowId selection_owner_ = 0;
};

}  // namespace velmora
