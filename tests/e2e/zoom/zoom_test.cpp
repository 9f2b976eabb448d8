// The zoom animation as another X client sees it: an outline that grows from the point to the
// window and shrinks back.
#include <gtest/gtest.h>

#include <algorithm>

#include "tests/e2e/support/x_display.h"
#include "tests/e2e/support/xvfb_server.h"

namespace velmora::test {
namespace {

TEST(Zoom, OutlineTravelsBetweenThePointAndTheWindow) {
    const XvfbServer xvfb;
    const XDisplay display(xvfb.display());
    ChildProcess probe({VELMORA_ZOOM_PROBE}, xvfb.Environment());
    // Every distinct outline seen while the probe runs, in order.
    std::vector<Geometry> frames;
    WaitUntil(
        [&] {
            if (const auto outline = display.WindowTitled("Velmora_Zoom")) {
                const auto geometry = display.GeometryOf(*outline);
                if (geometry && display.Viewable(*outline) &&
                    (frames.empty() || frames.back().width != geometry->width)) {
                    frames.push_back(*geometry);
                }
            }
            return !probe.Running();
        },
        std::chrono::seconds(20));
    ASSERT_EQ(probe.WaitExit(std::chrono::seconds(1)), 0);
    ASSERT_GE(frames.size(), 4u) << "a visible animation of several steps";
    for (const Geometry& frame : frames) {
        EXPECT_GE(frame.x, 10);
        EXPECT_GE(frame.y, 20);
        EXPECT_LE(frame.x + frame.width, 700);
        EXPECT_LE(frame.y + frame.height, 500);
    }
    // It grows to the window and shrinks back towards the point.
    const auto largest = std::max_element(frames.begin(), frames.end(),
                                          [](auto& a, auto& b) { return a.width < b.width; });
    EXPECT_GT(largest->width, 250);
    EXPECT_LT(frames.front().width, largest->width);
    EXPECT_LT(frames.back().width, largest->width);
}

}  // namespace
}  // namespace velmora::test
