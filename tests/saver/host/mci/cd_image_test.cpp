#include <gtest/gtest.h>

#include <fstream>

#include "saver/host/mci/mci_errors.h"
#include "tests/saver/host/mci/media_test_support.h"

namespace velmora::test {
namespace {

class CdImageTest : public MediaTest {
  protected:
    std::string MakeDisc(bool first_track_data = false) {
        return MakeCdImage(folder_.path(), first_track_data);
    }

    void OpenDisc(bool first_track_data = false) {
        setenv("VELMORA_CDROM", MakeDisc(first_track_data).c_str(), 1);
        ASSERT_EQ(Send("open cdaudio"), 0);
        ASSERT_EQ(Send("set cdaudio time format tmsf"), 0);
    }

    // The tone heard from the first sound after `start` on.
    double ToneAfter(std::size_t start) {
        EXPECT_TRUE(audio_.WaitForFrames(start + Frames(1000)));
        const auto sound = audio_.FirstSound(start, start + Frames(1000));
        if (!sound) {
            return 0;
        }
        EXPECT_TRUE(audio_.WaitForFrames(*sound + Frames(300)));
        return ToneFrequency(audio_.Left(*sound + Frames(100), Frames(200)));
    }
};

TEST_F(CdImageTest, ReportsTracksAndPositionsInEachTimeFormat) {
    OpenDisc();
    EXPECT_EQ(Ask("status cdaudio number of tracks"), "3");
    EXPECT_EQ(Ask("status cdaudio media present"), "true");
    EXPECT_EQ(Ask("status cdaudio mode"), "stopped");
    EXPECT_EQ(Ask("status cdaudio current track"), "1");
    EXPECT_EQ(Ask("status cdaudio position"), "01:00:00:00");
    EXPECT_EQ(Ask("status cdaudio position track 2"), "02:00:00:00");
    EXPECT_EQ(Ask("status cdaudio length track 2"), "00:02:00");
    EXPECT_EQ(Ask("status cdaudio length"), "00:06:00");
    EXPECT_EQ(Send("status cdaudio position track 4"), mci_error::kOutOfRange);
    EXPECT_EQ(Send("status cdaudio position track two"), mci_error::kBadInteger);
    EXPECT_EQ(Send("status cdaudio position track"), mci_error::kMissingParameter);

    ASSERT_EQ(Send("set cdaudio time format msf"), 0);
    EXPECT_EQ(Ask("status cdaudio time format"), "msf");
    EXPECT_EQ(Ask("status cdaudio position track 1"), "00:02:00");
    EXPECT_EQ(Ask("status cdaudio position track 3"), "00:06:00");
    ASSERT_EQ(Send("set cdaudio time format milliseconds"), 0);
    EXPECT_EQ(Ask("status cdaudio position track 2"), "4000");
    EXPECT_EQ(Ask("status cdaudio length track 2"), "2000");
}

TEST_F(CdImageTest, PlaysTheTrackAskedForAndMovesOnToTheNext) {
    OpenDisc();
    const std::size_t start = audio_.FramesWritten();
    ASSERT_EQ(Send("play cdaudio from 02:00:00:00"), 0);
    EXPECT_EQ(Ask("status cdaudio mode"), "playing");
    EXPECT_EQ(Ask("status cdaudio current track"), "2");
    EXPECT_NEAR(ToneAfter(start), 880, 30);
    EXPECT_TRUE(WaitForReply("status cdaudio current track", "3"));
    const std::string position = Ask("status cdaudio position");
    EXPECT_EQ(position.substr(0, 3), "03:") << position;
}

TEST_F(CdImageTest, PlaysToTheEndAndThenAgainFromTheFirstTrack) {
    OpenDisc();
    ASSERT_EQ(Send("play cdaudio from 3:0:1:60"), 0);
    ASSERT_TRUE(WaitForReply("status cdaudio mode", "stopped"));
    EXPECT_EQ(Ask("status cdaudio position"), "03:00:02:00");
    const std::size_t again = audio_.FramesWritten();
    ASSERT_EQ(Send("play cdaudio"), 0);
    EXPECT_EQ(Ask("status cdaudio current track"), "1");
    EXPECT_NEAR(ToneAfter(again), 440, 20);
}

TEST_F(CdImageTest, StopsWhereToSays) {
    OpenDisc();
    ASSERT_EQ(Send("play cdaudio from 1 to 01:00:00:30"), 0);
    ASSERT_TRUE(WaitForReply("status cdaudio mode", "stopped"));
    EXPECT_EQ(Ask("status cdaudio position"), "01:00:00:30");
}

TEST_F(CdImageTest, PauseResumeAndStop) {
    OpenDisc();
    ASSERT_EQ(Send("play cdaudio from 1"), 0);
    ASSERT_EQ(Send("pause cdaudio"), 0);
    EXPECT_EQ(Ask("status cdaudio mode"), "paused");
    ASSERT_EQ(Send("resume cdaudio"), 0);
    EXPECT_EQ(Ask("status cdaudio mode"), "playing");
    ASSERT_EQ(Send("stop cdaudio"), 0);
    EXPECT_EQ(Ask("status cdaudio mode"), "stopped");
    const std::size_t settled = audio_.FramesWritten() + Frames(200);
    ASSERT_TRUE(audio_.WaitForFrames(settled + Frames(500)));
    EXPECT_FALSE(audio_.FirstSound(settled, settled + Frames(500)).has_value());
}

TEST_F(CdImageTest, RefusesPositionsOffTheDisc) {
    OpenDisc();
    EXPECT_EQ(Send("play cdaudio from 4"), mci_error::kOutOfRange);
    EXPECT_EQ(Send("play cdaudio from 1:0:60"), mci_error::kOutOfRange);
    EXPECT_EQ(Send("play cdaudio from 3:0:2:1"), mci_error::kOutOfRange);
    EXPECT_EQ(Send("play cdaudio from 2 to 1:0:1"), mci_error::kOutOfRange);
    EXPECT_EQ(Send("play cdaudio from Error:282"), mci_error::kBadInteger);
    EXPECT_EQ(Send("play cdaudio from 1:2:3:4:5"), mci_error::kBadInteger);
    EXPECT_EQ(Send("play cdaudio from 1:256"), mci_error::kBadInteger);
    EXPECT_EQ(Ask("status cdaudio mode"), "stopped");
}

TEST_F(CdImageTest, DataTracksArePassedOver) {
    OpenDisc(true);
    const std::size_t start = audio_.FramesWritten();
    ASSERT_EQ(Send("play cdaudio from 1"), 0);
    EXPECT_EQ(Ask("status cdaudio current track"), "2");
    EXPECT_NEAR(ToneAfter(start), 880, 30);
}

TEST_F(CdImageTest, OpensTheImageNamedInTheCommandOrSaysWhyItCannot) {
    const std::string cue = MakeDisc();
    ASSERT_EQ(Send("open \"" + cue + "\" type cdaudio alias disc"), 0);
    EXPECT_EQ(Ask("status disc number of tracks"), "3");

    setenv("VELMORA_CDROM", Path("missing.cue").c_str(), 1);
    EXPECT_EQ(Send("open cdaudio"), mci_error::kFileNotFound);
    std::ofstream(Path("notes.cue")) << "not a cue sheet\n";
    setenv("VELMORA_CDROM", Path("notes.cue").c_str(), 1);
    EXPECT_EQ(Send("open cdaudio"), mci_error::kInvalidFile);
    setenv("VELMORA_CDROM", folder_.path().c_str(), 1);
    EXPECT_EQ(Send("open cdaudio"), mci_error::kInvalidFile);
    EXPECT_EQ(Send("status cdaudio mode"), mci_error::kInvalidDeviceName);
}

}  // namespace
}  // namespace velmora::test
