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
BmpSpec OneBitSpec() {
    BmpSpec spec;
    spec.width = 2;
    spec.height = 2;
    spec.bit_count = 1;
    spec.palette = {{0, 0, 0}, {255, 255, 255}};
    spec.pixels = {0b1000'0000, 0, 0, 0, 0b0100'0000, 0, 0, 0};
    return spec;
}

TEST(DibLoaderLayout, ThreePixelWideRowsDropTheirPaddingAndStartAtTheBottomLeft) {
    // Stored rows are 9 bytes of pixels plus 3 of padding; the padding holds junk here.
    BmpSpec spec;
    spec.width = 3;
    spec.height = 2;
    spec.pixels = {3,  2,  1,  6,  5,  4,  9,  8,  7,  0xEE, 0xEE, 0xEE,
                   13, 12, 11, 16, 15, 14, 19, 18, 17, 0xEE, 0xEE, 0xEE};
    const RgbImage image = Decoded(BuildBmp(spec));
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
    BmpSpec spec;
    spec.width = 1;
    spec.height = -2;
    spec.pixels = {30, 20, 10, 0, 60, 50, 40, 0};  // top row first
    const RgbImage image = Decoded(BuildBmp(spec));
    EXPECT_EQ(image.height, 2);
    EXPECT_EQ(image.pixels, (Bytes{40, 50, 60, 10, 20, 30}));
}

TEST(DibLoaderLayout, FilesWithoutFileHeaderTakePixelsRightAfterTheColourTable) {
    BmpSpec info = OneBitSpec();
    info.file_header = false;
    EXPECT_EQ(Decoded(BuildBmp(info)).pixels,
              (Bytes{255, 255, 255, 0, 0, 0, 0, 0, 0, 255, 255, 255}));

    BmpSpec core = OneBitSpec();
    core.file_header = false;
    core.header_size = kCoreHeaderSize;  // 3-byte colour entries
    EXPECT_EQ(Decoded(BuildBmp(core)).pixels, Decoded(BuildBmp(info)).pixels);
}

TEST(DibLoaderLayout, LastRowMayLackItsPadding) {
    BmpSpec spec;
    spec.pixels = {3, 2, 1};
    EXPECT_EQ(Decoded(BuildBmp(spec)).pixels, (Bytes{1, 2, 3}));
}

TEST(DibLoaderLayout, ShorterColourTableThanTheBitCountAllows) {
    BmpSpec spec;
    spec.width = 2;
    spec.bit_count = 4;
    spec.colours_used = 3;
    spec.palette = {{1, 1, 1}, {2, 2, 2}, {3, 3, 3}};
    spec.pixels = {0x21, 0, 0, 0};
    EXPECT_EQ(Decoded(BuildBmp(spec)).pixels, (Bytes{3, 3, 3, 2, 2, 2}));
    spec.pixels = {0x23, 0, 0, 0};  // index 3 is not in the table
    EXPECT_EQ(Refusal(BuildBmp(spec)), kConversionError);
}

TEST(DibLoaderMasks, SixteenBitFieldsScaleEachColourToEightBits) {
    BmpSpec spec;
    spec.width = 3;
    spec.bit_count = 16;
    spec.compression = kCompressionBitFields;
    spec.masks = {0xF800, 0x07E0, 0x001F};  // 5-6-5
    spec.pixels = {0xFF, 0xFF, 0x00, 0x00, 0x10, 0x84, 0, 0};
    EXPECT_EQ(Decoded(BuildBmp(spec)).pixels, (Bytes{255, 255, 255, 0, 0, 0, 132, 130, 132}));
}

TEST(DibLoaderMasks, DefaultSixteenBitPixelsAreFiveBitsPerColour) {
    BmpSpec spec;
    spec.bit_count = 16;
    spec.pixels = {0x1F, 0x7C, 0, 0};  // red and blue full, green 0; the top bit is unused
    EXPECT_EQ(Decoded(BuildBmp(spec)).pixels, (Bytes{255, 0, 255}));
}

TEST(DibLoaderMasks, WideMasksOfThirtyTwoBitPixelsRound) {
    BmpSpec spec;
    spec.bit_count = 32;
    spec.compression = kCompressionBitFields;
    spec.masks = {0x3FF00000, 0x000FFC00, 0x000003FF};  // 10 bits each
    const std::uint32_t pixel = (1023u << 20) | (512u << 10) | 2u;
    spec.pixels = {static_cast<std::uint8_t>(pixel), static_cast<std::uint8_t>(pixel >> 8),
                   static_cast<std::uint8_t>(pixel >> 16), static_cast<std::uint8_t>(pixel >> 24)};
    EXPECT_EQ(Decoded(BuildBmp(spec)).pixels, (Bytes{255, 128, 0}));
}

TEST(DibLoaderMasks, UnusableMasksAreAnUnknownFormat) {
    const std::vector<std::vector<std::uint32_t>> masks = {
        {0xF800, 0x07E0, 0},         // a colour without bits
        {0xF800, 0x0FE0, 0x001F},    // overlapping colours
        {0xF800, 0x05E0, 0x001F},    // a broken run of bits
        {0x1F0000, 0x07E0, 0x001F},  // bits outside a 16-bit pixel
    };
    for (const auto& set : masks) {
        BmpSpec spec;
        spec.bit_count = 16;
        spec.compression = kCompressionBitFields;
        spec.masks = set;
        spec.pixels = {0, 0, 0, 0};
        EXPECT_EQ(Refusal(BuildBmp(spec)), kUnknownFormat) << std::hex << set[0] << set[1];
    }
}

TEST(DibLoaderHeaders, LaterHeaderVersionsAreAnUnknownFormat) {
    for (const std::uint32_t size : {52u, 56u, 64u, 108u, 124u}) {
        BmpSpec spec;
        spec.header_size = size;
        spec.pixels = {0, 0, 0, 0};
        EXPECT_EQ(Refusal(BuildBmp(spec)), kUnknownFormat) << size;
    }
}

TEST(DibLoaderHeaders, FileWithoutSignatureOrHeaderIsAnUnknownFormat) {
    EXPECT_EQ(Refusal(Bytes{'G', 'I', 'F', '8', '9', 'a', 0, 0}), kUnknownFormat);
    EXPECT_EQ(Refusal(Bytes{'h', 'i'}), kUnknownFormat);
}

TEST(DibLoaderHeaders, ValuesNoPictureHasAreAnUnknownFormat) {
    struct Case {
        const char* what;
        void (*change)(BmpSpec&);
    };
    const Case cases[] = {
        {"two planes", [](BmpSpec& s) { s.planes = 2; }},
        {"2 bits per pixel", [](BmpSpec& s) { s.bit_count = 2; }},
        {"16 bits in a core header",
         [](BmpSpec& s) {
             s.header_size = kCoreHeaderSize;
             s.bit_count = 16;
         }},
        {"JPEG compression", [](BmpSpec& s) { s.compression = 4; }},
        {"run-length 8 on 24 bits", [](BmpSpec& s) { s.compression = kCompressionRle8; }},
        {"zero width", [](BmpSpec& s) { s.width = 0; }},
        {"negative width", [](BmpSpec& s) { s.width = -1; }},
        {"zero height", [](BmpSpec& s) { s.height = 0; }},
        {"lowest height", [](BmpSpec& s) { s.height = INT_MIN; }},
        {"3 colours for 1 bit",
         [](BmpSpec& s) {
             s.bit_count = 1;
             s.colours_used = 3;
             s.palette.resize(3);
         }},
        {"a colour count beyond 16 bits", [](BmpSpec& s) { s.colours_used = 65536; }},
    };
    for (const Case& c : cases) {
        BmpSpec spec;
        spec.pixels = {0, 0, 0, 0};
        c.change(spec);
        EXPECT_EQ(Refusal(BuildBmp(spec)), kUnknownFormat) << c.what;
    }
}

TEST(DibLoaderHeaders, TopDownRunLengthDataIsAnUnknownFormat) {
    BmpSpec spec;
    spec.bit_count = 8;
    spec.height = -1;
    spec.compression = kCompressionRle8;
    spec.palette = {{1, 2, 3}};
    spec.colours_used = 1;
    spec.pixels = {1, 0, 0, 1};
    EXPECT_EQ(Refusal(BuildBmp(spec)), kUnknownFormat);
}

TEST(DibLoaderHeaders, PictureTooLargeToHoldIsOutOfMemoryBeforeAnythingIsRead) {
    BmpSpec spec;
    spec.width = 16384;
    spec.height = 16384;
    EXPECT_EQ(Refusal(BuildBmp(spec)), kOutOfMemory);
}

Bytes Start(const Bytes& whole, std::size_t length) {
    return Bytes(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(length));
}

TEST(DibLoaderTruncation, PiecesOutsideTheFileAreAConversionError) {
    const Bytes whole = BuildBmp(OneBitSpec());
    for (std::size_t length = 2; length < whole.size(); ++length) {
        EXPECT_EQ(Refusal(Start(whole, length)), kConversionError) << length << " bytes";
    }
    // Without a file header nothing states the length: the header, the colour table or the
    // rows themselves are found missing. The last row's 3 bytes of padding may go.
    BmpSpec bare = OneBitSpec();
    bare.file_header = false;
    const Bytes info = BuildBmp(bare);
    for (std::size_t length = 4; length < info.size() - 3; ++length) {
        EXPECT_EQ(Refusal(Start(info, length)), kConversionError) << length << " bytes";
    }
    EXPECT_EQ(Refusal(Start(info, info.size() - 3)), "loaded");

    Bytes offset_past_end = whole;
    offset_past_end[10] = 200;
    EXPECT_EQ(Refusal(offset_past_end), kConversionError);

    BmpSpec sized = OneBitSpec();
    sized.image_size = 9;  // one byte more than the file has
    EXPECT_EQ(Refusal(BuildBmp(sized)), kConversionError);
    sized.image_size = 8;
    EXPECT_EQ(Refusal(BuildBmp(sized)), "loaded");
}

TEST(DibLoaderTruncation, FileSizeFieldBeyondTheFileIsAConversionError) {
    Bytes file = BuildBmp(OneBitSpec());
    file[2] = static_cast<std::uint8_t>(file.size() + 1);
    EXPECT_EQ(Refusal(file), kConversionError);
}

BmpSpec RunLength8(Bytes data, std::int32_t width = 4, std::int32_t height = 2) {
    BmpSpec spec;
    spec.width = width;
    spec.height = height;
    spec.bit_count = 8;
    spec.compression = kCompressionRle8;
    spec.palette = {{0, 0, 0}, {10, 10, 10}, {20, 20, 20}, {30, 30, 30}};
    spec.colours_used = 4;
    spec.image_size = static_cast<std::uint32_t>(data.size());
    spec.pixels = std::move(data);
    return spec;
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
    BmpSpec spec = RunLength8({5, 0x12, 0, 0, 0, 3, 0x32, 0x10, 0, 1}, 5, 2);
    spec.bit_count = 4;
    spec.compression = kCompressionRle4;
    EXPECT_EQ(Indices(Decoded(BuildBmp(spec))), (std::vector<int>{1, 2, 1, 2, 1, 3, 2, 1, 0, 0}));
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
    BmpSpec v4;
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
