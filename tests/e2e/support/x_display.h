#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct _XDisplay;

namespace velmora::test {

using WindowId = unsigned long;

struct Rgb {
    std::uint8_t red = 0, green = 0, blue = 0;
    bool operator==(const Rgb&) const = default;
};

struct Screenshot {
    int width = 0;
    int height = 0;
    std::vector<Rgb> pixels;  // rows from the top
    Rgb at(int x, int y) const { return pixels.at(static_cast<std::size_t>(y * width + x)); }
};

struct Geometry {
    int x = 0, y = 0, width = 0, height = 0;  // x and y relative to the root window
};

// A test's own connection to an X server. X errors (a window that goes away while it is
// looked at) are ignored, as the programs under test do.
class XDisplay {
  public:
    explicit XDisplay(const std::string& name);
    XDisplay(const XDisplay&) = delete;
    XDisplay& operator=(const XDisplay&) = delete;
    ~XDisplay();

    _XDisplay* get() const noexcept { return display_; }
    WindowId Root() const;

    // Every window in the tree, mapped or not, whose _NET_WM_NAME or WM_NAME is exactly title.
    std::vector<WindowId> WindowsTitled(const std::string& title) const;
    std::optional<WindowId> WindowTitled(const std::string& title) const;
    // The window with this title once it is shown, waiting up to timeout for it.
    std::optional<WindowId> ShownWindowTitled(const std::string& title,
                                              std::chrono::milliseconds timeout) const;
    // WM_CLASS as "instance/class".
    std::string WmClass(WindowId window) const;
    bool Viewable(WindowId window) const;
    // Whether the cursor that the pointer shows now has no visible pixel (XFixes).
    bool CursorHidden() const;
    std::optional<Geometry> GeometryOf(WindowId window) const;
    // The window that has the keyboard (or None, or PointerRoot).
    WindowId FocusedWindow() const;
    // The window's children, bottom to top; none when it does not exist.
    std::vector<WindowId> Children(WindowId window) const;
    // Asks the window's client to close it, as a window manager does (WM_DELETE_WINDOW).
    void RequestClose(WindowId window) const;
    // A simple window made by this connection, unmapped unless map is true.
    WindowId CreateWindow(const std::string& title, int width, int height, bool map) const;
    void DestroyWindow(WindowId window) const;
    // Fills the root window with an image (rows from the top) so that captures see it.
    void PaintRoot(const Screenshot& image) const;
    // Leaves a picture of the screen on the window as a screen-saver daemon does, in a pixmap
    // that lives as long as this connection.
    void AttachScreenshot(WindowId window, const Screenshot& image) const;
    void MoveResize(WindowId window, int x, int y, int width, int height) const;
    Screenshot CaptureWindow(WindowId window) const;
    // A part of the screen, x and y from the top left.
    Screenshot CaptureArea(int x, int y, int width, int height) const;

  private:
    unsigned long MakePixmap(const Screenshot& image) const;

    _XDisplay* display_ = nullptr;
};

}  // namespace velmora::test
