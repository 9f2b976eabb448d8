// What the saver costs: one window lookup by title (the single-instance test and the session's
// renderer watch each do it), one load of the settings, and the time from starting a session to
// the renderer's first frame.
#include <benchmark/benchmark.h>

#include <signal.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <thread>

#include "common/renderer_window.h"
#include "saver/host/x11_connection.h"
#include "saver/settings.h"
#include "tests/e2e/support/program_folder.h"
#include "tests/e2e/support/x_display.h"
#include "tests/e2e/support/xvfb_server.h"

namespace velmora {
namespace {

// A desktop with three windows for every count, one of each three titled and half of those
// shown, none titled as looked for, so that the lookup walks the whole tree.
void BM_WindowLookupByTitle(benchmark::State& state) {
    const test::XvfbServer xvfb;
    const test::XDisplay desktop(xvfb.display());
    for (int i = 0; i < state.range(0); ++i) {
        desktop.CreateWindow("window " + std::to_string(i), 100, 100, i % 2 == 1);
        for (int untitled = 0; untitled < 2; ++untitled) {
            desktop.CreateWindow("", 10, 10, false);
        }
    }
    setenv("DISPLAY", xvfb.display().c_str(), 1);
    const auto x11 = X11Connection::Open();
    for (auto _ : state) {
        benchmark::DoNotOptimize(x11->WindowTitledExists("Velmora_Main"));
    }
    state.counters["windows"] = static_cast<double>(state.range(0) * 3 + 1);
}
BENCHMARK(BM_WindowLookupByTitle)->Arg(10)->Arg(100)->Unit(benchmark::kMicrosecond);

void BM_LoadSettings(benchmark::State& state) {
    const test::TemporaryFolder folder;
    const std::string song = folder.path() + "/song.mp3";
    std::ofstream(song) << "music";
    const std::string ini = IniPath(folder.path());
    std::ofstream(ini) << "[Section]\nBGM区分= 2\nBGMﾘﾋﾟｰﾄ= 3\nBGMﾌｧｲﾙ=" << song << "\n";
    for (auto _ : state) {
        Settings settings;
        LoadSettings(settings, ini, folder.path());
        benchmark::DoNotOptimize(settings);
    }
}
BENCHMARK(BM_LoadSettings)->Unit(benchmark::kMicrosecond);

// "/S" on a 1920 x 1080 screen until the renderer's first frame is on it: capture and both
// picture files, the renderer's start, loading the pictures and building their mipmaps.
void BM_SessionStartToFirstFrame(benchmark::State& state) {
    constexpr int kWidth = 1920, kHeight = 1080;
    const test::XvfbServer xvfb(kWidth, kHeight);
    const test::XDisplay display(xvfb.display());
    const test::Rgb desktop{128, 128, 128};
    display.PaintRoot({kWidth, kHeight, std::vector<test::Rgb>(kWidth * kHeight, desktop)});
    test::ProgramFolder programs;
    programs.AddSaver();
    programs.AddRenderer();
    const test::TemporaryFolder cache;
    auto environment = xvfb.Environment();
    environment["XDG_CACHE_HOME"] = cache.path();
    environment["XDG_RUNTIME_DIR"] = cache.path();
    // The first frame shows the floor in the middle of the renderer's 1024 x 768 window: neither
    // the desktop's grey nor black.
    auto first_frame_shown = [&] {
        const auto area = display.CaptureArea(512 - 8, 384 - 8, 16, 16);
        return std::any_of(area.pixels.begin(), area.pixels.end(), [&](const test::Rgb& pixel) {
            return pixel != desktop && pixel != test::Rgb{};
        });
    };
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        test::ChildProcess saver({programs.saver(), "/S"}, environment);
        const bool shown = test::WaitUntil(first_frame_shown, std::chrono::seconds(60));
        const auto elapsed = std::chrono::steady_clock::now() - start;
        if (!shown) {
            state.SkipWithError("no frame within 60 s");
            return;
        }
        state.SetIterationTime(std::chrono::duration<double>(elapsed).count());
        if (const auto renderer = display.WindowTitled(kRendererWindowTitle)) {
            test::RunCommand({"xdotool", "key", "--window", std::to_string(*renderer), "Escape"},
                             xvfb.Environment());
        }
        saver.WaitExit(std::chrono::seconds(10));
        test::WaitUntil([&] { return !first_frame_shown(); }, std::chrono::seconds(10));
    }
}
BENCHMARK(BM_SessionStartToFirstFrame)
    ->UseManualTime()
    ->Iterations(5)
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace velmora

BENCHMARK_MAIN();
