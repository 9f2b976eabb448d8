#include "saver/screen_rect.h"

namespace velmora {

std::vector<ScreenRect> ZoomFrames(const ScreenRect& from, const ScreenRect& to, int count) {
    std::vector<ScreenRect> frames;
    auto between = [](int a, int b, int step, int steps) {
        return a + static_cast<int>(static_cast<long long>(b - a) * step / steps);
    };
    for (int step = 1; step <= count; ++step) {
        frames.push_back({between(from.left, to.left, step, count),
                          between(from.top, to.top, step, count),
                          between(from.right, to.right, step, count),
                          between(from.bottom, to.bottom, step, count)});
    }
    return frames;
}

}  // namespace velmora
