#pragma once

#include <cstddef>
#include <vector>

#include "renderer/rgb_image.h"

namespace velmora {

// The mipmap levels that GLU's gluBuild2DMipmaps makes of a packed RGB picture, texel for texel:
// the picture rescaled by GLU's box filter to the power-of-two size, then halved level by level
// down to 1 × 1. The picture is level 0 itself when it already has that size.

// GLU's power of two for a side: a side whose two highest bits are both set rounds up (768 and
// 3840 to 1024 and 4096), any other rounds down (1080 and 2160 to 1024 and 2048).
int GluPowerOfTwo(int side);

// The picture at width × height through GLU's box filter, which reads like GLU reads: in float,
// in GLU's order of sums, so that every texel comes out the same. Splits the rows across
// threads for large pictures.
RgbImage ScaleLikeGlu(const RgbImage& picture, int width, int height);

// The next level: each texel the rounded mean of a 2 × 2 block, or of two texels (not rounded)
// once one side is 1.
RgbImage HalveLikeGlu(const RgbImage& level);

class TextureLevels {
  public:
    // All levels of picture for a level 0 of width × height (powers of two).
    TextureLevels(RgbImage picture, int width, int height);

    const RgbImage& picture() const { return picture_; }
    int width() const { return width_; }
    int height() const { return height_; }
    std::size_t count() const { return reduced_.size() + (picture_is_level0_ ? 1 : 0); }
    const RgbImage& level(std::size_t index) const;

  private:
    RgbImage picture_;
    int width_;
    int height_;
    bool picture_is_level0_;
    std::vector<RgbImage> reduced_;  // the levels after the picture, or all of them
};

}  // namespace velmora
