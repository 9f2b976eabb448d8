#include "saver/host/bmp_writer.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace velmora
