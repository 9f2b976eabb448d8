#include "saver/host/private_profile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>
#include <sstream>

#include "tests/support/child_process.h"

namespace velmora {
namespace {

std::optional<std::string> Find(std::string_view content, std::string_view key = "Key") {
    return FindProfileValue(content, "Section", key);
}

TEST(FindProfileValue, MatchesNamesWithoutRegardToAsciiCase) {
    EXPECT_EQ(Find("[section]\nKEY=v\n"), "v");
    EXPECT_EQ(Find("  [ Section ]  \n  key = v  \n"), "v");
    EXPECT_EQ(Find("[Section]\r\nKey=v\r\n"), "v");
    EXPECT_EQ(Find("[Section]\nKeyX=v\n"), std::nullopt);
    EXPECT_EQ(Find("[Other]\nKey=v\n"), std::nullopt);
    EXPECT_EQ(Find("Key=outside\n[Section]\n"), std::nullopt);
}

TEST(FindProfileValue, TrimsBlanksAndOnePairOfQuotes) {
    EXPECT_EQ(Find("[Section]\nKey=\t 2 \t\n"), "2");
    EXPECT_EQ(Find("[Section]\nKey=\"a b\"\n"), "a b");
    EXPECT_EQ(Find("[Section]\nKey='x'\n"), "x");
    EXPECT_EQ(Find("[Section]\nKey=\"x'\n"), "\"x'");
    EXPECT_EQ(Find("[Section]\nKey=\"\n"), "\"");
    EXPECT_EQ(Find("[Section]\nKey=a=b\n"), "a=b");
}

TEST(FindProfileValue, FirstSectionAndFirstKeyWin) {
    EXPECT_EQ(Find("[Section]\nKey=1\nKey=2\n"), "1");
    EXPECT_EQ(Find("[Section]\nKey=1\n[Section]\nKey=2\n"), "1");
    // A later section of the same name is not searched.
    EXPECT_EQ(Find("[Section]\nOther=1\n[Section]\nKey=2\n"), std::nullopt);
}

TEST(FindProfileValue, LineWithoutEqualsIsAKeyWithoutValue) {
    EXPECT_EQ(Find("[Section]\nKey\n"), "");
    EXPECT_EQ(Find("[Section]\n;comment=x\nKey=1"), "1");
}

TEST(FindProfileValue, ReadsCp932KeysFromWindowsFiles) {
    // "BGMﾘﾋﾟｰﾄ= 3" and "BGM区分=2" as a Japanese Windows system writes them.
    const std::string cp932 =
        "[Section]\r\nBGM\xD8\xCB\xDF\xB0\xC4= 3\r\nBGM\x8B\xE6\x95\xAA=2\r\n";
    EXPECT_EQ(FindProfileValue(cp932, "Section", "BGMﾘﾋﾟｰﾄ"), "3");
    EXPECT_EQ(FindProfileValue(cp932, "Section", "BGM区分"), "2");
}

TEST(FindProfileValue, SkipsAUtf8ByteOrderMark) {
    EXPECT_EQ(Find("\xEF\xBB\xBF[Section]\nKey=1\n"), "1");
}

TEST(FindProfileValue, BinaryAndMalformedContentFindsNothingOrWhatIsThere) {
    EXPECT_EQ(Find(std::string("\0\xFF\xFE[\0]=\n", 9)), std::nullopt);
    EXPECT_EQ(Find("[Section\nKey=1\n"), "1") << "an unclosed header still names its section";
    EXPECT_EQ(Find(std::string("[Section]\nKey=a\0b\n", 18)), std::string("a\0b", 3));
    EXPECT_EQ(Find("[Section]\n\xFF\xFF=1\nKey=2\n"), "2");
    EXPECT_EQ(Find(""), std::nullopt);
}

TEST(SetProfileValue, CreatesSectionAndKeyInAnEmptyFile) {
    EXPECT_EQ(SetProfileValue("", "Section", "Key", "v"), "[Section]\nKey=v\n");
}

TEST(SetProfileValue, RewritesOnlyTheKeysLine) {
    const std::string before = "; mine\n[Other]\nKey=keep\n\n[section]\n  KEY = old  \nZ=1\n";
    EXPECT_EQ(SetProfileValue(before, "Section", "Key", "new"),
              "; mine\n[Other]\nKey=keep\n\n[section]\nKey=new\nZ=1\n");
}

TEST(SetProfileValue, AddsAMissingKeyAfterTheSectionsLastLine) {
    EXPECT_EQ(SetProfileValue("[Section]\nA=1\n\n[B]\n", "Section", "Key", "v"),
              "[Section]\nA=1\nKey=v\n\n[B]\n");
    EXPECT_EQ(SetProfileValue("[Section]", "Section", "Key", "v"), "[Section]\nKey=v\n");
}

TEST(SetProfileValue, AppendsAMissingSectionAndKeepsTheFilesLineEnding) {
    EXPECT_EQ(SetProfileValue("[A]\r\nx=1", "Section", "Key", "v"),
              "[A]\r\nx=1\r\n[Section]\r\nKey=v\r\n");
}

TEST(SetProfileValue, ALastLineEndingInACarriageReturnGetsAFullLineEnding) {
    // A lone carriage return does not end a line; the appended section must not join it.
    const std::string written = SetProfileValue("[A]\nx=1\r", "Section", "Key", "v");
    EXPECT_EQ(written, "[A]\nx=1\r\n[Section]\nKey=v\n");
    EXPECT_EQ(FindProfileValue(written, "Section", "Key"), "v");
    EXPECT_EQ(Find("[Section]\nKey=1\r"), "1");
}

TEST(SetProfileValue, TurnsCp932LinesIntoUtf8) {
    const std::string cp932 = "[Section]\r\nBGM\x8B\xE6\x95\xAA=2\r\n;\x83\x65\x83\x58\x83\x67\r\n";
    EXPECT_EQ(SetProfileValue(cp932, "Section", "BGM区分", " 1"),
              "[Section]\r\nBGM区分= 1\r\n;テスト\r\n");
}

class ProfileFileTest : public testing::Test {
  protected:
    std::string Read() const {
        std::ifstream file(path_, std::ios::binary);
        std::ostringstream text;
        text << file.rdbuf();
        return text.str();
    }
    void Write(const std::string& content) const {
        std::ofstream(path_, std::ios::binary) << content;
    }
    test::TemporaryFolder folder_;
    std::string path_ = folder_.path() + "/settings.ini";
};

TEST_F(ProfileFileTest, ReadGivesTheFallbackForAMissingFileAndCutsLongValues) {
    EXPECT_EQ(ReadProfileString(path_, "Section", "Key", "dflt", 256), "dflt");
    Write("[Section]\nKey=" + std::string(300, 'x') + "\n");
    EXPECT_EQ(ReadProfileString(path_, "Section", "Key", "", 256), std::string(255, 'x'));
    EXPECT_EQ(ReadProfileString(path_, "Section", "Key", "", 1), "");
}

TEST_F(ProfileFileTest, AHugeFileReadsAsEmptyAndIsNotRewritten) {
    const std::string huge = "[Section]\nKey=1\n" + std::string(kProfileMaxFileBytes, ';');
    Write(huge);
    EXPECT_EQ(ReadProfileString(path_, "Section", "Key", "none", 256), "none");
    EXPECT_FALSE(WriteProfileString(path_, "Section", "Key", "2"));
    EXPECT_EQ(Read(), huge);
}

TEST_F(ProfileFileTest, WriteCreatesTheFileAndKeepsItsMode) {
    ASSERT_TRUE(WriteProfileString(path_, "Section", "Key", "1"));
    EXPECT_EQ(Read(), "[Section]\nKey=1\n");
    ASSERT_EQ(chmod(path_.c_str(), 0640), 0);
    ASSERT_TRUE(WriteProfileString(path_, "Section", "Key", "2"));
    EXPECT_EQ(Read(), "[Section]\nKey=2\n");
    struct stat info {};
    ASSERT_EQ(stat(path_.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
}

TEST_F(ProfileFileTest, RefusesLineBreaksThatWouldCorruptTheFile) {
    Write("[Section]\nKey=1\n");
    EXPECT_FALSE(WriteProfileString(path_, "Section", "Key", "a\nInjected=1"));
    EXPECT_FALSE(WriteProfileString(path_, "Section", "Key", "a\rb"));
    EXPECT_FALSE(WriteProfileString(path_, "Sec]tion", "Key", "1"));
    EXPECT_FALSE(WriteProfileString(path_, "Section", "K=ey", "1"));
    EXPECT_EQ(Read(), "[Section]\nKey=1\n");
}

TEST_F(ProfileFileTest, WriteIntoAMissingFolderOrOverAFolderFails) {
    EXPECT_FALSE(WriteProfileString(folder_.path() + "/no/such.ini", "Section", "Key", "1"));
    EXPECT_FALSE(WriteProfileString(folder_.path(), "Section", "Key", "1"));
}

TEST_F(ProfileFileTest, WritesThroughASymbolicLink) {
    const std::string link = folder_.path() + "/link.ini";
    Write("[Section]\nKey=1\n");
    ASSERT_EQ(symlink(path_.c_str(), link.c_str()), 0);
    ASSERT_TRUE(WriteProfileString(link, "Section", "Key", "2"));
    EXPECT_EQ(Read(), "[Section]\nKey=2\n");
}

}  // namespace
}  // namespace velmora
