#include "tests/saver/host/mci/media_test_support.h"

#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace velmora::test {

std::size_t DiskAudio::FramesWritten() const {
    std::error_code error;
    const auto size = std::filesystem::file_size(path_, error);
    return error ? 0 : size / kBytesPerFrame;
}

bool DiskAudio::WaitForFrames(std::size_t frames, std::chrono::milliseconds timeout) const {
    return WaitUntil([&] { return FramesWritten() >= frames; }, timeout);
}

std::vector<std::int16_t> DiskAudio::Left(std::size_t first, std::size_t count) const {
    std::ifstream file(path_, std::ios::binary);
    file.seekg(static_cast<std::streamoff>(first * kBytesPerFrame));
    std::vector<std::int16_t> left;
    std::array<unsigned char, kBytesPerFrame> frame{};
    while (left.size() < count && file.read(reinterpret_cast<char*>(frame.data()),
                                            static_cast<std::streamsize>(frame.size()))) {
        left.push_back(static_cast<std::int16_t>(frame[0] | frame[1] << 8));
    }
    return left;
}

std::optional<std::size_t> DiskAudio::FirstSound(std::size_t first, std::size_t end) const {
    constexpr std::size_t kWindow = 256;
    for (std::size_t at = first; at + kWindow <= end; at += kWindow) {
        if (Rms(Left(at, kWindow)) > kSilence) {
            return at;
        }
    }
    return std::nullopt;
}

double Rms(std::span<const std::int16_t> samples) {
    if (samples.empty()) {
        return 0;
    }
    double sum = 0;
    for (const std::int16_t sample : samples) {
        sum += static_cast<double>(sample) * sample;
    }
    return std::sqrt(sum / static_cast<double>(samples.size()));
}

double ToneFrequency(std::span<const std::int16_t> samples) {
    std::size_t crossings = 0;
    for (std::size_t i = 1; i < samples.size(); ++i) {
        if ((samples[i - 1] < 0) != (samples[i] < 0)) {
            ++crossings;
        }
    }
    return static_cast<double>(crossings) / 2.0 * kRate / static_cast<double>(samples.size());
}

void MakeTone(const std::string& path, const std::string& format, double seconds, int hertz) {
    std::vector<std::string> command = {"sox", "-n", "-r", "44100", "-c", "2"};
    if (format == "raw") {
        command.insert(command.end(), {"-b", "16", "-e", "signed", "-L"});
    } else if (format == "wav") {
        command.insert(command.end(), {"-b", "16"});
    }
    command.insert(command.end(), {"-t", format, path, "synth", std::to_string(seconds), "sine",
                                   std::to_string(hertz), "vol", "0.5"});
    const CommandResult result = RunCommand(command, {}, std::chrono::seconds(60));
    if (result.status != 0) {
        throw std::runtime_error("sox could not make " + path);
    }
}

std::string MakeCdImage(const std::string& folder, bool first_track_data) {
    constexpr int kTrackHertz[] = {440, 880, 1760};
    constexpr double kTrackSeconds = 2.0;  // 150 sectors of 2352 bytes
    const std::string bin = folder + "/disc.bin";
    const std::string raw = folder + "/track.raw";
    std::ofstream cue(folder + "/disc.cue");
    cue << "FILE \"disc.bin\" BINARY\n";
    for (int track = 0; track < 3; ++track) {
        const bool data = first_track_data && track == 0;
        MakeTone(raw, "raw", kTrackSeconds, kTrackHertz[track]);
        std::ifstream tone(raw, std::ios::binary);
        std::ofstream disc(bin, std::ios::binary | std::ios::app);
        if (data) {
            const auto size = std::filesystem::file_size(raw);
            for (std::uintmax_t i = 0; i < size; ++i) {
                disc.put(static_cast<char>(i % 2 == 0 ? 0x00 : 0x70));
            }
        } else {
            disc << tone.rdbuf();
        }
        std::array<char, 64> entry{};
        std::snprintf(entry.data(), entry.size(), "  TRACK %02d %s\n    INDEX 01 00:%02d:00\n",
                      track + 1, data ? "MODE1/2352" : "AUDIO", track * 2);
        cue << entry.data();
    }
    return folder + "/disc.cue";
}

MediaTest::MediaTest() {
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", Path("output.raw").c_str(), 1);
    unsetenv("VELMORA_CDROM");
}

MediaTest::~MediaTest() = default;

MediaServices& MediaTest::media() {
    if (!media_) {
        media_ = std::make_unique<MediaServices>();
    }
    return *media_;
}

std::int32_t MediaTest::Send(const std::string& command, std::string* reply) {
    std::array<char, 512> buffer{};
    const std::int32_t code = media().commands().SendString(command, buffer);
    if (reply != nullptr) {
        *reply = buffer.data();
    }
    return code;
}

std::string MediaTest::Ask(const std::string& command) {
    std::string reply;
    EXPECT_EQ(Send(command, &reply), 0) << command;
    return reply;
}

bool MediaTest::WaitForReply(const std::string& command, const std::string& expected,
                             std::chrono::milliseconds timeout) {
    return WaitUntil([&] { return Ask(command) == expected; }, timeout);
}

}  // namespace velmora::test
