#include "saver/command/face_pictures.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace velmora::test {
namespace {

using Pixel = ImageBuffer::Pixel;

struct RingSample {
    int x, y;
    Face face;
    Pixel colour;
};

constexpr Pixel kFrame{0, 60, 116};
constexpr Pixel kDialog{236, 233, 216};

// Places along each ring, clear of the corners, with the colours the faces are drawn in.
const RingSample kRingSamples[] = {
    // The light bevel, whose top and bottom turn over the right half, and the frame.
    {10, 0, Face::Normal, {224, 220, 201}},
    {58, 0, Face::Normal, {220, 214, 194}},
    {0, 12, Face::Normal, {226, 222, 203}},
    {63, 12, Face::Normal, {240, 238, 224}},
    {10, 24, Face::Normal, {248, 247, 240}},
    {58, 24, Face::Normal, {250, 250, 246}},
    {10, 1, Face::Normal, kFrame},
    {1, 12, Face::Normal, kFrame},
    {62, 12, Face::Normal, kFrame},
    {10, 23, Face::Normal, kFrame},
    {10, 2, Face::Normal, {243, 243, 238}},
    {10, 3, Face::Normal, {243, 243, 238}},
    {2, 4, Face::Normal, {253, 253, 252}},
    {3, 20, Face::Normal, {236, 235, 230}},
    {61, 4, Face::Normal, {251, 251, 250}},
    {60, 4, Face::Normal, {246, 244, 242}},
    {61, 20, Face::Normal, {228, 226, 218}},
    {60, 20, Face::Normal, {224, 221, 212}},
    {10, 21, Face::Normal, {226, 223, 214}},
    {10, 22, Face::Normal, {214, 208, 197}},

    {58, 0, Face::Selected, {220, 214, 194}},
    {10, 24, Face::Selected, {248, 247, 240}},
    {1, 12, Face::Selected, kFrame},
    {10, 2, Face::Selected, {206, 231, 255}},
    {10, 3, Face::Selected, {206, 231, 255}},
    {2, 4, Face::Selected, {183, 208, 244}},
    {3, 20, Face::Selected, {139, 173, 228}},
    {61, 4, Face::Selected, {183, 208, 244}},
    {60, 20, Face::Selected, {139, 173, 228}},
    {10, 21, Face::Selected, {105, 130, 238}},
    {10, 22, Face::Selected, {105, 130, 238}},

    {10, 0, Face::HighLight, {224, 220, 201}},
    {62, 12, Face::HighLight, kFrame},
    {10, 2, Face::HighLight, {255, 240, 207}},
    {10, 3, Face::HighLight, {253, 216, 137}},
    {2, 4, Face::HighLight, {254, 223, 154}},
    {2, 20, Face::HighLight, {249, 180, 53}},
    {61, 4, Face::HighLight, {254, 223, 154}},
    {60, 20, Face::HighLight, {249, 180, 53}},
    {10, 21, Face::HighLight, {248, 179, 48}},
    {10, 22, Face::HighLight, {229, 151, 0}},

    {10, 0, Face::Pressed, kDialog},
    {0, 12, Face::Pressed, kDialog},
    {63, 12, Face::Pressed, kDialog},
    {10, 24, Face::Pressed, kDialog},
    {10, 1, Face::Pressed, {224, 220, 201}},
    {58, 1, Face::Pressed, {224, 220, 201}},
    {1, 12, Face::Pressed, {226, 222, 203}},
    {62, 12, Face::Pressed, {240, 238, 224}},
    {10, 23, Face::Pressed, {248, 247, 240}},
    {10, 2, Face::Pressed, kFrame},
    {2, 12, Face::Pressed, kFrame},
    {61, 12, Face::Pressed, kFrame},
    {10, 22, Face::Pressed, kFrame},
    {10, 3, Face::Pressed, {209, 204, 193}},
    {3, 12, Face::Pressed, {216, 212, 203}},
    {60, 12, Face::Pressed, {229, 228, 220}},
    {10, 21, Face::Pressed, {242, 241, 238}},

    {10, 0, Face::Disable, kDialog},
    {63, 12, Face::Disable, kDialog},
    {10, 1, Face::Disable, {201, 199, 186}},
    {1, 12, Face::Disable, {201, 199, 186}},
    {10, 23, Face::Disable, {201, 199, 186}},
    {10, 2, Face::Disable, {245, 244, 234}},
    {3, 12, Face::Disable, {245, 244, 234}},
    {60, 12, Face::Disable, {245, 244, 234}},
    {10, 22, Face::Disable, {245, 244, 234}},
};

TEST(FacePictures, RingsHaveTheirColours) {
    for (const RingSample& sample : kRingSamples) {
        const Pixel pixel = FacePicture(sample.face).at(sample.x, sample.y);
        EXPECT_EQ(pixel, sample.colour)
            << "face " << static_cast<int>(sample.face) << " at " << sample.x << ',' << sample.y
            << " is " << int{pixel.red} << ',' << int{pixel.green} << ',' << int{pixel.blue};
    }
}

TEST(FacePictures, AreSixtyFourByTwentyFiveAndTheHighlightsShareOnePicture) {
    for (std::size_t face = 0; face < kFaceCount; ++face) {
        EXPECT_EQ(FacePicture(static_cast<Face>(face)).width(), 64);
        EXPECT_EQ(FacePicture(static_cast<Face>(face)).height(), 25);
    }
    EXPECT_TRUE(std::ranges::equal(FacePicturePixels(Face::HighLight),
                                   FacePicturePixels(Face::HighLightSelect)));
    EXPECT_FALSE(
        std::ranges::equal(FacePicturePixels(Face::HighLight), FacePicturePixels(Face::Normal)));
}

TEST(FacePictures, TheNormalTopLeftCornerIsTheHandDrawnOne) {
    constexpr Pixel kCorner[4][4] = {
        {{233, 231, 213}, {228, 223, 206}, {225, 221, 202}, {224, 220, 201}},
        {{228, 223, 206}, {230, 225, 208}, {122, 149, 168}, {37, 87, 131}},
        {{226, 222, 203}, {122, 149, 168}, {85, 125, 162}, {192, 207, 221}},
        {{226, 222, 203}, {37, 87, 131}, {191, 206, 220}, {254, 254, 254}},
    };
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 4; ++x) {
            EXPECT_EQ(FacePicture(Face::Normal).at(x, y), kCorner[y][x]) << x << ',' << y;
        }
    }
}

bool StrictlyBetween(int value, int a, int b) {
    return value > std::min(a, b) && value < std::max(a, b);
}

// In every corner of every face, the pixel where the frame turns is a blend of the frame and
// the ring inside it, not either colour alone.
TEST(FacePictures, TheFrameBendsThroughBlendedPixelsInEveryCorner) {
    struct FrameOf {
        Face face;
        int ring;
        Pixel frame;
    };
    const FrameOf frames[] = {{Face::Normal, 1, kFrame},
                              {Face::Selected, 1, kFrame},
                              {Face::HighLight, 1, kFrame},
                              {Face::Pressed, 2, kFrame},
                              {Face::Disable, 1, {201, 199, 186}}};
    for (const FrameOf& entry : frames) {
        const ImageBuffer& picture = FacePicture(entry.face);
        for (const bool right : {false, true}) {
            for (const bool lower : {false, true}) {
                const int bend = entry.ring + 1;
                const int x = right ? 63 - bend : bend;
                const int y = lower ? 24 - bend : bend;
                // The ring inside the frame, halfway down the side this corner joins.
                const Pixel inner = picture.at(x, 12);
                const Pixel pixel = picture.at(x, y);
                SCOPED_TRACE(testing::Message() << "face " << static_cast<int>(entry.face)
                                                << " corner at " << x << ',' << y);
                EXPECT_TRUE(StrictlyBetween(pixel.red, entry.frame.red, inner.red) ||
                            StrictlyBetween(pixel.green, entry.frame.green, inner.green));
                EXPECT_NE(pixel, entry.frame);
                EXPECT_NE(picture.at(right ? 63 - entry.ring : entry.ring,
                                     lower ? 24 - entry.ring : entry.ring),
                          entry.frame)
                    << "the frame does not run into the corner square";
            }
        }
    }
}

}  // namespace
}  // namespace velmora::test
