#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace velmora {

// A 24-bit picture, rows from the top, each pixel red, green, blue.
struct RgbPicture {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb;
};

struct PaletteEntry {
    std::uint8_t red = 0, green = 0, blue = 0;
    bool operator==(const PaletteEntry&) const = default;
};

// An 8-bit picture with a 256-entry palette, rows from the top.
struct IndexedPicture {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> indices;
    std::array<PaletteEntry, 256> palette{};
};

// The picture turned left to right.
RgbPicture MirrorLeftToRight(const RgbPicture& picture);

// The built-in flare: 128 x 128, a grey palette falling from white at index 0 to black at 255,
// a bright round centre with a soft glow and thin radial rays on black. The same on every run.
IndexedPicture FlarePicture();

}  // namespace velmora
