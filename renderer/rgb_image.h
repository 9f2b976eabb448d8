#pragma once

#include <cstdint>
#include <vector>

namespace velmora {

// A loaded picture, ready for an RGB texture upload: red, green, blue bytes per pixel, rows from
// the bottom of the picture upwards, each row left to right and packed without padding.
struct RgbImage {
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::vector<std::uint8_t> pixels;
};

}  // namespace velmora
