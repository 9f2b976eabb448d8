#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <functional>
#include <optional>
#include <thread>

#include "saver/bgm/velmora_bgm.h"
#include "tests/saver/host/mci/media_test_support.h"

namespace velmora::test {
namespace {

using std::chrono_literals::operator""ms;

// The music module over the real media layer, polled as the session's timers poll it.
class VelmoraBgmMediaTest : public MediaTest {
  protected:
    Velmora_BGM& bgm() {
        if (!bgm_) {
            bgm_.emplace(media().commands(), media().player(), LastResult);
        }
        return *bgm_;
    }

    // Calls `poll` every `interval` until the output holds `milliseconds` after `start`.
    void PollUntil(std::size_t start, std::size_t milliseconds, std::chrono::milliseconds interval,
                   const std::function<void()>& poll) {
        EXPECT_TRUE(WaitUntil(
            [&] {
                poll();
                std::this_thread::sleep_for(interval);
                return audio_.FramesWritten() >= start + Frames(milliseconds);
            },
            std::chrono::seconds(60)));
    }

    // Whether some stretch between `from` and `to` milliseconds after `start` carries the tone.
    bool ToneBetween(std::size_t start, std::size_t from, std::size_t to, double hertz) {
        for (std::size_t at = start + Frames(from); at < start + Frames(to); at += Frames(50)) {
            const auto piece = audio_.Left(at, Frames(50));
            if (Rms(piece) > kSilence && std::abs(ToneFrequency(piece) - hertz) < hertz / 20) {
                return true;
            }
        }
        return false;
    }

    std::int32_t LastResult = 0;

  private:
    std::optional<Velmora_BGM> bgm_;
};

TEST_F(VelmoraBgmMediaTest, RepeatedTrackIsPlayedAgainWhenItHasEnded) {
    setenv("VELMORA_CDROM", MakeCdImage(folder_.path()).c_str(), 1);
    bgm().BGM_CDOpen();
    ASSERT_EQ(LastResult, 0);
    const std::size_t start = audio_.FramesWritten();
    bgm().BGM_CDWatch(2);
    ASSERT_TRUE(bgm().BGM_CDActive());
    ASSERT_TRUE(audio_.WaitForFrames(start + Frames(1000)));
    const auto sound = audio_.FirstSound(start, start + Frames(1000));
    ASSERT_TRUE(sound.has_value());
    PollUntil(*sound, 3500, 200ms, [&] { bgm().BGM_CDWatch(2); });
    EXPECT_TRUE(bgm().BGM_CDActive());
    // Track 2 lasts two seconds; it is heard again after them, not only track 3.
    EXPECT_TRUE(ToneBetween(*sound, 0, 500, 880));
    EXPECT_TRUE(ToneBetween(*sound, 2500, 3500, 880));
    bgm().BGM_CDClose();
    EXPECT_EQ(LastResult, 0);
}

TEST_F(VelmoraBgmMediaTest, WatchEndsWhenThereIsNoDisc) {
    setenv("VELMORA_CDROM", Path("no disc.cue").c_str(), 1);
    bgm().BGM_CDOpen();
    EXPECT_NE(LastResult, 0);
    bgm().BGM_CDWatch(0);
    EXPECT_FALSE(bgm().BGM_CDActive());
}

TEST_F(VelmoraBgmMediaTest, WatchEndsWhenTheDiscImageDisappearsWhilePlaying) {
    const std::string cue = MakeCdImage(folder_.path());
    setenv("VELMORA_CDROM", cue.c_str(), 1);
    bgm().BGM_CDOpen();
    ASSERT_EQ(LastResult, 0);
    bgm().BGM_CDWatch(0);
    ASSERT_TRUE(bgm().BGM_CDActive());
    for (const char* file : {"disc.cue", "disc.bin"}) {
        ASSERT_TRUE(std::filesystem::remove(Path(file)));
    }
    EXPECT_TRUE(WaitUntil(
        [&] {
            bgm().BGM_CDWatch(0);
            return !bgm().BGM_CDActive();
        },
        std::chrono::seconds(30)));
    EXPECT_NE(LastResult, 0);
}

TEST_F(VelmoraBgmMediaTest, Mp3FileIsRestartedWhenItHasEnded) {
    const std::string song = Path("my song.mp3");
    MakeTone(song, "mp3", 1.0, 440);
    const std::size_t start = audio_.FramesWritten();
    bgm().BGM_MP3Open(song);
    ASSERT_TRUE(audio_.WaitForFrames(start + Frames(1000)));
    const auto sound = audio_.FirstSound(start, start + Frames(1000));
    ASSERT_TRUE(sound.has_value());
    PollUntil(*sound, 3000, 200ms, [&] { bgm().BGM_MP3Rewind(); });
    EXPECT_TRUE(ToneBetween(*sound, 1500, 3000, 440));

    bgm().BGM_MP3Close();
    const std::size_t settled = audio_.FramesWritten() + Frames(200);
    ASSERT_TRUE(audio_.WaitForFrames(settled + Frames(500)));
    EXPECT_FALSE(audio_.FirstSound(settled, settled + Frames(500)).has_value());
}

TEST_F(VelmoraBgmMediaTest, WavFileLoopsUntilStopped) {
    const std::string loop = Path("loop.wav");
    MakeTone(loop, "wav", 0.3, 880);
    const std::size_t start = audio_.FramesWritten();
    bgm().BGM_WAVPlay(loop);
    EXPECT_EQ(LastResult, 1);
    ASSERT_TRUE(audio_.WaitForFrames(start + Frames(1500)));
    const auto sound = audio_.FirstSound(start, start + Frames(500));
    ASSERT_TRUE(sound.has_value());
    EXPECT_TRUE(ToneBetween(*sound, 800, 1000, 880));
    bgm().BGM_WAVStop();
    EXPECT_EQ(LastResult, 1);
}

}  // namespace
}  // namespace velmora::test
