#include "renderer/dib_loader.h"

#include <gtest/gtest.h>

#include <climits>
#include <filesystem>
#include <string>

#include "tests/renderer/recording_reporter.h"
#include "tests/support/bmp_file.h"
#include "tests/support/child_process.h"

namespace velmora::test {
namespace {

using Bytes = std::vector<std::uint8_t>;

RgbImage Decoded(const Bytes& file) {
    auto result = DecodeDib(file);
    if (auto* failure = std::get_if<DibFailure>(&result)) {
        ADD_FAILURE() << "refused: " << DibFailureMessage(*failure, "file");
        return {};
    }
    return std::get<RgbImage>(std::move(result));
}

std::string Refusal(const Bytes& file) {
    auto result = DecodeDib(file);
    if (const auto* failure = std::get_if<DibFailure>(&result)) {
        return DibFailureMessage(*failure, "file");
    }
    return "loaded";
}

const std::string kUnknownFormat(kUnknownFormatMessage);
const std::string kConversionError(kConversionErrorMessage);
const std::string kOutOfMemory(kOutOfMemoryMessage);

// A 1-bit, 2 × 2 picture: black and white palette; pixel bits in the top of each row's byte.
BmpFields OneBitFields() {
    BmpFields bmp;
    bmp.width = 2;
    bmp.height = 2;
    bmp.bit_count = 1;
    bmp.palette = {{0, 0, 0}, {255, 255, 255}};
    bmp.pixels = {0b1000'0000, 0, 0, 0, 0b0100'0000, 0, 0, 0};
    return bmp;
}

TEST(DibLoaderLayout, ThreePixelWideRowsDropTheirPaddingAndStartAtTheBottomLeft) {
    // Stored rows are 9 bytes of pixels plus 3 of padding; the padding holds junk here.
    BmpFields bmp;
    bmp.width = 3;
    bmp.height = 2;
    bmp.pixels = {3,  2,  1,  6,  5,  4,  9,  8,  7,  0xEE, 0xEE, 0xEE,
                  13, 12, 11, 16, 15, 14, 19, 18, 17, 0xEE, 0xEE, 0xEE};
    const RgbImage image = Decoded(BuildBmp(bmp));
    EXPECT_EQ(image.width, 3);
    EXPECT_EQ(image.height, 2);
    EXPECT_EQ(image.pixels, (Bytes{1, 2, 3, 4, 5, 6, 7, 8, 9, 11, 12, 13, 14, 15, 16, 17, 18, 19}));
}

TEST(DibLoaderLayout, GreyFlarePictureGivesEachPixelItsPaletteGrey) {
    const RgbImage image = Decoded(GreyBmp8());
    ASSERT_EQ(image.width, 128);
    ASSERT_EQ(image.height, 128);
    ASSERT_EQ(image.pixels.size(), 128u * 128u * 3u);
    for (std::size_t y = 0; y < 128; ++y) {
        for (std::size_t x = 0; x < 128; ++x) {
            const auto grey = static_cast<std::uint8_t>((x + y) % 256);
            const std::size_t at = (y * 128 + x) * 3;
            ASSERT_EQ(image.pixels[at], grey);
            ASSERT_EQ(image.pixels[at + 1], grey);
            ASSERT_EQ(image.pixels[at + 2], grey);
        }
    }
}

TEST(DibLoaderLayout, TopDownPictureLoadsTheRightWayUp) {
    BmpFields bmp;
    bmp.width = 1;
    bmp.height = -2;
    bmp.pixels = {30, 20, 10, 0, 60, 50, 40, 0};  // top row first
    const RgbImage image = Decoded(BuildBmp(bmp));
    EXPECT_EQ(image.height, 2);
    EXPECT_EQ(image.pixels, (Bytes{40, 50, 60, 10, 20, 30}));
}

TEST(DibLoaderLayout, FilesWithoutFileHeaderTakePixelsRightAfterTheColourTable) {
    BmpFields info = OneBitFields();
    info.file_header = false;
    EXPECT_EQ(Decoded(BuildBmp(info)).pixels,
              (Bytes{255, 255, 255, 0, 0, 0, 0, 0, 0, 255, 255, 255}));

    BmpFields core = OneBitFields();
    core.file_header = false;
    core.header_size = kCoreHeaderSize;  // 3-byte colour entries
    EXPECT_EQ(Decoded(BuildBmp(core)).pixels, Decoded(BuildBmp(info)).pixels);
}

TEST(DibLoaderLayout, LastRowMayLackItsPadding) {
    BmpFields bmp;
    bmp.pixels = {3, 2, 1};
    EXPECT_EQ(Decoded(BuildBmp(bmp)).pixels, (Bytes{1, 2, 3}));
}

TEST(DibLoaderLayout, ShorterColourTableThanTheBitCountAllows) {
    BmpFields bmp;
    bmp.width = 2;
    bmp.bit_count = 4;
    bmp.colours_used = 3;
    bmp.palette = {{1, 1, 1}, {2, 2, 2}, {3, 3, 3}};
    bmp.pixels = {0x21, 0, 0, 0};
    EXPECT_EQ(Decoded(BuildBmp(bmp)).pixels, (Bytes{3, 3, 3, 2, 2, 2}));
    bmp.pixels = {0x23, 0, 0, 0};  // index 3 is not in the table
    EXPECT_EQ(Refusal(BuildBmp(bmp)), kConversionError);
}

TEST(DibLoaderMasks, SixteenBitFieldsScaleEachColourToEightBits) {
    BmpFields bmp;
    bmp.width = 3;
    bmp.bit_count = 16;
    bmp.compression = kCompressionBitFields;
    bmp.masks = {0xF800, 0x07E0, 0x001F};  // 5-6-5
    bmp.pixels = {0xFF, 0xFF, 0x00, 0x00, 0x10, 0x84, 0, 0};
    EXPECT_EQ(Decoded(BuildBmp(bmp)).pixels, (Bytes{255, 255, 255, 0, 0, 0, 132, 130, 132}));
}

TEST(DibLoaderMasks, DefaultSixteenBitPixelsAreFiveBitsPerColour) {
    BmpFields bmp;
    bmp.bit_count = 16;
    bmp.pixels = {0x1F, 0x7C, 0, 0};  // red and blue full, green 0; the top bit is unused
    EXPECT_EQ(Decoded(BuildBmp(bmp)).pixels, (Bytes{255, 0, 255}));
}

TEST(DibLoaderMasks, WideMasksOfThirtyTwoBitPixelsRound) {
    BmpFields bmp;
    bmp.bit_count = 32;
    bmp.compression = kCompressionBitFields;
    bmp.masks = {0x3FF00000, 0x000FFC00, 0x000003FF};  // 10 bits each
    const std::uint32_t pixel = (1023u << 20) | (512u << 10) | 2u;
    bmp.pixels = {static_cast<std::uint8_t>(pixel), static_cast<std::uint8_t>(pixel >> 8),
                  static_cast<std::uint8_t>(pixel >> 16), static_cast<std::uint8_t>(pixel >> 24)};
    EXPECT_EQ(Decoded(BuildBmp(bmp)).pixels, (Bytes{255, 128, 0}));
}

TEST(DibLoaderMasks, UnusableMasksAreAnUnknownFormat) {
    const std::vector<std::vector<std::uint32_t>> masks = {
        {0xF800, 0x07E0, 0},         // a colour without bits
        {0xF800, 0x0FE0, 0x001F},    // overlapping colours
        {0xF800, 0x05E0, 0x001F},    // a broken run of bits
        {0x1F0000, 0x07E0, 0x001F},  // bits outside a 16-bit pixel
    };
    for (const auto& set : masks) {
        BmpFields bmp;
        bmp.bit_count = 16;
        bmp.compression = kCompressionBitFields;
        bmp.masks = set;
        bmp.pixels = {0, 0, 0, 0};
        EXPECT_EQ(Refusal(BuildBmp(bmp)), kUnknownFormat) << std::hex << set[0] << set[1];
    }
}

TEST(DibLoaderHeaders, LaterHeaderVersionsAreAnUnknownFormat) {
    for (const std::uint32_t size : {52u, 56u, 64u, 108u, 124u}) {
        BmpFields bmp;
        bmp.header_size = size;
        bmp.pixels = {0, 0, 0, 0};
        EXPECT_EQ(Refusal(BuildBmp(bmp)), kUnknownFormat) << size;
    }
}

TEST(DibLoaderHeaders, FileWithoutSignatureOrHeaderIsAnUnknownFormat) {
    EXPECT_EQ(Refusal(Bytes{'G', 'I', 'F', '8', '9', 'a', 0, 0}), kUnknownFormat);
    EXPECT_EQ(Refusal(Bytes{'h', 'i'}), kUnknownFormat);
}

TEST(DibLoaderHeaders, ValuesNoPictureHasAreAnUnknownFormat) {
    struct Case {
        const char* what;
        void (*change)(BmpFields&);
    };
    const Case cases[] = {
        {"2 bits per pixel", [](BmpFields& s) { s.bit_count = 2; }},
        {"16 bits in a core header",
         [](BmpFields& s) {
             s.header_size = kCoreHeaderSize;
             s.bit_count = 16;
         }},
        {"JPEG compression", [](BmpFields& s) { s.compression = 4; }},
        {"run-length 8 on 24 bits", [](BmpFields& s) { s.compression = kCompressionRle8; }},
        {"zero width", [](BmpFields& s) { s.width = 0; }},
        {"negative width", [](BmpFields& s) { s.width = -1; }},
        {"zero height", [](BmpFields& s) { s.height = 0; }},
        {"lowest height", [](BmpFields& s) { s.height = INT_MIN; }},
        {"3 colours for 1 bit",
         [](BmpFields& s) {
             s.bit_count = 1;
             s.colours_used = 3;
             s.palette.resize(3);
         }},
        {"a colour count beyond 16 bits", [](BmpFields& s) { s.colours_used = 65536; }},
    };
    for (const Case& c : cases) {
        BmpFields bmp;
        bmp.pixels = {0, 0, 0, 0};
        c.change(bmp);
        EXPECT_EQ(Refusal(BuildBmp(bmp)), kUnknownFormat) << c.what;
    }
}

TEST(DibLoaderHeaders, TopDownRunLengthDataIsAnUnknownFormat) {
    BmpFields bmp;
    bmp.bit_count = 8;
    bmp.height = -1;
    bmp.compression = kCompressionRle8;
    bmp.palette = {{1, 2, 3}};
    bmp.colours_used = 1;
    bmp.pixels = {1, 0, 0, 1};
    EXPECT_EQ(Refusal(BuildBmp(bmp)), kUnknownFormat);
}

TEST(DibLoaderHeaders, PictureTooLargeToHoldIsOutOfMemoryBeforeAnythingIsRead) {
    BmpFields bmp;
    bmp.width = 16384;
    bmp.height = 16384;
    EXPECT_EQ(Refusal(BuildBmp(bmp)), kOutOfMemory);
}

Bytes Start(const Bytes& whole, std::size_t length) {
    return Bytes(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(length));
}

TEST(DibLoaderTruncation, PiecesOutsideTheFileAreAConversionError) {
    // The header, the colour table or the rows themselves are found missing, measured against
    // the file's real length. The last row's 3 bytes of padding may go.
    const Bytes whole = BuildBmp(OneBitFields());
    BmpFields bare = OneBitFields();
    bare.file_header = false;
    const Bytes info = BuildBmp(bare);
    for (const auto& [file, first] : {std::pair{whole, std::size_t{2}}, {info, std::size_t{4}}}) {
        for (std::size_t length = first; length < file.size() - 3; ++length) {
            EXPECT_EQ(Refusal(Start(file, length)), kConversionError) << length << " bytes";
        }
        EXPECT_EQ(Refusal(Start(file, file.size() - 3)), "loaded");
    }

    Bytes offset_past_end = whole;
    offset_past_end[10] = 200;
    EXPECT_EQ(Refusal(offset_past_end), kConversionError);
}

TEST(DibLoaderHeaders, FieldsTheConversionDoesNotUseRefuseNothing) {
    const Bytes whole = Bmp24(3, 2, Bytes(18, 7));
    Bytes file_size = whole;
    file_size[2] = static_cast<std::uint8_t>(whole.size() + 100);
    BmpFields fields = OneBitFields();
    fields.image_size = 1'000'000;
    fields.planes = 0;
    Bytes densities = BuildBmp(fields);
    std::fill(densities.begin() + 38, densities.begin() + 46, 0xFF);  // both -1
    for (const Bytes& file : {file_size, densities}) {
        EXPECT_EQ(Refusal(file), "loaded");
    }
    EXPECT_EQ(Decoded(file_size).pixels, Bytes(18, 7));
}

BmpFields RunLength8(Bytes data, std::int32_t width = 4, std::int32_t height = 2) {
    BmpFields bmp;
    bmp.width = width;
    bmp.height = height;
    bmp.bit_count = 8;
    bmp.compression = kCompressionRle8;
    bmp.palette = {{0, 0, 0}, {10, 10, 10}, {20, 20, 20}, {30, 30, 30}};
    bmp.colours_used = 4;
    bmp.image_size = static_cast<std::uint32_t>(data.size());
    bmp.pixels = std::move(data);
    return bmp;
}

// Palette greys 10 × index of each pixel, as the decoded picture's red bytes.
std::vector<int> Indices(const RgbImage& image) {
    std::vector<int> indices;
    for (std::size_t i = 0; i < image.pixels.size(); i += 3) {
        indices.push_back(image.pixels[i] / 10);
    }
    return indices;
}

TEST(DibLoaderRunLength, EightBitRunsLiteralsDeltasAndLineEnds) {
    // Row 0: a run of two 1s; row 1: a literal 3 2 1. Pixels no run reaches stay black.
    const Bytes data = {2, 1, 0, 0,        // 1 1, end of line
                        0, 3, 3, 2, 1, 0,  // literal 3 2 1 (padded to a word)
                        0, 1};             // end of bitmap
    EXPECT_EQ(Indices(Decoded(BuildBmp(RunLength8(data)))),
              (std::vector<int>{1, 1, 0, 0, 3, 2, 1, 0}));
    // A delta skips pixels, which stay black.
    const Bytes skip = {1, 2, 0, 2, 2, 1, 1, 3, 0, 1};
    EXPECT_EQ(Indices(Decoded(BuildBmp(RunLength8(skip)))),
              (std::vector<int>{2, 0, 0, 0, 0, 0, 0, 3}));
}

TEST(DibLoaderRunLength, FourBitRunsAlternateTheirTwoIndices) {
    BmpFields bmp = RunLength8({5, 0x12, 0, 0, 0, 3, 0x32, 0x10, 0, 1}, 5, 2);
    bmp.bit_count = 4;
    bmp.compression = kCompressionRle4;
    EXPECT_EQ(Indices(Decoded(BuildBmp(bmp))), (std::vector<int>{1, 2, 1, 2, 1, 3, 2, 1, 0, 0}));
}

TEST(DibLoaderRunLength, DataThatLeavesThePictureIsAConversionError) {
    const std::vector<std::pair<const char*, Bytes>> cases = {
        {"run past the row's end", {5, 1, 0, 1}},
        {"literal past the row's end", {0, 5, 1, 1, 1, 1, 1, 0, 0, 1}},
        {"delta past the right edge", {0, 2, 5, 0, 0, 1}},
        {"delta past the top", {0, 2, 0, 2, 0, 1}},
        {"pixels above the top row", {0, 0, 0, 0, 1, 1, 0, 1}},
        {"index past the colour table", {1, 4, 0, 1}},
        {"no end of bitmap", {4, 1, 0, 0, 4, 1}},
        {"literal cut off", {0, 4, 1, 1}},
    };
    for (const auto& [what, data] : cases) {
        EXPECT_EQ(Refusal(BuildBmp(RunLength8(data))), kConversionError) << what;
    }
    // The image size is the data's length: its end of bitmap must lie inside, and so must it.
    BmpFields sized = RunLength8({4, 1, 0, 0, 4, 1, 0, 1});
    sized.image_size = 6;
    EXPECT_EQ(Refusal(BuildBmp(sized)), kConversionError);
    sized.image_size = 9;
    EXPECT_EQ(Refusal(BuildBmp(sized)), kConversionError);
    sized.image_size = 0;
    EXPECT_EQ(Refusal(BuildBmp(sized)), "loaded");
}

TEST(DibPaletteEntries, CountFollowsColoursUsedOrTheBitCount) {
    DibInfoHeader header;
    header.size = kInfoHeaderSize;
    const std::pair<std::uint16_t, std::uint16_t> by_bits[] = {{1, 2},  {4, 16}, {8, 256},
                                                               {16, 0}, {24, 0}, {32, 0}};
    for (const auto& [bits, entries] : by_bits) {
        header.bit_count = bits;
        EXPECT_EQ(dib_palette_entries(header), entries) << bits;
    }
    header.colours_used = 12;
    EXPECT_EQ(dib_palette_entries(header), 12);
    header.colours_used = 0x10005;  // only the low 16 bits count
    EXPECT_EQ(dib_palette_entries(header), 5);
    header.size = kCoreHeaderSize;  // a core header has no colours-used field
    header.bit_count = 4;
    EXPECT_EQ(dib_palette_entries(header), 16);
}

TEST(DibLoad, ShowsExactlyOneMessageOnFailureAndNoneOnSuccess) {
    const TemporaryFolder folder;
    const std::string good = folder.path() + "/good.bmp";
    const std::string bad = folder.path() + "/bad.bmp";
    WriteBytes(good, GreyBmp8());
    BmpFields v4;
    v4.header_size = 108;
    WriteBytes(bad, BuildBmp(v4));

    RecordingReporter reporter;
    const auto image = dib_load(good, reporter);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->width, 128);
    EXPECT_TRUE(reporter.messages.empty());

    EXPECT_EQ(dib_load(bad, reporter), nullptr);
    EXPECT_EQ(reporter.messages, std::vector<std::string>{kUnknownFormat});
}

TEST(DibLoad, EmptyOrMissingFileIsAnOpenFailureNamingTheFile) {
    const TemporaryFolder folder;
    const std::string empty = folder.path() + "/empty.bmp";
    WriteBytes(empty, {});
    RecordingReporter reporter;
    EXPECT_EQ(dib_load(empty, reporter), nullptr);
    EXPECT_EQ(dib_load(folder.path() + "/missing.bmp", reporter), nullptr);
    EXPECT_EQ(dib_load(folder.path(), reporter), nullptr);
    EXPECT_EQ(reporter.messages, (std::vector<std::string>{
                                     "Failed to open DIB file " + empty + ".\n",
                                     "Failed to open DIB file " + folder.path() + "/missing.bmp.\n",
                                     "Failed to open DIB file " + folder.path() + ".\n"}));
}

TEST(DibLoad, OpenFailureMessageCutsALongNameAtACharacterBoundary) {
    // "ヴ" is three bytes in UTF-8; no cut may leave part of one.
    std::string name = "/";
    while (name.size() < 3000) {
        name += "ヴ";
    }
    for (std::size_t extra = 0; extra < 3; ++extra) {
        const std::string message = OpenFailureMessage(std::string(extra, 'a') + name);
        EXPECT_LE(message.size(), kMaxMessageBytes);
        EXPECT_GE(message.size(), kMaxMessageBytes - 2);
        EXPECT_TRUE(
            message.starts_with("Failed to open DIB file " + std::string(extra, 'a') + "/ヴ"));
        ASSERT_TRUE(message.ends_with("ヴ.\n")) << extra;
    }
    RecordingReporter reporter;
    EXPECT_EQ(dib_load(name, reporter), nullptr);
    EXPECT_EQ(reporter.messages, std::vector<std::string>{OpenFailureMessage(name)});
}

}  // namespace
}  // namespace velmora::test
