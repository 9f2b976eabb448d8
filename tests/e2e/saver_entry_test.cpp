// The saver's entry under a private X server: single-instance refusal and the missing-renderer
// message, driven as a user would with real X clients.
#include <gtest/gtest.h>

#include <filesystem>

#include "tests/e2e/support/program_folder.h"
#include "tests/e2e/support/x_display.h"
#include "tests/e2e/support/xvfb_server.h"

namespace velmora::test {
namespace {

using std::chrono::seconds;

class SaverEntry : public testing::Test {
  protected:
    SaverEntry() { programs_.AddSaver(); }

    EnvironmentChanges Environment() const {
        auto changes = xvfb_.Environment();
        changes["XDG_CACHE_HOME"] = cache_.path();
        changes["XDG_RUNTIME_DIR"] = cache_.path();
        return changes;
    }
    std::unique_ptr<ChildProcess> StartSaver(const std::string& command_line) const {
        std::vector<std::string> argv{programs_.saver()};
        if (!command_line.empty()) {
            argv.push_back(command_line);
        }
        return std::make_unique<ChildProcess>(argv, Environment());
    }

    // Every mode ends by itself with status 0; a message box would hold it open.
    void ExpectEveryModeEndsAtOnce() const {
        const WindowId host = display_.CreateWindow("host", 152, 112, true);
        for (const std::string& mode :
             std::vector<std::string>{"/S", "/C", "/P " + std::to_string(host), "", "/a"}) {
            EXPECT_EQ(StartSaver(mode)->WaitExit(seconds(3)), 0) << '"' << mode << '"';
        }
    }

    XvfbServer xvfb_;
    XDisplay display_{xvfb_.display()};
    ProgramFolder programs_;
    TemporaryFolder cache_;
};

TEST_F(SaverEntry, HiddenSessionWindowOfAnotherProgramEndsEveryMode) {
    programs_.AddRendererPlaceholder();
    display_.CreateWindow("Velmora_Main", 10, 10, false);
    ExpectEveryModeEndsAtOnce();
    EXPECT_FALSE(std::filesystem::exists(cache_.path() + "/k_orvin"))
        << "a refused start prepares nothing";
}

TEST_F(SaverEntry, OpenSettingsDialogOfAnotherProgramEndsEveryMode) {
    programs_.AddRendererPlaceholder();
    display_.CreateWindow("<ヴェルモラ>", 492, 246, true);
    ExpectEveryModeEndsAtOnce();
    EXPECT_FALSE(std::filesystem::exists(cache_.path() + "/k_orvin"))
        << "a refused start prepares nothing";
}

TEST_F(SaverEntry, MissingRendererShowsTheMessageAndNoDialog) {
    auto saver = StartSaver("/C");
    std::optional<WindowId> box;
    ASSERT_TRUE(WaitUntil(
        [&] {
            for (WindowId window : display_.WindowsTitled("ヴェルモラ")) {
                if (display_.Viewable(window)) {
                    box = window;
                    return true;
                }
            }
            return false;
        },
        seconds(10)));
    EXPECT_TRUE(saver->Running());
    EXPECT_TRUE(display_.WindowsTitled("<ヴェルモラ>").empty());
    EXPECT_TRUE(std::filesystem::is_directory(cache_.path() + "/k_orvin"));

    const auto pressed =
        RunCommand({"xdotool", "windowfocus", "--sync", std::to_string(*box), "key", "Return"},
                   xvfb_.Environment());
    EXPECT_EQ(pressed.status, 0);
    EXPECT_EQ(saver->WaitExit(seconds(3)), 0);
    EXPECT_TRUE(display_.WindowsTitled("<ヴェルモラ>").empty());
}

TEST_F(SaverEntry, UnknownSwitchEndsSilentlyWhenTheRendererIsThere) {
    programs_.AddRendererPlaceholder();
    auto saver = StartSaver("/a");
    EXPECT_EQ(saver->WaitExit(seconds(3)), 0);
    EXPECT_TRUE(std::filesystem::is_directory(cache_.path() + "/k_orvin"));
}

TEST(SaverWithoutDisplay, SaysWhyAndFails) {
    ProgramFolder programs;
    programs.AddSaver();
    const auto result = RunCommand({programs.saver(), "/S"},
                                   {{"DISPLAY", std::nullopt}, {"QT_QPA_PLATFORM", std::nullopt}});
    EXPECT_EQ(result.status, 1);
}

TEST(InstalledSaver, RunsASessionFromTheVelmoraCommand) {
    const TemporaryFolder prefix;
    ASSERT_EQ(RunCommand({"cmake", "--install", VELMORA_BUILD_DIR, "--prefix", prefix.path()}, {},
                         seconds(60))
                  .status,
              0);
    for (const char* installed :
         {"libexec/velmora/ヴェルモラ.scr", "libexec/velmora/ヴェルモラ.dll", "bin/velmora",
          "libexec/xscreensaver/velmora", "share/xscreensaver/config/velmora.xml",
          "share/man/man6/velmora.6.gz"}) {
        EXPECT_TRUE(std::filesystem::exists(prefix.path() + "/" + installed)) << installed;
    }
    const XvfbServer xvfb;
    const XDisplay display(xvfb.display());
    const TemporaryFolder cache;
    auto environment = xvfb.Environment();
    environment["XDG_CACHE_HOME"] = cache.path();
    environment["XDG_RUNTIME_DIR"] = cache.path();
    ChildProcess saver({prefix.path() + "/bin/velmora", "/S"}, environment);
    const auto renderer = display.ShownWindowTitled("Velmora_VC", seconds(30));
    ASSERT_TRUE(renderer);
    RunCommand({"xdotool", "key", "--window", std::to_string(*renderer), "Escape"}, environment);
    EXPECT_EQ(saver.WaitExit(seconds(10)), 0);
}

}  // namespace
}  // namespace velmora::test
