#pragma once

#include <vector>

#include "saver/command/image_buffer.h"

namespace velmora {

struct TilePosition {
    int x = 0, y = 0;
    bool operator==(const TilePosition&) const = default;
};

// Where TilePanel lays its copies of a tile: column by column from the top left, each column
// running until a tile starts below the panel's height, the last column being the first that
// starts beyond the panel's width (so the panel is covered, and that column is clipped away
// whole). Nothing for a tile without area, which would never advance.
std::vector<TilePosition> TilePositions(int tile_width, int tile_height, int panel_width,
                                        int panel_height);

// Covers the panel's retained image with copies of the tile; what falls outside is clipped.
void TilePanel(ImageBuffer& panel, const ImageBuffer& tile);

// The colour of row y of the settings dialog's background shading for a client height: a
// sine from near RGB(0, 0, 30) at the top over RGB(220, 220, 250) in the middle back to near
// RGB(0, 0, 30) at row height.
ImageBuffer::Pixel ShadingColour(int y, int height);

// Draws the shading into the form's retained image, one full-width line per row.
void DrawShading(ImageBuffer& form);

}  // namespace velmora
