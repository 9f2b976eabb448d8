#include "saver/ui/form_drawing.h"

#include <gtest/gtest.h>

#include "saver/ui/dialog_pictures.h"

namespace velmora {
namespace {

using Pixel = ImageBuffer::Pixel;

TEST(TilePositions, TheStripOverTheDialogPanelMakesTwoColumnsOfTen) {
    std::vector<TilePosition> expected;
    for (const int x : {0, 556}) {
        for (int y = 0; y <= 180; y += 20) {
            expected.push_back({x, y});
        }
    }
    EXPECT_EQ(TilePositions(kMetalStripWidth, kMetalStripHeight, 469, 165), expected);
}

TEST(TilePositions, ColumnsRunPastBothEdges) {
    const std::vector<TilePosition> expected{{0, 0},   {0, 10}, {0, 20},  {10, 0}, {10, 10},
                                             {10, 20}, {20, 0}, {20, 10}, {20, 20}};
    EXPECT_EQ(TilePositions(10, 10, 15, 15), expected);
}

TEST(TilePositions, ATileWithoutAreaLaysNothingInsteadOfLoopingForEver) {
    EXPECT_TRUE(TilePositions(0, 20, 469, 165).empty());
    EXPECT_TRUE(TilePositions(556, 0, 469, 165).empty());
    EXPECT_TRUE(TilePositions(-1, -1, 469, 165).empty());
}

TEST(TilePanel, CoversEveryPixelOfThePanel) {
    ImageBuffer panel(469, 165, {224, 224, 224});
    const ImageBuffer& strip = MetalStripPicture();
    TilePanel(panel, strip);
    for (int y = 0; y < panel.height(); ++y) {
        for (int x = 0; x < panel.width(); ++x) {
            ASSERT_EQ(panel.at(x, y), strip.at(x, y % kMetalStripHeight)) << x << "," << y;
        }
    }
}

TEST(ShadingColour, DarkBlueAtTheEdgesAndLightInTheMiddle) {
    EXPECT_EQ(ShadingColour(0, 246), (Pixel{0, 0, 30}));
    EXPECT_EQ(ShadingColour(123, 246), (Pixel{220, 220, 250}));
    // The form's pi is a little over the true one, so row h lands just past the zero.
    EXPECT_EQ(ShadingColour(246, 246), (Pixel{0, 0, 30}));
    EXPECT_EQ(ShadingColour(245, 246), (Pixel{3, 3, 33}));
    EXPECT_EQ(ShadingColour(41, 246), (Pixel{110, 110, 140})) << "half-way up the sine";
}

TEST(DrawShading, EachRowIsOneColourAcrossTheWholeWidth) {
    ImageBuffer form(492, 246, {192, 192, 192});
    DrawShading(form);
    for (int y = 0; y < form.height(); ++y) {
        const Pixel expected = ShadingColour(y, form.height());
        for (const int x : {0, 245, 491}) {
            ASSERT_EQ(form.at(x, y), expected) << x << "," << y;
        }
    }
}

TEST(DrawShading, AnEmptyFormIsLeftAlone) {
    ImageBuffer form(10, 0);
    DrawShading(form);
    EXPECT_EQ(form.height(), 0);
}

}  // namespace
}  // namespace velmora
