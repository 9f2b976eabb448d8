// Speed of the renderer, each part on its own Xvfb with Mesa (llvmpipe where there is no GPU), so
// the figures are the software renderer's:
// - a frame: the renderer's scene beside the literal drawing it replaced (immediate mode, one
//   begin/end per primitive), interleaved frame by frame, after checking that both give the
//   same pixels in frames 1, 100 and 450 at 64 × 48 and 1024 × 768;
// - the start: each phase on its own (reading and decoding the 4K desktop picture, its mipmap
//   levels by GLU and by the renderer, the full-screen window), then the whole program from its
//   start to its first frame. With VELMORA_BASELINE_RENDERER naming another build of the
//   renderer, that one runs beside it, alternately, for a comparison in one run.
#include <GL/gl.h>
#include <GL/glu.h>
#include <SDL2/SDL.h>
#include <benchmark/benchmark.h>
#include <signal.h>
#include <stdlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <thread>

#include "bench/bench_scene.h"
#include "common/picture_folder.h"
#include "common/renderer_window.h"
#include "renderer/dib_loader.h"
#include "renderer/sdl_render_window.h"
#include "renderer/texture_levels.h"
#include "tests/e2e/support/x_display.h"
#include "tests/e2e/support/xvfb_server.h"
#include "tests/support/bmp_file.h"
#include "tests/support/child_process.h"

namespace velmora {
namespace {

using Clock = std::chrono::steady_clock;

constexpr int kScreenWidth = 1024;
constexpr int kScreenHeight = 768;

class FailingReporter : public ErrorReporter {
  public:
    void ShowError(const std::string& message) override { failure = message; }
    std::string failure;
};

double Seconds(Clock::duration duration) {
    return std::chrono::duration<double>(duration).count();
}

// A window of the given size on its own X server, with the pictures in place and the scene built.
class SceneWindow {
  public:
    SceneWindow(int width, int height, int desktop_width = kScreenWidth,
                int desktop_height = kScreenHeight)
        : xvfb_(kScreenWidth, kScreenHeight), window_(reporter_) {
        bench::WritePictures(cache_, desktop_width, desktop_height);
        setenv("DISPLAY", xvfb_.display().c_str(), 1);
        setenv("XDG_CACHE_HOME", cache_.path().c_str(), 1);
        opened_ = window_.render_window_open(kRendererWindowTitle, width, height, 32, false);
        if (opened_) {
            SDL_GL_SetSwapInterval(0);  // vsync off: the scene's own cost
            window_.scene().scene_build();
        }
    }

    bool opened() const { return opened_; }
    const std::string& failure() const { return reporter_.failure; }
    SdlRenderWindow& window() { return window_; }
    Scene& scene() { return window_.scene(); }
    void LiteralDraw() {
        bench::LiteralFrameDraw(scene().model(), scene().eye_position(), scene().floor_texture(),
                                scene().flare_texture());
    }

  private:
    test::XvfbServer xvfb_;
    test::TemporaryFolder cache_;
    FailingReporter reporter_;
    SdlRenderWindow window_;
    bool opened_ = false;
};

// Frames 1, 100 and 450 of the scene against the literal drawing of the same eye.
bool FramesMatch(int width, int height) {
    SceneWindow window(width, height);
    if (!window.opened()) {
        std::printf("no window: %s\n", window.failure().c_str());
        return false;
    }
    bool all_match = true;
    for (int frame = 1; frame <= 450; ++frame) {
        window.scene().frame_draw();
        if (frame != 1 && frame != 100 && frame != 450) {
            continue;
        }
        const auto scene = bench::BackBufferPixels(width, height);
        window.LiteralDraw();
        const auto literal = bench::BackBufferPixels(width, height);
        std::size_t differing = 0;
        for (std::size_t i = 0; i < scene.size(); i += 4) {
            differing += std::equal(scene.begin() + static_cast<std::ptrdiff_t>(i),
                                    scene.begin() + static_cast<std::ptrdiff_t>(i + 4),
                                    literal.begin() + static_cast<std::ptrdiff_t>(i))
                             ? 0
                             : 1;
        }
        std::printf("frame %3d at %4d x %3d: %s (%zu of %zu pixels differ)\n", frame, width, height,
                    differing == 0 ? "identical" : "DIFFERENT", differing, scene.size() / 4);
        all_match = all_match && differing == 0;
    }
    return all_match;
}

// The renderer's frame and the literal one, interleaved so that both see the same load.
void Frame(benchmark::State& state) {
    SceneWindow window(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    if (!window.opened()) {
        state.SkipWithError(("no window: " + window.failure()).c_str());
        return;
    }
    Clock::duration literal{}, scene{}, clear{};
    for (auto _ : state) {
        auto start = Clock::now();
        window.scene().frame_draw();
        window.window().SwapBuffers();
        auto end = Clock::now();
        scene += end - start;
        start = end;
        window.LiteralDraw();
        window.window().SwapBuffers();
        end = Clock::now();
        literal += end - start;
        start = end;
        bench::ClearFrameDraw();
        window.window().SwapBuffers();
        clear += Clock::now() - start;
    }
    const auto frames = static_cast<double>(state.iterations());
    state.counters["literal_fps"] = frames / Seconds(literal);
    state.counters["scene_fps"] = frames / Seconds(scene);
    state.counters["clear_fps"] = frames / Seconds(clear);
    state.counters["scene_speedup"] = Seconds(literal) / Seconds(scene);
}
BENCHMARK(Frame)->Args({1024, 768})->Args({64, 48})->Unit(benchmark::kMillisecond)->MinTime(5.0);

// The loader's part of the start: the 3840 × 2160 24-bit desktop picture from its file to packed
// RGB rows.
void StartReadAndDecode(benchmark::State& state) {
    const test::TemporaryFolder folder;
    const std::string path = folder.path() + "/desktop.bmp";
    test::WriteBytes(path, bench::DesktopPicture(3840, 2160));
    FailingReporter reporter;
    for (auto _ : state) {
        auto image = dib_load(path, reporter);
        benchmark::DoNotOptimize(image);
    }
}
BENCHMARK(StartReadAndDecode)->Unit(benchmark::kMillisecond);

// The desktop picture's texture: GLU's gluBuild2DMipmaps against the renderer's own levels,
// both uploaded into a texture (the renderer's route also without the upload).
enum class LevelsRoute { kGlu, kOwn, kOwnWithoutUpload };

void StartTextureLevels(benchmark::State& state, LevelsRoute route) {
    SceneWindow window(64, 48);
    if (!window.opened()) {
        state.SkipWithError(("no window: " + window.failure()).c_str());
        return;
    }
    const auto file =
        bench::DesktopPicture(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    auto decoded = DecodeDib(file);
    const RgbImage picture = std::get<RgbImage>(std::move(decoded));
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    for (auto _ : state) {
        if (route == LevelsRoute::kGlu) {
            gluBuild2DMipmaps(GL_TEXTURE_2D, 3, picture.width, picture.height, GL_RGB,
                              GL_UNSIGNED_BYTE, picture.pixels.data());
        } else {
            const TextureLevels levels(picture, GluPowerOfTwo(picture.width),
                                       GluPowerOfTwo(picture.height));
            if (route == LevelsRoute::kOwn) {
                TextureLevelsUpload(levels);
            }
        }
        glFinish();
    }
    glDeleteTextures(1, &texture);
}
BENCHMARK_CAPTURE(StartTextureLevels, glu, LevelsRoute::kGlu)
    ->Args({3840, 2160})
    ->Args({1024, 768})
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(StartTextureLevels, own, LevelsRoute::kOwn)
    ->Args({3840, 2160})
    ->Args({1024, 768})
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(StartTextureLevels, own_without_upload, LevelsRoute::kOwnWithoutUpload)
    ->Args({3840, 2160})
    ->Args({1024, 768})
    ->Unit(benchmark::kMillisecond);

// Opening the full-screen window (SDL, the mode switch, the GL context) with pictures too small
// to matter.
void StartFullScreenWindow(benchmark::State& state) {
    const test::XvfbServer xvfb(kScreenWidth, kScreenHeight);
    const test::TemporaryFolder cache;
    bench::WritePictures(cache, 4, 4);
    setenv("DISPLAY", xvfb.display().c_str(), 1);
    setenv("XDG_CACHE_HOME", cache.path().c_str(), 1);
    for (auto _ : state) {
        FailingReporter reporter;
        SdlRenderWindow window(reporter);
        if (!window.render_window_open(kRendererWindowTitle, kScreenWidth, kScreenHeight, 32,
                                       true)) {
            state.SkipWithError(("no window: " + reporter.failure).c_str());
            return;
        }
        state.PauseTiming();
        window.render_window_close();
        state.ResumeTiming();
    }
}
BENCHMARK(StartFullScreenWindow)->Unit(benchmark::kMillisecond)->Iterations(5);

// From starting the program to its first frame on the screen: start-up, loading and converting
// both pictures, the desktop picture's mipmap levels (3840 × 2160, and for comparison
// 1024 × 768), and the first swap.
std::chrono::duration<double> StartOnce(const std::string& program, const test::XDisplay& display,
                                        const test::EnvironmentChanges& environment) {
    const auto start = Clock::now();
    test::ChildProcess renderer({program}, environment);
    bool shown = false;
    // The floor fills the middle of the first frame.
    while (!shown && Clock::now() - start < std::chrono::seconds(60)) {
        const auto area = display.CaptureArea(kScreenWidth / 2 - 8, kScreenHeight / 2 - 8, 16, 16);
        shown = std::any_of(area.pixels.begin(), area.pixels.end(),
                            [](const test::Rgb& pixel) { return pixel != test::Rgb{}; });
        if (!shown) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }
    const auto elapsed = Clock::now() - start;
    renderer.Signal(SIGTERM);
    renderer.WaitExit(std::chrono::seconds(10));
    // The next run starts on a black screen again.
    test::WaitUntil([&] { return !display.WindowTitled(kRendererWindowTitle).has_value(); },
                    std::chrono::seconds(10));
    if (!shown) {
        return std::chrono::duration<double>::max();
    }
    return elapsed;
}

void StartToFirstFrame(benchmark::State& state) {
    const test::XvfbServer xvfb(kScreenWidth, kScreenHeight);
    const test::TemporaryFolder cache;
    bench::WritePictures(cache, static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    const test::XDisplay display(xvfb.display());
    // The root's default weave is not black: paint it so that only the renderer lights pixels.
    display.PaintRoot(
        {kScreenWidth, kScreenHeight, std::vector<test::Rgb>(kScreenWidth * kScreenHeight)});
    auto environment = xvfb.Environment();
    environment["XDG_CACHE_HOME"] = cache.path();
    const std::string program = std::string(VELMORA_BIN_DIR) + "/" + VELMORA_RENDERER_FILE_NAME;
    const char* baseline = getenv("VELMORA_BASELINE_RENDERER");

    std::chrono::duration<double> total{}, baseline_total{};
    for (auto _ : state) {
        const auto elapsed = StartOnce(program, display, environment);
        if (elapsed == std::chrono::duration<double>::max()) {
            state.SkipWithError("no frame within 60 s");
            return;
        }
        total += elapsed;
        state.SetIterationTime(elapsed.count());
        if (baseline != nullptr) {
            baseline_total += StartOnce(baseline, display, environment);
        }
    }
    if (baseline != nullptr) {
        const auto runs = static_cast<double>(state.iterations());
        state.counters["baseline_ms"] = baseline_total.count() * 1000 / runs;
        state.counters["ratio_to_baseline"] = total.count() / baseline_total.count();
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

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    // The renderer's frames must be the literal drawing's before their speed means anything.
    const bool small = velmora::FramesMatch(64, 48);
    const bool large = velmora::FramesMatch(1024, 768);
    if (!small || !large) {
        std::printf("the scene's frames differ from the literal drawing\n");
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
