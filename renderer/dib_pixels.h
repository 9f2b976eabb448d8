#pragma once

#include <variant>

#include "renderer/dib_format.h"
#include "renderer/rgb_image.h"

namespace velmora {

// Converts the pixels of a checked bitmap into packed RGB rows, bottom row first, as the BMP
// format defines them: palette indices, 16- and 32-bit pixels through their masks, 24-bit
// pixels, and run-length data (where pixels that the runs skip stay black). Refuses
// (kConversionError) an index past the colour table and runs that leave the picture or the
// data without their end-of-bitmap mark; throws std::bad_alloc when the picture does not fit.
std::variant<RgbImage, DibFailure> ConvertDibPixels(const DibLayout& layout);

}  // namespace velmora
