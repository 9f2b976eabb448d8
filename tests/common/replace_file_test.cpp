#include "common/replace_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>
#include <sstream>

#include "tests/support/child_process.h"

namespace velmora {
namespace {

std::string Content(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

mode_t ModeOf(const std::string& path) {
    struct stat info {};
    EXPECT_EQ(stat(path.c_str(), &info), 0);
    return info.st_mode & 07777;
}

TEST(ReplaceFile, WritesNewContentWithTheGivenMode) {
    const test::TemporaryFolder folder;
    const std::string path = folder.path() + "/picture.bmp";
    std::ofstream(path) << "old";
    ASSERT_EQ(chmod(path.c_str(), 0644), 0);
    ASSERT_TRUE(ReplaceFile(path, std::string("new\0bytes", 9), 0600));
    EXPECT_EQ(Content(path), std::string("new\0bytes", 9));
    EXPECT_EQ(ModeOf(path), 0600u);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()),
                            std::filesystem::directory_iterator()),
              1)
        << "no temporary file is left behind";
}

TEST(ReplaceFile, WithoutAModeAppliesTheUmask) {
    const test::TemporaryFolder folder;
    const std::string path = folder.path() + "/settings.ini";
    const mode_t old_mask = umask(022);
    EXPECT_TRUE(ReplaceFile(path, "x", std::nullopt));
    umask(old_mask);
    EXPECT_EQ(ModeOf(path), 0644u);
}

TEST(ReplaceFile, FailureLeavesTheOldFile) {
    const test::TemporaryFolder folder;
    EXPECT_FALSE(ReplaceFile(folder.path() + "/missing/file", "x", 0600));
    // A folder cannot be replaced by a file.
    const std::string sub = folder.path() + "/sub";
    std::filesystem::create_directory(sub);
    std::ofstream(sub + "/inside") << "kept";
    EXPECT_FALSE(ReplaceFile(sub, "x", 0600));
    EXPECT_EQ(Content(sub + "/inside"), "kept");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()),
                            std::filesystem::directory_iterator()),
              1);
}

}  // namespace
}  // namespace velmora
