#include "saver/entry.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

namespace velmora {
namespace {

// Records every call, in order, and answers from what the test set up.
class RecordingHost : public EntryHost {
  public:
    bool WindowTitledExists(std::string_view title) override {
        calls.push_back("find " + std::string(title));
        return windows.contains(std::string(title));
    }
    void CreatePictureFolder() override { calls.push_back("folder"); }
    void LoadSettings() override { calls.push_back("settings"); }
    std::string ProgramFolder() override { return "/opt/saver"; }
    bool FileExists(const std::string& path) override {
        calls.push_back("exists " + path);
        return renderer_present;
    }
    void ShowMessageBox(std::string_view text) override {
        calls.push_back("message " + std::string(text));
    }
    void HideCursor() override { calls.push_back("hide cursor"); }
    bool ClaimSingleInstance() override {
        calls.push_back("claim");
        return claim_free;
    }
    bool ShowPreview(std::int32_t host_window) override {
        calls.push_back("preview " + std::to_string(host_window));
        return preview_shown;
    }
    void ShowSettingsDialog() override { calls.push_back("dialog"); }
    void LoadSession() override { calls.push_back("session"); }

    std::set<std::string> windows;
    bool renderer_present = true;
    bool preview_shown = true;
    bool claim_free = true;
    std::vector<std::string> calls;
};

const std::vector<std::string> kInstanceChecks = {"find Velmora_Main", "find <ヴェルモラ>"};
const std::string kRendererCheck = "exists /opt/saver/ヴェルモラ.dll";

std::vector<std::string> Then(std::vector<std::string> first,
                              const std::vector<std::string>& rest) {
    first.insert(first.end(), rest.begin(), rest.end());
    return first;
}

TEST(Main, SaverSessionHidesTheCursorAfterThePreparations) {
    RecordingHost host;
    EXPECT_EQ(Main("/S", host), MainResult::kKeepRunning);
    EXPECT_EQ(host.calls, Then(kInstanceChecks, {"folder", "settings", kRendererCheck, "claim",
                                                 "hide cursor", "session"}));
}

TEST(Main, EmptyCommandLineRunsTheSessionWithTheCursorVisible) {
    RecordingHost host;
    EXPECT_EQ(Main("", host), MainResult::kKeepRunning);
    EXPECT_EQ(host.calls,
              Then(kInstanceChecks, {"folder", "settings", kRendererCheck, "claim", "session"}));
}

TEST(Main, SettingsDialogEndsTheProgramWhenItCloses) {
    for (const char* command_line : {"/c", "/C:1234"}) {
        RecordingHost host;
        EXPECT_EQ(Main(command_line, host), MainResult::kEndProgram);
        EXPECT_EQ(host.calls,
                  Then(kInstanceChecks, {"folder", "settings", kRendererCheck, "claim", "dialog"}));
    }
}

TEST(Main, PreviewNeedsNeitherSettingsNorRenderer) {
    RecordingHost host;
    host.renderer_present = false;
    EXPECT_EQ(Main("/p 1234", host), MainResult::kKeepRunning);
    EXPECT_EQ(host.calls, Then(kInstanceChecks, {"preview 1234"}));
}

TEST(Main, PreviewThatCannotBeShownEndsTheProgram) {
    RecordingHost host;
    host.preview_shown = false;
    EXPECT_EQ(Main("/P", host), MainResult::kEndProgram);
    EXPECT_EQ(host.calls, Then(kInstanceChecks, {"preview 0"}));
}

TEST(Main, OtherSwitchesEndSilentlyAfterTheRendererTest) {
    for (const char* command_line : {"/a", " /S", "x"}) {
        RecordingHost host;
        EXPECT_EQ(Main(command_line, host), MainResult::kEndProgram);
        EXPECT_EQ(host.calls, Then(kInstanceChecks, {"folder", "settings", kRendererCheck}))
            << command_line;
    }
}

TEST(Main, MissingRendererIsReportedInEveryModeButPreview) {
    for (const char* command_line : {"/S", "/C", "/a", ""}) {
        RecordingHost host;
        host.renderer_present = false;
        EXPECT_EQ(Main(command_line, host), MainResult::kEndProgram);
        EXPECT_EQ(host.calls,
                  Then(kInstanceChecks, {"folder", "settings", kRendererCheck,
                                         "message ヴェルモラ.dll が同じﾌｫﾙﾀﾞに見つかりません！"}))
            << command_line;
    }
}

TEST(Main, AStartThatLosesTheClaimEndsBeforeItsFormExists) {
    for (const char* command_line : {"/S", "/C", ""}) {
        RecordingHost host;
        host.claim_free = false;
        EXPECT_EQ(Main(command_line, host), MainResult::kEndProgram);
        EXPECT_EQ(host.calls,
                  Then(kInstanceChecks, {"folder", "settings", kRendererCheck, "claim"}))
            << command_line;
    }
}

TEST(HackMain, PreparesLikeTheSessionButLeavesTheCursorAndOtherSessionsAlone) {
    RecordingHost host;
    host.windows.insert("Velmora_Main");
    EXPECT_EQ(HackMain(host), MainResult::kKeepRunning);
    EXPECT_EQ(host.calls,
              (std::vector<std::string>{"folder", "settings", kRendererCheck, "claim", "session"}));
}

TEST(Main, RunningSessionOrOpenDialogEndsEveryModeAtOnce) {
    for (const char* title : {"Velmora_Main", "<ヴェルモラ>"}) {
        for (const char* command_line : {"/S", "/C", "/P 5", "", "/a"}) {
            RecordingHost host;
            host.windows.insert(title);
            EXPECT_EQ(Main(command_line, host), MainResult::kEndProgram);
            const auto expected = std::string(title) == "Velmora_Main"
                                      ? std::vector<std::string>{"find Velmora_Main"}
                                      : kInstanceChecks;
            EXPECT_EQ(host.calls, expected) << title << " " << command_line;
        }
    }
}

}  // namespace
}  // namespace velmora
