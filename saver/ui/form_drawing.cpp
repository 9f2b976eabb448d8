#include "saver/ui/form_drawing.h"

#include <cmath>

namespace velmora {
namespace {

constexpr double kShadingPi = 3.142;  // the form's own approximation, kept for its colours
constexpr double kShadingPeak = 220.0;
constexpr int kShadingBlueLift = 30;

}  // namespace

std::vector<TilePosition> TilePositions(int tile_width, int tile_height, int panel_width,
                                        int panel_height) {
    std::vector<TilePosition> positions;
    if (tile_width <= 0 || tile_height <= 0) {
        return positions;
    }
    int x = 0, y = 0;
    while (true) {
        positions.push_back({x, y});
        if (y > panel_height) {
            if (x > panel_width) {
                break;
            }
            x += tile_width;
            y = 0;
        } else {
            y += tile_height;
        }
    }
    return positions;
}

void TilePanel(ImageBuffer& panel, const ImageBuffer& tile) {
    for (const TilePosition& at :
         TilePositions(tile.width(), tile.height(), panel.width(), panel.height())) {
        panel.StretchCopy(tile, {0, 0, tile.width(), tile.height()},
                          {at.x, at.y, tile.width(), tile.height()});
    }
}

ImageBuffer::Pixel ShadingColour(int y, int height) {
    const double v = std::nearbyint(std::abs(std::sin(y / (height / kShadingPi))) * kShadingPeak);
    const auto level = static_cast<std::uint8_t>(v);
    return {level, level, static_cast<std::uint8_t>(v + kShadingBlueLift)};
}

void DrawShading(ImageBuffer& form) {
    const int height = form.height();
    if (height <= 0) {
        return;
    }
    // The form also draws a row at height itself, which falls outside its client area.
    for (int y = 0; y < height; ++y) {
        const ImageBuffer::Pixel colour = ShadingColour(y, height);
        for (int x = 0; x < form.width(); ++x) {
            form.set(x, y, colour);
        }
    }
}

}  // namespace velmora
