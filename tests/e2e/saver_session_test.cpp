// "/S" end to end: the real saver and renderer under a private X server, with music through
// SDL's disk audio driver.
#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <thread>

#include "common/byte_cursor.h"
#include "common/file_bytes.h"
#include "common/picture_folder.h"
#include "common/renderer_window.h"
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

class SaverSession : public testing::Test {
  protected:
    SaverSession() {
        programs_.AddSaver();
        programs_.AddRenderer();
    }

    std::filesystem::path PictureFile(const char* name) const {
        return ResolvePictureFolder(cache_.path().c_str(), nullptr) / name;
    }

    void Start(const std::string& command_line = "/S", EnvironmentChanges extra = {}) {
        auto environment = xvfb_.Environment();
        environment["XDG_CACHE_HOME"] = cache_.path();
        environment["XDG_RUNTIME_DIR"] = cache_.path();
        environment["SDL_AUDIODRIVER"] = "disk";
        environment["SDL_DISKAUDIOFILE"] = cache_.path() + "/audio.raw";
        for (auto& [name, value] : extra) {
            environment[name] = value;
        }
        std::vector<std::string> argv{programs_.saver()};
        if (!command_line.empty()) {
            argv.push_back(command_line);
        }
        saver_ = std::make_unique<ChildProcess>(argv, environment);
    }

    std::optional<WindowId> RendererWindow() const {
        return display_.ShownWindowTitled(kRendererWindowTitle, kStartTime);
    }

    // Sends Escape to the renderer and measures until the saver has ended.
    std::optional<milliseconds> EscapeAndTimeTheEnd(WindowId renderer) {
        const auto pressed = std::chrono::steady_clock::now();
        RunCommand({"xdotool", "key", "--window", std::to_string(renderer), "Escape"},
                   xvfb_.Environment());
        if (saver_->WaitExit(seconds(10)) != 0) {
            return std::nullopt;
        }
        return std::chrono::duration_cast<milliseconds>(std::chrono::steady_clock::now() - pressed);
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

    const auto took = EscapeAndTimeTheEnd(*renderer);
    ASSERT_TRUE(took) << "the saver ends with status 0";
    EXPECT_LT(took->count(), 1500);
    EXPECT_FALSE(display_.WindowTitled(kRendererWindowTitle));
    EXPECT_FALSE(display_.WindowTitled("Velmora_Main"));
}

TEST_F(SaverSession, AKilledRendererEndsTheSaver) {
    Start();
    const auto renderer = RendererWindow();
    ASSERT_TRUE(renderer);
    const auto pid =
        RunCommand({"xdotool", "getwindowpid", std::to_string(*renderer)}, xvfb_.Environment());
    ASSERT_EQ(pid.status, 0);
    // Past the saver's next two watch ticks, so that it has seen the window: until then it
    // would still be waiting for the renderer to start.
    std::this_thread::sleep_for(milliseconds(1200));
    const auto killed = std::chrono::steady_clock::now();
    ASSERT_EQ(kill(std::stoi(pid.output), SIGKILL), 0);
    EXPECT_EQ(saver_->WaitExit(seconds(5)), 0);
    EXPECT_LT(std::chrono::steady_clock::now() - killed, milliseconds(1000));
}

TEST_F(SaverSession, ARendererThatNeverOpensAWindowEndsTheSaverAfterItsStartTime) {
    std::filesystem::remove(programs_.renderer());
    const std::string pid_file = cache_.path() + "/renderer.pid";
    std::ofstream(programs_.renderer())
        << "#!/bin/sh\necho $$ > " << pid_file << "\nexec sleep 30\n";
    std::filesystem::permissions(programs_.renderer(), std::filesystem::perms::owner_all);
    const auto started = std::chrono::steady_clock::now();
    Start();
    std::this_thread::sleep_for(seconds(3));
    EXPECT_TRUE(saver_->Running()) << "the renderer gets time to open its window";
    EXPECT_EQ(saver_->WaitExit(seconds(10)), 0);
    EXPECT_GE(std::chrono::steady_clock::now() - started, seconds(4));
    std::ifstream pid(pid_file);
    pid_t renderer = 0;
    ASSERT_TRUE(pid >> renderer) << "the saver started the renderer";
    kill(renderer, SIGKILL);
}

TEST_F(SaverSession, ACloseRequestToTheSessionWindowEndsTheSession) {
    Start();
    ASSERT_TRUE(RendererWindow());
    const auto session = display_.WindowTitled("Velmora_Main");
    ASSERT_TRUE(session);
    display_.RequestClose(*session);
    EXPECT_EQ(saver_->WaitExit(seconds(2)), 0);
}

TEST_F(SaverSession, SigtermStillEndsTheSessionCleanly) {
    Start();
    ASSERT_TRUE(RendererWindow());
    saver_->Signal(SIGTERM);
    EXPECT_EQ(saver_->WaitExit(seconds(5)), 0) << "the session's own end ran, not the default";
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

}  // namespace
}  // namespace velmora::test
