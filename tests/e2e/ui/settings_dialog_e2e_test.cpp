// The settings dialog as a user meets it: "/C" under a private X server, looked at in a
// screenshot and driven with xdotool.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "saver/ui/dialog_pictures.h"
#include "saver/ui/form_drawing.h"
#include "tests/e2e/support/program_folder.h"
#include "tests/e2e/support/x_display.h"
#include "tests/e2e/support/xvfb_server.h"

namespace velmora::test {
namespace {

using std::chrono::seconds;

Rgb RgbOf(ImageBuffer::Pixel pixel) {
    return {pixel.red, pixel.green, pixel.blue};
}

std::string ReadFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

class SettingsDialogOnScreen : public testing::Test {
  protected:
    SettingsDialogOnScreen() {
        programs_.AddSaver();
        programs_.AddRendererPlaceholder();
    }

    void WriteIni(const std::string& content) const {
        std::ofstream(programs_.ini(), std::ios::binary) << content;
    }

    // Starts "/C" and waits until the dialog is on the screen and painted.
    WindowId OpenDialog() {
        auto changes = xvfb_.Environment();
        changes["XDG_CACHE_HOME"] = cache_.path();
        changes["XDG_RUNTIME_DIR"] = cache_.path();
        saver_ = std::make_unique<ChildProcess>(std::vector<std::string>{programs_.saver(), "/C"},
                                                changes);
        std::optional<WindowId> dialog;
        EXPECT_TRUE(WaitUntil(
            [&] {
                dialog = display_.WindowTitled("<ヴェルモラ>");
                return dialog && display_.Viewable(*dialog) &&
                       display_.CaptureWindow(*dialog).at(5, 123) == Rgb{220, 220, 250};
            },
            seconds(10)));
        return dialog.value_or(0);
    }

    void Xdotool(std::vector<std::string> arguments) const {
        arguments.insert(arguments.begin(), "xdotool");
        EXPECT_EQ(RunCommand(arguments, xvfb_.Environment()).status, 0);
    }

    // A left click at a point of the dialog's client area, the pointer arriving first.
    void ClickAt(WindowId dialog, int x, int y) const {
        const std::string window = std::to_string(dialog);
        Xdotool({"mousemove", "--window", window, std::to_string(x), std::to_string(y), "sleep",
                 "0.2", "click", "1"});
    }

    XvfbServer xvfb_;
    XDisplay display_{xvfb_.display()};
    ProgramFolder programs_;
    TemporaryFolder cache_;
    std::unique_ptr<ChildProcess> saver_;
};

// Places in the dialog's client area.
constexpr int kPanelLeft = 12, kPanelTop = 16;
constexpr int kSetCentreX = 356, kSetCentreY = 212;
constexpr int kCancelCentreX = 440, kCancelCentreY = 212;
constexpr int kFileRowLabelX = kPanelLeft + 50, kFileRowLabelY = kPanelTop + 102;

TEST_F(SettingsDialogOnScreen, OpensCentredWithItsClientSize) {
    const WindowId dialog = OpenDialog();
    const auto geometry = display_.GeometryOf(dialog);
    ASSERT_TRUE(geometry);
    EXPECT_EQ(geometry->width, 492);
    EXPECT_EQ(geometry->height, 246);
    EXPECT_EQ(geometry->x, (1024 - 492) / 2);
    EXPECT_EQ(geometry->y, (768 - 246) / 3);
    EXPECT_TRUE(saver_->Running());
}

TEST_F(SettingsDialogOnScreen, WhileItIsOpenAnotherStartEndsAtOnce) {
    OpenDialog();
    auto changes = xvfb_.Environment();
    changes["XDG_CACHE_HOME"] = cache_.path();
    for (const char* mode : {"/C", "/S"}) {
        ChildProcess second({programs_.saver(), mode}, changes);
        EXPECT_EQ(second.WaitExit(seconds(5)), 0) << mode;
    }
    EXPECT_EQ(display_.WindowsTitled("<ヴェルモラ>").size(), 1u);
    EXPECT_TRUE(saver_->Running());
}

TEST_F(SettingsDialogOnScreen, TheScreenShowsTheLayout) {
    WriteIni("[Section]\nBGM区分=1\n");
    const WindowId dialog = OpenDialog();
    const Screenshot shot = display_.CaptureWindow(dialog);
    ASSERT_EQ(shot.width, 492);

    // The shading, where no control lies, also inside a label beyond its text.
    EXPECT_EQ(shot.at(5, 0), (Rgb{0, 0, 30}));
    EXPECT_EQ(shot.at(5, 123), (Rgb{220, 220, 250}));
    EXPECT_EQ(shot.at(488, 240), RgbOf(ShadingColour(240, 246)));
    EXPECT_EQ(shot.at(176, 198), RgbOf(ShadingColour(198, 246)));

    // The panel's metal tiles, in both tile rows and beside the radio marks.
    const ImageBuffer& strip = MetalStripPicture();
    EXPECT_EQ(shot.at(kPanelLeft + 300, kPanelTop + 10), RgbOf(strip.at(300, 10)));
    EXPECT_EQ(shot.at(kPanelLeft + 460, kPanelTop + 160), RgbOf(strip.at(460, 0)));
    EXPECT_EQ(shot.at(kPanelLeft + 40, kPanelTop + 62), RgbOf(strip.at(40, 2)))
        << "the 13th column of a mark's place shows the panel";

    // The radio marks: the music CD row selected, the others not.
    const ImageBuffer& on = RadioMarkPicture(RadioMark::Selected);
    const ImageBuffer& off = RadioMarkPicture(RadioMark::Unselected);
    EXPECT_EQ(shot.at(kPanelLeft + 28, kPanelTop + 56), RgbOf(on.at(0, 0)));
    EXPECT_EQ(shot.at(kPanelLeft + 33, kPanelTop + 61), RgbOf(on.at(5, 5)));
    EXPECT_EQ(shot.at(kPanelLeft + 33, kPanelTop + 81), RgbOf(off.at(5, 5)));
    EXPECT_EQ(shot.at(kPanelLeft + 33, kPanelTop + 101), RgbOf(off.at(5, 5)));

    // The buttons' bands: the blue frame of 設定 and ｷｬﾝｾﾙ, the grey one of the disabled file
    // button.
    constexpr Rgb kFrame{0, 60, 116};
    EXPECT_EQ(shot.at(316 + 40, 201), kFrame);
    EXPECT_EQ(shot.at(316 + 40, 223), kFrame);
    EXPECT_EQ(shot.at(400 + 40, 201), kFrame);
    EXPECT_EQ(shot.at(400 + 1, 212), kFrame);
    EXPECT_EQ(shot.at(kPanelLeft + 28 + 20, kPanelTop + 113), (Rgb{201, 199, 186}));
}

TEST_F(SettingsDialogOnScreen, SetWritesTheSettingsAndEndsTheProgram) {
    const WindowId dialog = OpenDialog();
    ClickAt(dialog, kFileRowLabelX, kFileRowLabelY);
    ClickAt(dialog, kSetCentreX, kSetCentreY);
    EXPECT_EQ(saver_->WaitExit(seconds(5)), 0);
    EXPECT_EQ(ReadFile(programs_.ini()), "[Section]\nBGM区分= 2\nBGMﾘﾋﾟｰﾄ= 0\nBGMﾌｧｲﾙ=\n");
    EXPECT_TRUE(display_.WindowsTitled("<ヴェルモラ>").empty());
}

TEST_F(SettingsDialogOnScreen, CancelAndACloseRequestEndTheProgramWritingNothing) {
    const WindowId dialog = OpenDialog();
    ClickAt(dialog, kFileRowLabelX, kFileRowLabelY);
    ClickAt(dialog, kCancelCentreX, kCancelCentreY);
    EXPECT_EQ(saver_->WaitExit(seconds(5)), 0);

    display_.RequestClose(OpenDialog());
    EXPECT_EQ(saver_->WaitExit(seconds(5)), 0);
    EXPECT_FALSE(std::filesystem::exists(programs_.ini()));
}

}  // namespace
}  // namespace velmora::test
