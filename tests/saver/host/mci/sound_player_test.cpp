#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "tests/saver/host/mci/media_test_support.h"

namespace velmora::test {
namespace {

class SoundPlayerTest : public MediaTest {
  protected:
    void SetUp() override { MakeTone(loop_, "wav", 0.3, 880); }

    SoundPlayer& player() { return media().player(); }

    const std::string loop_ = Path("loop.wav");
};

TEST_F(SoundPlayerTest, CountsTheOutputDevice) {
    EXPECT_GE(player().DeviceCount(), 1u);
}

TEST_F(SoundPlayerTest, LoopGoesOnPastTheLengthOfTheFile) {
    ASSERT_TRUE(player().Play(loop_, kSoundAsync | kSoundLoop));
    const std::size_t start = audio_.FramesWritten();
    ASSERT_TRUE(audio_.WaitForFrames(start + Frames(2000)));
    const auto sound = audio_.FirstSound(start, start + Frames(500));
    ASSERT_TRUE(sound.has_value());
    // Five lengths of the file later, it still sounds, and without a gap between the rounds.
    for (std::size_t at = *sound; at + Frames(100) < *sound + Frames(1500); at += Frames(100)) {
        const auto piece = audio_.Left(at, Frames(100));
        EXPECT_GT(Rms(piece), 5000) << "at frame " << at - *sound;
        EXPECT_NEAR(ToneFrequency(piece), 880, 30);
    }
}

TEST_F(SoundPlayerTest, WithoutLoopTheSoundPlaysOnce) {
    ASSERT_TRUE(player().Play(loop_, kSoundAsync));
    const std::size_t start = audio_.FramesWritten();
    ASSERT_TRUE(audio_.WaitForFrames(start + Frames(1500)));
    const auto sound = audio_.FirstSound(start, start + Frames(500));
    ASSERT_TRUE(sound.has_value());
    EXPECT_FALSE(audio_.FirstSound(*sound + Frames(400), start + Frames(1500)).has_value());
}

TEST_F(SoundPlayerTest, StopHaltsTheSound) {
    ASSERT_TRUE(player().Play(loop_, kSoundAsync | kSoundLoop));
    ASSERT_TRUE(audio_.WaitForFrames(audio_.FramesWritten() + Frames(300)));
    EXPECT_TRUE(player().Stop());
    // What the driver had already been handed before the stop may still come out.
    const std::size_t settled = audio_.FramesWritten() + Frames(200);
    ASSERT_TRUE(audio_.WaitForFrames(settled + Frames(600)));
    EXPECT_FALSE(audio_.FirstSound(settled, settled + Frames(600)).has_value());
    EXPECT_TRUE(player().Stop());
}

// Resident memory of this process in KiB.
long ResidentKib() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.starts_with("VmRSS:")) {
            return std::stol(line.substr(6));
        }
    }
    return -1;
}

// The header of a PCM WAV file at the output's format whose samples (silence, as the file is
// left sparse) last `seconds`.
void WriteLongSilence(const std::string& path, std::uint32_t seconds) {
    const std::uint32_t data = seconds * kRate * kBytesPerFrame;
    auto u32 = [](std::uint32_t v) {
        return std::string{char(v), char(v >> 8), char(v >> 16), char(v >> 24)};
    };
    auto u16 = [](std::uint16_t v) { return std::string{char(v), char(v >> 8)}; };
    std::ofstream(path, std::ios::binary)
        << "RIFF" << u32(36 + data) << "WAVEfmt " << u32(16) << u16(1) << u16(2) << u32(kRate)
        << u32(kRate * kBytesPerFrame) << u16(kBytesPerFrame) << u16(16) << "data" << u32(data);
    std::filesystem::resize_file(path, 44 + std::uintmax_t{data});
}

TEST_F(SoundPlayerTest, ATwoHourFileIsStreamedNotLoadedWhole) {
    const std::string long_file = Path("two hours.wav");
    WriteLongSilence(long_file, 2 * 60 * 60);
    ASSERT_TRUE(audio_.WaitForFrames(0));
    ASSERT_GE(player().DeviceCount(), 1u);
    const long before = ResidentKib();
    ASSERT_TRUE(player().Play(long_file, kSoundAsync | kSoundLoop));
    ASSERT_TRUE(audio_.WaitForFrames(audio_.FramesWritten() + Frames(300)));
    EXPECT_LT(ResidentKib() - before, 50 * 1024) << "KiB more while playing";
    EXPECT_TRUE(player().Stop());
}

TEST_F(SoundPlayerTest, RefusesWhatItCannotPlay) {
    const std::string text = Path("text.wav");
    std::ofstream(text) << "RIFF but not really\n";
    EXPECT_FALSE(player().Play(Path("missing.wav"), kSoundAsync | kSoundLoop));
    EXPECT_FALSE(player().Play(text, kSoundAsync | kSoundLoop));
    EXPECT_FALSE(player().Play(folder_.path(), kSoundAsync | kSoundLoop));
    // Playing while the caller waits would hold up the caller's thread.
    EXPECT_FALSE(player().Play(loop_, kSoundLoop));
}

}  // namespace
}  // namespace velmora::test
