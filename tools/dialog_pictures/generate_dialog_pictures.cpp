// Draws the settings dialog's pictures and writes them as a C++ source file that the dialog's
// library compiles in: the brushed-metal strip that tiles the music panel, the two radio marks
// and the 32 x 32 window icon in 256 colours.
//
// Usage: generate_dialog_pictures OUTPUT.cpp
// The noise comes from a fixed-seed generator written out here (no library distribution, whose
// results differ between standard libraries), so every build makes the same pictures.

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "saver/ui/dialog_pictures.h"
#include "tools/generated_source.h"

namespace velmora {
namespace {

struct Colour {
    double red = 0, green = 0, blue = 0;
};

Colour Mix(const Colour& a, const Colour& b, double t) {
    return {a.red + (b.red - a.red) * t, a.green + (b.green - a.green) * t,
            a.blue + (b.blue - a.blue) * t};
}

int Byte(double channel) {
    return static_cast<int>(std::clamp(std::lround(channel), 0L, 255L));
}

// SplitMix64: small, well mixed and the same everywhere.
class Noise {
  public:
    explicit Noise(std::uint64_t seed) : state_(seed) {}
    // Uniform in [-1, 1).
    double Next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        z ^= z >> 31;
        return static_cast<double>(z >> 11) / static_cast<double>(1ULL << 52) - 1.0;
    }

  private:
    std::uint64_t state_;
};

using RgbPixels = std::vector<Colour>;

// Brushed metal: each row is noise smeared a long way along x, so the grain runs in fine
// horizontal streaks; a little unsmeared noise keeps it from looking painted. The smear wraps
// around at the ends, so the strip has no seam where it would be laid side by side.
RgbPixels MetalStrip() {
    constexpr int kWidth = kMetalStripWidth;
    constexpr int kHeight = kMetalStripHeight;
    constexpr int kSmearReach = 24;  // pixels either side
    constexpr double kBase = 198.0;
    constexpr double kStreakDepth = 9.0;
    constexpr double kGrainDepth = 3.0;
    constexpr double kRowDepth = 4.0;
    constexpr Colour kTint{0.0, 0.5, 3.0};  // a cool cast, as steel has
    Noise noise(0x5EED'0001);
    RgbPixels pixels(static_cast<std::size_t>(kWidth * kHeight));
    for (int y = 0; y < kHeight; ++y) {
        std::vector<double> raw(kWidth);
        for (double& value : raw) {
            value = noise.Next();
        }
        const double row_level = kRowDepth * noise.Next();
        for (int x = 0; x < kWidth; ++x) {
            double sum = 0.0;
            for (int k = -kSmearReach; k <= kSmearReach; ++k) {
                sum += raw[static_cast<std::size_t>((x + k + kWidth) % kWidth)];
            }
            // A mean of n uniform values has a spread of 1 / sqrt(3 n); scaled back to about 1.
            const double streak = sum / std::sqrt((2.0 * kSmearReach + 1.0) / 3.0);
            const double grey =
                kBase + row_level + kStreakDepth * streak + kGrainDepth * noise.Next();
            pixels[static_cast<std::size_t>(y * kWidth + x)] = {
                grey + kTint.red, grey + kTint.green, grey + kTint.blue};
        }
    }
    return pixels;
}

// A square mark: a grey frame around a light face that brightens towards the lower right, as
// a sunken box does; the selected mark has a blue centre that darkens downwards.
RgbPixels RadioMarkDrawing(bool selected) {
    constexpr int kSide = kRadioMarkSide;
    constexpr Colour kFrame{128, 128, 128};
    constexpr Colour kFaceTop{222, 222, 218};
    constexpr Colour kFaceBottom{252, 252, 250};
    constexpr Colour kBlueTop{96, 150, 240};
    constexpr Colour kBlueBottom{28, 84, 204};
    constexpr int kCentreFirst = 3, kCentreLast = 8;
    RgbPixels pixels(static_cast<std::size_t>(kSide * kSide));
    for (int y = 0; y < kSide; ++y) {
        for (int x = 0; x < kSide; ++x) {
            Colour colour;
            if (x == 0 || y == 0 || x == kSide - 1 || y == kSide - 1) {
                colour = kFrame;
            } else {
                colour = Mix(kFaceTop, kFaceBottom, (x + y - 2) / (2.0 * (kSide - 3)));
            }
            const bool in_centre =
                x >= kCentreFirst && x <= kCentreLast && y >= kCentreFirst && y <= kCentreLast;
            if (selected && in_centre) {
                const Colour blue = Mix(kBlueTop, kBlueBottom,
                                        (y - kCentreFirst) / double(kCentreLast - kCentreFirst));
                // The centre's corners are half blended, so the blue reads as rounded.
                const bool corner = (x == kCentreFirst || x == kCentreLast) &&
                                    (y == kCentreFirst || y == kCentreLast);
                colour = corner ? Mix(colour, blue, 0.5) : blue;
            }
            pixels[static_cast<std::size_t>(y * kSide + x)] = colour;
        }
    }
    return pixels;
}

// The 256-colour palette: the 6 x 6 x 6 colour cube, then 40 greys between its steps.
std::array<Colour, 256> IconPaletteColours() {
    std::array<Colour, 256> palette{};
    std::size_t i = 0;
    for (int r = 0; r < 6; ++r) {
        for (int g = 0; g < 6; ++g) {
            for (int b = 0; b < 6; ++b) {
                palette[i++] = {r * 51.0, g * 51.0, b * 51.0};
            }
        }
    }
    for (int grey = 1; i < palette.size(); ++grey) {
        const double level = std::round(grey * 255.0 / 41.0);
        palette[i++] = {level, level, level};
    }
    return palette;
}

// The scene in miniature: a night sky with scattered stars and one flare above a floor plane
// that leans away from the viewer, tinted from its corners in red, green, blue and white.
RgbPixels IconDrawing() {
    constexpr int kSide = kIconSide;
    constexpr Colour kSkyTop{6, 8, 34};
    constexpr Colour kSkyBottom{22, 26, 76};
    constexpr double kFarEdge = 15.0, kNearEdge = 28.0;           // rows of the floor's edges
    constexpr double kFarHalfWidth = 8.0, kNearHalfWidth = 14.5;  // half widths at those rows
    constexpr double kMiddle = (kSide - 1) / 2.0;
    constexpr Colour kFarLeft{235, 60, 60}, kFarRight{60, 225, 90};
    constexpr Colour kNearLeft{70, 95, 245}, kNearRight{240, 240, 240};
    constexpr int kStars = 18;
    constexpr int kFlareX = 22, kFlareY = 5;
    RgbPixels pixels(static_cast<std::size_t>(kSide * kSide));
    auto at = [&](int x, int y) -> Colour& {
        return pixels[static_cast<std::size_t>(y * kSide + x)];
    };
    for (int y = 0; y < kSide; ++y) {
        for (int x = 0; x < kSide; ++x) {
            at(x, y) = Mix(kSkyTop, kSkyBottom, y / (kSide - 1.0));
            if (y < kFarEdge || y > kNearEdge) {
                continue;
            }
            const double depth = (y - kFarEdge) / (kNearEdge - kFarEdge);
            const double half_width = kFarHalfWidth + (kNearHalfWidth - kFarHalfWidth) * depth;
            const double across = (x - (kMiddle - half_width)) / (2.0 * half_width);
            if (across < 0.0 || across > 1.0) {
                continue;
            }
            at(x, y) =
                Mix(Mix(kFarLeft, kFarRight, across), Mix(kNearLeft, kNearRight, across), depth);
        }
    }
    Noise noise(0x5EED'0002);
    for (int star = 0; star < kStars; ++star) {
        const int x =
            std::clamp(static_cast<int>((noise.Next() + 1.0) / 2.0 * kSide), 0, kSide - 1);
        const int y = std::clamp(static_cast<int>((noise.Next() + 1.0) / 2.0 * 13.0), 0, 12);
        at(x, y) = Mix(at(x, y), {255, 255, 255}, 0.55 + 0.45 * (noise.Next() + 1.0) / 2.0);
    }
    at(kFlareX, kFlareY) = {255, 255, 255};
    for (int reach = 1; reach <= 3; ++reach) {
        const double strength = 1.0 - reach / 4.0;
        for (const auto& [dx, dy] : {std::pair{1, 0}, {-1, 0}, {0, 1}, {0, -1}}) {
            Colour& pixel = at(kFlareX + dx * reach, kFlareY + dy * reach);
            pixel = Mix(pixel, {255, 255, 240}, strength);
        }
    }
    return pixels;
}

std::uint8_t NearestIndex(const Colour& colour, const std::array<Colour, 256>& palette) {
    std::size_t best = 0;
    double best_distance = std::numeric_limits<double>::max();
    for (std::size_t i = 0; i < palette.size(); ++i) {
        const double dr = Byte(colour.red) - palette[i].red;
        const double dg = Byte(colour.green) - palette[i].green;
        const double db = Byte(colour.blue) - palette[i].blue;
        const double distance = dr * dr + dg * dg + db * db;
        if (distance < best_distance) {
            best_distance = distance;
            best = i;
        }
    }
    return static_cast<std::uint8_t>(best);
}

void WriteBytes(std::ostream& out, const char* type, const char* name,
                const std::vector<int>& bytes, std::size_t per_line) {
    out << "constexpr std::array<std::uint8_t, " << type << "> " << name << "{\n";
    for (std::size_t i = 0; i < bytes.size(); i += per_line) {
        out << "   ";
        for (std::size_t j = i; j < std::min(bytes.size(), i + per_line); ++j) {
            out << ' ' << bytes[j] << ',';
        }
        out << '\n';
    }
    out << "};\n\n";
}

std::vector<int> RgbBytes(const RgbPixels& pixels) {
    std::vector<int> bytes;
    bytes.reserve(pixels.size() * 3);
    for (const Colour& pixel : pixels) {
        bytes.insert(bytes.end(), {Byte(pixel.red), Byte(pixel.green), Byte(pixel.blue)});
    }
    return bytes;
}

}  // namespace
}  // namespace velmora

int main(int argc, char** argv) {
    using namespace velmora;
    return WriteGeneratedSource(
        argc, argv, "tools/dialog_pictures/generate_dialog_pictures.cpp",
        "saver/ui/dialog_pictures.h", [](std::ostream& out) {
            WriteBytes(out, "kMetalStripBytes", "kMetalStrip", RgbBytes(MetalStrip()), 36);
            WriteBytes(out, "kRadioMarkBytes", "kUnselectedMark", RgbBytes(RadioMarkDrawing(false)),
                       36);
            WriteBytes(out, "kRadioMarkBytes", "kSelectedMark", RgbBytes(RadioMarkDrawing(true)),
                       36);

            const auto palette = IconPaletteColours();
            std::vector<int> indices;
            for (const Colour& pixel : IconDrawing()) {
                indices.push_back(NearestIndex(pixel, palette));
            }
            WriteBytes(out, "kIconPixels", "kIconIndices", indices, 32);
            std::vector<int> palette_bytes;
            for (const Colour& entry : palette) {
                palette_bytes.insert(palette_bytes.end(),
                                     {Byte(entry.red), Byte(entry.green), Byte(entry.blue)});
            }
            WriteBytes(out, "kIconPaletteBytes", "kIconPalette", palette_bytes, 24);

            out << "}  // namespace\n\n"
                   "std::span<const std::uint8_t, kMetalStripBytes> MetalStripPixels() {\n"
                   "    return kMetalStrip;\n}\n\n"
                   "std::span<const std::uint8_t, kRadioMarkBytes> RadioMarkPixels(RadioMark mark) "
                   "{\n"
                   "    return mark == RadioMark::Selected ? kSelectedMark : "
                   "kUnselectedMark;\n}\n\n"
                   "std::span<const std::uint8_t, kIconPixels> IconIndices() {\n"
                   "    return kIconIndices;\n}\n\n"
                   "std::span<const std::uint8_t, kIconPaletteBytes> IconPalette() {\n"
                   "    return kIconPalette;\n}\n\n"
                   "}  // namespace velmora\n";
        });
}
