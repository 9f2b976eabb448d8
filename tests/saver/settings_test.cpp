#include "saver/settings.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "tests/support/child_process.h"

namespace velmora {
namespace {

class SettingsFileTest : public testing::Test {
  protected:
    void WriteIni(const std::string& content) const {
        std::ofstream(ini_, std::ios::binary) << content;
    }
    std::string ReadIni() const {
        std::ifstream file(ini_, std::ios::binary);
        std::ostringstream text;
        text << file.rdbuf();
        return text.str();
    }
    std::string MakeFile(const std::string& name) const {
        const std::string path = folder_.path() + "/" + name;
        std::ofstream(path) << "music";
        return path;
    }
    Settings Load() const {
        Settings settings;
        LoadSettings(settings, ini_, program_folder_);
        return settings;
    }

    test::TemporaryFolder folder_;
    std::string program_folder_ = folder_.path();
    std::string ini_ = IniPath(program_folder_);
};

TEST_F(SettingsFileTest, IniLiesBesideTheProgram) {
    EXPECT_EQ(IniPath("/opt/saver"), "/opt/saver/ヴェルモラ.ini");
}

TEST_F(SettingsFileTest, NoIniFileGivesTheDefaults) {
    const Settings settings = Load();
    EXPECT_EQ(settings.BGM_Kind, 0);
    EXPECT_EQ(settings.BGM_RepeatTrack, 0);
    EXPECT_EQ(settings.BGM_File, "");
    EXPECT_EQ(settings.BGM_Folder, program_folder_);
}

TEST_F(SettingsFileTest, AnExistingFileKeepsKindTwoAndSetsTheFolder) {
    const std::string song = MakeFile("song.mp3");
    WriteIni("[Section]\nBGM区分= 2\nBGMﾘﾋﾟｰﾄ= 4\nBGMﾌｧｲﾙ=" + song + "\n");
    const Settings settings = Load();
    EXPECT_EQ(settings.BGM_Kind, 2);
    EXPECT_EQ(settings.BGM_RepeatTrack, 4);
    EXPECT_EQ(settings.BGM_File, song);
    EXPECT_EQ(settings.BGM_Folder, folder_.path());
}

TEST_F(SettingsFileTest, AMissingMusicFileDropsTheFileAndKindTwo) {
    WriteIni("[Section]\nBGM区分=2\nBGMﾌｧｲﾙ=" + folder_.path() + "/gone.mp3\n");
    const Settings settings = Load();
    EXPECT_EQ(settings.BGM_Kind, 0);
    EXPECT_EQ(settings.BGM_File, "");
    EXPECT_EQ(settings.BGM_Folder, program_folder_);
}

TEST_F(SettingsFileTest, KindOneStaysWithoutAFile) {
    WriteIni("[Section]\nBGM区分=1\nBGMﾌｧｲﾙ=\n");
    EXPECT_EQ(Load().BGM_Kind, 1);
    WriteIni("[Section]\nBGM区分=1\nBGMﾌｧｲﾙ=/nonexistent/a.mp3\n");
    EXPECT_EQ(Load().BGM_Kind, 1);
}

TEST_F(SettingsFileTest, AnOverlongPathIsCutShortAndDropped) {
    const std::string folder = folder_.path() + "/" + std::string(200, 'a');
    std::filesystem::create_directory(folder);
    const std::string song = folder + "/" + std::string(100, 'b') + ".mp3";
    std::ofstream(song) << "music";
    ASSERT_TRUE(std::filesystem::exists(song));
    WriteIni("[Section]\nBGM区分=2\nBGMﾌｧｲﾙ=" + song + "\n");
    EXPECT_EQ(ReadIniValue(kIniSection, kFileKey, ini_), song.substr(0, 255));
    const Settings settings = Load();
    EXPECT_EQ(settings.BGM_File, "");
    EXPECT_EQ(settings.BGM_Kind, 0);
}

TEST_F(SettingsFileTest, ReadsAFileWrittenOnWindows) {
    const std::string song = MakeFile("a.wav");
    // CP932 key names, CRLF line endings.
    WriteIni(
        "[Section]\r\nBGM\x8B\xE6\x95\xAA= 2\r\nBGM\xD8\xCB\xDF\xB0\xC4= "
        "7\r\nBGM\xCC\xA7\xB2\xD9=" +
        song + "\r\n");
    const Settings settings = Load();
    EXPECT_EQ(settings.BGM_Kind, 2);
    EXPECT_EQ(settings.BGM_RepeatTrack, 7);
    EXPECT_EQ(settings.BGM_File, song);
}

struct NumberCase {
    std::string text;
    std::int16_t expected;  // the value after loading, starting from 0
};

class NumberTable : public SettingsFileTest, public testing::WithParamInterface<NumberCase> {};

TEST_P(NumberTable, NumberIsTheFloorWhenItFitsSixteenBits) {
    WriteIni("[Section]\nBGMﾘﾋﾟｰﾄ=" + GetParam().text + "\n");
    EXPECT_EQ(Load().BGM_RepeatTrack, GetParam().expected) << '"' << GetParam().text << '"';
}

TEST_F(SettingsFileTest, KindIsReadLikeEveryNumber) {
    const std::string song = MakeFile("a.mp3");
    WriteIni("[Section]\nBGM区分= 2.7 \nBGMﾌｧｲﾙ=" + song + "\n");
    EXPECT_EQ(Load().BGM_Kind, 2);
    WriteIni("[Section]\nBGM区分=two\n");
    EXPECT_EQ(Load().BGM_Kind, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, NumberTable,
    testing::Values(NumberCase{"1", 1}, NumberCase{" 2", 2}, NumberCase{"2.7", 2},
                    NumberCase{"-0.5", -1}, NumberCase{"-2.7", -3}, NumberCase{"+3", 3},
                    NumberCase{"\t 5 \t", 5}, NumberCase{".9", 0}, NumberCase{"7.", 7},
                    NumberCase{"1e1", 10}, NumberCase{"2.5E-1", 0}, NumberCase{"32767", 32767},
                    NumberCase{"32767.9", 32767}, NumberCase{"-32768", -32768},
                    // Not a number, or beyond 16 bits: the value stays as it was.
                    NumberCase{"32768", 0}, NumberCase{"-32768.5", 0}, NumberCase{"1e5", 0},
                    NumberCase{"1e400", 0}, NumberCase{"abc", 0}, NumberCase{"&H2", 0},
                    NumberCase{"0x2", 0}, NumberCase{"1 2", 0}, NumberCase{"2a", 0},
                    NumberCase{"--1", 0}, NumberCase{"1e", 0}, NumberCase{".", 0},
                    NumberCase{"inf", 0}, NumberCase{"nan", 0}));

TEST_F(SettingsFileTest, ANumberThatDoesNotLoadKeepsTheEarlierValue) {
    WriteIni("[Section]\nBGM区分=40000\n");
    Settings settings;
    settings.BGM_Kind = 1;
    LoadSettings(settings, ini_, program_folder_);
    EXPECT_EQ(settings.BGM_Kind, 1);
    WriteIni("[Section]\nBGM区分=\n");
    LoadSettings(settings, ini_, program_folder_);
    EXPECT_EQ(settings.BGM_Kind, 0) << "an empty value means 0";
}

TEST_F(SettingsFileTest, SaveWritesTheThreeKeysExactly) {
    Settings settings;
    settings.BGM_Kind = 2;
    settings.BGM_File = "/music/a b.mp3";
    EXPECT_TRUE(SaveSettings(settings, "", ini_).written);
    EXPECT_EQ(ReadIni(), "[Section]\nBGM区分= 2\nBGMﾘﾋﾟｰﾄ= 0\nBGMﾌｧｲﾙ=/music/a b.mp3\n");
    settings.BGM_Kind = -1;
    settings.BGM_File.clear();
    SaveSettings(settings, "12", ini_);
    EXPECT_EQ(settings.BGM_RepeatTrack, 12);
    EXPECT_EQ(ReadIni(), "[Section]\nBGM区分=-1\nBGMﾘﾋﾟｰﾄ= 12\nBGMﾌｧｲﾙ=\n");
}

TEST_F(SettingsFileTest, SavedKindTwoWithoutAFileLoadsAsNone) {
    Settings settings;
    settings.BGM_Kind = 2;
    SaveSettings(settings, "", ini_);
    const Settings loaded = Load();
    EXPECT_EQ(loaded.BGM_Kind, 0);
    EXPECT_EQ(loaded.BGM_RepeatTrack, 0);
}

TEST_F(SettingsFileTest, SaveIntoAReadOnlyPlaceChangesNothingAndSaysWhy) {
    const std::string before = "[Section]\nBGM区分= 0\n";
    WriteIni(before);
    namespace fs = std::filesystem;
    fs::permissions(ini_, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    fs::permissions(folder_.path(),
                    fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    Settings settings;
    settings.BGM_Kind = 1;
    const WriteOutcome outcome = SaveSettings(settings, "3", ini_);
    fs::permissions(folder_.path(), fs::perms::owner_all);
    EXPECT_FALSE(outcome.written);
    EXPECT_FALSE(outcome.reason.empty());
    EXPECT_EQ(settings.BGM_RepeatTrack, 3);
    EXPECT_EQ(ReadIni(), before);
}

TEST_F(SettingsFileTest, WhereTheSharedFileCannotBeWrittenTheUsersOwnIsWrittenAndReadFirst) {
    // A program folder nobody can write into, root included.
    const SettingsFiles files = SettingsFilesFor("/proc/velmora", folder_.path() + "/config");
    EXPECT_EQ(files.own, folder_.path() + "/config/velmora/ヴェルモラ.ini");
    EXPECT_EQ(files.ToRead(), files.shared);
    Settings settings;
    settings.BGM_Kind = 1;
    const SettingsSaved saved = SaveSettings(settings, "4", files);
    EXPECT_TRUE(saved.outcome.written) << saved.outcome.reason;
    EXPECT_EQ(saved.file, files.own);
    EXPECT_EQ(files.ToRead(), files.own);
    Settings loaded;
    LoadSettings(loaded, files.ToRead(), "/proc/velmora");
    EXPECT_EQ(loaded.BGM_Kind, 1);
    EXPECT_EQ(loaded.BGM_RepeatTrack, 4);

    // Once the user has a file of their own, it is the one written, even where the shared one
    // could be.
    const SettingsFiles writable{ini_, files.own};
    settings.BGM_Kind = 0;
    EXPECT_EQ(SaveSettings(settings, "", writable).file, files.own);
    EXPECT_FALSE(std::filesystem::exists(ini_));
}

TEST_F(SettingsFileTest, SaveIsAllOrNothing) {
    const std::string before = "[Section]\nBGM区分= 0\nBGMﾌｧｲﾙ=/music/old.mp3\n";
    WriteIni(before);
    Settings settings;
    settings.BGM_Kind = 2;
    settings.BGM_File = "/music/a\nb.mp3";
    EXPECT_FALSE(SaveSettings(settings, "", ini_).written);
    EXPECT_EQ(ReadIni(), before);
}

TEST(RepeatTrackFromText, RoundsNumbersAndTurnsEverythingElseIntoZero) {
    EXPECT_EQ(RepeatTrackFromText(""), 0);
    EXPECT_EQ(RepeatTrackFromText("abc"), 0);
    EXPECT_EQ(RepeatTrackFromText("45"), 45);
    EXPECT_EQ(RepeatTrackFromText(" 7 "), 7);
    EXPECT_EQ(RepeatTrackFromText("2.5"), 2);
    EXPECT_EQ(RepeatTrackFromText("3.5"), 4);
    EXPECT_EQ(RepeatTrackFromText("-3"), -3);
    EXPECT_EQ(RepeatTrackFromText("32767"), 32767);
    EXPECT_EQ(RepeatTrackFromText("32768"), 0);
    EXPECT_EQ(RepeatTrackFromText("99999999999"), 0);
}

TEST(FormatIniNumber, PutsABlankBeforeNonNegativeNumbers) {
    EXPECT_EQ(FormatIniNumber(2), " 2");
    EXPECT_EQ(FormatIniNumber(0), " 0");
    EXPECT_EQ(FormatIniNumber(-32768), "-32768");
}

TEST(WriteIniValue, CutsNamesTo127Bytes) {
    const test::TemporaryFolder folder;
    const std::string ini = folder.path() + "/x.ini";
    WriteIniValue(std::string(200, 's'), std::string(130, 'k'), "v", ini);
    EXPECT_EQ(ReadIniValue(std::string(127, 's'), std::string(127, 'k'), ini), "v");
}

}  // namespace
}  // namespace velmora
