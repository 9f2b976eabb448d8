// Speed of the renderer, each part on its own Xvfb with Mesa (llvmpipe where there is no GPU), so
// the figures are the software renderer's:
// - a frame: the renderer's scene beside the literal drawing (immediate mode, one begin/end per
//   primitive), interleaved frame by frame, after checking frames 1, 100 and 450 (at 64 × 48
//   and 1024 × 768) pixel for pixel against the drawing the scene replaced, and counting how
//   many pixels differ from the literal drawing;
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
#include <cstdlib>
#include <string>
#include <thread>

#include "bench/bench_scene.h"
#include "common/picture_folder.h"
#include "common/renderer_window.h"
#include "renderer/dib_loader.h"
#include "renderer/scene_model.h"
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
            // The star field of a fresh program, whatever this one drew before: rand() that
            // nobody seeded draws as if seeded with 1.
            std::srand(1);
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

// A second GL context on the scene's window, sharing its textures, with the view and the fixed
// state the renderer sets: a drawing in immediate mode starts there with Mesa's vertex buffer as
// fresh as the renderer's was at its start.
class ReferenceContext {
  public:
    ReferenceContext(int width, int height)
        : window_(SDL_GL_GetCurrentWindow()), drawing_(SDL_GL_GetCurrentContext()) {
        SDL_GL_SetAttribute(SDL_GL_SHARE_WITH_CURRENT_CONTEXT, 1);
        context_ = SDL_GL_CreateContext(window_);
        SDL_GL_SetAttribute(SDL_GL_SHARE_WITH_CURRENT_CONTEXT, 0);
        if (context_ != nullptr) {
            glViewport(0, 0, width, height);
            glMatrixMode(GL_PROJECTION);
            gluPerspective(kFieldOfViewDegrees, ViewAspect(width, height), kNearPlane, kFarPlane);
            glMatrixMode(GL_MODELVIEW);
            glShadeModel(GL_SMOOTH);
            glClearColor(0.0f, 0.0f, 0.0f, 0.5f);
            glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
        }
        SDL_GL_MakeCurrent(window_, drawing_);
    }
    ReferenceContext(const ReferenceContext&) = delete;
    ReferenceContext& operator=(const ReferenceContext&) = delete;
    ~ReferenceContext() {
        if (context_ != nullptr) {
            SDL_GL_DeleteContext(context_);
        }
    }

    bool made() const { return context_ != nullptr; }
    // Draws in this context, then makes the scene's current again.
    template <typename Draw>
    void Run(const Draw& draw) {
        SDL_GL_MakeCurrent(window_, context_);
        draw();
        SDL_GL_MakeCurrent(window_, drawing_);
    }

  private:
    SDL_Window* window_;
    SDL_GLContext drawing_;
    SDL_GLContext context_ = nullptr;
};

std::size_t PixelsApart(const std::vector<std::uint8_t>& a, const std::vector<std::uint8_t>& b) {
    std::size_t differing = 0;
    for (std::size_t i = 0; i < a.size(); i += 4) {
        differing += std::equal(a.begin() + static_cast<std::ptrdiff_t>(i),
                                a.begin() + static_cast<std::ptrdiff_t>(i + 4),
                                b.begin() + static_cast<std::ptrdiff_t>(i))
                         ? 0
                         : 1;
    }
    return differing;
}

// Frames 1 to 450 of the scene beside the same frames of the drawing it replaced and of the
// literal drawing, each of those in a context of its own from frame 1 on, as a program draws
// them. Sets counters for the pixels of frames 1, 100 and 450 that differ, and returns how many
// differ from the replaced drawing. (Mesa's immediate-mode results depend, by a step in a few
// pixels, on where its vertex buffer stands, so only a drawing with the same calls from the
// same start gives the same pixels to the last one; the literal drawing is not that one.)
std::size_t PixelsDiffering(SceneWindow& window, int width, int height, benchmark::State& state) {
    ReferenceContext previous(width, height);
    ReferenceContext literal(width, height);
    if (!previous.made() || !literal.made()) {
        state.SkipWithError("no second GL context");
        return 0;
    }
    Scene& scene = window.scene();
    std::size_t all = 0;
    for (int frame = 1; frame <= 450; ++frame) {
        scene.frame_draw();
        const bool compared = frame == 1 || frame == 100 || frame == 450;
        std::vector<std::uint8_t> drawn, previous_pixels, literal_pixels;
        if (compared) {
            drawn = bench::BackBufferPixels(width, height);
        }
        previous.Run([&] {
            bench::PreviousFrameDraw(scene.model(), scene.eye_position(), scene.floor_texture(),
                                     scene.flare_texture());
            if (compared) {
                previous_pixels = bench::BackBufferPixels(width, height);
            }
        });
        literal.Run([&] {
            bench::LiteralFrameDraw(scene.model(), scene.eye_position(), scene.floor_texture(),
                                    scene.flare_texture());
            if (compared) {
                literal_pixels = bench::BackBufferPixels(width, height);
            }
        });
        if (compared) {
            const std::size_t apart = PixelsApart(drawn, previous_pixels);
            state.counters["differing_" + std::to_string(frame)] = static_cast<double>(apart);
            state.counters["literal_differing_" + std::to_string(frame)] =
                static_cast<double>(PixelsApart(drawn, literal_pixels));
            all += apart;
        }
    }
    return all;
}

// The renderer's frame and the literal one, interleaved so that both see the same load.
void Frame(benchmark::State& state) {
    const int width = static_cast<int>(state.range(0));
    const int height = static_cast<int>(state.range(1));
    SceneWindow window(width, height);
    if (!window.opened()) {
        state.SkipWithError(("no window: " + window.failure()).c_str());
        return;
    }
    // The speed of a frame means nothing unless it is the frame that was drawn before.
    if (PixelsDiffering(window, width, height, state) != 0) {
        state.SkipWithError("the scene's frames differ from the drawing it replaced");
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

BENCHMARK_MAIN();
