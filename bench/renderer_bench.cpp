// Speed of the renderer: frames per second of the real scene, and the time from starting the
// program to its first frame on the screen with a 4K desktop picture. Each runs on its own Xvfb
// with Mesa (llvmpipe where there is no GPU), so the figures are the software renderer's.
#include <SDL2/SDL.h>
#include <benchmark/benchmark.h>
#include <signal.h>
#include <stdlib.h>

#include <algorithm>
#include <chrono>
#include <thread>

#include "common/picture_folder.h"
#include "common/renderer_window.h"
#include "renderer/dib_loader.h"
#include "renderer/sdl_render_window.h"
#include "tests/e2e/support/x_display.h"
#include "tests/e2e/support/xvfb_server.h"
#include "tests/support/bmp_file.h"
#include "tests/support/child_process.h"

namespace velmora {
namespace {

constexpr int kScreenWidth = 1024;
constexpr int kScreenHeight = 768;

class FailingReporter : public ErrorReporter {
  public:
    void ShowError(const std::string& message) override { failure = message; }
    std::string failure;
};

// A desktop-like picture: smooth colour ramps with some detail.
std::vector<std::uint8_t> DesktopPicture(int width, int height) {
    std::vector<std::uint8_t> rows;
    rows.reserve(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            rows.push_back(static_cast<std::uint8_t>(x * 255 / width));
            rows.push_back(static_cast<std::uint8_t>(y * 255 / height));
            rows.push_back(static_cast<std::uint8_t>(((x / 16) ^ (y / 16)) % 2 == 0 ? 220 : 90));
        }
    }
    return test::Bmp24(width, height, rows);
}

// The two pictures in a fresh picture folder under cache.
void WritePictures(const test::TemporaryFolder& cache, int desktop_width, int desktop_height) {
    const auto folder = ResolvePictureFolder(cache.path().c_str(), nullptr);
    PreparePictureFolder(folder);
    test::WriteBytes((folder / kDesktopPictureName).string(),
                     DesktopPicture(desktop_width, desktop_height));
    test::WriteBytes((folder / kFlarePictureName).string(), test::GreyBmp8());
}

void FramesPerSecond(benchmark::State& state) {
    const test::XvfbServer xvfb(kScreenWidth, kScreenHeight);
    const test::TemporaryFolder cache;
    WritePictures(cache, kScreenWidth, kScreenHeight);
    setenv("DISPLAY", xvfb.display().c_str(), 1);
    setenv("XDG_CACHE_HOME", cache.path().c_str(), 1);

    FailingReporter reporter;
    SdlRenderWindow window(reporter);
    if (!window.render_window_open(kRendererWindowTitle, static_cast<int>(state.range(0)),
                                   static_cast<int>(state.range(1)), 32, false)) {
        state.SkipWithError(("no window: " + reporter.failure).c_str());
        return;
    }
    SDL_GL_SetSwapInterval(0);  // vsync off: the scene's own cost
    window.scene().scene_build();
    for (auto _ : state) {
        window.frame_draw();
        window.SwapBuffers();
    }
    state.counters["fps"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(FramesPerSecond)
    ->Args({1024, 768})
    ->Args({64, 48})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MinTime(5.0);

// The loader's part of the start: a 3840 × 2160 24-bit desktop picture to packed RGB rows.
void DecodeDesktopPicture(benchmark::State& state) {
    const auto file = DesktopPicture(3840, 2160);
    for (auto _ : state) {
        auto image = DecodeDib(file);
        benchmark::DoNotOptimize(image);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(file.size()));
}
BENCHMARK(DecodeDesktopPicture)->Unit(benchmark::kMillisecond);

// From starting the program to the first frame on the screen: start-up, loading and converting
// both pictures, building the mipmaps of the desktop picture (3840 × 2160, and for comparison
// 1024 × 768), and the first swap.
void StartToFirstFrame(benchmark::State& state) {
    const test::XvfbServer xvfb(kScreenWidth, kScreenHeight);
    const test::TemporaryFolder cache;
    WritePictures(cache, static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    const test::XDisplay display(xvfb.display());
    // The root's default weave is not black: paint it so that only the renderer lights pixels.
    display.PaintRoot(
        {kScreenWidth, kScreenHeight, std::vector<test::Rgb>(kScreenWidth * kScreenHeight)});
    auto environment = xvfb.Environment();
    environment["XDG_CACHE_HOME"] = cache.path();
    const std::string program = std::string(VELMORA_BIN_DIR) + "/" + VELMORA_RENDERER_FILE_NAME;

    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        test::ChildProcess renderer({program}, environment);
        bool shown = false;
        // The floor fills the middle of the first frame.
        while (!shown && std::chrono::steady_clock::now() - start < std::chrono::seconds(60)) {
            const auto area =
                display.CaptureArea(kScreenWidth / 2 - 8, kScreenHeight / 2 - 8, 16, 16);
            shown = std::any_of(area.pixels.begin(), area.pixels.end(),
                                [](const test::Rgb& pixel) { return pixel != test::Rgb{}; });
            if (!shown) {
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
        }
        const auto elapsed = std::chrono::steady_clock::now() - start;
        if (!shown) {
            state.SkipWithError("no frame within 60 s");
            return;
        }
        state.SetIterationTime(std::chrono::duration<double>(elapsed).count());
        renderer.Signal(SIGTERM);
        renderer.WaitExit(std::chrono::seconds(10));
        // The next run starts on a black screen again.
        test::WaitUntil([&] { return !display.WindowTitled(kRendererWindowTitle).has_value(); },
                        std::chrono::seconds(10));
    }
}
BENCHMARK(StartToFirstFrame)
    ->Args({3840, 2160})
    ->Args({1024, 768})
    ->UseManualTime()
    ->Iterations(5)
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace velmora

BENCHMARK_MAIN();
