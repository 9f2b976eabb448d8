#include "saver/pictures.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace velmora {
namespace {

constexpr int kFlareSize = 128;
constexpr double kCentre = (kFlareSize - 1) / 2.0;
constexpr double kCoreRadius = 7.0;    // fully white inside
constexpr double kGlowRadius = 16.0;   // soft falloff around the core
constexpr double kOuterRadius = 62.0;  // nothing shines beyond; the corners stay black
constexpr int kLongRays = 8;
constexpr double kRayHalfWidth = 0.9;  // pixels across a ray
constexpr double kRayReach = 60.0;

// Brightness 0..1 of the flare at a distance and angle from its centre.
double FlareBrightness(double radius, double angle) {
    if (radius >= kOuterRadius) {
        return 0.0;
    }
    const double core = radius <= kCoreRadius
                            ? 1.0
                            : std::exp(-std::pow((radius - kCoreRadius) / kGlowRadius * 2.0, 2.0));
    // Long rays at every 45 degrees, short ones half-way between them.
    double rays = 0.0;
    for (int ray = 0; ray < kLongRays * 2; ++ray) {
        const bool long_ray = ray % 2 == 0;
        const double direction = ray * std::numbers::pi / kLongRays;
        const double across = radius * std::abs(std::sin(angle - direction));
        const double along = radius * std::cos(angle - direction);
        if (along <= 0.0) {
            continue;
        }
        const double reach = long_ray ? kRayReach : kRayReach * 0.55;
        const double strength = long_ray ? 0.85 : 0.5;
        const double fade = std::max(0.0, 1.0 - radius / reach);
        rays = std::max(rays, strength * fade * std::exp(-std::pow(across / kRayHalfWidth, 2.0)));
    }
    return std::min(1.0, core + rays);
}

}  // namespace

RgbPicture MirrorLeftToRight(const RgbPicture& picture) {
    RgbPicture mirrored{picture.width, picture.height,
                        std::vector<std::uint8_t>(picture.rgb.size())};
    const std::size_t row_bytes = static_cast<std::size_t>(picture.width) * 3;
    for (std::size_t row = 0; row < static_cast<std::size_t>(picture.height); ++row) {
        const std::uint8_t* source = picture.rgb.data() + row * row_bytes;
        std::uint8_t* target = mirrored.rgb.data() + row * row_bytes;
        for (std::size_t x = 0; x < static_cast<std::size_t>(picture.width); ++x) {
            std::copy_n(source + x * 3, 3, target + row_bytes - (x + 1) * 3);
        }
    }
    return mirrored;
}

IndexedPicture FlarePicture() {
    IndexedPicture flare;
    flare.width = kFlareSize;
    flare.height = kFlareSize;
    for (int index = 0; index < 256; ++index) {
        const auto grey = static_cast<std::uint8_t>(255 - index);
        flare.palette[static_cast<std::size_t>(index)] = {grey, grey, grey};
    }
    flare.indices.reserve(kFlareSize * kFlareSize);
    for (int y = 0; y < kFlareSize; ++y) {
        for (int x = 0; x < kFlareSize; ++x) {
            const double dx = x - kCentre, dy = y - kCentre;
            const double brightness = FlareBrightness(std::hypot(dx, dy), std::atan2(dy, dx));
            flare.indices.push_back(static_cast<std::uint8_t>(255 - std::lround(brightness * 255)));
        }
    }
    return flare;
}

}  // namespace velmora
