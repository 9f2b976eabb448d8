#include "saver/ui/dialog_pictures.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <set>

namespace velmora {
namespace {

using Pixel = ImageBuffer::Pixel;

int Brightness(Pixel p) {
    return (p.red + p.green + p.blue) / 3;
}

TEST(MetalStrip, IsGreyWithStreaksRunningAcross) {
    const ImageBuffer& strip = MetalStripPicture();
    ASSERT_EQ(strip.width(), 556);
    ASSERT_EQ(strip.height(), 20);
    long along = 0, across = 0;
    for (int y = 0; y < strip.height(); ++y) {
        for (int x = 0; x < strip.width(); ++x) {
            const Pixel p = strip.at(x, y);
            ASSERT_LE(std::abs(p.red - p.blue), 8) << "grey at " << x << "," << y;
            ASSERT_GT(Brightness(p), 150);
            ASSERT_LT(Brightness(p), 250);
            if (x + 1 < strip.width()) {
                along += std::abs(Brightness(strip.at(x + 1, y)) - Brightness(p));
            }
            if (y + 1 < strip.height()) {
                across += std::abs(Brightness(strip.at(x, y + 1)) - Brightness(p));
            }
        }
    }
    const double mean_along = double(along) / (555 * 20);
    const double mean_across = double(across) / (556 * 19);
    EXPECT_GT(mean_across, 2.0 * mean_along) << "the grain must run horizontally";
    EXPECT_GT(mean_along, 0.5) << "a flat strip is no brushed metal";
}

TEST(RadioMarks, ALightSquareInAGreyFrameTheSelectedOneWithABlueCentre) {
    const ImageBuffer& off = RadioMarkPicture(RadioMark::Unselected);
    const ImageBuffer& on = RadioMarkPicture(RadioMark::Selected);
    for (const ImageBuffer* mark : {&off, &on}) {
        ASSERT_EQ(mark->width(), 12);
        ASSERT_EQ(mark->height(), 12);
        for (int i = 0; i < 12; ++i) {
            for (const Pixel frame :
                 {mark->at(i, 0), mark->at(0, i), mark->at(11, i), mark->at(i, 11)}) {
                EXPECT_EQ(frame, (Pixel{128, 128, 128}));
            }
        }
    }
    int differing = 0;
    for (int y = 1; y < 11; ++y) {
        for (int x = 1; x < 11; ++x) {
            EXPECT_GT(Brightness(off.at(x, y)), 210) << "empty and light at " << x << "," << y;
            const bool centre = x >= 3 && x <= 8 && y >= 3 && y <= 8;
            if (!centre) {
                EXPECT_EQ(on.at(x, y), off.at(x, y)) << x << "," << y;
            } else if (on.at(x, y) != off.at(x, y)) {
                ++differing;
            }
        }
    }
    EXPECT_EQ(differing, 36);
    const Pixel middle = on.at(5, 5);
    EXPECT_GT(middle.blue, middle.red + 80);
    EXPECT_GT(middle.blue, middle.green + 40);
}

TEST(Icon, ThirtyTwoSquareInTwoHundredAndFiftySixColours) {
    const IndexedPicture icon = IconPicture();
    ASSERT_EQ(icon.width, 32);
    ASSERT_EQ(icon.height, 32);
    ASSERT_EQ(icon.indices.size(), 32u * 32u);
    const std::set<std::uint8_t> used(icon.indices.begin(), icon.indices.end());
    EXPECT_GT(used.size(), 16u) << "more colours than a 16-colour icon holds";
    std::set<std::tuple<int, int, int>> distinct;
    for (const PaletteEntry& entry : icon.palette) {
        distinct.insert({entry.red, entry.green, entry.blue});
    }
    EXPECT_EQ(distinct.size(), 256u);
}

}  // namespace
}  // namespace velmora
