// The saver as a hack of the real XScreenSaver daemon (Debian's xscreensaver), which refuses to
// run as root: the daemon and its hacks run as the unprivileged user nobody.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "common/renderer_window.h"
#include "tests/e2e/support/program_folder.h"
#include "tests/e2e/support/x_display.h"
#include "tests/e2e/support/xvfb_server.h"
#include "tests/saver/host/mci/media_test_support.h"

namespace velmora::test {
namespace {

using std::chrono::milliseconds;
using std::chrono::seconds;

constexpr uid_t kNobody = 65534;
constexpr auto kStartTime = seconds(30);

class UnderXScreenSaver : public testing::Test {
  protected:
    explicit UnderXScreenSaver(int screens = 1) : xvfb_(1024, 768, screens) {
        programs_.AddSaver();
        programs_.AddRenderer();
        // Both folders belong to root and are private; the daemon's user needs its way in.
        std::filesystem::permissions(programs_.path(), std::filesystem::perms::owner_all |
                                                           std::filesystem::perms::group_read |
                                                           std::filesystem::perms::group_exec |
                                                           std::filesystem::perms::others_read |
                                                           std::filesystem::perms::others_exec);
        EXPECT_EQ(chown(home_.path().c_str(), kNobody, kNobody), 0);
        std::ofstream(home_.path() + "/.xscreensaver")
            << "mode: one\nselected: 0\ntimeout: 1:00:00\ncycle: 0:00:00\nlock: False\n"
               "splash: False\nfade: False\nunfade: False\ngrabDesktopImages: True\n"
               "programs: \"Velmora\" "
            << programs_.saver() << " --root \\n\n";
    }

    EnvironmentChanges Environment() const {
        auto environment = xvfb_.Environment();
        environment["HOME"] = home_.path();
        environment["XDG_CACHE_HOME"] = home_.path() + "/cache";
        environment["XDG_CONFIG_HOME"] = home_.path() + "/config";
        environment["XDG_RUNTIME_DIR"] = home_.path();
        environment["SDL_AUDIODRIVER"] = "disk";
        environment["SDL_DISKAUDIOFILE"] = AudioFile();
        return environment;
    }

    std::string AudioFile() const { return home_.path() + "/audio.raw"; }

    static std::vector<std::string> AsNobody(std::vector<std::string> argv) {
        argv.insert(argv.begin(),
                    {"setpriv", "--reuid=65534", "--regid=65534", "--clear-groups", "--"});
        return argv;
    }

    void StartDaemon() {
        daemon_ =
            std::make_unique<ChildProcess>(AsNobody({"xscreensaver", "-no-splash"}), Environment());
        ASSERT_TRUE(WaitUntil([&] { return Command("-time"); }, kStartTime))
            << "the daemon does not answer";
    }

    bool Command(const std::string& verb) const {
        return RunCommand(AsNobody({"xscreensaver-command", verb}), Environment()).status == 0;
    }

    std::vector<pid_t> Ours() const {
        auto ours = ProcessesOf(programs_.saver());
        const auto renderers = ProcessesOf(programs_.renderer());
        ours.insert(ours.end(), renderers.begin(), renderers.end());
        return ours;
    }

    // Asks the daemon to end the screen saver; true once every process of ours has gone.
    bool DeactivateEndsUs() {
        EXPECT_TRUE(Command("-deactivate"));
        const auto asked = std::chrono::steady_clock::now();
        const bool gone = WaitUntil([&] { return Ours().empty(); }, seconds(10));
        RecordProperty("end_ms", static_cast<int>(std::chrono::duration_cast<milliseconds>(
                                                      std::chrono::steady_clock::now() - asked)
                                                      .count()));
        return gone;
    }

    TemporaryFolder home_;
    XvfbServer xvfb_;
    ProgramFolder programs_;
    std::unique_ptr<ChildProcess> daemon_;
};

TEST_F(UnderXScreenSaver, TheSceneFillsTheDaemonsWindowUntilItDeactivates) {
    StartDaemon();
    ASSERT_TRUE(Command("-activate"));
    XDisplay display(xvfb_.display());
    const auto renderer = display.ShownWindowTitled(kRendererWindowTitle, kStartTime);
    ASSERT_TRUE(renderer);
    const auto geometry = display.GeometryOf(*renderer);
    ASSERT_TRUE(geometry);
    EXPECT_EQ(geometry->width, 1024);
    EXPECT_EQ(geometry->height, 768);
    // Stars in every quarter of the screen: the scene, not a corner of it.
    EXPECT_TRUE(WaitUntil(
        [&] {
            for (const auto& [x, y] : {std::pair{0, 0}, {512, 0}, {0, 384}, {512, 384}}) {
                const Screenshot quarter = display.CaptureArea(x, y, 512, 384);
                if (std::none_of(quarter.pixels.begin(), quarter.pixels.end(),
                                 [](const Rgb& pixel) { return pixel != Rgb{}; })) {
                    return false;
                }
            }
            return true;
        },
        kStartTime));
    EXPECT_TRUE(DeactivateEndsUs());
}

class UnderXScreenSaverOnTwoScreens : public UnderXScreenSaver {
  protected:
    UnderXScreenSaverOnTwoScreens() : UnderXScreenSaver(2) {}
};

TEST_F(UnderXScreenSaverOnTwoScreens, OneSessionPerScreenAndOneMusic) {
    const std::string song = home_.path() + "/song.wav";
    MakeTone(song, "wav", 1.0, 440);
    std::filesystem::permissions(song, std::filesystem::perms::others_read,
                                 std::filesystem::perm_options::add);
    std::ofstream(programs_.ini())
        << "[Section]\nBGM区分= 2\nBGMﾘﾋﾟｰﾄ= 0\nBGMﾌｧｲﾙ=" << song << "\n";
    StartDaemon();
    ASSERT_TRUE(Command("-activate"));
    ASSERT_TRUE(
        WaitUntil([&] { return ProcessesOf(programs_.renderer()).size() == 2; }, kStartTime));
    const DiskAudio audio(AudioFile());
    ASSERT_TRUE(audio.WaitForFrames(Frames(500))) << "music is heard";
    int playing = 0;
    for (const pid_t saver : ProcessesOf(programs_.saver())) {
        for (const auto& entry :
             std::filesystem::directory_iterator("/proc/" + std::to_string(saver) + "/fd")) {
            std::error_code error;
            playing += std::filesystem::read_symlink(entry.path(), error) == AudioFile() ? 1 : 0;
        }
    }
    EXPECT_EQ(playing, 1) << "sessions playing the music";
    EXPECT_EQ(ProcessesOf(programs_.saver()).size(), 2u);
    EXPECT_TRUE(DeactivateEndsUs());
}

}  // namespace
}  // namespace velmora::test
