#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <sstream>

#include "tests/e2e/support/x_display.h"
#include "tests/e2e/support/xvfb_server.h"
#include "tests/support/child_process.h"

namespace velmora::test {
namespace {

using namespace std::chrono_literals;

// Ring 2 (the top of a face's inner band) tells the faces apart.
constexpr Rgb kHighLightTop{255, 240, 207};
constexpr Rgb kSelectedTop{206, 231, 255};
constexpr Rgb kNormalTop{243, 243, 238};
// Row 4, the top of the middle, in the normal and in the reversed gradient.
constexpr Rgb kLightRow4{245, 245, 248};
constexpr Rgb kShadeRow4{207, 206, 221};

struct Button {
    int x, y, width;  // place in the window
};
constexpr Button kSet{10, 10, 81};
constexpr Button kCancel{100, 10, 81};
constexpr Button kFile{10, 45, 41};

class CommandOnScreen : public testing::Test {
  protected:
    void SetUp() override {
        window_ =
            std::make_unique<ChildProcess>(std::vector<std::string>{VELMORA_COMMAND_TEST_WINDOW},
                                           xvfb_.Environment(), clicks_path_);
        id_ = display_.ShownWindowTitled("Command test window", 10s);
        ASSERT_TRUE(id_);
        origin_ = *display_.GeometryOf(*id_);
    }

    // The pixel of a button's middle column at row dy, as the screen shows it.
    Rgb PixelOf(const Button& button, int dy) const {
        return display_.CaptureWindow(*id_).at(button.x + button.width / 2, button.y + dy);
    }

    // Waits until the button shows the face whose inner band starts with this colour.
    bool Shows(const Button& button, Rgb inner_top) const {
        return WaitUntil([&] { return PixelOf(button, 2) == inner_top; }, 5s);
    }

    void Xdotool(std::vector<std::string> arguments) const {
        arguments.insert(arguments.begin(), "xdotool");
        ASSERT_EQ(RunCommand(arguments, xvfb_.Environment()).status, 0);
    }

    void MoveTo(int x, int y) const {
        Xdotool({"mousemove", std::to_string(origin_.x + x), std::to_string(origin_.y + y)});
    }

    void MoveOnto(const Button& button) const {
        MoveTo(button.x + button.width / 2, button.y + 12);
    }

    std::string Clicks() const {
        std::ifstream file(clicks_path_);
        std::stringstream text;
        text << file.rdbuf();
        return text.str();
    }

    // Clicks the Set button and waits for its line: every click line before it has arrived.
    void ClickSetAndWait(const std::string& expected_before) const {
        MoveOnto(kSet);
        Xdotool({"click", "1"});
        ASSERT_TRUE(WaitUntil([&] { return Clicks() == expected_before + "Click 設定\n"; }, 5s))
            << Clicks();
    }

    XvfbServer xvfb_{640, 480};
    XDisplay display_{xvfb_.display()};
    TemporaryFolder folder_;
    std::string clicks_path_ = folder_.path() + "/clicks";
    std::unique_ptr<ChildProcess> window_;
    std::optional<WindowId> id_;
    Geometry origin_;
};

TEST_F(CommandOnScreen, HoverClickAndLeaveShowTheirFaces) {
    MoveOnto(kCancel);
    ASSERT_TRUE(Shows(kCancel, kHighLightTop));
    EXPECT_EQ(PixelOf(kCancel, 4), kShadeRow4) << "the hovered middle runs dark to light";
    EXPECT_EQ(PixelOf(kCancel, 1), (Rgb{0, 60, 116}));

    Xdotool({"click", "1"});
    ASSERT_TRUE(WaitUntil([&] { return Clicks() == "Click ｷｬﾝｾﾙ\n"; }, 5s)) << Clicks();
    EXPECT_TRUE(Shows(kCancel, kHighLightTop));
    EXPECT_EQ(PixelOf(kCancel, 4), kShadeRow4)
        << "focused while hovered, the gradient keeps the hovered direction";

    // The pointer leaves: the next poll drops the hover, and the focus stays.
    MoveTo(190, 70);
    EXPECT_TRUE(Shows(kCancel, kSelectedTop));
    EXPECT_EQ(PixelOf(kCancel, 4), kLightRow4);
    EXPECT_TRUE(Shows(kSet, kNormalTop));
    EXPECT_EQ(PixelOf(kSet, 4), kLightRow4);
}

TEST_F(CommandOnScreen, AReleaseAfterDraggingOutAndKeysRaiseNoClick) {
    MoveOnto(kFile);
    Xdotool({"mousedown", "1"});
    MoveTo(190, 70);
    // Once the poll has seen the pointer go, the focused button shows Selected.
    ASSERT_TRUE(Shows(kFile, kSelectedTop));
    Xdotool({"mouseup", "1"});
    Xdotool({"key", "Return", "space", "KP_Enter"});
    ClickSetAndWait("");
}

}  // namespace
}  // namespace velmora::test
