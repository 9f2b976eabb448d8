#pragma once

#include <array>
#include <cstdint>

#include "saver/command/image_buffer.h"

namespace velmora {

// A Command button works in twips: 15 to the pixel at 96 dots per inch.
inline constexpr int kTwipsPerPixel = 15;

// How a face picture is cut and laid over the button, in twips, as 16-bit values. A value
// whose computation leaves the 16-bit range keeps the one of the previous paint.
struct SliceGeometry {
    std::int16_t origin = 0;
    std::int16_t corner = 0;
    std::int16_t picture_width = 0;
    std::int16_t picture_height = 0;
    std::int16_t picture_middle_width = 0;
    std::int16_t picture_middle_height = 0;
    std::int16_t middle_width = 0;   // the button's width less two corners
    std::int16_t middle_height = 0;  // the button's height less two corners
    std::int16_t right_column = 0;   // where the right corners start
    std::int16_t bottom_row = 0;     // where the bottom corners start

    bool operator==(const SliceGeometry&) const = default;
};

SliceGeometry ComputeSliceGeometry(double width_twips, double height_twips,
                                   const SliceGeometry& previous);

// One piece of the face picture and where it goes, in twips.
struct SlicePiece {
    ImageBuffer::Rect from;
    ImageBuffer::Rect to;
};

// The eight pieces in the order they are copied: the corners at their own size, the top and
// bottom edges stretched across, the side edges stretched down.
std::array<SlicePiece, 8> SlicePieces(const SliceGeometry& geometry);

// A length in twips, and a rectangle in twips, as whole pixels.
int PixelsOf(double twips);
ImageBuffer::Rect TwipsToPixels(const ImageBuffer::Rect& twips);

}  // namespace velmora
