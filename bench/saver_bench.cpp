// What the saver costs: one window lookup by title (the single-instance test and the session's
// renderer watch each do it), one load of the settings, the desktop's capture into its file, and
// the time from starting a session to the renderer's first frame.
#include <benchmark/benchmark.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QScreen>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <thread>

#include "common/renderer_window.h"
#include "saver/host/bmp_writer.h"
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

// A desktop with detail everywhere, so that nothing about the picture makes a route cheaper.
test::Screenshot Desktop(int width, int height) {
    test::Screenshot desktop{width, height, {}};
    desktop.pixels.reserve(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            desktop.pixels.push_back({static_cast<std::uint8_t>(x * 255 / width),
                                      static_cast<std::uint8_t>(y * 255 / height),
                                      static_cast<std::uint8_t>((x ^ y) & 0xFF)});
        }
    }
    return desktop;
}

extern "C" char** environ;

// "xwd -root" to nowhere, waited for at once.
bool RunXwd() {
    const char* argv[] = {"xwd", "-root", "-silent", "-out", "/dev/null", nullptr};
    pid_t pid = 0;
    if (posix_spawnp(&pid, "xwd", nullptr, nullptr, const_cast<char* const*>(argv), environ) != 0) {
        return false;
    }
    int status = 0;
    return waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

double Milliseconds(std::chrono::steady_clock::duration duration) {
    return std::chrono::duration<double, std::milli>(duration).count();
}

// The desktop from the screen into its file, three ways, interleaved so that all see the same
// load: the saver's (the root's area straight into the mirrored file, written), the route it
// replaced (Qt's screen grab converted to RGB, mirrored, encoded, written), and the floor:
// "xwd -root", which reads the same pixels from the server, plus one write of as many bytes as
// the saver's file.
void BM_CaptureToFile(benchmark::State& state) {
    const int width = static_cast<int>(state.range(0));
    const int height = static_cast<int>(state.range(1));
    const test::XvfbServer xvfb(width, height);
    const test::XDisplay display(xvfb.display());
    display.PaintRoot(Desktop(width, height));
    setenv("DISPLAY", xvfb.display().c_str(), 1);
    setenv("QT_QPA_PLATFORM", "xcb", 1);
    int argc = 1;
    char name[] = "saver_bench";
    char* argv[] = {name, nullptr};
    const QGuiApplication application(argc, argv);
    const auto x11 = X11Connection::Open();
    const test::TemporaryFolder folder;
    const std::filesystem::path file = folder.path() + "/Velmora1.bmp";
    const ScreenRect root_area{0, 0, width, height};

    const auto size = x11->CaptureMirroredBmp(x11->Root(), root_area);
    if (!size) {
        state.SkipWithError("the saver's capture failed");
        return;
    }
    const std::vector<std::uint8_t> as_many_bytes(size->size(), 1);

    using Clock = std::chrono::steady_clock;
    Clock::duration saver{}, replaced{}, floor{};
    for (auto _ : state) {
        auto start = Clock::now();
        const auto bmp = x11->CaptureMirroredBmp(x11->Root(), root_area);
        if (!bmp || !WritePrivateFile(file, *bmp)) {
            state.SkipWithError("the saver's capture failed");
            return;
        }
        auto end = Clock::now();
        saver += end - start;

        start = end;
        const QImage image =
            QGuiApplication::primaryScreen()->grabWindow(0).toImage().convertToFormat(
                QImage::Format_RGB888);
        RgbPicture picture{image.width(), image.height(), {}};
        const auto row_bytes = static_cast<std::size_t>(image.width()) * 3;
        picture.rgb.resize(row_bytes * static_cast<std::size_t>(image.height()));
        for (int y = 0; y < image.height(); ++y) {
            std::copy_n(image.constScanLine(y), row_bytes,
                        picture.rgb.begin() + static_cast<std::ptrdiff_t>(row_bytes * y));
        }
        WritePrivateFile(file, EncodeBmp(MirrorLeftToRight(picture)));
        end = Clock::now();
        replaced += end - start;

        start = end;
        if (!RunXwd() || !WritePrivateFile(file, as_many_bytes)) {
            state.SkipWithError("xwd failed");
            return;
        }
        floor += Clock::now() - start;
    }
    const auto runs = static_cast<double>(state.iterations());
    state.counters["saver_ms"] = Milliseconds(saver) / runs;
    state.counters["replaced_ms"] = Milliseconds(replaced) / runs;
    state.counters["xwd_floor_ms"] = Milliseconds(floor) / runs;
    state.counters["saver_to_floor"] = Milliseconds(saver) / Milliseconds(floor);
    state.counters["replaced_to_floor"] = Milliseconds(replaced) / Milliseconds(floor);
}
BENCHMARK(BM_CaptureToFile)
    ->Args({1920, 1080})
    ->Args({3840, 2160})
    ->Unit(benchmark::kMillisecond)
    ->MinTime(3.0);

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
