// "/S" end to end: the real saver and renderer under a private X server, with music through
// SDL's disk audio driver.
#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <thread>

#include "common/byte_cursor.h"
#include "common/file_bytes.h"
#include "common/picture_folder.h"
#include "common/renderer_window.h"
#include "common/window_id.h"
#include "renderer/dib_loader.h"
#include "tests/e2e/support/program_folder.h"
#include "tests/e2e/support/x_display.h"
#include "tests/e2e/support/xvfb_server.h"
#include "tests/renderer/recording_reporter.h"
#include "tests/saver/host/mci/media_test_support.h"

namespace velmora::test {
namespace {

using std::chrono::milliseconds;
using std::chrono::seconds;

constexpr auto kStartTime = seconds(20);

// A screen whose left and right halves differ everywhere, so a mirror mistake shows.
Screenshot AsymmetricPattern(int width, int height) {
    Screenshot pattern{width, height, {}};
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            pattern.pixels.push_back({static_cast<std::uint8_t>(x * 255 / (width - 1)),
                                      static_cast<std::uint8_t>((y * 7) % 256),
                                      static_cast<std::uint8_t>((x / 16 + y / 16) % 2 * 200)});
        }
    }
    return pattern;
}

bool AnyLit(const Screenshot& shot) {
    return std::any_of(shot.pixels.begin(), shot.pixels.end(),
                       [](const Rgb& pixel) { return pixel != Rgb{}; });
}

class SaverSession : public testing::Test {
  protected:
    SaverSession() {
        programs_.AddSaver();
        programs_.AddRenderer();
    }

    std::filesystem::path PictureFile(const char* name) const {
        return ResolvePictureFolder(cache_.path().c_str(), nullptr) / name;
    }

    void Start(const std::vector<std::string>& arguments = {"/S"}, EnvironmentChanges extra = {}) {
        auto environment = xvfb_.Environment();
        environment["XDG_CACHE_HOME"] = cache_.path();
        environment["XDG_RUNTIME_DIR"] = cache_.path();
        environment["SDL_AUDIODRIVER"] = "disk";
        environment["SDL_DISKAUDIOFILE"] = cache_.path() + "/audio.raw";
        for (auto& [name, value] : extra) {
            environment[name] = value;
        }
        std::vector<std::string> argv{programs_.saver()};
        argv.insert(argv.end(), arguments.begin(), arguments.end());
        saver_ = std::make_unique<ChildProcess>(argv, environment);
    }

    std::optional<WindowId> RendererWindow() const {
        return display_.ShownWindowTitled(kRendererWindowTitle, kStartTime);
    }

    pid_t ProcessOf(WindowId window) const {
        const auto pid =
            RunCommand({"xdotool", "getwindowpid", std::to_string(window)}, xvfb_.Environment());
        EXPECT_EQ(pid.status, 0);
        return pid.status == 0 ? std::stoi(pid.output) : -1;
    }

    // Sends Escape to the renderer and measures from the renderer's end (which can take a while
    // on a busy machine) to the saver's; nothing when either did not end, or the saver not with
    // status 0.
    std::optional<milliseconds> EscapeAndTimeTheEnd(WindowId renderer) {
        const pid_t renderer_pid = ProcessOf(renderer);
        RunCommand({"xdotool", "key", "--window", std::to_string(renderer), "Escape"},
                   xvfb_.Environment());
        if (!WaitUntil([&] { return ProcessEnded(renderer_pid); }, seconds(20))) {
            return std::nullopt;
        }
        const auto renderer_ended = std::chrono::steady_clock::now();
        if (saver_->WaitExit(seconds(10)) != 0) {
            return std::nullopt;
        }
        return std::chrono::duration_cast<milliseconds>(std::chrono::steady_clock::now() -
                                                        renderer_ended);
    }

    void WriteSettings(int kind, const std::string& file) const {
        std::ofstream(programs_.ini())
            << "[Section]\nBGM区分= " << kind << "\nBGMﾘﾋﾟｰﾄ= 0\nBGMﾌｧｲﾙ=" << file << "\n";
    }

    XvfbServer xvfb_;
    XDisplay display_{xvfb_.display()};
    ProgramFolder programs_;
    TemporaryFolder cache_;
    std::unique_ptr<ChildProcess> saver_;
};

TEST_F(SaverSession, PhotographsTheScreenMirroredAndWritesTheFlare) {
    const Screenshot screen = AsymmetricPattern(1024, 768);
    display_.PaintRoot(screen);
    Start();
    ASSERT_TRUE(RendererWindow());

    RecordingReporter reporter;
    const auto desktop = dib_load(PictureFile(kDesktopPictureName), reporter);
    ASSERT_NE(desktop, nullptr) << (reporter.messages.empty() ? "" : reporter.messages[0]);
    ASSERT_EQ(desktop->width, 1024);
    ASSERT_EQ(desktop->height, 768);
    int mismatches = 0;
    for (int y = 0; y < 768; ++y) {
        for (int x = 0; x < 1024; ++x) {
            // The loader's rows run from the bottom; the file's first column is the screen's last.
            const std::uint8_t* pixel = &desktop->pixels[((767 - y) * 1024 + x) * 3];
            const Rgb expected = screen.at(1023 - x, y);
            mismatches += Rgb{pixel[0], pixel[1], pixel[2]} == expected ? 0 : 1;
        }
    }
    EXPECT_EQ(mismatches, 0);

    const auto flare_file = ReadFileBytes(PictureFile(kFlarePictureName), 1 << 20);
    ASSERT_EQ(flare_file.status, FileBytes::Status::kRead);
    ByteCursor header(flare_file.bytes);
    header.seek(14);
    EXPECT_EQ(header.u32(), 40u);
    EXPECT_EQ(header.i32(), 128);
    EXPECT_EQ(header.i32(), 128);
    header.u16();
    EXPECT_EQ(header.u16(), 8) << "bits per pixel";
    header.seek(46);
    EXPECT_EQ(header.u32(), 256u) << "colours";
    header.seek(54);
    for (int index = 0; index < 256; ++index) {
        const auto grey = static_cast<std::uint8_t>(255 - index);
        ASSERT_EQ(header.u8(), grey);
        ASSERT_EQ(header.u8(), grey);
        ASSERT_EQ(header.u8(), grey);
        header.u8();
    }
    const auto flare = dib_load(PictureFile(kFlarePictureName), reporter);
    ASSERT_NE(flare, nullptr);
    auto grey_at = [&](int x, int y) { return flare->pixels[((127 - y) * 128 + x) * 3]; };
    EXPECT_EQ(grey_at(64, 64), 255);
    for (int corner : {0, 127}) {
        EXPECT_EQ(grey_at(corner, 0), 0);
        EXPECT_EQ(grey_at(corner, 127), 0);
    }
}

TEST_F(SaverSession, EscapeEndsRendererAndSaverTogether) {
    Start();
    const auto renderer = RendererWindow();
    ASSERT_TRUE(renderer);
    const auto session = display_.WindowTitled("Velmora_Main");
    ASSERT_TRUE(session) << "the hidden session window can be found";
    EXPECT_FALSE(display_.Viewable(*session)) << "and is never shown";
    EXPECT_TRUE(saver_->Running());

    // At once, before the session's watch may have seen the window: the saver still follows
    // the renderer's end without waiting out the renderer's start time (5 s).
    const auto took = EscapeAndTimeTheEnd(*renderer);
    ASSERT_TRUE(took) << "the saver ends with status 0";
    EXPECT_LT(took->count(), 2500);
    EXPECT_FALSE(display_.WindowTitled(kRendererWindowTitle));
    EXPECT_FALSE(display_.WindowTitled("Velmora_Main"));
}

TEST_F(SaverSession, AKilledRendererEndsTheSaver) {
    Start();
    const auto renderer = RendererWindow();
    ASSERT_TRUE(renderer);
    ASSERT_EQ(kill(ProcessOf(*renderer), SIGKILL), 0);
    EXPECT_EQ(saver_->WaitExit(seconds(10)), 0);
}

TEST_F(SaverSession, ARendererThatNeverOpensAWindowIsEndedWithTheSessionAfterItsStartTime) {
    std::filesystem::remove(programs_.renderer());
    const std::string pid_file = cache_.path() + "/renderer.pid";
    std::ofstream(programs_.renderer()) << "#!/bin/sh\necho $$ > " << pid_file << ".new\nmv "
                                        << pid_file << ".new " << pid_file << "\nexec sleep 60\n";
    std::filesystem::permissions(programs_.renderer(), std::filesystem::perms::owner_all);
    Start();
    ASSERT_TRUE(WaitUntil([&] { return std::filesystem::exists(pid_file); }, kStartTime));
    pid_t renderer = 0;
    std::ifstream(pid_file) >> renderer;
    ASSERT_GT(renderer, 0);
    EXPECT_FALSE(ProcessEnded(renderer)) << "the renderer gets time to open its window";
    EXPECT_EQ(saver_->WaitExit(seconds(30)), 0);
    EXPECT_TRUE(ProcessEnded(renderer)) << "and is not left behind";
}

TEST_F(SaverSession, RunsWhenStartedWithItsStandardStreamsClosed) {
    // As an idle watcher starts it. Without XDG_RUNTIME_DIR Qt warns on stderr, which must not
    // be the X connection.
    auto environment = xvfb_.Environment();
    environment["XDG_CACHE_HOME"] = cache_.path();
    environment["XDG_RUNTIME_DIR"] = std::nullopt;
    saver_ = std::make_unique<ChildProcess>(
        std::vector<std::string>{"sh", "-c", "exec \"$0\" /S </dev/null >&- 2>&-",
                                 programs_.saver()},
        environment);
    const auto renderer = RendererWindow();
    ASSERT_TRUE(renderer);
    ASSERT_TRUE(EscapeAndTimeTheEnd(*renderer));
}

TEST_F(SaverSession, ACloseRequestToTheSessionWindowEndsTheSession) {
    Start();
    ASSERT_TRUE(RendererWindow());
    const auto session = display_.WindowTitled("Velmora_Main");
    ASSERT_TRUE(session);
    display_.RequestClose(*session);
    EXPECT_EQ(saver_->WaitExit(seconds(2)), 0);
}

class SaverEndedFromOutside : public SaverSession, public testing::WithParamInterface<int> {};

TEST_P(SaverEndedFromOutside, TakesItsRendererWithIt) {
    const int signal_number = GetParam();
    Start();
    const auto renderer = RendererWindow();
    ASSERT_TRUE(renderer);
    const pid_t renderer_pid = ProcessOf(*renderer);
    saver_->Signal(signal_number);
    const auto status = saver_->WaitExit(seconds(10));
    if (signal_number != SIGKILL) {
        EXPECT_EQ(status, 0) << "the session's own end ran, not the default";
    }
    EXPECT_TRUE(WaitUntil([&] { return ProcessEnded(renderer_pid); }, seconds(10)))
        << "the renderer is left running";
    EXPECT_TRUE(
        WaitUntil([&] { return !display_.WindowTitled(kRendererWindowTitle); }, seconds(10)));
}

INSTANTIATE_TEST_SUITE_P(Signals, SaverEndedFromOutside,
                         testing::Values(SIGTERM, SIGINT, SIGHUP, SIGKILL),
                         [](const testing::TestParamInfo<int>& param) {
                             return std::string(sigabbrev_np(param.param));
                         });

TEST_F(SaverSession, StartsThatComeTogetherMakeOneSession) {
    constexpr int kStarts = 10;
    auto environment = xvfb_.Environment();
    environment["XDG_CACHE_HOME"] = cache_.path();
    environment["XDG_RUNTIME_DIR"] = cache_.path();
    std::vector<std::unique_ptr<ChildProcess>> savers;
    for (int start = 0; start < kStarts; ++start) {
        savers.push_back(std::make_unique<ChildProcess>(
            std::vector<std::string>{programs_.saver(), "/S"}, environment));
    }
    ASSERT_TRUE(RendererWindow());
    auto running = [&] {
        return std::count_if(savers.begin(), savers.end(),
                             [](const auto& saver) { return saver->Running(); });
    };
    EXPECT_TRUE(WaitUntil([&] { return running() <= 1; }, seconds(30)));
    EXPECT_EQ(running(), 1);
    for (auto& saver : savers) {
        if (!saver->Running()) {
            EXPECT_EQ(saver->WaitExit(milliseconds(0)), 0);
        }
    }
    EXPECT_EQ(display_.WindowsTitled(kRendererWindowTitle).size(), 1u);
    EXPECT_EQ(display_.WindowsTitled("Velmora_Main").size(), 1u);
}

class SaverMusic : public SaverSession, public testing::WithParamInterface<const char*> {};

TEST_P(SaverMusic, PlaysWhileTheSessionRunsAndStopsAtItsEnd) {
    const std::string format = GetParam();
    const std::string song = cache_.path() + "/song." + format;
    MakeTone(song, format, 1.0, 440);
    WriteSettings(2, song);
    Start();
    const auto renderer = RendererWindow();
    ASSERT_TRUE(renderer);
    const DiskAudio audio(cache_.path() + "/audio.raw");
    // More than the file's length: the music repeats.
    ASSERT_TRUE(audio.WaitForFrames(Frames(2500)));
    const auto sound = audio.FirstSound(0, audio.FramesWritten());
    ASSERT_TRUE(sound) << "music is heard";
    EXPECT_TRUE(audio.FirstSound(*sound + Frames(1200), audio.FramesWritten()))
        << "and heard again after the file's end";

    ASSERT_TRUE(EscapeAndTimeTheEnd(*renderer));
    // Music must not outlive the session (as it would in a player process of its own).
    const std::size_t at_end = audio.FramesWritten();
    std::this_thread::sleep_for(milliseconds(300));
    EXPECT_EQ(audio.FramesWritten(), at_end) << "nothing plays once the session has ended";
}

INSTANTIATE_TEST_SUITE_P(Files, SaverMusic, testing::Values("wav", "mp3"));

// Inside a window that a screen-saver daemon gives the program, named on the command line or in
// $XSCREENSAVER_WINDOW.
class SaverInAWindow : public SaverSession, public testing::WithParamInterface<bool> {
  protected:
    void StartIn(WindowId host) {
        const std::string id = WindowIdText(host);
        if (GetParam()) {
            Start({}, {{"XSCREENSAVER_WINDOW", id}});
        } else {
            Start({"--window-id", id});
        }
    }

    // The renderer's window once it shows inside the host.
    std::optional<WindowId> RendererIn(WindowId host) const {
        std::optional<WindowId> renderer;
        WaitUntil(
            [&] {
                for (const WindowId child : display_.Children(host)) {
                    if (display_.Viewable(child) && display_.WindowsTitled(kRendererWindowTitle) ==
                                                        std::vector<WindowId>{child}) {
                        renderer = child;
                        return true;
                    }
                }
                return false;
            },
            kStartTime);
        return renderer;
    }

    // The saver's one child, the renderer.
    pid_t RendererProcess() const {
        std::ifstream children("/proc/" + std::to_string(saver_->pid()) + "/task/" +
                               std::to_string(saver_->pid()) + "/children");
        pid_t child = -1;
        children >> child;
        return child;
    }
};

TEST_P(SaverInAWindow, ShowsTheSceneInsideFollowsItsSizeAndEndsOnSigterm) {
    const WindowId host = display_.CreateWindow("daemon", 640, 400, true);
    StartIn(host);
    const auto renderer = RendererIn(host);
    ASSERT_TRUE(renderer) << "no renderer window inside the host, and no other";
    EXPECT_TRUE(WaitUntil([&] { return AnyLit(display_.CaptureWindow(host)); }, kStartTime));
    const auto geometry = display_.GeometryOf(*renderer);
    ASSERT_TRUE(geometry);
    EXPECT_EQ(geometry->width, 640);
    EXPECT_EQ(geometry->height, 400);
    EXPECT_FALSE(display_.CursorHidden()) << "the daemon owns the cursor";

    display_.MoveResize(host, 0, 0, 300, 200);
    EXPECT_TRUE(WaitUntil(
        [&] {
            const auto resized = display_.GeometryOf(*renderer);
            return resized && resized->width == 300 && resized->height == 200;
        },
        kStartTime));

    const pid_t renderer_pid = RendererProcess();
    ASSERT_GT(renderer_pid, 0);
    saver_->Signal(SIGTERM);
    EXPECT_EQ(saver_->WaitExit(seconds(10)), 0);
    EXPECT_TRUE(WaitUntil([&] { return ProcessEnded(renderer_pid); }, seconds(10)));
}

INSTANTIATE_TEST_SUITE_P(GivenBy, SaverInAWindow, testing::Values(false, true),
                         [](const testing::TestParamInfo<bool>& param) {
                             return param.param ? "Environment" : "Option";
                         });

TEST_F(SaverSession, InsideADaemonsWindowTheDesktopIsTheDaemonsScreenshotUnderIt) {
    // What the screen shows now (the daemon's black) differs from what it showed before.
    const WindowId host = display_.CreateWindow("daemon", 320, 200, true);
    display_.MoveResize(host, 100, 50, 320, 200);
    const Screenshot before = AsymmetricPattern(1024, 768);
    display_.AttachScreenshot(host, before);
    Start({"--window-id", WindowIdText(host)});
    const auto picture_file = PictureFile(WindowDesktopPictureName(host).c_str());
    ASSERT_TRUE(WaitUntil([&] { return std::filesystem::exists(picture_file); }, kStartTime));
    RecordingReporter reporter;
    std::unique_ptr<RgbImage> desktop;
    ASSERT_TRUE(WaitUntil(
        [&] {
            desktop = dib_load(picture_file, reporter);
            return desktop != nullptr;
        },
        kStartTime));
    ASSERT_EQ(desktop->width, 320);
    ASSERT_EQ(desktop->height, 200);
    int matches = 0;
    for (int y = 0; y < 200; ++y) {
        for (int x = 0; x < 320; ++x) {
            const std::uint8_t* pixel = &desktop->pixels[((199 - y) * 320 + x) * 3];
            matches += Rgb{pixel[0], pixel[1], pixel[2]} == before.at(100 + 319 - x, 50 + y);
        }
    }
    EXPECT_EQ(matches, 320 * 200) << "the part under the window, mirrored";

    display_.DestroyWindow(host);
    EXPECT_EQ(saver_->WaitExit(seconds(10)), 0) << "the window's end is the session's";
    EXPECT_FALSE(std::filesystem::exists(picture_file)) << "nothing of the window is left";
}

}  // namespace
}  // namespace velmora::test
