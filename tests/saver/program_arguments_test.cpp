#include "saver/program_arguments.h"

#include <gtest/gtest.h>

#include "common/window_id.h"

namespace velmora {
namespace {

using Kind = ProgramRequest::Kind;

TEST(WindowId, ReadsHexAndDecimalAndNothingElse) {
    EXPECT_EQ(ParseWindowId("0x1e00007"), 0x1e00007u);
    EXPECT_EQ(ParseWindowId("0X1E00007"), 0x1e00007u);
    EXPECT_EQ(ParseWindowId("31457287"), 31457287u);
    for (const char* text : {"", "0x", "0", "-5", "+5", "12abc", "0x1g", " 12", "0x20000000"}) {
        EXPECT_FALSE(ParseWindowId(text)) << text;
    }
    EXPECT_EQ(WindowDesktopPictureName(0x1e00007), "Velmora1-0x1e00007.bmp");
}

TEST(ProgramArguments, DaemonOptionsChooseTheWindow) {
    const struct {
        std::vector<std::string> arguments;
        const char* environment;
        unsigned long window;
    } cases[] = {
        {{"--window-id", "0x400007"}, nullptr, 0x400007},
        {{"-window-id", "4194311"}, "0x123", 4194311},
        {{"--root"}, "0x600011", 0x600011},
        {{"-root"}, nullptr, 0},
        {{"-root"}, "nonsense", 0},
        {{}, "0x600011", 0x600011},
    };
    for (const auto& c : cases) {
        const ProgramRequest request = ReadProgramArguments(c.arguments, c.environment);
        EXPECT_EQ(request.kind, Kind::kHack) << testing::PrintToString(c.arguments);
        EXPECT_EQ(request.hack_window, c.window) << testing::PrintToString(c.arguments);
    }
}

TEST(ProgramArguments, SlashSwitchesKeepTheirCommandLine) {
    for (const auto& [arguments, text] :
         std::vector<std::pair<std::vector<std::string>, std::string>>{{{"/S"}, "/S"},
                                                                       {{"/p", "1234"}, "/p 1234"},
                                                                       {{"-S"}, "-S"},
                                                                       {{"-s:1"}, "-s:1"},
                                                                       {{}, ""}}) {
        const ProgramRequest request = ReadProgramArguments(arguments, nullptr);
        EXPECT_EQ(request.kind, Kind::kScreenSaverSwitch) << text;
        EXPECT_EQ(request.command_line, text);
    }
}

TEST(ProgramArguments, HelpVersionAndMistakes) {
    EXPECT_EQ(ReadProgramArguments({"/S", "--help"}, nullptr).kind, Kind::kHelp);
    EXPECT_EQ(ReadProgramArguments({"--version"}, "0x5").kind, Kind::kVersion);
    for (const std::vector<std::string>& arguments :
         std::vector<std::vector<std::string>>{{"--fullscreen"},
                                               {"/S", "--bogus"},
                                               {"--window-id"},
                                               {"--window-id", "root"},
                                               {"--window-id", "0x5", "/S"},
                                               {"--root", "/S"},
                                               {"/S", "--root"}}) {
        const ProgramRequest request = ReadProgramArguments(arguments, nullptr);
        EXPECT_EQ(request.kind, Kind::kUsageError) << testing::PrintToString(arguments);
        EXPECT_FALSE(request.error.empty());
    }
    const std::string usage = UsageText("velmora");
    for (const char* mention : {"/S", "/C", "/P", "--window-id", "--root", "VELMORA_CDROM"}) {
        EXPECT_NE(usage.find(mention), std::string::npos) << mention;
    }
}

}  // namespace
}  // namespace velmora
