#include "saver/host/mci/mci_layer.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <array>
#include <fstream>

#include "saver/host/mci/mci_errors.h"
#include "tests/saver/host/mci/media_test_support.h"

namespace velmora::test {
namespace {

class MciLayerTest : public MediaTest {};

TEST_F(MciLayerTest, CommandsThatCannotBeCarriedOutGiveTheirErrorCodes) {
    const std::string song = Path("song.mp3");
    MakeTone(song, "mp3", 0.5, 440);
    const struct {
        std::string command;
        std::int32_t code;
    } cases[] = {
        {"", mci_error::kMissingCommandString},
        {"   ", mci_error::kMissingCommandString},
        {"jump cdaudio", mci_error::kUnrecognizedCommand},
        {"play", mci_error::kMissingDeviceName},
        {"play nothing", mci_error::kInvalidDeviceName},
        {"status MP3Play mode", mci_error::kInvalidDeviceName},
        {"open \"" + song + " type MPEGVideo", mci_error::kNoClosingQuote},
        {"open \"" + song + "\"x type MPEGVideo", mci_error::kExtraCharacters},
        {"open \"" + song + "\" type MPEGVideo alias", mci_error::kMissingParameter},
        {"open \"" + song + "\" type MPEGVideo type MPEGVideo", mci_error::kDuplicateFlags},
        {"open \"" + song + "\" type videodisc", mci_error::kInvalidDeviceName},
        {"open \"" + song + "\" type MPEGVideo loudly", mci_error::kUnrecognizedKeyword},
        {"open " + Path("song.ogg"), mci_error::kExtensionNotFound},
        {"open somedevice", mci_error::kInvalidDeviceName},
        {"open \"" + Path("missing.mp3") + "\" type MPEGVideo", mci_error::kFileNotFound},
        {"open \"\" type MPEGVideo alias empty", mci_error::kFileNotFound},
    };
    for (const auto& [command, code] : cases) {
        EXPECT_EQ(Send(command), code) << command;
    }
}

TEST_F(MciLayerTest, KeywordsNamesAndAliasesAreReadInAnyCase) {
    const std::string song = Path("My Song.mp3");
    MakeTone(song, "mp3", 0.5, 440);
    ASSERT_EQ(Send("OPEN \"" + song + "\" TYPE mpegvideo ALIAS Tune wait"), 0);
    EXPECT_EQ(Ask("Status TUNE Time Format"), "milliseconds");
    EXPECT_EQ(Ask("status tune length"), Ask("STATUS Tune LENGTH notify"));
    EXPECT_EQ(Send("set tune time format MS"), 0);
    EXPECT_EQ(Send("status tune"), mci_error::kMissingParameter);
    EXPECT_EQ(Send("status tune loudness"), mci_error::kUnrecognizedKeyword);
    EXPECT_EQ(Send("status tune mode now"), mci_error::kUnrecognizedKeyword);
    EXPECT_EQ(Send("stop tune now"), mci_error::kUnrecognizedKeyword);
    EXPECT_EQ(Send("play tune from"), mci_error::kMissingParameter);
    EXPECT_EQ(Send("play tune from 0 from 0"), mci_error::kDuplicateFlags);
    EXPECT_EQ(Send("play tune at 0"), mci_error::kUnrecognizedKeyword);
    EXPECT_EQ(Send("set tune time format frames"), mci_error::kBadTimeFormat);
    EXPECT_EQ(Send("set tune volume 5"), mci_error::kUnrecognizedKeyword);
    EXPECT_EQ(Send("close TUNE"), 0);
    EXPECT_EQ(Send("status tune mode"), mci_error::kInvalidDeviceName);
}

TEST_F(MciLayerTest, NamesAreUniqueAmongOpenDevices) {
    const std::string song = Path("song.mp3");
    MakeTone(song, "mp3", 0.5, 440);
    ASSERT_EQ(Send(song), mci_error::kUnrecognizedCommand);
    ASSERT_EQ(Send("open " + song), 0);
    EXPECT_EQ(Send("open " + song), mci_error::kDeviceOpen);
    ASSERT_EQ(Send("open " + song + " alias a"), 0);
    EXPECT_EQ(Send("open " + song + " alias A"), mci_error::kDuplicateAlias);
    EXPECT_EQ(Send("close a"), 0);
    EXPECT_EQ(Send("open " + song + " alias a"), 0);
    EXPECT_EQ(Ask("status " + song + " mode"), "stopped");
}

TEST_F(MciLayerTest, RepliesAreCutToTheBuffer) {
    const std::string song = Path("song.mp3");
    MakeTone(song, "mp3", 0.5, 440);
    ASSERT_EQ(Send("open " + song + " alias a"), 0);
    std::array<char, 6> small;
    small.fill('#');
    EXPECT_EQ(media().commands().SendString("status a time format", std::span(small).first(5)), 0);
    EXPECT_EQ(std::string(small.data()), "mill");
    EXPECT_EQ(small[5], '#');
    EXPECT_EQ(media().commands().SendString("status a time format", {}), 0);
}

TEST_F(MciLayerTest, ErrorTextsAreTheSystemsAndCutToTheBuffer) {
    std::array<char, 256> text{};
    ASSERT_TRUE(media().commands().GetErrorString(mci_error::kInvalidDeviceName, text));
    EXPECT_EQ(std::string(text.data()),
              "The specified device is not open or is not recognized by MCI.");
    ASSERT_TRUE(media().commands().GetErrorString(0, text));
    EXPECT_EQ(std::string(text.data()), "The specified command was carried out.");

    std::array<char, 9> small;
    small.fill('#');
    ASSERT_TRUE(
        media().commands().GetErrorString(mci_error::kFileNotFound, std::span(small).first(8)));
    EXPECT_EQ(std::string(small.data()), "Cannot ");
    EXPECT_EQ(small[8], '#');

    EXPECT_FALSE(media().commands().GetErrorString(1, text));
    EXPECT_EQ(text[0], '\0');
    EXPECT_FALSE(media().commands().GetErrorString(mci_error::kFileNotFound, {}));
}

TEST_F(MciLayerTest, FilesThatAreNoMusicAreRefusedAtOnce) {
    const std::string empty = Path("empty.mp3");
    std::ofstream(empty).close();
    const std::string text = Path("text.mp3");
    std::ofstream(text) << "not music at all\n";
    const std::string noise = Path("noise.mp3");
    {
        std::ofstream file(noise, std::ios::binary);
        for (int i = 0; i < 5000; ++i) {
            file.put(static_cast<char>(i * 7919 % 251));
        }
    }
    const std::string pipe = Path("pipe.mp3");
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    for (const std::string& file : {empty, text, noise, pipe, folder_.path()}) {
        EXPECT_EQ(Send("open \"" + file + "\" type MPEGVideo alias x"), mci_error::kInvalidFile)
            << file;
    }
}

TEST_F(MciLayerTest, WithoutSoundOutputNothingOpensAndTheSoundPlayerHasNoDevice) {
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    const std::string song = Path("song.mp3");
    MakeTone(song, "mp3", 0.5, 440);
    EXPECT_EQ(Send("open " + song), mci_error::kHardware);
    EXPECT_EQ(media().player().DeviceCount(), 0u);
    EXPECT_FALSE(media().player().Play(song, kSoundAsync));
}

}  // namespace
}  // namespace velmora::test
