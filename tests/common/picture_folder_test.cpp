#include "common/picture_folder.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "tests/support/child_process.h"

namespace velmora {
namespace {

mode_t ModeOf(const std::filesystem::path& path) {
    struct stat info {};
    EXPECT_EQ(lstat(path.c_str(), &info), 0);
    return info.st_mode & 07777;
}

TEST(ResolvePictureFolder, PrefersAnAbsoluteCacheHome) {
    EXPECT_EQ(ResolvePictureFolder("/c", "/h"), std::filesystem::path("/c/k_orvin"));
    EXPECT_EQ(ResolvePictureFolder(nullptr, "/h"), std::filesystem::path("/h/.cache/k_orvin"));
    EXPECT_EQ(ResolvePictureFolder("", "/h"), std::filesystem::path("/h/.cache/k_orvin"));
    EXPECT_EQ(ResolvePictureFolder("relative", "/h"), std::filesystem::path("/h/.cache/k_orvin"));
}

TEST(ResolvePictureFolder, WithoutAHomeFallsBackToTheAccountsHome) {
    const auto folder = ResolvePictureFolder(nullptr, nullptr);
    EXPECT_TRUE(folder.is_absolute());
    EXPECT_EQ(folder.filename(), "k_orvin");
    EXPECT_EQ(folder.parent_path().filename(), ".cache");
}

TEST(PreparePictureFolder, CreatesCacheAndFolderPrivate) {
    const test::TemporaryFolder home;
    const auto folder = std::filesystem::path(home.path()) / ".cache" / "k_orvin";
    ASSERT_TRUE(PreparePictureFolder(folder));
    EXPECT_EQ(ModeOf(folder), 0700u);
    EXPECT_EQ(ModeOf(folder.parent_path()), 0700u);
    EXPECT_TRUE(PreparePictureFolder(folder)) << "an existing folder is fine";
}

TEST(PreparePictureFolder, NarrowsAnOpenFolderOfOurs) {
    const test::TemporaryFolder cache;
    const auto folder = std::filesystem::path(cache.path()) / "k_orvin";
    ASSERT_EQ(mkdir(folder.c_str(), 0777), 0);
    ASSERT_EQ(chmod(folder.c_str(), 0777), 0);
    ASSERT_TRUE(PreparePictureFolder(folder));
    EXPECT_EQ(ModeOf(folder), 0700u);
}

TEST(PreparePictureFolder, RefusesALinkOrAFile) {
    const test::TemporaryFolder cache;
    const auto target = std::filesystem::path(cache.path()) / "elsewhere";
    ASSERT_EQ(mkdir(target.c_str(), 0700), 0);
    const auto link = std::filesystem::path(cache.path()) / "k_orvin";
    ASSERT_EQ(symlink(target.c_str(), link.c_str()), 0);
    EXPECT_FALSE(PreparePictureFolder(link));

    const test::TemporaryFolder other;
    const auto file = std::filesystem::path(other.path()) / "k_orvin";
    ASSERT_EQ(close(creat(file.c_str(), 0600)), 0);
    EXPECT_FALSE(PreparePictureFolder(file));
}

TEST(PreparePictureFolder, FailsWhenTheLevelAboveTheCacheIsMissing) {
    EXPECT_FALSE(PreparePictureFolder("/nonexistent-velmora/home/.cache/k_orvin"));
}

}  // namespace
}  // namespace velmora
