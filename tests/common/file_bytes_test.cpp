#include "common/file_bytes.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>

#include "tests/support/child_process.h"

namespace velmora {
namespace {

TEST(ReadFileBytes, ReadsARegularFileWhole) {
    const test::TemporaryFolder folder;
    const std::string path = folder.path() + "/f";
    std::ofstream(path) << "abc";
    const auto file = ReadFileBytes(path, 3);
    EXPECT_EQ(file.status, FileBytes::Status::kRead);
    EXPECT_EQ(std::string(file.bytes.begin(), file.bytes.end()), "abc");
}

TEST(ReadFileBytes, RefusesWhatIsNotAReadableRegularFileOfAllowedSize) {
    const test::TemporaryFolder folder;
    const std::string path = folder.path() + "/f";
    std::ofstream(path) << "abcd";
    EXPECT_EQ(ReadFileBytes(path, 3).status, FileBytes::Status::kTooLarge);
    EXPECT_EQ(ReadFileBytes(folder.path(), 100).status, FileBytes::Status::kCannotOpen);
    EXPECT_EQ(ReadFileBytes(folder.path() + "/missing", 100).status,
              FileBytes::Status::kCannotOpen);
    // A FIFO without a writer must not block the reader.
    const std::string fifo = folder.path() + "/fifo";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(ReadFileBytes(fifo, 100).status, FileBytes::Status::kCannotOpen);
}

TEST(ReadFileBytes, EmptyFileIsReadAsNoBytes) {
    const test::TemporaryFolder folder;
    const std::string path = folder.path() + "/empty";
    std::ofstream{path};
    const auto file = ReadFileBytes(path, 100);
    EXPECT_EQ(file.status, FileBytes::Status::kRead);
    EXPECT_TRUE(file.bytes.empty());
}

TEST(MappedFile, MapsWhatReadFileBytesReadsAndRefusesTheSame) {
    const test::TemporaryFolder folder;
    const std::string path = folder.path() + "/f";
    std::ofstream(path) << "abc";
    const auto file = MappedFile::Map(path, 3);
    ASSERT_EQ(file.status(), FileBytes::Status::kRead);
    EXPECT_EQ(std::string(file.bytes().begin(), file.bytes().end()), "abc");
    EXPECT_EQ(MappedFile::Map(path, 2).status(), FileBytes::Status::kTooLarge);
    EXPECT_EQ(MappedFile::Map(folder.path(), 100).status(), FileBytes::Status::kCannotOpen);
    const std::string fifo = folder.path() + "/fifo";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(MappedFile::Map(fifo, 100).status(), FileBytes::Status::kCannotOpen);
    const std::string empty = folder.path() + "/empty";
    std::ofstream{empty};
    const auto nothing = MappedFile::Map(empty, 100);
    EXPECT_EQ(nothing.status(), FileBytes::Status::kRead);
    EXPECT_TRUE(nothing.bytes().empty());
}

}  // namespace
}  // namespace velmora
