// The loader against the public BMP test suite: good files match their reference pictures
// exactly, bad files are refused with one message.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <sstream>

#include "renderer/dib_loader.h"
#include "tests/renderer/recording_reporter.h"
#include "tests/support/child_process.h"

namespace velmora::test {
namespace {

namespace fs = std::filesystem;

const fs::path kSuite = fs::path(VELMORA_TESTDATA_DIR) / "bmpsuite";

// Every good file with a 12- or 40-byte header and the reference picture it must match.
const std::map<std::string, std::string> kGoodFiles = {
    {"pal1.bmp", "pal1.png"},           {"pal1bg.bmp", "pal1bg.png"},
    {"pal1wb.bmp", "pal1.png"},         {"pal4.bmp", "pal4.png"},
    {"pal4gs.bmp", "pal4gs.png"},       {"pal4rle.bmp", "pal4.png"},
    {"pal8-0.bmp", "pal8.png"},         {"pal8.bmp", "pal8.png"},
    {"pal8gs.bmp", "pal8gs.png"},       {"pal8nonsquare.bmp", "pal8nonsquare-e.png"},
    {"pal8os2.bmp", "pal8.png"},        {"pal8rle.bmp", "pal8.png"},
    {"pal8topdown.bmp", "pal8.png"},    {"pal8w124.bmp", "pal8w124.png"},
    {"pal8w125.bmp", "pal8w125.png"},   {"pal8w126.bmp", "pal8w126.png"},
    {"rgb16-565.bmp", "rgb16-565.png"}, {"rgb16-565pal.bmp", "rgb16-565.png"},
    {"rgb16.bmp", "rgb16.png"},         {"rgb16bfdef.bmp", "rgb16.png"},
    {"rgb24.bmp", "rgb24.png"},         {"rgb24pal.bmp", "rgb24.png"},
    {"rgb32.bmp", "rgb24.png"},         {"rgb32bf.bmp", "rgb24.png"},
    {"rgb32bfdef.bmp", "rgb24.png"},
};

// Files of the bad set whose nonsense lies in fields that play no part in the pixels: they load
// as the picture they hold.
const std::map<std::string, std::string> kUnusedFieldFiles = {
    {"badbitssize.bmp", "pal1.png"},  // image size far beyond the file, uncompressed
    {"baddens1.bmp", "pal1.png"},     // 30,000,000 pixels per metre
    {"baddens2.bmp", "pal1.png"},     //
    {"badfilesize.bmp", "pal1.png"},  // file size field beyond the file
    {"badplanes.bmp", "pal1.png"},    // 30000 planes
};

// Every other bad file and the message that refuses it.
const std::map<std::string, std::string_view> kBadFiles = {
    {"badbitcount.bmp", kUnknownFormatMessage},     // 30000 bits per pixel
    {"badheadersize.bmp", kUnknownFormatMessage},   // a 66-byte header
    {"badpalettesize.bmp", kUnknownFormatMessage},  // 305,402,420 colours for 8 bits
    {"badrle.bmp", kConversionErrorMessage},        // runs leave the picture
    {"badrle4.bmp", kConversionErrorMessage},       //
    {"badrle4bis.bmp", kConversionErrorMessage},    //
    {"badrle4ter.bmp", kConversionErrorMessage},    //
    {"badrlebis.bmp", kConversionErrorMessage},     //
    {"badrleter.bmp", kConversionErrorMessage},     //
    {"badwidth.bmp", kUnknownFormatMessage},        // negative width
    {"pal8badindex.bmp", kConversionErrorMessage},  // indices past the 101 colours
    {"reallybig.bmp", kOutOfMemoryMessage},         // 3,000,000 × 2,000,000 pixels in 24 KiB
    {"rgb16-880.bmp", kUnknownFormatMessage},       // no bits for blue
    {"rletopdown.bmp", kUnknownFormatMessage},      // run-length data cannot run top-down
    {"shortfile.bmp", kConversionErrorMessage},     // cut off after 273 bytes
};

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb;  // rows from the top
};

// The reference PNG decoded by ImageMagick into a binary PPM.
Picture ReadReference(const fs::path& png) {
    const CommandResult result =
        RunCommand({"convert", png.string(), "-depth", "8", "ppm:-"}, {}, std::chrono::seconds(30));
    EXPECT_EQ(result.status, 0) << png;
    std::istringstream text(result.output);
    std::string magic;
    int maximum = 0;
    Picture picture;
    text >> magic >> picture.width >> picture.height >> maximum;
    text.get();
    EXPECT_EQ(magic, "P6");
    EXPECT_EQ(maximum, 255);
    picture.rgb.assign(std::istreambuf_iterator<char>(text), std::istreambuf_iterator<char>());
    return picture;
}

std::uint32_t HeaderSizeOf(const fs::path& file) {
    std::ifstream stream(file, std::ios::binary);
    std::uint8_t bytes[18] = {};
    stream.read(reinterpret_cast<char*>(bytes), sizeof bytes);
    return bytes[14] | (bytes[15] << 8) | (bytes[16] << 16) |
           (static_cast<std::uint32_t>(bytes[17]) << 24);
}

std::set<std::string> FilesIn(const fs::path& folder) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        if (entry.path().extension() == ".bmp") {
            names.insert(entry.path().filename().string());
        }
    }
    return names;
}

class BmpSuite : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!fs::is_directory(kSuite)) {
            GTEST_SKIP() << "BMP suite not found at " << kSuite << "; these cases need it";
        }
    }
};

void ExpectPictureMatches(const fs::path& file, const std::string& reference_name) {
    SCOPED_TRACE(file.filename().string());
    RecordingReporter reporter;
    const auto image = dib_load(file.string(), reporter);
    ASSERT_NE(image, nullptr) << testing::PrintToString(reporter.messages);
    EXPECT_TRUE(reporter.messages.empty());
    const Picture reference = ReadReference(kSuite / "ref" / reference_name);
    ASSERT_EQ(image->width, reference.width);
    ASSERT_EQ(image->height, reference.height);
    ASSERT_EQ(reference.rgb.size(), image->pixels.size());
    const std::size_t row_bytes = static_cast<std::size_t>(image->width) * 3;
    int wrong = 0;
    for (std::size_t row = 0; row < static_cast<std::size_t>(image->height); ++row) {
        const std::size_t reference_row = static_cast<std::size_t>(image->height) - 1 - row;
        for (std::size_t byte = 0; byte < row_bytes; ++byte) {
            wrong += image->pixels[row * row_bytes + byte] !=
                     reference.rgb[reference_row * row_bytes + byte];
        }
    }
    EXPECT_EQ(wrong, 0) << "bytes that differ from " << reference_name;
}

TEST_F(BmpSuite, GoodFilesWithCoreOrInfoHeadersMatchTheirReferenceExactly) {
    for (const auto& [name, reference_name] : kGoodFiles) {
        ExpectPictureMatches(kSuite / "g" / name, reference_name);
    }
    for (const auto& [name, reference_name] : kUnusedFieldFiles) {
        ExpectPictureMatches(kSuite / "b" / name, reference_name);
    }
}

TEST_F(BmpSuite, EveryGoodFileIsCheckedAndLargerHeadersAreAnUnknownFormat) {
    for (const std::string& name : FilesIn(kSuite / "g")) {
        SCOPED_TRACE(name);
        const std::uint32_t header_size = HeaderSizeOf(kSuite / "g" / name);
        if (header_size == kCoreHeaderSize || header_size == kInfoHeaderSize) {
            EXPECT_TRUE(kGoodFiles.contains(name)) << "a good file without a reference check";
            continue;
        }
        RecordingReporter reporter;
        EXPECT_EQ(dib_load((kSuite / "g" / name).string(), reporter), nullptr);
        EXPECT_EQ(reporter.messages, std::vector<std::string>{std::string(kUnknownFormatMessage)});
    }
}

TEST_F(BmpSuite, EveryBadFileIsRefusedWithOneMessage) {
    const std::set<std::string> present = FilesIn(kSuite / "b");
    for (const std::string& name : present) {
        SCOPED_TRACE(name);
        if (kUnusedFieldFiles.contains(name)) {
            continue;
        }
        ASSERT_TRUE(kBadFiles.contains(name)) << "a bad file without an expected message";
        RecordingReporter reporter;
        EXPECT_EQ(dib_load((kSuite / "b" / name).string(), reporter), nullptr);
        EXPECT_EQ(reporter.messages, std::vector<std::string>{std::string(kBadFiles.at(name))});
    }
    EXPECT_EQ(present.size(), kBadFiles.size() + kUnusedFieldFiles.size());
}

}  // namespace
}  // namespace velmora::test
