#pragma once

#include <vector>

namespace velmora {

// A rectangle in screen pixels, right and bottom exclusive.
struct ScreenRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    bool operator==(const ScreenRect&) const = default;
};

// The outlines that a zoom animation shows on its way from one rectangle to another: count
// steps after the start, the last one equal to the end.
std::vector<ScreenRect> ZoomFrames(const ScreenRect& from, const ScreenRect& to, int count);

}  // namespace velmora
