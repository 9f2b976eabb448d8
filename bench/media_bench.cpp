// How quickly music starts and what it costs while it plays, through the real media layer and
// SDL2_mixer. Run with SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE=/dev/null where there is no
// sound card: the disk driver takes the samples at the pace of a real device.
#include <benchmark/benchmark.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <stdexcept>
#include <string>
#include <thread>

#include "saver/bgm/sound_player.h"
#include "saver/host/mci/mci_layer.h"
#include "saver/host/mci/media_services.h"
#include "saver/host/mci/sdl_mixer_music_device.h"
#include "saver/host/mci/sdl_mixer_output.h"

namespace velmora {
namespace {

using Clock = std::chrono::steady_clock;

// Test sounds, made once with sox in a private folder.
class Sounds {
  public:
    Sounds() {
        folder_ =
            std::filesystem::temp_directory_path() / ("velmora-bench-" + std::to_string(getpid()));
        std::filesystem::create_directories(folder_);
        Make("-t mp3 '" + mp3() + "' synth 180 sine 440");
        Make("-b 16 -t wav '" + wav() + "' synth 2 sine 880");
        Make("-b 16 -e signed -L -t raw '" + (folder_ / "disc.bin").string() +
             "' synth 180 sine 660");
        std::ofstream(cue())
            << "FILE \"disc.bin\" BINARY\n  TRACK 01 AUDIO\n    INDEX 01 00:00:00\n";
    }
    ~Sounds() { std::filesystem::remove_all(folder_); }

    std::string mp3() const { return (folder_ / "three minutes.mp3").string(); }
    std::string wav() const { return (folder_ / "loop.wav").string(); }
    std::string cue() const { return (folder_ / "disc.cue").string(); }

  private:
    void Make(const std::string& arguments) const {
        const std::string command = "sox -n -r 44100 -c 2 " + arguments + " vol 0.5";
        if (std::system(command.c_str()) != 0) {
            throw std::runtime_error("sox failed: " + command);
        }
    }

    std::filesystem::path folder_;
};

const Sounds& TestSounds() {
    static const Sounds sounds;
    return sounds;
}

// Notes when the mixer first hands out sound.
class FirstSoundProbe final : public PcmSource {
  public:
    void MixInto(std::span<std::int16_t> samples) noexcept override {
        if (!heard_.load() && std::any_of(samples.begin(), samples.end(),
                                          [](std::int16_t sample) { return sample != 0; })) {
            at_ = Clock::now();
            heard_.store(true);
        }
    }
    void Reset() { heard_.store(false); }
    bool heard() const { return heard_.load(); }
    Clock::time_point at() const { return at_; }

  private:
    std::atomic<bool> heard_{false};
    Clock::time_point at_;
};

double Seconds(Clock::duration duration) {
    return std::chrono::duration<double>(duration).count();
}

// From the open command to the first sound that the mixer hands to the device; the counter
// "call_ms" is the time the open and play commands themselves took.
void BM_Mp3StartLatency(benchmark::State& state) {
    SdlMixerOutput output;
    if (!output.Start()) {
        state.SkipWithError("no sound output");
        return;
    }
    FirstSoundProbe probe;
    output.Attach(probe);
    MciDeviceMakers makers;
    makers.mpeg_video = [&output](const std::string& file) {
        return OpenMixerMusicDevice(output, file);
    };
    MciLayer layer(std::move(makers));
    const std::string open = "open \"" + TestSounds().mp3() + "\" type MPEGVideo alias MP3Play";
    double call_seconds = 0;
    for (auto _ : state) {
        probe.Reset();
        const auto start = Clock::now();
        if (layer.SendString(open, {}) != 0 || layer.SendString("play MP3Play", {}) != 0) {
            state.SkipWithError("cannot play the MP3 file");
            break;
        }
        call_seconds += Seconds(Clock::now() - start);
        while (!probe.heard()) {
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
        state.SetIterationTime(Seconds(probe.at() - start));
        layer.SendString("close MP3Play", {});
    }
    state.counters["call_ms"] =
        benchmark::Counter(call_seconds * 1000, benchmark::Counter::kAvgIterations);
    output.Detach(probe);
}
BENCHMARK(BM_Mp3StartLatency)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);

double ProcessCpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// The whole process's CPU time while one kind of music plays for three seconds, as a share of
// one core ("cpu_percent").
void CpuWhilePlaying(benchmark::State& state, const std::function<bool(MediaServices&)>& start) {
    TestSounds();
    MediaServices media;
    for (auto _ : state) {
        if (!start(media)) {
            state.SkipWithError("cannot start the music");
            break;
        }
        const double cpu = ProcessCpuSeconds();
        const auto wall = Clock::now();
        std::this_thread::sleep_for(std::chrono::seconds(3));
        state.counters["cpu_percent"] =
            100 * (ProcessCpuSeconds() - cpu) / Seconds(Clock::now() - wall);
    }
}

void BM_CpuWhilePlayingMp3(benchmark::State& state) {
    CpuWhilePlaying(state, [](MediaServices& media) {
        return media.commands().SendString(
                   "open \"" + TestSounds().mp3() + "\" type MPEGVideo alias MP3Play", {}) == 0 &&
               media.commands().SendString("play MP3Play", {}) == 0;
    });
}
BENCHMARK(BM_CpuWhilePlayingMp3)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_CpuWhilePlayingCdImage(benchmark::State& state) {
    CpuWhilePlaying(state, [](MediaServices& media) {
        return media.commands().SendString(
                   "open \"" + TestSounds().cue() + "\" type cdaudio alias cdaudio", {}) == 0 &&
               media.commands().SendString("play cdaudio", {}) == 0;
    });
}
BENCHMARK(BM_CpuWhilePlayingCdImage)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_CpuWhilePlayingWavLoop(benchmark::State& state) {
    CpuWhilePlaying(state, [](MediaServices& media) {
        return media.player().Play(TestSounds().wav(), kSoundAsync | kSoundLoop);
    });
}
BENCHMARK(BM_CpuWhilePlayingWavLoop)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace velmora

BENCHMARK_MAIN();
