// Draws the Command button's face pictures and writes them as a C++ source file that the
// button's library compiles in. Only each picture's outer 4-pixel band ever reaches the screen;
// it is drawn ring by ring from the outside, and each 4 x 4 corner block bends the frame
// through blended pixels taken from one hand-drawn example corner.
//
// Usage: generate_command_faces OUTPUT.cpp
// The output depends on nothing but this file, so every build makes the same pictures.

#include <algorithm>
#include <array>
#include <cmath>
#include <stdexcept>
#include <string>
#include <vector>

#include "saver/command/face_pictures.h"
#include "tools/generated_source.h"

namespace velmora {
namespace {

constexpr int kWidth = kFacePictureWidth;
constexpr int kHeight = kFacePictureHeight;
constexpr int kBand = 4;  // rings drawn; the middle of a picture is never shown

struct Colour {
    double red = 0, green = 0, blue = 0;
};

Colour operator+(Colour a, Colour b) {
    return {a.red + b.red, a.green + b.green, a.blue + b.blue};
}
Colour operator-(Colour a, Colour b) {
    return {a.red - b.red, a.green - b.green, a.blue - b.blue};
}
Colour operator*(double k, Colour a) {
    return {k * a.red, k * a.green, k * a.blue};
}

using Picture = std::array<std::array<Colour, kWidth>, kHeight>;

// A side of a ring: a colour that may fade into another between two positions along the side
// (columns for the top and bottom, rows for the left and right), flat before and after.
struct Side {
    Colour from, to;
    int first = 0, last = 1;

    Colour At(int position) const {
        const double t =
            std::clamp(static_cast<double>(position - first) / (last - first), 0.0, 1.0);
        return from + t * (to - from);
    }
};

Side Flat(Colour colour) {
    return {colour, colour};
}

Side Fade(Colour from, Colour to, int first, int last) {
    return {from, to, first, last};
}

// The side bands run their fades over the rows that the button shows between its corners.
Side FadeDown(const Colour& from, const Colour& to) {
    return Fade(from, to, kBand, kHeight - 1 - kBand);
}

struct Ring {
    Side top, left, right, bottom;
};

Ring Uniform(Colour colour) {
    return {Flat(colour), Flat(colour), Flat(colour), Flat(colour)};
}

constexpr Colour kDialogFace{kDialogFaceColour.red, kDialogFaceColour.green,
                             kDialogFaceColour.blue};
constexpr Colour kFrame{0, 60, 116};

constexpr Colour kBevelTop{224, 220, 201};
constexpr Colour kBevelLeft{226, 222, 203};
constexpr Colour kBevelRight{240, 238, 224};
constexpr Colour kBevelBottom{248, 247, 240};

// The light bevel of the raised faces: its top and bottom turn over the right half.
Ring RaisedBevel() {
    constexpr int kTurnStart = 32;
    constexpr int kTurnEnd = 56;
    return {Fade(kBevelTop, {220, 214, 194}, kTurnStart, kTurnEnd), Flat(kBevelLeft),
            Flat(kBevelRight), Fade(kBevelBottom, {250, 250, 246}, kTurnStart, kTurnEnd)};
}

Ring PlainBevel() {
    return {Flat(kBevelTop), Flat(kBevelLeft), Flat(kBevelRight), Flat(kBevelBottom)};
}

struct FaceDrawing {
    const char* name;
    std::array<Ring, kBand> rings;  // from the outside in
    Colour middle;                  // never shown; kept plain
    int frame_ring;                 // the ring whose frame bends through the corners
};

std::vector<FaceDrawing> Faces() {
    const Ring frame = Uniform(kFrame);
    const Ring normal_top{Flat({243, 243, 238}), FadeDown({253, 253, 252}, {236, 235, 230}),
                          FadeDown({251, 251, 250}, {228, 226, 218}), Flat({214, 208, 197})};
    const Ring normal_inner{Flat({243, 243, 238}), FadeDown({253, 253, 252}, {236, 235, 230}),
                            FadeDown({246, 244, 242}, {224, 221, 212}), Flat({226, 223, 214})};
    const Side selected_side = FadeDown({183, 208, 244}, {139, 173, 228});
    const Ring selected{Flat({206, 231, 255}), selected_side, selected_side, Flat({105, 130, 238})};
    const Side highlight_side = FadeDown({254, 223, 154}, {249, 180, 53});
    const Ring highlight_outer{Flat({255, 240, 207}), highlight_side, highlight_side,
                               Flat({229, 151, 0})};
    const Ring highlight_inner{Flat({253, 216, 137}), highlight_side, highlight_side,
                               Flat({248, 179, 48})};
    const Ring sunken{Flat({209, 204, 193}), Flat({216, 212, 203}), Flat({229, 228, 220}),
                      Flat({242, 241, 238})};
    const Ring disabled_flat = Uniform({245, 244, 234});
    return {
        {"kNormalPixels", {RaisedBevel(), frame, normal_top, normal_inner}, {243, 243, 238}, 1},
        {"kSelectedPixels", {RaisedBevel(), frame, selected, selected}, {206, 231, 255}, 1},
        {"kHighLightPixels",
         {RaisedBevel(), frame, highlight_outer, highlight_inner},
         {253, 216, 137},
         1},
        {"kPressedPixels", {Uniform(kDialogFace), PlainBevel(), frame, sunken}, {245, 244, 238}, 2},
        {"kDisablePixels",
         {Uniform(kDialogFace), Uniform({201, 199, 186}), disabled_flat, disabled_flat},
         {245, 244, 234},
         1},
    };
}

// The rings alone, corners not yet bent. A ring's corner pixels belong to its top and bottom.
Picture DrawBand(const FaceDrawing& face) {
    Picture picture;
    for (auto& row : picture) {
        row.fill(face.middle);
    }
    for (int k = 0; k < kBand; ++k) {
        const Ring& ring = face.rings[static_cast<std::size_t>(k)];
        for (int y = k + 1; y < kHeight - 1 - k; ++y) {
            picture[y][k] = ring.left.At(y);
            picture[y][kWidth - 1 - k] = ring.right.At(y);
        }
        for (int x = k; x < kWidth - k; ++x) {
            picture[k][x] = ring.top.At(x);
            picture[kHeight - 1 - k][x] = ring.bottom.At(x);
        }
    }
    return picture;
}

// The example corner, the top-left block of the normal face, row by row.
constexpr std::array<std::array<Colour, kBand>, kBand> kExampleCorner{{
    {{{233, 231, 213}, {228, 223, 206}, {225, 221, 202}, {224, 220, 201}}},
    {{{228, 223, 206}, {230, 225, 208}, {122, 149, 168}, {37, 87, 131}}},
    {{{226, 222, 203}, {122, 149, 168}, {85, 125, 162}, {192, 207, 221}}},
    {{{226, 222, 203}, {37, 87, 131}, {191, 206, 220}, {254, 254, 254}}},
}};

// What each example pixel is made of: shares of the band pixels around it (block coordinates)
// and of the dialog colour outside the rounded corner. Another face or corner takes the
// example pixel and moves it by the same shares of the difference between its band and the
// normal face's band, so the example itself comes out unchanged.
struct Share {
    double weight;
    int row, column;  // row < 0: the dialog colour
};
constexpr int kOutside = -1;

using Mixture = std::vector<Share>;
const std::array<std::array<Mixture, kBand>, kBand>& ExampleMixtures() {
    static const std::array<std::array<Mixture, kBand>, kBand> mixtures{{
        {{{{0.5, kOutside, 0}, {0.25, 0, 1}, {0.25, 1, 0}},
          {{0.25, kOutside, 0}, {0.75, 0, 1}},
          {{1, 0, 2}},
          {{1, 0, 3}}}},
        {{{{0.25, kOutside, 0}, {0.75, 1, 0}},
          {{0.25, kOutside, 0}, {0.375, 0, 1}, {0.375, 1, 0}},
          {{0.45, 1, 2}, {0.55, 0, 2}},
          {{0.83, 1, 3}, {0.17, 0, 3}}}},
        {{{{1, 2, 0}},
          {{0.45, 2, 1}, {0.55, 2, 0}},
          {{2.0 / 3, 1, 2}, {1.0 / 3, 2, 2}},
          {{0.24, 1, 3}, {0.76, 2, 3}}}},
        {{{{1, 3, 0}}, {{0.83, 3, 1}, {0.17, 3, 0}}, {{0.24, 3, 1}, {0.76, 3, 2}}, {{1, 3, 3}}}},
    }};
    return mixtures;
}

// Bends the frame through the four corners. A face whose frame lies one ring further in takes
// the example one pixel further in; its outer ring stays as drawn.
void BendCorners(Picture& picture, const Picture& normal_band, int frame_ring) {
    const Picture band = picture;
    const int shift = frame_ring - 1;
    for (const bool right : {false, true}) {
        for (const bool lower : {false, true}) {
            auto column_of = [&](int c) { return right ? kWidth - 1 - c : c; };
            auto row_of = [&](int r) { return lower ? kHeight - 1 - r : r; };
            for (int r = 0; r + shift < kBand; ++r) {
                for (int c = 0; c + shift < kBand; ++c) {
                    Colour colour = kExampleCorner[r][c];
                    for (const Share& share : ExampleMixtures()[r][c]) {
                        if (share.row == kOutside) {
                            continue;  // the same dialog colour around every face
                        }
                        const Colour here =
                            band[row_of(share.row + shift)][column_of(share.column + shift)];
                        colour =
                            colour + share.weight * (here - normal_band[share.row][share.column]);
                    }
                    picture[row_of(r + shift)][column_of(c + shift)] = colour;
                }
            }
        }
    }
}

// The array that holds each face's picture; the two highlighted faces share one.
const char* PictureOf(Face face) {
    switch (face) {
        case Face::Normal:
            return "kNormalPixels";
        case Face::HighLight:
        case Face::HighLightSelect:
            return "kHighLightPixels";
        case Face::Selected:
            return "kSelectedPixels";
        case Face::Pressed:
            return "kPressedPixels";
        case Face::Disable:
            return "kDisablePixels";
    }
    throw std::invalid_argument("no picture for this face");
}

int Byte(double channel) {
    return static_cast<int>(std::clamp(std::lround(channel), 0L, 255L));
}

void WriteArray(std::ostream& out, const char* name, const Picture& picture) {
    out << "constexpr std::array<std::uint8_t, kFacePictureBytes> " << name << "{\n";
    for (const auto& row : picture) {
        out << "   ";
        for (const Colour& pixel : row) {
            out << ' ' << Byte(pixel.red) << ',' << Byte(pixel.green) << ',' << Byte(pixel.blue)
                << ',';
        }
        out << '\n';
    }
    out << "};\n\n";
}

}  // namespace
}  // namespace velmora

int main(int argc, char** argv) {
    using namespace velmora;
    return WriteGeneratedSource(
        argc, argv, "tools/command_faces/generate_command_faces.cpp",
        "saver/command/face_pictures.h", [](std::ostream& out) {
            const std::vector<FaceDrawing> faces = Faces();
            const Picture normal_band = DrawBand(faces.front());
            for (const FaceDrawing& face : faces) {
                Picture picture = DrawBand(face);
                BendCorners(picture, normal_band, face.frame_ring);
                WriteArray(out, face.name, picture);
            }
            out << "constexpr std::array<const std::array<std::uint8_t, kFacePictureBytes>*, "
                   "kFaceCount>\n"
                   "    kPictures{";
            for (std::size_t face = 0; face < kFaceCount; ++face) {
                out << (face == 0 ? "" : ", ") << '&' << PictureOf(static_cast<Face>(face));
            }
            out << "};\n\n"
                   "}  // namespace\n\n"
                   "std::span<const std::uint8_t, kFacePictureBytes> FacePicturePixels(Face face) "
                   "{\n"
                   "    return *kPictures.at(static_cast<std::size_t>(face));\n"
                   "}\n\n"
                   "}  // namespace velmora\n";
        });
}
