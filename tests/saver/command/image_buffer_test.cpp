#include "saver/command/image_buffer.h"

#include <gtest/gtest.h>

#include <climits>
#include <stdexcept>

namespace velmora::test {
namespace {

using Pixel = ImageBuffer::Pixel;
constexpr Pixel kA{10, 0, 0}, kB{20, 0, 0}, kC{30, 0, 0}, kD{40, 0, 0};
constexpr Pixel kBlank{1, 2, 3};

ImageBuffer Row(std::initializer_list<Pixel> pixels) {
    ImageBuffer row(static_cast<int>(pixels.size()), 1);
    int x = 0;
    for (const Pixel& pixel : pixels) {
        row.set(x++, 0, pixel);
    }
    return row;
}

std::vector<Pixel> RowOf(const ImageBuffer& image, int y) {
    std::vector<Pixel> row;
    for (int x = 0; x < image.width(); ++x) {
        row.push_back(image.at(x, y));
    }
    return row;
}

TEST(ImageBufferStretchCopy, StretchesAndShrinksByNearestPixel) {
    ImageBuffer wide(4, 1, kBlank);
    wide.StretchCopy(Row({kA, kB}), {0, 0, 2, 1}, {0, 0, 4, 1});
    EXPECT_EQ(RowOf(wide, 0), (std::vector{kA, kA, kB, kB}));

    ImageBuffer narrow(2, 1, kBlank);
    narrow.StretchCopy(Row({kA, kB, kC, kD}), {0, 0, 4, 1}, {0, 0, 2, 1});
    EXPECT_EQ(RowOf(narrow, 0), (std::vector{kB, kD}));
}

TEST(ImageBufferStretchCopy, LeavesOutWhatFallsOutsideEitherPicture) {
    ImageBuffer image(3, 1, kBlank);
    image.StretchCopy(Row({kA, kB, kC}), {0, 0, 3, 1}, {-1, 0, 3, 1});
    EXPECT_EQ(RowOf(image, 0), (std::vector{kB, kC, kBlank}));

    image.Fill(kBlank);
    image.StretchCopy(Row({kA, kB}), {1, 0, 2, 1}, {0, 0, 2, 1});
    EXPECT_EQ(RowOf(image, 0), (std::vector{kB, kBlank, kBlank})) << "source column 2 is missing";

    image.Fill(kBlank);
    image.StretchCopy(Row({kA}), {0, 0, 1, 1}, {0, 0, -2, 1});
    image.StretchCopy(Row({kA}), {0, 0, 1, 1}, {0, 0, 3, 0});
    image.StretchCopy(Row({kA}), {0, 0, 1, 1}, {INT_MAX - 1, 0, INT_MAX, 1});
    EXPECT_EQ(RowOf(image, 0), (std::vector{kBlank, kBlank, kBlank}));
}

TEST(ImageBufferGradient, FillsTopToBottomWithoutTheLastRowAndColumn) {
    ImageBuffer image(3, 3, kBlank);
    const ImageBuffer::GradientVertex white{
        .x = 0, .y = 0, .red = 0xFF00, .green = 0xFF00, .blue = 0xFF00};
    const ImageBuffer::GradientVertex black{.x = 2, .y = 2};
    image.GradientFillVertical(black, white);  // given bottom first, as the button does
    EXPECT_EQ(RowOf(image, 0), (std::vector{Pixel{255, 255, 255}, Pixel{255, 255, 255}, kBlank}));
    EXPECT_EQ(RowOf(image, 1), (std::vector{Pixel{127, 127, 127}, Pixel{127, 127, 127}, kBlank}));
    EXPECT_EQ(RowOf(image, 2), (std::vector{kBlank, kBlank, kBlank}));
}

TEST(ImageBufferGradient, FarVerticesOnlyTouchThePicture) {
    ImageBuffer image(2, 2, kBlank);
    image.GradientFillVertical({.x = -5, .y = INT32_MIN}, {.x = 7, .y = INT32_MAX});
    EXPECT_EQ(image.at(1, 1), (Pixel{0, 0, 0}));
    ImageBuffer flat(2, 2, kBlank);
    flat.GradientFillVertical({.x = 0, .y = 1}, {.x = 2, .y = 1});
    EXPECT_EQ(flat.at(0, 1), kBlank) << "a rectangle without height fills nothing";
}

TEST(ImageBuffer, ShortPixelDataLeavesTheRestBlackAndBadPlacesThrow) {
    const std::uint8_t bytes[] = {1, 2, 3, 4};
    const ImageBuffer image(2, 1, bytes);
    EXPECT_EQ(image.at(0, 0), (Pixel{1, 2, 3}));
    EXPECT_EQ(image.at(1, 0), (Pixel{0, 0, 0}));
    EXPECT_THROW(image.at(2, 0), std::out_of_range);
    EXPECT_THROW(image.at(0, -1), std::out_of_range);
}

}  // namespace
}  // namespace velmora::test
