#include "saver/command/face_pictures.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace velmora::test {
namespace {

using Pixel = ImageBuffer::Pixel;

struct RingSample {
    Face face;
    int x, y;
    Pixel colour;
};

constexpr Pixel kFrame{0, 60, 116};
constexpr Pixel kDialog{236, 233, 216};

// Places along each ring, clear of the corners, with the colours the faces are drawn in.
const RingSample kRingSamples[] = {
    // The light bevel, whose top and bottom turn over the right half, and the frame.
    {Face::Normal, 10, 0, {224, 220, 201}},
    {Face::Normal, 58, 0, {220, 214, 194}},
    {Face::Normal, 0, 12, {226, 222, 203}},
    {Face::Normal, 63, 12, {240, 238, 224}},
    {Face::Normal, 10, 24, {248, 247, 240}},
    {Face::Normal, 58, 24, {250, 250, 246}},
    {Face::Normal, 10, 1, kFrame},
    {Face::Normal, 1, 12, kFrame},
    {Face::Normal, 62, 12, kFrame},
    {Face::Normal, 10, 23, kFrame},
    {Face::Normal, 10, 2, {243, 243, 238}},
    {Face::Normal, 10, 3, {243, 243, 238}},
    {Face::Normal, 2, 4, {253, 253, 252}},
    {Face::Normal, 3, 20, {236, 235, 230}},
    {Face::Normal, 61, 4, {251, 251, 250}},
    {Face::Normal, 60, 4, {246, 244, 242}},
    {Face::Normal, 61, 20, {228, 226, 218}},
    {Face::Normal, 60, 20, {224, 221, 212}},
    {Face::Normal, 10, 21, {226, 223, 214}},
    {Face::Normal, 10, 22, {214, 208, 197}},

    {Face::Selected, 58, 0, {220, 214, 194}},
    {Face::Selected, 10, 24, {248, 247, 240}},
    {Face::Selected, 1, 12, kFrame},
    {Face::Selected, 10, 2, {206, 231, 255}},
    {Face::Selected, 10, 3, {206, 231, 255}},
    {Face::Selected, 2, 4, {183, 208, 244}},
    {Face::Selected, 3, 20, {139, 173, 228}},
    {Face::Selected, 61, 4, {183, 208, 244}},
    {Face::Selected, 60, 20, {139, 173, 228}},
    {Face::Selected, 10, 21, {105, 130, 238}},
    {Face::Selected, 10, 22, {105, 130, 238}},

    {Face::HighLight, 10, 0, {224, 220, 201}},
    {Face::HighLight, 62, 12, kFrame},
    {Face::HighLight, 10, 2, {255, 240, 207}},
    {Face::HighLight, 10, 3, {253, 216, 137}},
    {Face::HighLight, 2, 4, {254, 223, 154}},
    {Face::HighLight, 2, 20, {249, 180, 53}},
    {Face::HighLight, 61, 4, {254, 223, 154}},
    {Face::HighLight, 60, 20, {249, 180, 53}},
    {Face::HighLight, 10, 21, {248, 179, 48}},
    {Face::HighLight, 10, 22, {229, 151, 0}},

    {Face::Pressed, 10, 0, kDialog},
    {Face::Pressed, 0, 12, kDialog},
    {Face::Pressed, 63, 12, kDialog},
    {Face::Pressed, 10, 24, kDialog},
    {Face::Pressed, 10, 1, {224, 220, 201}},
    {Face::Pressed, 58, 1, {224, 220, 201}},
    {Face::Pressed, 1, 12, {226, 222, 203}},
    {Face::Pressed, 62, 12, {240, 238, 224}},
    {Face::Pressed, 10, 23, {248, 247, 240}},
    {Face::Pressed, 10, 2, kFrame},
    {Face::Pressed, 2, 12, kFrame},
    {Face::Pressed, 61, 12, kFrame},
    {Face::Pressed, 10, 22, kFrame},
    {Face::Pressed, 10, 3, {209, 204, 193}},
    {Face::Pressed, 3, 12, {216, 212, 203}},
    {Face::Pressed, 60, 12, {229, 228, 220}},
    {Face::Pressed, 10, 21, {242, 241, 238}},

    {Face::Disable, 10, 0, kDialog},
    {Face::Disable, 63, 12, kDialog},
    {Face::Disable, 10, 1, {201, 199, 186}},
    {Face::Disable, 1, 12, {201, 199, 186}},
    {Face::Disable, 10, 23, {201, 199, 186}},
    {Face::Disable, 10, 2, {245, 244, 234}},
    {Face::Disable, 3, 12, {245, 244, 234}},
    {Face::Disable, 60, 12, {245, 244, 234}},
    {Face::Disable, 10, 22, {245, 244, 234}},
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
