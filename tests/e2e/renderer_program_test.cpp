// The renderer program as the saver starts it: no arguments, the two pictures in the picture
// folder, a private X server without a window manager, and real X clients for the user.
#include <SDL2/SDL.h>
#include <gtest/gtest.h>
#include <stdlib.h>

#include <chrono>
#include <memory>
#include <thread>

#include "common/picture_folder.h"
#include "common/renderer_window.h"
#include "renderer/dib_loader.h"
#include "tests/e2e/support/x_display.h"
#include "tests/e2e/support/xvfb_server.h"
#include "tests/support/bmp_file.h"
#include "tests/support/child_process.h"

namespace velmora::test {
namespace {

using std::chrono::milliseconds;
using std::chrono::seconds;

const std::string kRenderer = std::string(VELMORA_BIN_DIR) + "/" + VELMORA_RENDERER_FILE_NAME;
constexpr const char* kErrorTitle = "Error";
// Generous: the machine running the tests may be busy.
constexpr seconds kStartTime{30};

std::vector<std::uint8_t> DesktopPicture() {
    constexpr int kWidth = 160;
    constexpr int kHeight = 120;
    std::vector<std::uint8_t> rows;
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            rows.insert(rows.end(),
                        {static_cast<std::uint8_t>(x), static_cast<std::uint8_t>(y), 200});
        }
    }
    return Bmp24(kWidth, kHeight, rows);
}

std::vector<std::uint8_t> PictureWithLaterHeader() {
    BmpFields bmp;
    bmp.header_size = 108;
    bmp.pixels = {0, 0, 0, 0};
    return BuildBmp(bmp);
}

bool AnyLit(const Screenshot& shot) {
    return std::any_of(shot.pixels.begin(), shot.pixels.end(),
                       [](const Rgb& pixel) { return pixel != Rgb{}; });
}

// One run of the renderer on its own X server, with its own picture folder.
class RendererRun {
  public:
    RendererRun(int screen_width, int screen_height)
        : xvfb_(screen_width, screen_height), display_(xvfb_.display()) {}

    void WritePicture(const char* name, const std::vector<std::uint8_t>& bytes) {
        const auto folder = ResolvePictureFolder(cache_.path().c_str(), nullptr);
        ASSERT_TRUE(PreparePictureFolder(folder));
        WriteBytes((folder / name).string(), bytes);
    }

    void Start(EnvironmentChanges changes = {}) {
        auto environment = xvfb_.Environment();
        environment["XDG_CACHE_HOME"] = cache_.path();
        for (auto& [name, value] : changes) {
            environment[name] = value;
        }
        renderer_ =
            std::make_unique<ChildProcess>(std::vector<std::string>{kRenderer}, environment);
    }

    // The renderer's window once it is on the screen.
    std::optional<WindowId> ShownWindow() {
        return display_.ShownWindowTitled(kRendererWindowTitle, kStartTime);
    }

    std::optional<WindowId> WindowTitled(const char* title, seconds timeout) {
        return display_.ShownWindowTitled(title, timeout);
    }

    bool SceneShows(WindowId window) {
        return WaitUntil([&] { return AnyLit(display_.CaptureWindow(window)); }, kStartTime);
    }

    // Two new frames shown from now on: the loop has taken every event sent before and gone on.
    bool FramesGoOn(WindowId window) {
        for (int frame = 0; frame < 2; ++frame) {
            const Screenshot before = display_.CaptureWindow(window);
            if (!WaitUntil([&] { return display_.CaptureWindow(window).pixels != before.pixels; },
                           kStartTime)) {
                return false;
            }
        }
        return true;
    }

    CommandResult Xdotool(std::vector<std::string> arguments) {
        arguments.insert(arguments.begin(), "xdotool");
        return RunCommand(arguments, xvfb_.Environment());
    }

    ChildProcess& renderer() { return *renderer_; }
    XDisplay& display() { return display_; }
    const XvfbServer& xvfb() const { return xvfb_; }

  private:
    TemporaryFolder cache_;
    XvfbServer xvfb_;
    XDisplay display_;
    std::unique_ptr<ChildProcess> renderer_;
};

// Starts the renderer with both pictures; its window must be an "OpenGL" class window of
// 1024 x 768 at the top-left corner, whether full screen or not.
std::optional<WindowId> StartAtTopLeft(RendererRun& run) {
    run.WritePicture(kDesktopPictureName, DesktopPicture());
    run.WritePicture(kFlarePictureName, GreyBmp8());
    run.Start();
    const auto window = run.ShownWindow();
    if (!window) {
        return std::nullopt;
    }
    EXPECT_EQ(run.display().WmClass(*window), "OpenGL/OpenGL");
    const auto geometry = run.display().GeometryOf(*window);
    EXPECT_TRUE(geometry.has_value());
    if (geometry) {
        EXPECT_EQ(geometry->x, 0);
        EXPECT_EQ(geometry->y, 0);
        EXPECT_EQ(geometry->width, 1024);
        EXPECT_EQ(geometry->height, 768);
    }
    return window;
}

TEST(RendererProgram, TakesTheWholeDisplayWhereItOffers1024x768AndEndsOnTheKeyNamedEscape) {
    RendererRun run(1024, 768);
    // The Escape symbol moves from the Escape key (keycode 9) to Caps Lock (66).
    ASSERT_EQ(RunCommand({"xmodmap", "-e", "keycode 9 = F13", "-e", "keycode 66 = Escape"},
                         run.xvfb().Environment())
                  .status,
              0);
    const auto window = StartAtTopLeft(run);
    ASSERT_TRUE(window.has_value());
    EXPECT_TRUE(WaitUntil([&] { return run.display().CursorHidden(); }, seconds(5)));
    ASSERT_TRUE(run.SceneShows(*window));

    ASSERT_EQ(run.Xdotool({"windowfocus", std::to_string(*window)}).status, 0);
    ASSERT_EQ(run.Xdotool({"key", "F13"}).status, 0);
    EXPECT_TRUE(run.FramesGoOn(*window));
    EXPECT_TRUE(run.renderer().Running()) << "the key that no longer means Escape ended it";
    ASSERT_EQ(run.Xdotool({"key", "Escape"}).status, 0);
    EXPECT_EQ(run.renderer().WaitExit(seconds(10)), 0);
    EXPECT_TRUE(run.display().WindowsTitled(kRendererWindowTitle).empty());
}

TEST(RendererProgram, OpensAResizable1024x768WindowWhereTheDisplayHasNoSuchModeAndEndsOnClose) {
    RendererRun run(1280, 1024);
    const auto window = StartAtTopLeft(run);
    ASSERT_TRUE(window.has_value());
    const CommandResult hints = RunCommand(
        {"xprop", "-id", std::to_string(*window), "WM_NORMAL_HINTS"}, run.xvfb().Environment());
    EXPECT_EQ(hints.output.find("maximum size"), std::string::npos) << hints.output;
    EXPECT_FALSE(run.display().CursorHidden());
    ASSERT_TRUE(run.SceneShows(*window));

    run.display().RequestClose(*window);
    EXPECT_EQ(run.renderer().WaitExit(seconds(10)), 0);
    EXPECT_TRUE(run.display().WindowsTitled(kRendererWindowTitle).empty());
}

TEST(RendererProgram, EndsQuietlyWithoutPictures) {
    RendererRun run(1024, 768);
    run.Start();
    bool error_box = false;
    WaitUntil(
        [&] {
            error_box = error_box || run.display().WindowTitled(kErrorTitle).has_value();
            return !run.renderer().Running();
        },
        kStartTime);
    EXPECT_EQ(run.renderer().WaitExit(milliseconds(0)), 0);
    EXPECT_FALSE(error_box);
    EXPECT_TRUE(run.display().WindowsTitled(kRendererWindowTitle).empty());
}

TEST(RendererProgram, EndsAtOnceWithAReasonWhenThereIsNoDisplay) {
    RendererRun run(1024, 768);
    run.WritePicture(kDesktopPictureName, DesktopPicture());
    run.Start({{"DISPLAY", std::nullopt}});
    EXPECT_EQ(run.renderer().WaitExit(seconds(10)), 1);
}

// What a message box titled "Error" with this text looks like on this display, shown by SDL
// here in the test.
Screenshot ReferenceBox(RendererRun& run, const std::string& message) {
    setenv("DISPLAY", run.xvfb().display().c_str(), 1);
    std::thread shower([&] { SDL_ShowSimpleMessageBox(0, kErrorTitle, message.c_str(), nullptr); });
    Screenshot shot;
    if (const auto box = run.WindowTitled(kErrorTitle, kStartTime)) {
        WaitUntil(
            [&] {
                shot = run.display().CaptureWindow(*box);
                return AnyLit(shot);
            },
            seconds(5));
        run.Xdotool({"windowfocus", std::to_string(*box), "key", "Return"});
    }
    shower.join();
    return shot;
}

TEST(RendererProgram, OneBadPictureShowsItsErrorBoxThenTheSceneWithTheOther) {
    RendererRun run(1024, 768);
    const Screenshot expected = ReferenceBox(run, std::string(kUnknownFormatMessage));
    const Screenshot other = ReferenceBox(run, std::string(kConversionErrorMessage));
    ASSERT_GT(expected.width, 0);
    ASSERT_FALSE(expected.pixels == other.pixels) << "boxes of different texts look alike";

    run.WritePicture(kDesktopPictureName, PictureWithLaterHeader());
    run.WritePicture(kFlarePictureName, GreyBmp8());
    run.Start();
    const auto box = run.WindowTitled(kErrorTitle, kStartTime);
    ASSERT_TRUE(box.has_value());
    Screenshot shown;
    EXPECT_TRUE(WaitUntil(
        [&] {
            shown = run.display().CaptureWindow(*box);
            return shown.pixels == expected.pixels;
        },
        seconds(5)))
        << "the box does not show \"" << kUnknownFormatMessage << "\"";
    EXPECT_EQ(shown.width, expected.width);
    EXPECT_EQ(shown.height, expected.height);

    // The box has the keyboard of its own accord: the pointer is hidden while the saver runs.
    EXPECT_TRUE(WaitUntil([&] { return run.display().FocusedWindow() == *box; }, seconds(10)));
    ASSERT_EQ(run.Xdotool({"key", "Return"}).status, 0);
    EXPECT_TRUE(WaitUntil([&] { return !run.display().WindowTitled(kErrorTitle); }, seconds(10)));
    const auto window = run.ShownWindow();
    ASSERT_TRUE(window.has_value());
    EXPECT_TRUE(run.SceneShows(*window));
    EXPECT_TRUE(run.renderer().Running());

    ASSERT_EQ(run.Xdotool({"windowfocus", std::to_string(*window)}).status, 0);
    ASSERT_EQ(run.Xdotool({"key", "Escape"}).status, 0);
    EXPECT_EQ(run.renderer().WaitExit(seconds(10)), 0);
}

}  // namespace
}  // namespace velmora::test
