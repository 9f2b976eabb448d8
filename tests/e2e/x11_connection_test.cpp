// The saver's X11 services against a real X server and windows of other processes.
#include "saver/host/x11_connection.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <X11/Xlib.h>

#include "tests/e2e/support/x_display.h"
#include "tests/e2e/support/xvfb_server.h"

namespace velmora {
namespace {

class X11ConnectionTest : public testing::Test {
  protected:
    X11ConnectionTest() { setenv("DISPLAY", xvfb_.display().c_str(), 1); }

    test::XvfbServer xvfb_;
    test::XDisplay other_{xvfb_.display()};  // another client, as another program would be
};

TEST_F(X11ConnectionTest, FindsHiddenAndShownWindowsByExactTitle) {
    const auto x11 = X11Connection::Open();
    ASSERT_NE(x11, nullptr);
    EXPECT_FALSE(x11->WindowTitledExists("Velmora_Main"));
    other_.CreateWindow("Velmora_Main", 10, 10, false);
    other_.CreateWindow("<ヴェルモラ>", 10, 10, true);
    EXPECT_TRUE(x11->WindowTitledExists("Velmora_Main"));
    EXPECT_TRUE(x11->WindowTitledExists("<ヴェルモラ>"));
    EXPECT_FALSE(x11->WindowTitledExists("Velmora"));
    EXPECT_FALSE(x11->WindowTitledExists("velmora_main"));
}

TEST_F(X11ConnectionTest, FindsAWindowThatHasOnlyAnOldStyleName) {
    const auto x11 = X11Connection::Open();
    ASSERT_NE(x11, nullptr);
    const Window window = XCreateSimpleWindow(other_.get(), other_.Root(), 0, 0, 5, 5, 0, 0, 0);
    XStoreName(other_.get(), window, "Velmora_VC");
    XSync(other_.get(), False);
    EXPECT_TRUE(x11->WindowTitledExists("Velmora_VC"));
}

TEST_F(X11ConnectionTest, WindowRectIsOnTheRootAndEmptyForNoWindow) {
    const auto x11 = X11Connection::Open();
    ASSERT_NE(x11, nullptr);
    const auto window = other_.CreateWindow("host", 152, 112, true);
    XMoveWindow(other_.get(), window, 30, 40);
    XSync(other_.get(), False);
    EXPECT_EQ(x11->WindowRect(window), (ScreenRect{30, 40, 182, 152}));
    EXPECT_EQ(x11->WindowRect(0), std::nullopt);
    EXPECT_EQ(x11->WindowRect(0x7FFFFFF), std::nullopt) << "an id that names no window";
    other_.DestroyWindow(window);
    EXPECT_EQ(x11->WindowRect(window), std::nullopt);
}

TEST_F(X11ConnectionTest, CapturesAnAreaOfAPixmapMirroredAndRefusesAnAreaBeyondIt) {
    const auto x11 = X11Connection::Open();
    ASSERT_NE(x11, nullptr);
    // 8 x 4, column x and row y coloured (red 10x, green 20y, blue 7), as a daemon's screenshot.
    Display* display = other_.get();
    const Pixmap pixmap = XCreatePixmap(display, other_.Root(), 8, 4,
                                        static_cast<unsigned>(DefaultDepth(display, 0)));
    const GC gc = XCreateGC(display, pixmap, 0, nullptr);
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 8; ++x) {
            XSetForeground(display, gc, (10ul * x) << 16 | (20ul * y) << 8 | 7ul);
            XDrawPoint(display, pixmap, gc, x, y);
        }
    }
    XFreeGC(display, gc);
    XSync(display, False);

    const auto bmp = x11->CaptureMirroredBmp(pixmap, {2, 1, 6, 3});
    ASSERT_TRUE(bmp.has_value());
    ASSERT_EQ(bmp->size(), 54u + 2 * 12u);
    EXPECT_EQ((*bmp)[18], 4) << "width";
    EXPECT_EQ((*bmp)[22], 2) << "height";
    // The file's first row is the area's bottom one (y = 2), from its right edge (x = 5) leftwards,
    // each pixel blue, green, red.
    EXPECT_EQ(std::vector<std::uint8_t>(bmp->begin() + 54, bmp->begin() + 60),
              (std::vector<std::uint8_t>{7, 40, 50, 7, 40, 40}));
    EXPECT_EQ(std::vector<std::uint8_t>(bmp->begin() + 75, bmp->end()),
              (std::vector<std::uint8_t>{7, 20, 20}));

    EXPECT_FALSE(x11->CaptureMirroredBmp(pixmap, {6, 0, 10, 4})) << "past the right edge";
    XFreePixmap(display, pixmap);
    XSync(display, False);
    EXPECT_FALSE(x11->CaptureMirroredBmp(pixmap, {0, 0, 1, 1})) << "a pixmap that has gone";
}

TEST_F(X11ConnectionTest, WindowsVanishingDuringTheWalkNeverEndTheProgram) {
    const auto x11 = X11Connection::Open();
    ASSERT_NE(x11, nullptr);
    // Another process creates and destroys windows as fast as it can.
    const pid_t churner = fork();
    ASSERT_GE(churner, 0);
    if (churner == 0) {
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        Display* display = XOpenDisplay(xvfb_.display().c_str());
        for (;;) {
            Window windows[20];
            for (Window& window : windows) {
                window =
                    XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 1, 1, 0, 0, 0);
                XStoreName(display, window, "churn");
            }
            XSync(display, False);
            for (Window window : windows) {
                XDestroyWindow(display, window);
            }
        }
    }
    other_.CreateWindow("Velmora_VC", 10, 10, false);
    // Xlib's own handler ends the process on any error; the connection must not let it see one.
    XSetErrorHandler(nullptr);
    int found = 0;
    for (int i = 0; i < 300; ++i) {
        found += x11->WindowTitledExists("Velmora_VC") ? 1 : 0;
    }
    kill(churner, SIGKILL);
    waitpid(churner, nullptr, 0);
    EXPECT_EQ(found, 300);
}

}  // namespace
}  // namespace velmora
