#include "saver/ui/settings_choices.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

TEST(FormatTrackNumber, ShowsTheDigitsAndNothingForZero) {
    EXPECT_EQ(FormatTrackNumber(0), "");
    EXPECT_EQ(FormatTrackNumber(7), "7");
    EXPECT_EQ(FormatTrackNumber(45), "45");
    EXPECT_EQ(FormatTrackNumber(123), "123") << "## is a least, not a most";
    EXPECT_EQ(FormatTrackNumber(-3), "-3");
}

TEST(RepeatTrackEntries, AnEmptyEntryThenTracksOneToThirty) {
    const auto entries = RepeatTrackEntries();
    ASSERT_EQ(entries.size(), 31u);
    EXPECT_EQ(entries.front(), "");
    EXPECT_EQ(entries[1], "1");
    EXPECT_EQ(entries.back(), "30");
}

TEST(ControlsForKind, EachRowSelectsItsMarkAndEnablesItsOwnControl) {
    struct Case {
        std::int16_t kind;
        KindControls expected;
    };
    const Case cases[] = {
        {0, {0, false, false}},
        {1, {1, true, false}},
        {2, {2, false, true}},
        // A hand-edited file: no row is selected and neither control takes input.
        {5, {std::nullopt, false, false}},
        {-1, {std::nullopt, false, false}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ControlsForKind(c.kind), c.expected) << "kind " << c.kind;
    }
}

TEST(DialogPosition, CentredAcrossAndAThirdDown) {
    EXPECT_EQ(DialogPosition(1024, 768, 492, 246), (WindowPosition{266, 174}));
    EXPECT_EQ(DialogPosition(1025, 770, 492, 246), (WindowPosition{266, 174}))
        << "the division truncates";
    EXPECT_EQ(DialogPosition(400, 200, 492, 246), (WindowPosition{-46, -15}))
        << "a screen smaller than the window truncates towards zero";
}

TEST(ZoomPointAt, TakesTheCursorAndZeroForWhatDoesNotFitSixteenBits) {
    EXPECT_EQ(ZoomPointAt(100, 50).ZoomX, 100);
    EXPECT_EQ(ZoomPointAt(100, 50).ZoomY, 50);
    EXPECT_EQ(ZoomPointAt(-5, -7).ZoomX, -5);
    EXPECT_EQ(ZoomPointAt(40000, 10).ZoomX, 0);
    EXPECT_EQ(ZoomPointAt(40000, 10).ZoomY, 10);
    EXPECT_EQ(ZoomPointAt(12, -40000).ZoomY, 0);
}

}  // namespace
}  // namespace velmora
