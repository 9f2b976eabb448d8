#include "renderer/picture_files.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>

#include "tests/renderer/recording_reporter.h"
#include "tests/support/bmp_file.h"
#include "tests/support/child_process.h"

namespace velmora::test {
namespace {

TEST(PictureFiles, LiveInThePictureFolderOfTheCacheHome) {
    const char* saved = std::getenv("XDG_CACHE_HOME");
    const std::string before = saved != nullptr ? saved : "";
    setenv("XDG_CACHE_HOME", "/somewhere/cache", 1);
    EXPECT_EQ(DesktopPicturePath(), "/somewhere/cache/k_orvin/Velmora1.bmp");
    EXPECT_EQ(FlarePicturePath(), "/somewhere/cache/k_orvin/Velmora2.bmp");
    if (saved != nullptr) {
        setenv("XDG_CACHE_HOME", before.c_str(), 1);
    } else {
        unsetenv("XDG_CACHE_HOME");
    }
}

TEST(BitmapFileLoad, MissingFileIsSilentOtherFailuresAreTheLoaders) {
    const TemporaryFolder folder;
    RecordingReporter reporter;
    EXPECT_EQ(bitmap_file_load(folder.path() + "/missing.bmp", reporter), nullptr);
    EXPECT_TRUE(reporter.messages.empty());

    const std::string empty = folder.path() + "/empty.bmp";
    WriteBytes(empty, {});
    EXPECT_EQ(bitmap_file_load(empty, reporter), nullptr);
    EXPECT_EQ(reporter.messages,
              std::vector<std::string>{"Failed to open DIB file " + empty + ".\n"});

    const std::string good = folder.path() + "/good.bmp";
    WriteBytes(good, GreyBmp8());
    const auto image = bitmap_file_load(good, reporter);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->height, 128);
    EXPECT_EQ(reporter.messages.size(), 1u);
}

TEST(BitmapFileLoad, PipeInPlaceOfAPictureIsRefusedWithoutWaiting) {
    const TemporaryFolder folder;
    const std::string pipe = folder.path() + "/Velmora1.bmp";
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    RecordingReporter reporter;
    EXPECT_EQ(bitmap_file_load(pipe, reporter), nullptr);
    EXPECT_EQ(reporter.messages,
              std::vector<std::string>{"Failed to open DIB file " + pipe + ".\n"});
}

}  // namespace
}  // namespace velmora::test
