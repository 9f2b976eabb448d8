// The preview as a host program meets it: "/P <window id>" under a private X server, with host
// windows of this test's own making.
#include <gtest/gtest.h>

#include <QImage>
#include <algorithm>
#include <chrono>

#include "tests/e2e/support/program_folder.h"
#include "tests/e2e/support/x_display.h"
#include "tests/e2e/support/xvfb_server.h"

namespace velmora::test {
namespace {

using std::chrono::milliseconds;
using std::chrono::seconds;

constexpr Rgb kBlack{0, 0, 0};
constexpr int kPictureWidth = 152, kPictureHeight = 112;

class PreviewOnScreen : public testing::Test {
  protected:
    PreviewOnScreen() { programs_.AddSaver(); }

    void Start(const std::string& command_line) {
        auto changes = xvfb_.Environment();
        changes["XDG_CACHE_HOME"] = cache_.path();
        changes["XDG_RUNTIME_DIR"] = cache_.path();
        std::vector<std::string> argv{programs_.saver()};
        if (!command_line.empty()) {
            argv.push_back(command_line);
        }
        saver_ = std::make_unique<ChildProcess>(argv, changes);
    }

    // Starts the preview in the host and waits until its picture shows there.
    std::optional<WindowId> StartIn(WindowId host) {
        Start("/P " + std::to_string(host));
        const QImage picture = Picture();
        std::optional<WindowId> preview;
        EXPECT_TRUE(WaitUntil(
            [&] {
                for (const WindowId child : display_.Children(host)) {
                    if (display_.Viewable(child) &&
                        Mismatch(display_.CaptureWindow(host), picture).empty()) {
                        preview = child;
                        return true;
                    }
                }
                return false;
            },
            seconds(10)));
        return preview;
    }

    // The picture the preview shows on top, as the program decodes it.
    static QImage Picture() {
        QImage picture(VELMORA_PREVIEW_PICTURE);
        EXPECT_EQ(picture.size(), QSize(kPictureWidth, kPictureHeight));
        return picture.convertToFormat(QImage::Format_RGB32);
    }

    // The first place, of every third pixel, where the top-left corner of the shot differs from
    // the picture; empty when they agree.
    static std::string Mismatch(const Screenshot& shot, const QImage& picture) {
        const int width = std::min(shot.width, kPictureWidth);
        const int height = std::min(shot.height, kPictureHeight);
        if (width <= 0 || height <= 0) {
            return "nothing captured";
        }
        for (int y = 0; y < height; y += 3) {
            for (int x = 0; x < width; x += 3) {
                const QRgb expected = picture.pixel(x, y);
                const Rgb shown = shot.at(x, y);
                if (shown.red != qRed(expected) || shown.green != qGreen(expected) ||
                    shown.blue != qBlue(expected)) {
                    return std::to_string(x) + "," + std::to_string(y);
                }
            }
        }
        return {};
    }

    XvfbServer xvfb_;
    XDisplay display_{xvfb_.display()};
    ProgramFolder programs_;
    TemporaryFolder cache_;
    std::unique_ptr<ChildProcess> saver_;
};

TEST_F(PreviewOnScreen, AHostOfThePreviewAreasSizeShowsThePictureWhole) {
    const WindowId host = display_.CreateWindow("host", 152, 112, true);
    const auto preview = StartIn(host);
    ASSERT_TRUE(preview);
    const auto geometry = display_.GeometryOf(*preview);
    const auto host_geometry = display_.GeometryOf(host);
    ASSERT_TRUE(geometry && host_geometry);
    EXPECT_EQ(geometry->x, host_geometry->x);
    EXPECT_EQ(geometry->y, host_geometry->y);
    EXPECT_EQ(geometry->width, 152);
    EXPECT_EQ(geometry->height, 112);
    EXPECT_EQ(Mismatch(display_.CaptureWindow(host), Picture()), "");
    EXPECT_TRUE(saver_->Running());
}

TEST_F(PreviewOnScreen, ALargerHostShowsThePictureTopLeftAndBlackElsewhere) {
    const WindowId host = display_.CreateWindow("host", 300, 200, true);
    const auto preview = StartIn(host);
    ASSERT_TRUE(preview);
    const auto geometry = display_.GeometryOf(*preview);
    ASSERT_TRUE(geometry);
    EXPECT_EQ(geometry->width, 300);
    EXPECT_EQ(geometry->height, 200);
    const Screenshot shot = display_.CaptureWindow(host);
    EXPECT_EQ(Mismatch(shot, Picture()), "");
    for (const auto& [x, y] :
         {std::pair{152, 0}, {299, 0}, {0, 112}, {151, 199}, {299, 199}, {200, 150}}) {
        EXPECT_EQ(shot.at(x, y), kBlack) << x << "," << y;
    }
}

TEST_F(PreviewOnScreen, TheProgramEndsWhenTheHostGoes) {
    const WindowId host = display_.CreateWindow("host", 152, 112, true);
    ASSERT_TRUE(StartIn(host));
    display_.DestroyWindow(host);
    const auto gone = std::chrono::steady_clock::now();
    EXPECT_EQ(saver_->WaitExit(seconds(10)), 0);
    const auto taken =
        std::chrono::duration_cast<milliseconds>(std::chrono::steady_clock::now() - gone);
    RecordProperty("exit_ms", static_cast<int>(taken.count()));
}

TEST_F(PreviewOnScreen, EndsWhenItsOwnWindowIsClosedOrDestroyed) {
    const WindowId host = display_.CreateWindow("host", 152, 112, true);
    for (const bool destroy : {false, true}) {
        const auto preview = StartIn(host);
        ASSERT_TRUE(preview);
        if (destroy) {
            display_.DestroyWindow(*preview);
        } else {
            display_.RequestClose(*preview);
        }
        EXPECT_EQ(saver_->WaitExit(seconds(10)), 0) << (destroy ? "destroyed" : "closed");
    }
}

TEST_F(PreviewOnScreen, RefusesTheRootWindow) {
    Start("/P " + std::to_string(display_.Root()));
    EXPECT_EQ(saver_->WaitExit(seconds(10)), 0);
    EXPECT_TRUE(display_.WindowsTitled("Preview Window").empty());
}

TEST_F(PreviewOnScreen, AnIdThatNamesNoWindowEndsQuietly) {
    const WindowId gone = display_.CreateWindow("host", 152, 112, true);
    display_.DestroyWindow(gone);
    for (const std::string& command_line : {std::string("/P 0"), std::string("/P"),
                                            "/P " + std::to_string(gone), std::string("/p x")}) {
        Start(command_line);
        EXPECT_EQ(saver_->WaitExit(seconds(3)), 0) << command_line;
        EXPECT_TRUE(display_.WindowsTitled("Preview Window").empty()) << command_line;
    }
}

}  // namespace
}  // namespace velmora::test
