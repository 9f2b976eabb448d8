#include "saver/bgm/velmora_bgm.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "tests/saver/bgm/scripted_media.h"

namespace velmora {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr std::int32_t kUntouched = 12345;

class VelmoraBgmTest : public ::testing::Test {
  protected:
    ScriptedMedia media;
    std::int32_t LastResult = kUntouched;
    Velmora_BGM bgm{media, media, LastResult};
};

TEST(MusicFileTypeTest, TakesTheLastThreeCharactersInAnyCase) {
    EXPECT_EQ(MusicFileTypeOf("/music/Song.Mp3"), MusicFileType::kMp3);
    EXPECT_EQ(MusicFileTypeOf("/music/loop.wav"), MusicFileType::kWav);
    EXPECT_EQ(MusicFileTypeOf("LOOP.WAV"), MusicFileType::kWav);
    EXPECT_EQ(MusicFileTypeOf("mp3"), MusicFileType::kMp3);
    EXPECT_EQ(MusicFileTypeOf("/music/tune.mid"), MusicFileType::kOther);
    EXPECT_EQ(MusicFileTypeOf("/music/song.mp3 "), MusicFileType::kOther);
    EXPECT_EQ(MusicFileTypeOf("p3"), MusicFileType::kOther);
    EXPECT_EQ(MusicFileTypeOf(""), MusicFileType::kOther);
}

TEST_F(VelmoraBgmTest, SendCommandWithoutCommandAnswersWithoutCallingTheDevice) {
    std::string text;
    EXPECT_EQ(bgm.BGM_SendCommand("", text), -1);
    EXPECT_EQ(text, "コマンド文字列が指定されていません");
    EXPECT_THAT(media.sent, IsEmpty());
    EXPECT_EQ(LastResult, kUntouched);
}

TEST_F(VelmoraBgmTest, SendCommandReadsTheReplyUpToItsFirstNul) {
    media.answers["status cdaudio current track"] = {0, std::string("4\0stale", 7)};
    std::string text;
    EXPECT_EQ(bgm.BGM_SendCommand("status cdaudio current track", text), 0);
    EXPECT_EQ(text, "4");
    EXPECT_EQ(LastResult, 0);
    EXPECT_THAT(media.reply_lengths, ElementsAre(512));
}

TEST_F(VelmoraBgmTest, SendCommandGivesTheErrorTextOrAFixedTextWhenThereIsNone) {
    media.answers["play cdaudio"] = {276, "ignored"};
    media.answers["play nothing"] = {999, ""};
    media.error_texts[276] = "The device driver is not ready.";
    std::string text;
    EXPECT_EQ(bgm.BGM_SendCommand("play cdaudio", text), 276);
    EXPECT_EQ(text, "The device driver is not ready.");
    EXPECT_EQ(LastResult, 276);
    EXPECT_EQ(bgm.BGM_SendCommand("play nothing", text), 999);
    EXPECT_EQ(text, "Error (文字列が取れません)");
    EXPECT_EQ(LastResult, 999);
    EXPECT_THAT(media.error_text_lengths, ElementsAre(256, 256));
}

TEST_F(VelmoraBgmTest, QueryGivesErrorAndTheCodeInsteadOfTheErrorText) {
    media.answers["status cdaudio position track 9"] = {282, ""};
    media.error_texts[282] = "out of range";
    EXPECT_EQ(bgm.BGM_Query("status cdaudio position track 9"), "Error:282");
    EXPECT_EQ(LastResult, 282);
    EXPECT_EQ(bgm.BGM_Query(""), "Error:-1");
    EXPECT_EQ(LastResult, -1);
    media.answers["status cdaudio number of tracks"] = {0, "12"};
    EXPECT_EQ(bgm.BGM_Query("status cdaudio number of tracks"), "12");
    EXPECT_EQ(LastResult, 0);
}

TEST_F(VelmoraBgmTest, PlayRangeAddsOnlyTheBoundsGiven) {
    bgm.BGM_PlayRange("cdaudio", "", "");
    bgm.BGM_PlayRange("cdaudio", "", "05:00:00:00");
    bgm.BGM_PlayRange("cdaudio", "02:00:00:00", "");
    bgm.BGM_PlayRange("cdaudio", "02:00:00:00", "03:00:00:00");
    EXPECT_THAT(media.sent, ElementsAre("play cdaudio", "play cdaudio to 05:00:00:00",
                                        "play cdaudio from 02:00:00:00",
                                        "play cdaudio from 02:00:00:00 to 03:00:00:00"));
}

TEST_F(VelmoraBgmTest, CdOpenAndCloseSendTheirCommandsWithoutReply) {
    media.answers["set cdaudio time format tmsf"] = {263, ""};
    bgm.BGM_CDOpen();
    EXPECT_EQ(LastResult, 263);
    media.answers["close cdaudio"] = {0, ""};
    bgm.BGM_CDClose();
    EXPECT_EQ(LastResult, 0);
    EXPECT_THAT(media.sent, ElementsAre("open cdaudio", "set cdaudio time format tmsf",
                                        "stop cdaudio", "close cdaudio"));
    EXPECT_THAT(media.reply_lengths, ElementsAre(0, 0, 0, 0));
}

// A poll of a healthy disc: the given current track and mode.
void ScriptDisc(ScriptedMedia& media, const std::string& current, const std::string& mode) {
    media.answers["status cdaudio current track"] = {0, current};
    media.answers["status cdaudio number of tracks"] = {0, "5"};
    media.answers["status cdaudio mode"] = {0, mode};
    media.answers["status cdaudio position track 3"] = {0, "03:00:00:00"};
}

TEST_F(VelmoraBgmTest, WholeDiscStartsAgainWhenTheDriveHasStopped) {
    ScriptDisc(media, "5", "stopped");
    bgm.BGM_CDWatch(0);
    EXPECT_TRUE(bgm.BGM_CDActive());
    EXPECT_THAT(media.sent,
                ElementsAre("status cdaudio current track", "status cdaudio number of tracks",
                            "status cdaudio mode", "play cdaudio"));
    EXPECT_THAT(media.reply_lengths, ElementsAre(512, 512, 255, 512));
}

TEST_F(VelmoraBgmTest, WholeDiscIsLeftAloneWhileItPlays) {
    for (const std::string mode : {"playing", "paused", "not ready", ""}) {
        media.sent.clear();
        ScriptDisc(media, "2", mode);
        bgm.BGM_CDWatch(0);
        EXPECT_TRUE(bgm.BGM_CDActive());
        EXPECT_EQ(media.sent.size(), 3u) << mode;
    }
}

TEST_F(VelmoraBgmTest, RepeatedTrackIsPlayedAgainAsSoonAsTheNextTrackBegins) {
    ScriptDisc(media, "4", "playing");
    bgm.BGM_CDWatch(3);
    EXPECT_TRUE(bgm.BGM_CDActive());
    EXPECT_THAT(media.sent,
                ElementsAre("status cdaudio current track", "status cdaudio number of tracks",
                            "status cdaudio mode", "status cdaudio position track 3",
                            "play cdaudio from 03:00:00:00"));
}

TEST_F(VelmoraBgmTest, RepeatedTrackStartsWhenTheDriveHasStopped) {
    ScriptDisc(media, "3", "stopped");
    bgm.BGM_CDWatch(3);
    EXPECT_EQ(media.sent.back(), "play cdaudio from 03:00:00:00");
}

TEST_F(VelmoraBgmTest, RepeatedTrackIsLeftAloneWhileItPlays) {
    ScriptDisc(media, " 3 ", "playing");
    bgm.BGM_CDWatch(3);
    EXPECT_TRUE(bgm.BGM_CDActive());
    EXPECT_EQ(media.sent.size(), 3u);
}

TEST_F(VelmoraBgmTest, FailedCurrentTrackEndsThePollingUntilAPollSucceeds) {
    ScriptDisc(media, "", "stopped");
    media.answers["status cdaudio current track"] = {276, ""};
    bgm.BGM_CDWatch(0);
    EXPECT_FALSE(bgm.BGM_CDActive());
    EXPECT_THAT(media.sent, ElementsAre("status cdaudio current track"));
    EXPECT_EQ(LastResult, 276);

    ScriptDisc(media, "1", "playing");
    bgm.BGM_CDWatch(0);
    EXPECT_TRUE(bgm.BGM_CDActive());
}

TEST_F(VelmoraBgmTest, AReplyThatReadsErrInAnyCaseFailsThePoll) {
    ScriptDisc(media, "no disc: error", "stopped");
    bgm.BGM_CDWatch(0);
    EXPECT_FALSE(bgm.BGM_CDActive());
    EXPECT_EQ(media.sent.size(), 1u);
}

TEST_F(VelmoraBgmTest, FailedTrackCountEndsThePoll) {
    ScriptDisc(media, "1", "stopped");
    media.answers["status cdaudio number of tracks"] = {263, ""};
    bgm.BGM_CDWatch(0);
    EXPECT_FALSE(bgm.BGM_CDActive());
    EXPECT_EQ(media.sent.size(), 2u);
}

TEST_F(VelmoraBgmTest, CurrentTrackThatIsNoNumberEndsTheRepeatOfATrack) {
    ScriptDisc(media, "two", "stopped");
    bgm.BGM_CDWatch(3);
    EXPECT_FALSE(bgm.BGM_CDActive());
    EXPECT_EQ(media.sent.size(), 3u);

    media.sent.clear();
    bgm.BGM_CDWatch(0);
    EXPECT_TRUE(bgm.BGM_CDActive());
    EXPECT_EQ(media.sent.back(), "play cdaudio");
}

TEST_F(VelmoraBgmTest, FailedPositionQueryIsSentAsThePositionAndPollingGoesOn) {
    ScriptDisc(media, "1", "playing");
    media.answers["status cdaudio position track 3"] = {282, ""};
    media.answers["play cdaudio from Error:282"] = {270, ""};
    bgm.BGM_CDWatch(3);
    EXPECT_TRUE(bgm.BGM_CDActive());
    EXPECT_EQ(media.sent.back(), "play cdaudio from Error:282");
    EXPECT_EQ(LastResult, 270);
}

TEST_F(VelmoraBgmTest, Mp3OpensTheQuotedFileAndPlaysItWithoutTouchingLastResult) {
    bgm.BGM_MP3Open("/home/user/My Music/Song.mp3");
    EXPECT_THAT(media.sent,
                ElementsAre("open \"/home/user/My Music/Song.mp3\" type MPEGVideo Alias MP3Play",
                            "play MP3Play"));
    EXPECT_THAT(media.reply_lengths, ElementsAre(0, 0));
    EXPECT_EQ(LastResult, kUntouched);
}

TEST_F(VelmoraBgmTest, Mp3ThatCannotBeOpenedIsNotPlayed) {
    media.answers["open \"/gone.mp3\" type MPEGVideo Alias MP3Play"] = {275, ""};
    bgm.BGM_MP3Open("/gone.mp3");
    EXPECT_EQ(media.sent.size(), 1u);
    EXPECT_EQ(LastResult, kUntouched);
}

TEST_F(VelmoraBgmTest, Mp3IsRewoundOnlyWhenItNoLongerPlays) {
    media.answers["status MP3Play mode"] = {0, "playing"};
    bgm.BGM_MP3Rewind();
    EXPECT_THAT(media.sent, ElementsAre("status MP3Play mode"));
    EXPECT_THAT(media.reply_lengths, ElementsAre(30));

    for (const Answer& answer :
         {Answer{263, ""}, Answer{0, "stopped"}, Answer{0, "paused"}, Answer{0, "play"}}) {
        media.sent.clear();
        media.answers["status MP3Play mode"] = answer;
        bgm.BGM_MP3Rewind();
        EXPECT_THAT(media.sent,
                    ElementsAre("status MP3Play mode", "stop MP3Play", "play MP3Play from 0"))
            << answer.reply;
    }
    EXPECT_EQ(LastResult, kUntouched);
}

TEST_F(VelmoraBgmTest, Mp3CloseStopsAndCloses) {
    bgm.BGM_MP3Close();
    EXPECT_THAT(media.sent, ElementsAre("stop MP3Play", "close MP3Play"));
    EXPECT_EQ(LastResult, kUntouched);
}

TEST_F(VelmoraBgmTest, WavLoopsAsynchronouslyWhenThereIsAnOutputDevice) {
    bgm.BGM_WAVPlay("/music/loop.wav");
    EXPECT_THAT(media.sent, ElementsAre("PlaySound /music/loop.wav flags 9"));
    EXPECT_EQ(LastResult, 1);

    media.play_succeeds = false;
    bgm.BGM_WAVPlay("/music/broken.wav");
    EXPECT_EQ(LastResult, 0);

    bgm.BGM_WAVStop();
    EXPECT_EQ(media.sent.back(), "PlaySound stop");
    EXPECT_EQ(LastResult, 1);
}

TEST_F(VelmoraBgmTest, WavIsNotPlayedWithoutAnOutputDevice) {
    media.devices = 0;
    bgm.BGM_WAVPlay("/music/loop.wav");
    EXPECT_THAT(media.sent, IsEmpty());
    EXPECT_EQ(LastResult, kUntouched);
}

}  // namespace
}  // namespace velmora
