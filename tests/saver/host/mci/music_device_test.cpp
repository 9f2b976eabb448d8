#include <gtest/gtest.h>

#include "saver/host/mci/mci_errors.h"
#include "tests/saver/host/mci/media_test_support.h"

namespace velmora::test {
namespace {

class MusicDeviceTest : public MediaTest {
  protected:
    void SetUp() override {
        MakeTone(song_, "mp3", 1.0, 440);
        ASSERT_EQ(Send("open \"" + song_ + "\" type MPEGVideo alias MP3Play"), 0);
    }

    // Waits for a stretch of output after `from` and tells whether it sounds.
    bool SoundsAfter(std::size_t from, std::size_t milliseconds) {
        EXPECT_TRUE(audio_.WaitForFrames(from + Frames(milliseconds)));
        return audio_.FirstSound(from, from + Frames(milliseconds)).has_value();
    }

    const std::string song_ = Path("a song.mp3");
};

TEST_F(MusicDeviceTest, PlaysTheFileIntoTheOutput) {
    const std::size_t start = audio_.FramesWritten();
    ASSERT_EQ(Send("play MP3Play"), 0);
    EXPECT_EQ(Ask("status MP3Play mode"), "playing");
    ASSERT_TRUE(audio_.WaitForFrames(start + Frames(1000)));
    const auto sound = audio_.FirstSound(start, start + Frames(1000));
    ASSERT_TRUE(sound.has_value());
    const auto tone = audio_.Left(*sound + Frames(100), Frames(200));
    EXPECT_GT(Rms(tone), 5000);
    EXPECT_NEAR(ToneFrequency(tone), 440, 20);
}

TEST_F(MusicDeviceTest, StopsAtItsEndAndPlaysAgainFromTheStart) {
    const std::string length = Ask("status MP3Play length");
    EXPECT_NEAR(std::stoi(length), 1000, 100);
    ASSERT_EQ(Send("play MP3Play"), 0);
    ASSERT_TRUE(WaitForReply("status MP3Play mode", "stopped"));
    EXPECT_EQ(Ask("status MP3Play position"), length);

    ASSERT_EQ(Send("play MP3Play from 0"), 0);
    const std::size_t restart = audio_.FramesWritten();
    EXPECT_EQ(Ask("status MP3Play mode"), "playing");
    EXPECT_LT(std::stoi(Ask("status MP3Play position")), 900);
    EXPECT_TRUE(SoundsAfter(restart, 500));
}

TEST_F(MusicDeviceTest, StopHaltsTheOutputAndKeepsThePosition) {
    ASSERT_EQ(Send("play MP3Play"), 0);
    ASSERT_TRUE(audio_.WaitForFrames(audio_.FramesWritten() + Frames(200)));
    ASSERT_EQ(Send("stop MP3Play"), 0);
    const std::size_t stopped = audio_.FramesWritten();
    EXPECT_EQ(Ask("status MP3Play mode"), "stopped");
    const int position = std::stoi(Ask("status MP3Play position"));
    EXPECT_GT(position, 0);
    // What the driver had already been handed before the stop may still come out.
    const std::size_t settled = stopped + Frames(200);
    EXPECT_FALSE(SoundsAfter(settled, 500));
    EXPECT_EQ(std::stoi(Ask("status MP3Play position")), position);
}

TEST_F(MusicDeviceTest, PauseAndResume) {
    ASSERT_EQ(Send("play MP3Play"), 0);
    ASSERT_EQ(Send("pause MP3Play"), 0);
    EXPECT_EQ(Ask("status MP3Play mode"), "paused");
    EXPECT_FALSE(SoundsAfter(audio_.FramesWritten() + Frames(200), 300));
    ASSERT_EQ(Send("resume MP3Play"), 0);
    EXPECT_EQ(Ask("status MP3Play mode"), "playing");
    EXPECT_TRUE(SoundsAfter(audio_.FramesWritten(), 500));
}

TEST_F(MusicDeviceTest, RefusesWhatItCannotDo) {
    EXPECT_EQ(Send("play MP3Play from 0 to 500"), mci_error::kUnsupportedFunction);
    EXPECT_EQ(Send("play MP3Play from 60000"), mci_error::kOutOfRange);
    EXPECT_EQ(Send("play MP3Play from half"), mci_error::kBadInteger);
    EXPECT_EQ(Send("set MP3Play time format tmsf"), mci_error::kBadTimeFormat);
    EXPECT_EQ(Send("status MP3Play number of tracks"), mci_error::kUnsupportedFunction);
    EXPECT_EQ(Ask("status MP3Play mode"), "stopped");
}

TEST_F(MusicDeviceTest, CloseStopsTheSound) {
    ASSERT_EQ(Send("play MP3Play"), 0);
    ASSERT_EQ(Send("close MP3Play"), 0);
    const std::size_t closed = audio_.FramesWritten();
    EXPECT_FALSE(SoundsAfter(closed + Frames(200), 500));
}

}  // namespace
}  // namespace velmora::test
