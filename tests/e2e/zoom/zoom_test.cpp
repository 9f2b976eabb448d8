// The zoom animation as another X client sees it: an outline that grows from the point to the
// window and shrinks back, at the display's scale.
#include <gtest/gtest.h>

#include <algorithm>

#include "tests/e2e/support/x_display.h"
#include "tests/e2e/support/xvfb_server.h"

namespace velmora::test {
namespace {

class Zoom : public testing::TestWithParam<int> {};

TEST_P(Zoom, OutlineTravelsBetweenThePointAndTheWindowsRealRectangle) {
    const int scale = GetParam();
    const XvfbServer xvfb(1600, 1200);
    const XDisplay display(xvfb.display());
    auto environment = xvfb.Environment();
    environment["QT_SCALE_FACTOR"] = std::to_string(scale);
    ChildProcess probe({VELMORA_ZOOM_PROBE}, environment);
    // Every distinct outline seen while the probe runs, in order, and the probe's window.
    std::vector<Geometry> frames;
    std::optional<Geometry> window;
    WaitUntil(
        [&] {
            if (const auto probe_window = display.WindowTitled("zoom probe")) {
                const auto geometry = display.GeometryOf(*probe_window);
                if (geometry && display.Viewable(*probe_window)) {
                    window = geometry;
                }
            }
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
    ASSERT_TRUE(window.has_value());
    // The probe asks for a 300 x 200 window at (400, 300) and the point (10, 20), in Qt's pixels.
    EXPECT_EQ(window->width, 300 * scale);
    ASSERT_GE(frames.size(), 4u) << "a visible animation of several steps";
    for (const Geometry& frame : frames) {
        EXPECT_GE(frame.x, 10 * scale);
        EXPECT_GE(frame.y, 20 * scale);
        EXPECT_LE(frame.x + frame.width, window->x + window->width);
        EXPECT_LE(frame.y + frame.height, window->y + window->height);
    }
    // It grows to the window and shrinks back towards the point.
    const auto largest = std::max_element(frames.begin(), frames.end(),
                                          [](auto& a, auto& b) { return a.width < b.width; });
    EXPECT_GT(largest->width, window->width * 5 / 6);
    EXPECT_LT(frames.front().width, largest->width);
    EXPECT_LT(frames.back().width, largest->width);
}

INSTANTIATE_TEST_SUITE_P(Scales, Zoom, testing::Values(1, 2));

}  // namespace
}  // namespace velmora::test
