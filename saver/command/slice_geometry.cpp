#include "saver/command/slice_geometry.h"

#include <cmath>
#include <optional>

#include "saver/command/face_pictures.h"

namespace velmora {
namespace {

constexpr std::int16_t kOrigin = 1;
constexpr std::int16_t kCorner = 4 * kTwipsPerPixel;

// A value stored into a 16-bit member: rounded half to even, and refused when it does not fit.
std::optional<std::int16_t> ToInt16(double value) {
    const double rounded = std::nearbyint(value);
    if (!(rounded >= INT16_MIN && rounded <= INT16_MAX)) {
        return std::nullopt;
    }
    return static_cast<std::int16_t>(rounded);
}

void Store(std::int16_t& member, double value) {
    if (const auto stored = ToInt16(value)) {
        member = *stored;
    }
}

}  // namespace

int PixelsOf(double twips) {
    return static_cast<int>(std::lround(twips / kTwipsPerPixel));
}

SliceGeometry ComputeSliceGeometry(double width_twips, double height_twips,
                                   const SliceGeometry& previous) {
    SliceGeometry geometry = previous;
    geometry.origin = kOrigin;
    geometry.corner = kCorner;
    geometry.picture_width = kFacePictureWidth * kTwipsPerPixel;
    geometry.picture_height = kFacePictureHeight * kTwipsPerPixel;
    Store(geometry.picture_middle_width, geometry.picture_width - 2.0 * geometry.corner);
    Store(geometry.picture_middle_height, geometry.picture_height - 2.0 * geometry.corner);
    Store(geometry.middle_width, width_twips - 2.0 * geometry.corner);
    Store(geometry.middle_height, height_twips - 2.0 * geometry.corner);
    Store(geometry.right_column, width_twips - geometry.corner);
    Store(geometry.bottom_row, height_twips - geometry.corner);
    return geometry;
}

std::array<SlicePiece, 8> SlicePieces(const SliceGeometry& g) {
    const int origin = g.origin;
    const int corner = g.corner;
    const int source_right = g.picture_width - corner;
    const int source_bottom = g.picture_height - corner;
    return {{
        {{0, 0, corner, corner}, {origin, origin, corner, corner}},
        {{corner, origin, g.picture_middle_width, corner},
         {corner, origin, g.middle_width, corner}},
        {{source_right, origin, corner, corner}, {g.right_column, origin, corner, corner}},
        {{source_right, corner, corner, g.picture_middle_height},
         {g.right_column, corner, corner, g.middle_height}},
        {{source_right, source_bottom, corner, corner},
         {g.right_column, g.bottom_row, corner, corner}},
        {{corner, source_bottom, g.picture_middle_width, corner},
         {corner, g.bottom_row, g.middle_width, corner}},
        {{0, source_bottom, corner, corner}, {origin, g.bottom_row, corner, corner}},
        {{origin, corner, corner, g.picture_middle_height},
         {origin, corner, corner, g.middle_height}},
    }};
}

ImageBuffer::Rect TwipsToPixels(const ImageBuffer::Rect& twips) {
    return {PixelsOf(twips.x), PixelsOf(twips.y), PixelsOf(twips.width), PixelsOf(twips.height)};
}

}  // namespace velmora
