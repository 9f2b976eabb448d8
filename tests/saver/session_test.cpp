#include "saver/session.h"

#include <gtest/gtest.h>

#include <map>

#include "tests/saver/bgm/scripted_media.h"

namespace velmora {
namespace {

// Records the session's platform calls in order.
class RecordingSessionHost : public SessionHost {
  public:
    std::optional<std::vector<std::uint8_t>> CaptureDesktopPicture() override {
        calls.push_back("capture");
        return screen;
    }
    bool SavePicture(std::string_view file_name, const std::vector<std::uint8_t>& bmp) override {
        calls.push_back("save " + std::string(file_name));
        saved[std::string(file_name)] = bmp;
        return true;
    }
    void StartRenderer(const std::string& path) override { calls.push_back("start " + path); }
    void EndRenderer() override { calls.push_back("end renderer"); }
    bool WindowTitledExists(std::string_view title) override {
        calls.push_back("find " + std::string(title));
        return renderer_window;
    }
    void SetTimerEnabled(SessionTimer timer, bool enabled) override {
        calls.push_back("timer" + std::to_string(static_cast<int>(timer) + 1) +
                        (enabled ? " on" : " off"));
    }
    void ShowCursor() override { calls.push_back("show cursor"); }
    void EndProgram() override { calls.push_back("end"); }

    std::optional<std::vector<std::uint8_t>> screen = std::vector<std::uint8_t>{'B', 'M', 1, 2};
    bool renderer_window = true;
    std::vector<std::string> calls;
    std::map<std::string, std::vector<std::uint8_t>> saved;
};

class SessionTest : public testing::Test {
  protected:
    Velmora_S& Session(std::string mode = "S") {
        session_.emplace(host_, music_, settings_, std::move(mode), "/opt/saver");
        return *session_;
    }
    std::vector<std::string> CallsFrom(std::size_t first) const {
        return {host_.calls.begin() + static_cast<std::ptrdiff_t>(first), host_.calls.end()};
    }

    RecordingSessionHost host_;
    ScriptedMedia media_{host_.calls};
    std::int32_t last_result_ = 0;
    Velmora_BGM music_{media_, media_, last_result_};
    Settings settings_;
    std::optional<Velmora_S> session_;
};

TEST_F(SessionTest, LoadWritesBothPicturesBeforeStartingTheRenderer) {
    auto& session = Session();
    EXPECT_TRUE(session.TimerEnabled(SessionTimer::kTimer3)) << "the watch runs from creation";
    session.Form_Load();
    EXPECT_EQ(host_.calls,
              (std::vector<std::string>{"capture", "save Velmora1.bmp", "save Velmora2.bmp",
                                        "start /opt/saver/ヴェルモラ.dll"}));
    EXPECT_EQ(host_.saved.at("Velmora1.bmp"), *host_.screen) << "the capture's file as it came";
    EXPECT_EQ(host_.saved.at("Velmora2.bmp").size(), 54u + 1024u + 128u * 128u);
}

TEST_F(SessionTest, AFailedCaptureStillWritesTheFlareAndStartsTheRenderer) {
    host_.screen.reset();
    Session().Form_Load();
    EXPECT_EQ(host_.calls, (std::vector<std::string>{"capture", "save Velmora2.bmp",
                                                     "start /opt/saver/ヴェルモラ.dll"}));
}

TEST_F(SessionTest, CdMusicOpensTheDriveAndPollsUntilAPollFails) {
    settings_.BGM_Kind = 1;
    auto& session = Session();
    session.Form_Load();
    EXPECT_EQ(CallsFrom(4), (std::vector<std::string>{
                                "open cdaudio", "set cdaudio time format tmsf", "timer2 on"}));
    media_.answers["status cdaudio current track"] = {263, ""};
    const auto before = host_.calls.size();
    session.Timer2_Timer();
    EXPECT_EQ(CallsFrom(before),
              (std::vector<std::string>{"status cdaudio current track", "timer2 off"}));
    EXPECT_FALSE(session.TimerEnabled(SessionTimer::kTimer2));
    // The drive is not stopped at the end once the watch has given up.
    host_.renderer_window = false;
    const auto at_end = host_.calls.size();
    session.Form_QueryUnload();
    EXPECT_EQ(CallsFrom(at_end), (std::vector<std::string>{"end renderer", "show cursor", "end"}));
}

TEST_F(SessionTest, EndWhileTheCdPlaysStopsAndClosesIt) {
    settings_.BGM_Kind = 1;
    auto& session = Session();
    session.Form_Load();
    const auto before = host_.calls.size();
    session.Form_QueryUnload();
    EXPECT_EQ(CallsFrom(before),
              (std::vector<std::string>{"end renderer", "timer2 off", "stop cdaudio",
                                        "close cdaudio", "show cursor", "end"}));
}

TEST_F(SessionTest, Mp3IsOpenedKeptAliveAndClosed) {
    settings_.BGM_Kind = 2;
    settings_.BGM_File = "/music/Song.Mp3";
    auto& session = Session();
    session.Form_Load();
    EXPECT_EQ(CallsFrom(4),
              (std::vector<std::string>{"open \"/music/Song.Mp3\" type MPEGVideo Alias MP3Play",
                                        "play MP3Play", "timer1 on"}));
    media_.answers["status MP3Play mode"] = {0, "stopped"};
    auto before = host_.calls.size();
    session.Timer1_Timer();
    EXPECT_EQ(CallsFrom(before), (std::vector<std::string>{"status MP3Play mode", "stop MP3Play",
                                                           "play MP3Play from 0"}));
    before = host_.calls.size();
    session.Form_QueryUnload();
    EXPECT_EQ(CallsFrom(before),
              (std::vector<std::string>{"end renderer", "timer1 off", "stop MP3Play",
                                        "close MP3Play", "show cursor", "end"}));
}

TEST_F(SessionTest, WavLoopsUntilTheEnd) {
    settings_.BGM_Kind = 2;
    settings_.BGM_File = "/music/a.wav";
    auto& session = Session("");
    session.Form_Load();
    EXPECT_EQ(CallsFrom(4), (std::vector<std::string>{"PlaySound /music/a.wav flags 9"}));
    const auto before = host_.calls.size();
    session.Form_QueryUnload();
    // Started with an empty command line: the cursor was never hidden, so it is not shown.
    EXPECT_EQ(CallsFrom(before),
              (std::vector<std::string>{"end renderer", "PlaySound stop", "end"}));
}

TEST_F(SessionTest, OtherFileEndingsAndKindsPlayNothing) {
    for (const auto& [kind, file] : std::vector<std::pair<std::int16_t, std::string>>{
             {2, "/music/a.mid"}, {0, "/music/a.mp3"}, {3, "/music/a.wav"}}) {
        host_.calls.clear();
        settings_.BGM_Kind = kind;
        settings_.BGM_File = file;
        auto& session = Session();
        session.Form_Load();
        EXPECT_EQ(host_.calls.size(), 4u) << file;
        session.Form_QueryUnload();
        EXPECT_EQ(CallsFrom(4), (std::vector<std::string>{"end renderer", "show cursor", "end"}))
            << file;
    }
}

TEST_F(SessionTest, EndsOnceTheRendererWindowHasGone) {
    auto& session = Session();
    session.Form_Load();
    session.Timer3_Timer();
    EXPECT_EQ(host_.calls.back(), "find Velmora_VC");
    host_.renderer_window = false;
    const auto before = host_.calls.size();
    session.Timer3_Timer();
    EXPECT_EQ(CallsFrom(before), (std::vector<std::string>{"find Velmora_VC", "timer3 off",
                                                           "end renderer", "show cursor", "end"}));
    // Nothing runs after the end, whatever tick or request still arrives.
    const auto after = host_.calls.size();
    session.Timer3_Timer();
    session.Timer1_Timer();
    session.Timer2_Timer();
    session.RendererExited();
    session.Form_QueryUnload();
    EXPECT_EQ(host_.calls.size(), after);
}

TEST_F(SessionTest, WaitsForTheRendererWindowButNotForever) {
    host_.renderer_window = false;
    auto& session = Session();
    session.Form_Load();
    for (int tick = 1; tick < Velmora_S::kRendererStartTicks; ++tick) {
        session.Timer3_Timer();
        ASSERT_NE(host_.calls.back(), "end") << "ended at tick " << tick;
    }
    session.Timer3_Timer();
    EXPECT_EQ(CallsFrom(host_.calls.size() - 3),
              (std::vector<std::string>{"end renderer", "show cursor", "end"}))
        << "a renderer that never showed a window is ended with the session";
}

TEST_F(SessionTest, TheRendererEndingEndsTheSessionAtOnceEvenBeforeItsWindowShowed) {
    host_.renderer_window = false;
    auto& session = Session();
    session.Form_Load();
    const auto before = host_.calls.size();
    session.RendererExited();
    EXPECT_EQ(CallsFrom(before),
              (std::vector<std::string>{"timer3 off", "end renderer", "show cursor", "end"}));
}

}  // namespace
}  // namespace velmora
