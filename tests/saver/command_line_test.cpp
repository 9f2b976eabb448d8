#include "saver/command_line.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

struct CommandLineCase {
    std::string text;
    std::string mode;
    std::int32_t handle;
};

class CommandLineTable : public testing::TestWithParam<CommandLineCase> {};

TEST_P(CommandLineTable, ModeLetterAndHandle) {
    const auto& c = GetParam();
    EXPECT_EQ(ModeLetter(c.text), c.mode) << '"' << c.text << '"';
    EXPECT_EQ(PreviewHandle(c.text), c.handle) << '"' << c.text << '"';
}

INSTANTIATE_TEST_SUITE_P(
    Switches, CommandLineTable,
    testing::Values(CommandLineCase{"/s", "S", 0}, CommandLineCase{"/S", "S", 0},
                    CommandLineCase{"-S", "S", 0}, CommandLineCase{"/S:123", "S", 123},
                    // A blank first makes the slash the mode letter.
                    CommandLineCase{" /S", "/", 0}, CommandLineCase{"", "", 0},
                    CommandLineCase{"/", "", 0}, CommandLineCase{"/c", "C", 0},
                    CommandLineCase{"/c:1234", "C", 1234}, CommandLineCase{"/p 1234", "P", 1234},
                    CommandLineCase{"/p:1234", "P", 1234}, CommandLineCase{"/P", "P", 0},
                    CommandLineCase{"/a", "A", 0}));

INSTANTIATE_TEST_SUITE_P(
    Handles, CommandLineTable,
    testing::Values(CommandLineCase{"/p   42", "P", 42},
                    CommandLineCase{"/p 1 2 3", "P", 123},  // blanks inside are ignored
                    CommandLineCase{"/p 77abc", "P", 77}, CommandLineCase{"/p abc", "P", 0},
                    CommandLineCase{"/p -5", "P", -5},
                    CommandLineCase{"/p 2147483647", "P", 2147483647},
                    CommandLineCase{"/p -2147483648", "P", -2147483647 - 1},
                    // A number that does not fit is no handle at all.
                    CommandLineCase{"/p 2147483648", "P", 0},
                    CommandLineCase{"/p 99999999999999999999999999", "P", 0}));

TEST(ModeLetter, CountsCharactersNotBytes) {
    // "é" is two bytes; the second character is "s".
    EXPECT_EQ(ModeLetter("\xC3\xA9s"), "S");
    // A full-width second character is returned whole and matches no switch.
    EXPECT_EQ(ModeLetter("/\xEF\xBC\xB3"), "\xEF\xBC\xB3");
    // A stray byte that starts no character counts as one character.
    EXPECT_EQ(ModeLetter("\xFFp 9"), "P");
    EXPECT_EQ(PreviewHandle("\xFFp 9"), 9);
}

TEST(CommandLineText, JoinsArgumentsWithSingleSpaces) {
    const char* argv[] = {"prog", "/p", "1234", ""};
    EXPECT_EQ(CommandLineText(3, argv), "/p 1234");
    EXPECT_EQ(CommandLineText(4, argv), "/p 1234 ");
    EXPECT_EQ(CommandLineText(1, argv), "");
}

TEST(CommandLine, LongAndHostileTextIsHandled) {
    std::string text = "/p " + std::string(100000, '9');
    EXPECT_EQ(PreviewHandle(text), 0);
    text = "/s" + std::string(100000, '\xFF');
    EXPECT_EQ(ModeLetter(text), "S");
}

}  // namespace
}  // namespace velmora
