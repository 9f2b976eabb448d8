#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "saver/host/mci/media_services.h"
#include "tests/support/child_process.h"

namespace velmora::test {

// The output's format, as SDL's disk driver writes it: interleaved stereo 16-bit at 44100 Hz.
inline constexpr std::size_t kRate = 44100;
inline constexpr std::size_t kBytesPerFrame = 4;

// Frames for a duration in milliseconds.
constexpr std::size_t Frames(std::size_t milliseconds) {
    return kRate * milliseconds / 1000;
}

// What the disk driver has written so far.
class DiskAudio {
  public:
    explicit DiskAudio(std::string path) : path_(std::move(path)) {}

    std::size_t FramesWritten() const;
    // Waits until `frames` frames have been written. The driver writes in real time, so on a
    // loaded machine this can take a while; the bound is generous.
    bool WaitForFrames(std::size_t frames,
                       std::chrono::milliseconds timeout = std::chrono::seconds(30)) const;
    // The left channel of `count` frames from `first` on (fewer at the end of the file).
    std::vector<std::int16_t> Left(std::size_t first, std::size_t count) const;
    // The first frame from `first` on, before `end`, whose level is audible.
    std::optional<std::size_t> FirstSound(std::size_t first, std::size_t end) const;

  private:
    std::string path_;
};

double Rms(std::span<const std::int16_t> samples);
// The frequency of a steady tone, from its zero crossings.
double ToneFrequency(std::span<const std::int16_t> samples);
// Below this root-mean-square level a stretch counts as silence.
inline constexpr double kSilence = 50.0;

// Makes a sound file with sox: a sine tone of `hertz` lasting `seconds`, as 44100 Hz stereo.
// `format` is sox's file type (mp3, wav, raw for CD audio).
void MakeTone(const std::string& path, const std::string& format, double seconds, int hertz);

// Writes disc.cue and disc.bin into `folder`: three tracks of two seconds each, tones of 440,
// 880 and 1760 Hz; with `first_track_data` the first is a data track whose bytes would sound
// loud if they were played. Returns the cue sheet's path.
std::string MakeCdImage(const std::string& folder, bool first_track_data = false);

// A test with its own folder, the disk audio driver writing into it, and the real media layer.
class MediaTest : public ::testing::Test {
  protected:
    MediaTest();
    ~MediaTest() override;

    // The media layer, made on first use so that a test can change the environment first.
    MediaServices& media();
    // Sends a command with a 512-character reply buffer.
    std::int32_t Send(const std::string& command, std::string* reply = nullptr);
    // The reply to a command that must succeed.
    std::string Ask(const std::string& command);
    // Polls a status command until it gives `expected`.
    bool WaitForReply(const std::string& command, const std::string& expected,
                      std::chrono::milliseconds timeout = std::chrono::seconds(30));
    std::string Path(const std::string& name) const { return folder_.path() + "/" + name; }

    TemporaryFolder folder_;
    DiskAudio audio_{Path("output.raw")};

  private:
    std::unique_ptr<MediaServices> media_;
};

}  // namespace velmora::test
