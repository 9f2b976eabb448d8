#include "saver/paths.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>

#include "tests/support/child_process.h"

namespace velmora {
namespace {

TEST(FolderOfPath, TakesEverythingBeforeTheLastSlash) {
    EXPECT_EQ(FolderOfPath("/music/a.mp3"), "/music");
    EXPECT_EQ(FolderOfPath("/music/"), "/music");
    EXPECT_EQ(FolderOfPath("/a.mp3"), "/");
    EXPECT_EQ(FolderOfPath("//a.mp3"), "/");
    EXPECT_EQ(FolderOfPath("a.mp3"), "");
    EXPECT_EQ(FolderOfPath(""), "");
    EXPECT_EQ(FolderOfPath("music/a.mp3"), "music");
    // A colon is an ordinary character here.
    EXPECT_EQ(FolderOfPath("C:a.mp3"), "");
}

class FileExistsTest : public testing::Test {
  protected:
    std::string Make(const std::string& name) {
        const std::string path = folder_.path() + "/" + name;
        std::ofstream(path) << "x";
        return path;
    }
    test::TemporaryFolder folder_;
};

TEST_F(FileExistsTest, FindsAFileAlsoWithATrailingSlash) {
    const std::string file = Make("a.mp3");
    EXPECT_TRUE(FileExists(file));
    EXPECT_TRUE(FileExists(file + "/"));
    EXPECT_FALSE(FileExists(file + "//")) << "only one trailing slash is dropped";
}

TEST_F(FileExistsTest, IsFalseForFoldersMissingFilesAndNonsense) {
    EXPECT_FALSE(FileExists(folder_.path()));
    EXPECT_FALSE(FileExists(folder_.path() + "/"));
    EXPECT_FALSE(FileExists(folder_.path() + "/missing"));
    EXPECT_FALSE(FileExists(""));
    EXPECT_FALSE(FileExists("/"));
    EXPECT_FALSE(FileExists(std::string("a\0b", 3)));
    const std::string fifo = folder_.path() + "/fifo";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_FALSE(FileExists(fifo)) << "a FIFO is no music file, and must not block";
}

TEST_F(FileExistsTest, IsFalseForAFileThisUserCannotRead) {
    const std::string file = Make("secret");
    ASSERT_EQ(chmod(file.c_str(), 0), 0);
    if (geteuid() != 0) {
        EXPECT_FALSE(FileExists(file));
        return;
    }
    // Root reads everything; ask as an unprivileged user in a child process.
    ASSERT_EQ(chmod(folder_.path().c_str(), 0755), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const bool dropped = setgid(65534) == 0 && setuid(65534) == 0;
        _exit(!dropped ? 2 : FileExists(file) ? 1 : 0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "1: readable, 2: could not drop privileges";
}

}  // namespace
}  // namespace velmora
