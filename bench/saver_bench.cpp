// What the saver's entry costs: one window lookup by title (the single-instance test and the
// session's renderer watch each do it) and one load of the settings.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <fstream>

#include "saver/host/x11_connection.h"
#include "saver/settings.h"
#include "tests/e2e/support/x_display.h"
#include "tests/e2e/support/xvfb_server.h"

namespace velmora {
namespace {

// A desktop with the given number of top-level windows, each holding two children, none of
// them titled as looked for, so that the lookup walks the whole tree.
void BM_WindowLookupByTitle(benchmark::State& state) {
    const test::XvfbServer xvfb;
    const test::XDisplay desktop(xvfb.display());
    for (int i = 0; i < state.range(0); ++i) {
        const auto window = desktop.CreateWindow("window " + std::to_string(i), 100, 100, i % 2);
        for (int child = 0; child < 2; ++child) {
            desktop.CreateWindow("", 10, 10, false);
        }
        (void)window;
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

}  // namespace
}  // namespace velmora

BENCHMARK_MAIN();
