#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "saver/screen_rect.h"

struct _XDisplay;

namespace velmora {

// A rectangle of an X drawable (a window such as the root, or a pixmap) as the bytes of the
// 24-bit bitmap file that the renderer reads, turned left to right, converted in one pass from
// the server's image: through shared memory where the server offers it, otherwise through the
// connection. The drawable's visual must be true colour of 16 to 32 bits a pixel. Nothing when
// the area is not wholly inside the drawable or cannot be read. X errors are the caller's to
// trap (X11Connection does).
std::optional<std::vector<std::uint8_t>> CaptureMirroredBmp(_XDisplay* display,
                                                            unsigned long drawable,
                                                            const ScreenRect& area);

}  // namespace velmora
