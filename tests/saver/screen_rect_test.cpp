#include "saver/screen_rect.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

TEST(ZoomFrames, GrowsFromThePointToTheWindowAndEndsOnIt) {
    const ScreenRect point{100, 50, 100, 50};
    const ScreenRect window{0, 0, 492, 246};
    const auto frames = ZoomFrames(point, window, 4);
    ASSERT_EQ(frames.size(), 4u);
    EXPECT_EQ(frames[0], (ScreenRect{75, 38, 198, 99}));
    EXPECT_EQ(frames[1], (ScreenRect{50, 25, 296, 148}));
    EXPECT_EQ(frames.back(), window);
    // Shrinking back retraces the same path towards the point.
    EXPECT_EQ(ZoomFrames(window, point, 4).back(), point);
}

}  // namespace
}  // namespace velmora
