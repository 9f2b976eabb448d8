#include "saver/host/bmp_writer.h"

#include <gtest/gtest.h>

#include <bit>

#include "common/byte_cursor.h"

namespace velmora {
namespace {

struct Headers {
    std::uint32_t file_size, offset, header_size, compression, image_size, colours_used;
    std::int32_t width, height;
    std::uint16_t planes, bits;
};

Headers Read(const std::vector<std::uint8_t>& bytes) {
    ByteCursor cursor(bytes);
    EXPECT_EQ(cursor.u8(), 'B');
    EXPECT_EQ(cursor.u8(), 'M');
    Headers h{};
    h.file_size = cursor.u32();
    cursor.u32();
    h.offset = cursor.u32();
    h.header_size = cursor.u32();
    h.width = cursor.i32();
    h.height = cursor.i32();
    h.planes = cursor.u16();
    h.bits = cursor.u16();
    h.compression = cursor.u32();
    h.image_size = cursor.u32();
    cursor.u32();
    cursor.u32();
    h.colours_used = cursor.u32();
    EXPECT_FALSE(cursor.failed());
    return h;
}

TEST(EncodeBmp, TrueColourRowsRunBottomUpInBlueGreenRedWithPadding) {
    // 3 x 2, top row red green blue, bottom row white black grey.
    const RgbPicture picture{3,
                             2,
                             {255, 0, 0, 0, 255, 0, 0, 0, 255,  //
                              255, 255, 255, 0, 0, 0, 128, 128, 128}};
    const auto bytes = EncodeBmp(picture);
    const Headers h = Read(bytes);
    EXPECT_EQ(h.file_size, bytes.size());
    EXPECT_EQ(h.offset, 54u);
    EXPECT_EQ(h.header_size, 40u);
    EXPECT_EQ(h.width, 3);
    EXPECT_EQ(h.height, 2);
    EXPECT_EQ(h.planes, 1);
    EXPECT_EQ(h.bits, 24);
    EXPECT_EQ(h.compression, 0u);
    EXPECT_EQ(h.image_size, 24u) << "rows of 9 bytes padded to 12";
    const std::vector<std::uint8_t> rows(bytes.begin() + 54, bytes.end());
    EXPECT_EQ(rows, (std::vector<std::uint8_t>{255, 255, 255, 0, 0,   0, 128, 128, 128, 0, 0, 0,
                                               0,   0,   255, 0, 255, 0, 255, 0,   0,   0, 0, 0}));
}

TEST(EncodeBmp, IndexedPictureCarriesItsWholePalette) {
    IndexedPicture picture{2, 2, {0, 1, 2, 255}, {}};
    picture.palette[1] = {10, 20, 30};
    picture.palette[255] = {1, 2, 3};
    const auto bytes = EncodeBmp(picture);
    const Headers h = Read(bytes);
    EXPECT_EQ(h.bits, 8);
    EXPECT_EQ(h.colours_used, 256u);
    EXPECT_EQ(h.offset, 54u + 1024u);
    EXPECT_EQ(h.image_size, 8u);
    EXPECT_EQ(bytes.size(), 54u + 1024u + 8u);
    // Palette entries are blue, green, red, 0.
    EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin() + 58, bytes.begin() + 62),
              (std::vector<std::uint8_t>{30, 20, 10, 0}));
    EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin() + 54 + 1020, bytes.begin() + 54 + 1024),
              (std::vector<std::uint8_t>{3, 2, 1, 0}));
    EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin() + 1078, bytes.end()),
              (std::vector<std::uint8_t>{2, 255, 0, 0, 0, 1, 0, 0}));
}

// The screen's pixels in a given layout, rows from the top, each row padded by two spare bytes.
std::vector<std::uint8_t> ScreenRows(const RgbPicture& picture, const ScreenPixelLayout& layout,
                                     std::size_t bytes_per_line) {
    std::vector<std::uint8_t> rows(bytes_per_line * static_cast<std::size_t>(picture.height), 0xEE);
    const auto place = [](std::uint8_t value, std::uint32_t mask) {
        return static_cast<std::uint32_t>(value) << std::countr_zero(mask);
    };
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            const std::uint8_t* rgb = &picture.rgb[(y * picture.width + x) * 3u];
            const std::uint32_t pixel = place(rgb[0], layout.red_mask) |
                                        place(rgb[1], layout.green_mask) |
                                        place(rgb[2], layout.blue_mask);
            for (int byte = 0; byte < layout.bytes_per_pixel; ++byte) {
                const int shift =
                    8 * (layout.most_significant_first ? layout.bytes_per_pixel - 1 - byte : byte);
                rows[y * bytes_per_line + x * layout.bytes_per_pixel + byte] =
                    static_cast<std::uint8_t>(pixel >> shift);
            }
        }
    }
    return rows;
}

TEST(EncodeMirroredBmp, WritesWhatEncodingTheMirroredPictureWritesInEveryTrueColourLayout) {
    const RgbPicture picture{
        3, 2, {255, 0, 0, 0, 255, 0, 0, 0, 255, 1, 2, 3, 250, 128, 7, 9, 8, 7}};
    const auto expected = EncodeBmp(MirrorLeftToRight(picture));
    const ScreenPixelLayout layouts[] = {
        {4, false, 0xFF0000, 0x00FF00, 0x0000FF},  // the usual 24-bit visual
        {4, true, 0xFF0000, 0x00FF00, 0x0000FF},   // the same from a big-endian server
        {4, false, 0x0000FF, 0x00FF00, 0xFF0000},  // red in the low byte
        {3, false, 0xFF0000, 0x00FF00, 0x0000FF},  // packed three bytes a pixel
        {3, true, 0x0000FF, 0x00FF00, 0xFF0000},
    };
    for (const auto& layout : layouts) {
        const std::size_t line = picture.width * layout.bytes_per_pixel + 2u;
        EXPECT_EQ(EncodeMirroredBmp(ScreenRows(picture, layout, line), line, picture.width,
                                    picture.height, layout),
                  expected)
            << layout.bytes_per_pixel << " bytes, masks " << layout.red_mask;
    }
}

TEST(EncodeMirroredBmp, ScalesNarrowColoursAndRefusesLayoutsItCannotRead) {
    // 5-6-5: full red, then red 16, green 32, blue 16, which round to 132, 130, 132.
    const ScreenPixelLayout rgb565{2, false, 0xF800, 0x07E0, 0x001F};
    const std::vector<std::uint8_t> rows = {0x00, 0xF8, 0x10, 0x84};
    const auto bytes = EncodeMirroredBmp(rows, 4, 2, 1, rgb565);
    ASSERT_TRUE(bytes.has_value());
    EXPECT_EQ(std::vector<std::uint8_t>(bytes->begin() + 54, bytes->end()),
              (std::vector<std::uint8_t>{132, 130, 132, 0, 0, 255, 0, 0}));

    EXPECT_FALSE(EncodeMirroredBmp(rows, 4, 2, 1, {2, false, 0xF801, 0x07E0, 0x001E}))
        << "a colour in two runs";
    EXPECT_FALSE(EncodeMirroredBmp(rows, 4, 2, 1, {1, false, 0xE0, 0x1C, 0x03})) << "one byte";
    EXPECT_FALSE(EncodeMirroredBmp(rows, 4, 2, 2, rgb565)) << "rows missing";
    EXPECT_FALSE(EncodeMirroredBmp(rows, 3, 2, 1, rgb565)) << "a line shorter than its pixels";
}

}  // namespace
}  // namespace velmora
