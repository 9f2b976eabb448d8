#include "saver/pictures.h"

#include <gtest/gtest.h>

#include <cmath>

namespace velmora {
namespace {

TEST(MirrorLeftToRight, SwapsColumnsAndKeepsRows) {
    // 3 x 2: row 0 = (1,2,3) (4,5,6) (7,8,9); row 1 = 10..18.
    RgbPicture picture{3, 2, {}};
    for (std::uint8_t value = 1; value <= 18; ++value) {
        picture.rgb.push_back(value);
    }
    const RgbPicture mirrored = MirrorLeftToRight(picture);
    EXPECT_EQ(mirrored.width, 3);
    EXPECT_EQ(mirrored.height, 2);
    EXPECT_EQ(mirrored.rgb, (std::vector<std::uint8_t>{7, 8, 9, 4, 5, 6, 1, 2, 3, 16, 17, 18, 13,
                                                       14, 15, 10, 11, 12}));
}

class FlareTest : public testing::Test {
  protected:
    // Grey level (255 white) at a pixel.
    int Grey(int x, int y) const {
        const auto index = flare_.indices.at(static_cast<std::size_t>(y * flare_.width + x));
        return flare_.palette[index].red;
    }
    IndexedPicture flare_ = FlarePicture();
};

TEST_F(FlareTest, Is128By128WithAGreyPaletteFromWhiteToBlack) {
    EXPECT_EQ(flare_.width, 128);
    EXPECT_EQ(flare_.height, 128);
    EXPECT_EQ(flare_.indices.size(), 128u * 128u);
    for (int index = 0; index < 256; ++index) {
        const auto grey = static_cast<std::uint8_t>(255 - index);
        EXPECT_EQ(flare_.palette[static_cast<std::size_t>(index)],
                  (PaletteEntry{grey, grey, grey}));
    }
}

TEST_F(FlareTest, WhiteRoundCentreBlackCorners) {
    for (int dy = -4; dy <= 4; ++dy) {
        for (int dx = -4; dx <= 4; ++dx) {
            EXPECT_EQ(Grey(64 + dx, 64 + dy), 255) << dx << "," << dy;
        }
    }
    for (int x : {0, 1, 126, 127}) {
        for (int y : {0, 1, 126, 127}) {
            EXPECT_EQ(Grey(x, y), 0) << x << "," << y;
        }
    }
    // Round: the same brightness at equal distances along both axes.
    EXPECT_NEAR(Grey(64 + 20, 64), Grey(64, 64 + 20), 1);
    EXPECT_NEAR(Grey(64 + 20, 64), Grey(63 - 20, 63), 1);
}

TEST_F(FlareTest, ThinRaysShineFurtherThanTheSpaceBetweenThem) {
    // At 40 pixels out, along a ray (horizontal) and half-way between two rays (22.5 degrees).
    const int on_ray = Grey(64 + 40, 64);
    const double between = 11.25 * 3.14159265 / 180.0;
    const int off_ray = Grey(64 + static_cast<int>(std::lround(40 * std::cos(between))),
                             64 + static_cast<int>(std::lround(40 * std::sin(between))));
    EXPECT_GT(on_ray, 40);
    EXPECT_LT(off_ray, on_ray / 4);
    // Thin: two pixels beside the ray it has faded.
    EXPECT_LT(Grey(64 + 40, 64 + 3), on_ray / 4);
}

TEST_F(FlareTest, IsTheSameEveryTime) {
    EXPECT_EQ(FlarePicture().indices, flare_.indices);
}

}  // namespace
}  // namespace velmora
