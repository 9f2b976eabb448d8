#include <gtest/gtest.h>

#include "saver/command/command.h"
#include "saver/command/slice_geometry.h"
#include "tests/saver/command/recording_host.h"

namespace velmora::test {
namespace {

using Pixel = ImageBuffer::Pixel;
constexpr Pixel kFrame{0, 60, 116};
constexpr Pixel kDialog{236, 233, 216};
// Rows 4 and 20 of a 25-row gradient from white down to (198, 197, 215).
constexpr Pixel kLightRow4{245, 245, 248};
constexpr Pixel kShadeRow20{207, 206, 221};

TEST(SliceGeometry, LaysAnEightyOneByTwentyFiveButtonOut) {
    const SliceGeometry g = ComputeSliceGeometry(1215, 375, {});
    EXPECT_EQ(g, (SliceGeometry{.origin = 1,
                                .corner = 60,
                                .picture_width = 960,
                                .picture_height = 375,
                                .picture_middle_width = 840,
                                .picture_middle_height = 255,
                                .middle_width = 1095,
                                .middle_height = 255,
                                .right_column = 1155,
                                .bottom_row = 315}));
    struct Expected {
        ImageBuffer::Rect from, to;
    };
    const Expected pixels[] = {
        {{0, 0, 4, 4}, {0, 0, 4, 4}},     {{4, 0, 56, 4}, {4, 0, 73, 4}},
        {{60, 0, 4, 4}, {77, 0, 4, 4}},   {{60, 4, 4, 17}, {77, 4, 4, 17}},
        {{60, 21, 4, 4}, {77, 21, 4, 4}}, {{4, 21, 56, 4}, {4, 21, 73, 4}},
        {{0, 21, 4, 4}, {0, 21, 4, 4}},   {{0, 4, 4, 17}, {0, 4, 4, 17}},
    };
    const auto pieces = SlicePieces(g);
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        SCOPED_TRACE(testing::Message() << "piece " << i + 1);
        const auto from = TwipsToPixels(pieces[i].from);
        const auto to = TwipsToPixels(pieces[i].to);
        EXPECT_EQ((std::array{from.x, from.y, from.width, from.height}),
                  (std::array{pixels[i].from.x, pixels[i].from.y, pixels[i].from.width,
                              pixels[i].from.height}));
        EXPECT_EQ(
            (std::array{to.x, to.y, to.width, to.height}),
            (std::array{pixels[i].to.x, pixels[i].to.y, pixels[i].to.width, pixels[i].to.height}));
    }
}

TEST(SliceGeometry, AValueLeavingSixteenBitsKeepsThePreviousPaints) {
    const SliceGeometry previous = ComputeSliceGeometry(1215, 375, {});
    const SliceGeometry widest = ComputeSliceGeometry(32827, 32827, previous);
    EXPECT_EQ(widest.right_column, 32767);
    EXPECT_EQ(widest.bottom_row, 32767);

    const SliceGeometry over = ComputeSliceGeometry(32828, 32828, previous);
    EXPECT_EQ(over.right_column, 1155);
    EXPECT_EQ(over.bottom_row, 315);
    EXPECT_EQ(over.middle_width, 32708) << "W - 120 still fits";

    EXPECT_EQ(ComputeSliceGeometry(32887, 375, previous).middle_width, 32767);
    EXPECT_EQ(ComputeSliceGeometry(32888, 375, previous).middle_width, 1095);
}

TEST(CommandPaint, AnEightyOneByTwentyFiveButtonStretchesTheTopAndBottomBands) {
    LoadedCommand loaded;
    const ImageBuffer& image = loaded.command.image();
    const ImageBuffer& normal = FacePicture(Face::Normal);
    ASSERT_EQ(loaded.command.shown_face(), Face::Normal);
    for (int x = 4; x <= 76; ++x) {
        EXPECT_EQ(image.at(x, 1), kFrame) << x;
        EXPECT_EQ(image.at(x, 23), kFrame) << x;
    }
    EXPECT_EQ(image.at(4, 0), (Pixel{224, 220, 201}));
    EXPECT_EQ(image.at(76, 0), (Pixel{220, 214, 194}));
    EXPECT_EQ(image.at(76, 24), (Pixel{250, 250, 246}));
    for (int y = 0; y < 25; ++y) {
        for (int x = 0; x < 4; ++x) {
            const int picture_y = y < 4 ? y : (y > 20 ? y : 4 + (y - 4));
            EXPECT_EQ(image.at(x, y), normal.at(x, picture_y)) << x << ',' << y;
            EXPECT_EQ(image.at(77 + x, y), normal.at(60 + x, picture_y)) << 77 + x << ',' << y;
        }
    }
}

TEST(CommandPaint, TheMiddleShowsTheGradientInTheStatesDirection) {
    LoadedCommand loaded;
    Command& command = loaded.command;
    auto expect_middle = [&](Pixel top, Pixel bottom) {
        for (int x = 4; x <= 76; ++x) {
            ASSERT_EQ(command.image().at(x, 4), top) << x;
            ASSERT_EQ(command.image().at(x, 20), bottom) << x;
        }
    };
    SCOPED_TRACE("Idle");
    expect_middle(kLightRow4, kShadeRow20);
    command.MouseMove();
    SCOPED_TRACE("Hover");
    expect_middle(kShadeRow20, kLightRow4);
    command.GotFocus();
    SCOPED_TRACE("FocusedHover after Hover");
    expect_middle(kShadeRow20, kLightRow4);
    command.HoverPollTick(false);
    SCOPED_TRACE("Focused");
    expect_middle(kLightRow4, kShadeRow20);
    command.MouseMove();
    SCOPED_TRACE("FocusedHover after Focused");
    expect_middle(kLightRow4, kShadeRow20);
    command.LostFocus();
    command.SetEnabled(false);
    SCOPED_TRACE("Disable");
    expect_middle(kLightRow4, kShadeRow20);
    EXPECT_EQ(command.image().at(40, 1), (Pixel{201, 199, 186}));
}

TEST(CommandPaint, FillGradientRunsFromWhiteToLavenderGrey) {
    LoadedCommand loaded;
    const ImageBuffer before = loaded.command.image();
    loaded.command.FillGradient();
    const ImageBuffer& image = loaded.command.image();
    EXPECT_EQ(image.at(0, 0), (Pixel{255, 255, 255}));
    EXPECT_EQ(image.at(79, 23), (Pixel{200, 199, 216})) << "one row short of (198, 197, 215)";
    for (int y = 0; y < 25; ++y) {
        EXPECT_EQ(image.at(80, y), before.at(80, y)) << "the last column is left to the band";
    }
    for (int x = 0; x < 81; ++x) {
        EXPECT_EQ(image.at(x, 24), before.at(x, 24)) << "so is the last row";
    }
}

TEST(CommandPaint, TheCaptionSitsTenTwipsAboveTheMiddle) {
    LoadedCommand loaded;
    const CaptionLabel& label = loaded.command.caption_label();
    EXPECT_DOUBLE_EQ(label.top, 80);
    EXPECT_DOUBLE_EQ(label.left, 0);
    EXPECT_DOUBLE_EQ(label.width, 1215);
    EXPECT_DOUBLE_EQ(label.height, 195);
    loaded.command.MouseDown(kLeftButton);
    EXPECT_DOUBLE_EQ(label.top, 80) << "the pressed face does not move the caption";
}

TEST(CommandPaint, ARightColumnPastSixteenBitsStaysWhereThePreviousPaintPutIt) {
    LoadedCommand loaded;
    loaded.command.Resize(2184, 25);
    EXPECT_EQ(loaded.command.image().at(2182, 12), kFrame);
    loaded.command.Resize(81, 25);
    loaded.command.Resize(2189, 25);  // 32835 twips: W - 60 no longer fits
    const ImageBuffer& image = loaded.command.image();
    EXPECT_EQ(loaded.command.slice_geometry().right_column, 1155);
    EXPECT_EQ(image.at(79, 12), kFrame) << "the right band is drawn at the old place";
    EXPECT_EQ(image.at(2188, 12), kDialog) << "and the real right edge has none";
    EXPECT_EQ(image.at(1000, 1), kFrame) << "the top band still spans the button";
}

}  // namespace
}  // namespace velmora::test
