#pragma once

#include <cstdint>

#include "saver/host/x11_connection.h"

namespace velmora {

// The screen point that the settings dialog zooms out of and back into, in Qt's pixels (scaled
// where the display is, as the cursor's position comes).
struct ZoomPoint {
    std::int16_t ZoomX = 0;
    std::int16_t ZoomY = 0;
};

// A short outline animation from the point to the window's rectangle (ZoomOpen) or back
// (ZoomClose), played before returning. A window id that names no window animates from or to
// an empty rectangle at the screen's origin; without an X display nothing is shown.
void ZoomOpen(const X11Connection* x11, X11WindowId window, ZoomPoint point);
void ZoomClose(const X11Connection* x11, X11WindowId window, ZoomPoint point);

}  // namespace velmora
