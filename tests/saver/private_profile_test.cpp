#include "saver/host/private_profile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

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
    const std::string written = *SetProfileValue("[A]\nx=1\r", "Section", "Key", "v");
    EXPECT_EQ(written, "[A]\nx=1\r\n[Section]\nKey=v\n");
    EXPECT_EQ(FindProfileValue(written, "Section", "Key"), "v");
    EXPECT_EQ(Find("[Section]\nKey=1\r"), "1");
}

// "BGM区分" and "テスト" in CP932, and a line in Latin-1.
const std::string kCp932Kind = "BGM\x8B\xE6\x95\xAA";
const std::string kCp932Test = "\x83\x65\x83\x58\x83\x67";
const std::string kLatin1Line = "name=caf\xE9s cr\xE8me";

TEST(SetProfileValue, AFileWithCp932NamesGetsItsLineInCp932AndOtherLinesKeepTheirBytes) {
    const std::string before = "[Section]\r\n" + kCp932Kind + "=2\r\n;" + kCp932Test +
                               "\r\n[Other]\r\n" + kLatin1Line + "\r\n";
    EXPECT_EQ(SetProfileValue(before, "Section", "BGM区分", " 1"),
              "[Section]\r\n" + kCp932Kind + "= 1\r\n;" + kCp932Test + "\r\n[Other]\r\n" +
                  kLatin1Line + "\r\n");
    // "/音楽/ﾃｽﾄ.mp3" fits CP932; "/café.mp3" does not and goes in UTF-8, on its line alone.
    const auto fits = SetProfileValue(before, "Section", "BGMﾌｧｲﾙ", "/音楽/ﾃｽﾄ.mp3");
    EXPECT_EQ(fits,
              "[Section]\r\n" + kCp932Kind + "=2\r\n;" + kCp932Test +
                  "\r\nBGM\xCC\xA7\xB2\xD9=/\x89\xB9\x8A\x79/\xC3\xBD\xC4.mp3\r\n[Other]\r\n" +
                  kLatin1Line + "\r\n");
    const auto does_not_fit = SetProfileValue(*fits, "Section", "BGMﾌｧｲﾙ", "/café.mp3");
    EXPECT_EQ(does_not_fit, "[Section]\r\n" + kCp932Kind + "=2\r\n;" + kCp932Test +
                                "\r\nBGMﾌｧｲﾙ=/café.mp3\r\n[Other]\r\n" + kLatin1Line + "\r\n");
    for (const auto& written : {fits, does_not_fit}) {
        EXPECT_EQ(FindProfileValue(*written, "Section", "BGM区分"), "2");
    }
    EXPECT_EQ(FindProfileValue(*fits, "Section", "BGMﾌｧｲﾙ"), "/音楽/ﾃｽﾄ.mp3");
    EXPECT_EQ(FindProfileValue(*does_not_fit, "Section", "BGMﾌｧｲﾙ"), "/café.mp3");
    // The yen sign has no CP932 byte of its own (it would read back as a backslash).
    EXPECT_EQ(SetProfileValue("[Section]\r\n" + kCp932Kind + "=2\r\n", "Section", "BGM区分", "¥"),
              "[Section]\r\nBGM区分=¥\r\n");
}

TEST(SetProfileValue, NewAndUtf8FilesStayUtf8) {
    const std::string latin1 = "[Other]\n" + kLatin1Line + "\n";
    EXPECT_EQ(SetProfileValue(latin1, "Section", "BGM区分", " 1"),
              latin1 + "[Section]\nBGM区分= 1\n");
    const std::string utf8 = latin1 + "[Section]\nBGM区分= 1\n";
    EXPECT_EQ(SetProfileValue(utf8, "Section", "BGM区分", "音"),
              latin1 + "[Section]\nBGM区分=音\n");
    EXPECT_EQ(FindProfileValue(utf8, "Other", "name"), "caf\xE9s cr\xE8me");
}

std::string Utf16(std::u16string_view text, bool big_endian) {
    std::string bytes = big_endian ? "\xFE\xFF" : "\xFF\xFE";
    for (const char16_t unit : text) {
        const auto high = static_cast<char>(unit >> 8);
        const auto low = static_cast<char>(unit & 0xFF);
        bytes += big_endian ? std::string{high, low} : std::string{low, high};
    }
    return bytes;
}

TEST(SetProfileValue, Utf16FilesAreReadAndWrittenInUtf16) {
    for (const bool big_endian : {false, true}) {
        SCOPED_TRACE(big_endian ? "big-endian" : "little-endian");
        const std::string before =
            Utf16(u"[Other]\r\nx=\xD800!\r\n[Section]\r\nBGM区分= 1", big_endian);
        EXPECT_EQ(FindProfileValue(before, "Section", "BGM区分"), "1");
        EXPECT_EQ(FindProfileValue(before, "Other", "x"), "\xEF\xBF\xBD!") << "a lone surrogate";
        EXPECT_EQ(SetProfileValue(before, "Section", "BGM区分", "2"),
                  Utf16(u"[Other]\r\nx=\xD800!\r\n[Section]\r\nBGM区分=2", big_endian));
        EXPECT_EQ(SetProfileValue(before, "Section", "BGMﾌｧｲﾙ", "/音/\U0001F3B5.mp3"),
                  Utf16(u"[Other]\r\nx=\xD800!\r\n[Section]\r\nBGM区分= "
                        u"1\r\nBGMﾌｧｲﾙ=/音/\U0001F3B5.mp3\r\n",
                        big_endian));
        EXPECT_EQ(SetProfileValue(Utf16(u"", big_endian), "Section", "Key", "v"),
                  Utf16(u"[Section]\nKey=v\n", big_endian));
        EXPECT_EQ(SetProfileValue(before, "Section", "Key", "\xFF"), std::nullopt)
            << "no UTF-16 for bytes that are not UTF-8";
        EXPECT_EQ(SetProfileValue(before + "x", "Section", "Key", "v"), std::nullopt)
            << "half a unit";
    }
    EXPECT_EQ(SetProfileValue(std::string("[Section]\0", 10), "Section", "Key", "v"), std::nullopt)
        << "NUL bytes without a byte-order mark: UTF-16 or no text at all";
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

std::string Repeated(std::string_view text, int count) {
    std::string repeated;
    for (int i = 0; i < count; ++i) {
        repeated += text;
    }
    return repeated;
}

TEST_F(ProfileFileTest, ReadGivesTheFallbackForAMissingFileAndCutsLongValuesAsCp932Counts) {
    EXPECT_EQ(ReadProfileString(path_, "Section", "Key", "dflt", 256), "dflt");
    Write("[Section]\nKey=" + std::string(300, 'x') + "\n");
    EXPECT_EQ(ReadProfileString(path_, "Section", "Key", "", 256), std::string(255, 'x'));
    EXPECT_EQ(ReadProfileString(path_, "Section", "Key", "", 1), "");
    // 102 kanji and two slashes: 206 bytes in CP932, though 308 in UTF-8.
    const std::string path = "/" + Repeated("音", 101) + "/" + "楽";
    Write("[Section]\nKey=" + path + "\n");
    EXPECT_EQ(ReadProfileString(path_, "Section", "Key", "", 256), path);
    // Cut between two characters, never inside one.
    Write("[Section]\nKey=a" + Repeated("音", 200) + "\n");
    EXPECT_EQ(ReadProfileString(path_, "Section", "Key", "", 256), "a" + Repeated("音", 127));
    Write("[Section]\nKey=" + Repeated("\U0001F3B5", 100) + "\n");
    EXPECT_EQ(ReadProfileString(path_, "Section", "Key", "", 256), Repeated("\U0001F3B5", 63));
}

TEST_F(ProfileFileTest, AHugeFileReadsAsEmptyAndIsNotRewritten) {
    const std::string huge = "[Section]\nKey=1\n" + std::string(kProfileMaxFileBytes, ';');
    Write(huge);
    EXPECT_EQ(ReadProfileString(path_, "Section", "Key", "none", 256), "none");
    EXPECT_FALSE(WriteProfileString(path_, "Section", "Key", "2").written);
    EXPECT_EQ(Read(), huge);
}

TEST_F(ProfileFileTest, WriteCreatesTheFileAndKeepsItsMode) {
    ASSERT_TRUE(WriteProfileString(path_, "Section", "Key", "1").written);
    EXPECT_EQ(Read(), "[Section]\nKey=1\n");
    ASSERT_EQ(chmod(path_.c_str(), 0640), 0);
    ASSERT_TRUE(WriteProfileString(path_, "Section", "Key", "2").written);
    EXPECT_EQ(Read(), "[Section]\nKey=2\n");
    struct stat info {};
    ASSERT_EQ(stat(path_.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
}

TEST_F(ProfileFileTest, RefusesLineBreaksThatWouldCorruptTheFile) {
    Write("[Section]\nKey=1\n");
    EXPECT_FALSE(WriteProfileString(path_, "Section", "Key", "a\nInjected=1").written);
    EXPECT_FALSE(WriteProfileString(path_, "Section", "Key", "a\rb").written);
    EXPECT_FALSE(WriteProfileString(path_, "Sec]tion", "Key", "1").written);
    EXPECT_FALSE(WriteProfileString(path_, "Section", "K=ey", "1").written);
    EXPECT_EQ(Read(), "[Section]\nKey=1\n");
}

TEST_F(ProfileFileTest, WriteIntoAMissingFolderOrOverAFolderFails) {
    const WriteOutcome missing =
        WriteProfileString(folder_.path() + "/no/such.ini", "Section", "Key", "1");
    EXPECT_FALSE(missing.written);
    EXPECT_EQ(missing.reason, std::strerror(ENOENT));
    EXPECT_FALSE(WriteProfileString(folder_.path(), "Section", "Key", "1").written);
}

TEST_F(ProfileFileTest, WritesThroughASymbolicLink) {
    const std::string link = folder_.path() + "/link.ini";
    Write("[Section]\nKey=1\n");
    ASSERT_EQ(symlink(path_.c_str(), link.c_str()), 0);
    ASSERT_TRUE(WriteProfileString(link, "Section", "Key", "2").written);
    EXPECT_EQ(Read(), "[Section]\nKey=2\n");
}

struct stat StatOf(const std::string& path) {
    struct stat info {};
    EXPECT_EQ(stat(path.c_str(), &info), 0);
    return info;
}

TEST_F(ProfileFileTest, AReadOnlyFileIsRefusedAndKeptAsItIs) {
    Write("[Section]\nKey=1\n");
    ASSERT_EQ(chmod(path_.c_str(), 0444), 0);
    const ino_t inode = StatOf(path_).st_ino;
    const WriteOutcome outcome = WriteProfileString(path_, "Section", "Key", "2");
    EXPECT_FALSE(outcome.written);
    EXPECT_FALSE(outcome.reason.empty());
    EXPECT_EQ(Read(), "[Section]\nKey=1\n");
    EXPECT_EQ(StatOf(path_).st_ino, inode);
}

TEST_F(ProfileFileTest, AFileThatReplacingWouldChangeIsWrittenInPlace) {
    Write("[Section]\nKey=1\n");
    const std::string other_name = folder_.path() + "/linked.ini";
    ASSERT_EQ(link(path_.c_str(), other_name.c_str()), 0);
    const ino_t inode = StatOf(path_).st_ino;
    ASSERT_TRUE(WriteProfileString(path_, "Section", "Key", "a longer value").written);
    EXPECT_EQ(Read(), "[Section]\nKey=a longer value\n");
    EXPECT_EQ(StatOf(other_name).st_ino, inode) << "the other link sees the same file";
    EXPECT_EQ(StatOf(path_).st_ino, inode);
    ASSERT_TRUE(WriteProfileString(path_, "Section", "Key", "2").written);
    EXPECT_EQ(Read(), "[Section]\nKey=2\n") << "a shorter content leaves no tail";
}

// Someone else's file that we may write, in a folder we may not: root plays the other user,
// and the writer runs as "nobody".
TEST_F(ProfileFileTest, AWritableFileInAFolderWeMayNotWriteIsWrittenAndKeepsItsOwner) {
    if (geteuid() != 0) {
        GTEST_SKIP() << "needs root to play two users";
    }
    constexpr uid_t kNobody = 65534;
    Write("[Section]\nKey=1\n");
    ASSERT_EQ(chmod(path_.c_str(), 0666), 0);
    ASSERT_EQ(chmod(folder_.path().c_str(), 0755), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const bool written = setgid(kNobody) == 0 && setuid(kNobody) == 0 &&
                             WriteProfileString(path_, "Section", "Key", "2").written;
        _exit(written ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(Read(), "[Section]\nKey=2\n");
    EXPECT_EQ(StatOf(path_).st_uid, 0u);
    EXPECT_EQ(StatOf(path_).st_mode & 07777, 0666u);
}

}  // namespace
}  // namespace velmora
