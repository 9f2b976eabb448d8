#include "saver/command/command.h"

#include <gtest/gtest.h>

#include <array>
#include <ostream>

#include "tests/saver/command/recording_host.h"

namespace velmora {

std::ostream& operator<<(std::ostream& out, CommandState state) {
    return out << "state " << static_cast<int>(state);
}

std::ostream& operator<<(std::ostream& out, Face face) {
    return out << "face " << static_cast<int>(face);
}

namespace test {
namespace {

using enum CommandState;

enum class Event : std::uint8_t {
    Move,
    DownLeft,
    DownRight,
    DownMiddle,
    DownLeftAndRight,
    UpLeft,
    UpRight,
    UpMiddle,
    FocusIn,
    FocusOut,
    PollAway,
    PollOver,
};

const char* NameOf(Event event) {
    constexpr std::array names{"move",     "down left", "down right", "down middle",
                               "down 1+2", "up left",   "up right",   "up middle",
                               "focus in", "focus out", "poll away",  "poll over"};
    return names.at(static_cast<std::size_t>(event));
}

void Deliver(Command& command, Event event) {
    switch (event) {
        case Event::Move:
            return command.MouseMove();
        case Event::DownLeft:
            return command.MouseDown(kLeftButton);
        case Event::DownRight:
            return command.MouseDown(kRightButton);
        case Event::DownMiddle:
            return command.MouseDown(kMiddleButton);
        case Event::DownLeftAndRight:
            return command.MouseDown(kLeftButton + kRightButton);
        case Event::UpLeft:
            return command.MouseUp(kLeftButton);
        case Event::UpRight:
            return command.MouseUp(kRightButton);
        case Event::UpMiddle:
            return command.MouseUp(kMiddleButton);
        case Event::FocusIn:
            return command.GotFocus();
        case Event::FocusOut:
            return command.LostFocus();
        case Event::PollAway:
            return command.HoverPollTick(false);
        case Event::PollOver:
            return command.HoverPollTick(true);
    }
}

// Brings an initialised button into a state through the events a user would cause.
void Reach(LoadedCommand& loaded, CommandState state, bool held) {
    Command& command = loaded.command;
    if (state == Hover || state == FocusedHover) {
        command.MouseMove();
    }
    if (state == Focused || state == FocusedHover) {
        command.GotFocus();
    }
    if (held) {
        command.MouseDown(kLeftButton);
    }
    ASSERT_EQ(command.ButtonState(), state);
    ASSERT_EQ(command.ButtonHeld(), held);
    loaded.host.Clear();
}

struct Transition {
    CommandState from;
    bool held;
    Event event;
    CommandState to;
    std::optional<Face> painted;  // empty: nothing repainted
    bool click;
    bool held_after;
};

constexpr bool kHeld = true;
constexpr bool kFree = false;
constexpr bool kClick = true;
constexpr bool kNoClick = false;

const Transition kTransitions[] = {
    {Uninitialized, kFree, Event::Move, Uninitialized, {}, kNoClick, kFree},
    {Idle, kFree, Event::Move, Hover, Face::HighLight, kNoClick, kFree},
    {Hover, kFree, Event::Move, Hover, {}, kNoClick, kFree},
    {Focused, kFree, Event::Move, FocusedHover, Face::HighLightSelect, kNoClick, kFree},
    {Focused, kHeld, Event::Move, Focused, {}, kNoClick, kHeld},
    {FocusedHover, kFree, Event::Move, FocusedHover, {}, kNoClick, kFree},

    {Uninitialized, kFree, Event::DownLeft, Uninitialized, Face::Pressed, kNoClick, kHeld},
    {Idle, kFree, Event::DownLeft, Idle, Face::Pressed, kNoClick, kHeld},
    {Hover, kFree, Event::DownLeft, Hover, Face::Pressed, kNoClick, kHeld},
    {Focused, kFree, Event::DownLeft, Focused, Face::Pressed, kNoClick, kHeld},
    {FocusedHover, kFree, Event::DownLeft, FocusedHover, Face::Pressed, kNoClick, kHeld},
    {Hover, kFree, Event::DownRight, Hover, {}, kNoClick, kFree},
    {Hover, kFree, Event::DownMiddle, Hover, {}, kNoClick, kFree},
    {FocusedHover, kFree, Event::DownLeftAndRight, FocusedHover, {}, kNoClick, kFree},

    {Uninitialized, kFree, Event::UpLeft, Uninitialized, {}, kClick, kFree},
    {Idle, kHeld, Event::UpLeft, Idle, {}, kClick, kFree},
    {Hover, kHeld, Event::UpLeft, Hover, Face::Normal, kClick, kFree},
    {Focused, kHeld, Event::UpLeft, Focused, {}, kNoClick, kFree},
    {FocusedHover, kHeld, Event::UpLeft, FocusedHover, Face::HighLightSelect, kClick, kFree},
    {Hover, kHeld, Event::UpRight, Hover, {}, kClick, kHeld},
    {Idle, kFree, Event::UpRight, Idle, {}, kClick, kFree},
    {Focused, kFree, Event::UpRight, Focused, {}, kNoClick, kFree},
    {FocusedHover, kFree, Event::UpMiddle, FocusedHover, {}, kClick, kFree},

    {Uninitialized, kFree, Event::FocusIn, Focused, Face::Selected, kNoClick, kFree},
    {Idle, kFree, Event::FocusIn, Focused, Face::Selected, kNoClick, kFree},
    {Hover, kFree, Event::FocusIn, FocusedHover, Face::Pressed, kNoClick, kFree},
    {Focused, kFree, Event::FocusIn, Focused, Face::Selected, kNoClick, kFree},
    {FocusedHover, kFree, Event::FocusIn, Focused, Face::Selected, kNoClick, kFree},

    {Uninitialized, kFree, Event::FocusOut, Idle, Face::Normal, kNoClick, kFree},
    {Idle, kFree, Event::FocusOut, Idle, {}, kNoClick, kFree},
    {Hover, kFree, Event::FocusOut, Idle, Face::Normal, kNoClick, kFree},
    {Focused, kFree, Event::FocusOut, Idle, Face::Normal, kNoClick, kFree},
    {FocusedHover, kHeld, Event::FocusOut, Idle, Face::Normal, kNoClick, kHeld},

    {Uninitialized, kFree, Event::PollAway, Uninitialized, {}, kNoClick, kFree},
    {Idle, kFree, Event::PollAway, Idle, {}, kNoClick, kFree},
    {Hover, kFree, Event::PollAway, Idle, Face::Normal, kNoClick, kFree},
    {Focused, kFree, Event::PollAway, Focused, {}, kNoClick, kFree},
    {FocusedHover, kHeld, Event::PollAway, Focused, Face::Selected, kNoClick, kHeld},
    {Hover, kFree, Event::PollOver, Hover, {}, kNoClick, kFree},
    {FocusedHover, kFree, Event::PollOver, FocusedHover, {}, kNoClick, kFree},
};

TEST(CommandTransitions, FollowTheTable) {
    for (const Transition& row : kTransitions) {
        SCOPED_TRACE(testing::Message()
                     << row.from << (row.held ? " held, " : ", ") << NameOf(row.event));
        LoadedCommand loaded(row.from != Uninitialized);
        Reach(loaded, row.from, row.held);
        const std::optional<Face> face_before = loaded.command.shown_face();

        Deliver(loaded.command, row.event);

        EXPECT_EQ(loaded.command.ButtonState(), row.to);
        EXPECT_EQ(loaded.command.ButtonHeld(), row.held_after);
        EXPECT_EQ(loaded.host.clicks, row.click ? 1 : 0);
        if (row.painted) {
            EXPECT_EQ(loaded.command.shown_face(), row.painted);
            EXPECT_GT(loaded.host.refreshes, 0);
        } else {
            EXPECT_EQ(loaded.command.shown_face(), face_before);
            EXPECT_EQ(loaded.host.refreshes, 0) << "nothing was to be repainted";
        }
        EXPECT_TRUE(loaded.host.notified.empty()) << "events change no persisted property";
    }
}

TEST(CommandTransitions, WhileDisabledNothingChangesAndReenablingKeepsTheState) {
    for (const CommandState state : {Idle, Hover, Focused, FocusedHover}) {
        SCOPED_TRACE(testing::Message() << state);
        LoadedCommand loaded;
        Reach(loaded, state, kFree);
        loaded.command.SetEnabled(false);
        ASSERT_EQ(loaded.command.shown_face(), Face::Disable);
        loaded.host.Clear();
        for (const Event event : {Event::Move, Event::DownLeft, Event::UpLeft, Event::UpRight,
                                  Event::FocusIn, Event::FocusOut, Event::PollAway}) {
            Deliver(loaded.command, event);
        }
        EXPECT_EQ(loaded.command.ButtonState(), state);
        EXPECT_FALSE(loaded.command.ButtonHeld());
        EXPECT_EQ(loaded.command.shown_face(), Face::Disable);
        EXPECT_EQ(loaded.host.clicks, 0);
        EXPECT_EQ(loaded.host.refreshes, 0);
        EXPECT_FALSE(loaded.command.caption_label().enabled);

        loaded.command.SetEnabled(true);
        EXPECT_EQ(loaded.command.shown_face(), Face::Normal);
        EXPECT_EQ(loaded.command.ButtonState(), state);
        EXPECT_TRUE(loaded.command.caption_label().enabled);
    }
}

TEST(CommandClick, AUsualClickRaisesClickAfterTheRepaint) {
    LoadedCommand loaded;
    Command& command = loaded.command;
    command.MouseMove();
    command.GotFocus();
    EXPECT_EQ(command.shown_face(), Face::Pressed);
    command.MouseDown(kLeftButton);
    command.MouseUp(kLeftButton);
    EXPECT_EQ(loaded.host.clicks, 1);
    EXPECT_EQ(loaded.host.face_at_click, Face::HighLightSelect);
    command.HoverPollTick(false);
    EXPECT_EQ(command.ButtonState(), Focused);
    EXPECT_EQ(command.shown_face(), Face::Selected);
}

TEST(CommandClick, DraggingOutCountsOnlyUntilThePollHasSeenIt) {
    for (const bool poll_first : {false, true}) {
        SCOPED_TRACE(poll_first ? "poll before the release" : "release before the poll");
        LoadedCommand loaded;
        Reach(loaded, FocusedHover, kHeld);
        if (poll_first) {
            loaded.command.HoverPollTick(false);
        }
        loaded.command.MouseUp(kLeftButton);
        EXPECT_EQ(loaded.host.clicks, poll_first ? 0 : 1);
    }
}

TEST(CommandClick, WithoutAPriorMoveTheFocusSwallowsTheClick) {
    LoadedCommand loaded;
    loaded.command.GotFocus();
    loaded.command.MouseDown(kLeftButton);
    loaded.command.MouseUp(kLeftButton);
    EXPECT_EQ(loaded.command.ButtonState(), Focused);
    EXPECT_EQ(loaded.host.clicks, 0);
}

TEST(CommandClick, ALeftReleaseWithoutFocusShowsNormalAndClicks) {
    LoadedCommand loaded;
    Reach(loaded, Hover, kHeld);
    loaded.command.MouseUp(kLeftButton);
    EXPECT_EQ(loaded.command.shown_face(), Face::Normal);
    EXPECT_EQ(loaded.command.ButtonState(), Hover);
    EXPECT_EQ(loaded.host.clicks, 1);
    loaded.command.HoverPollTick(false);
    EXPECT_EQ(loaded.command.ButtonState(), Idle);
}

TEST(CommandLifecycle, InitializeStartsTheStateMachineAndTheHundredMillisecondPoll) {
    LoadedCommand loaded(false);
    EXPECT_EQ(loaded.command.ButtonState(), Uninitialized);
    EXPECT_FALSE(loaded.host.poll_interval);
    loaded.command.Initialize();
    EXPECT_EQ(loaded.command.ButtonState(), Idle);
    EXPECT_EQ(loaded.host.poll_interval, std::chrono::milliseconds(100));
}

TEST(CommandLifecycle, EveryResizeShowsTheEnabledFaceWhateverTheState) {
    LoadedCommand loaded;
    Reach(loaded, FocusedHover, kFree);
    loaded.command.Resize(41, 25);
    EXPECT_EQ(loaded.command.shown_face(), Face::Normal);
    EXPECT_EQ(loaded.command.ButtonState(), FocusedHover);
    EXPECT_EQ(loaded.command.image().width(), 41);
    loaded.command.SetEnabled(false);
    loaded.command.Resize(81, 25);
    EXPECT_EQ(loaded.command.shown_face(), Face::Disable);
}

TEST(CommandProperties, AFreshButtonIsEnabledByItsFirstReading) {
    RecordingHost host;
    Command command(host);
    command.Resize(81, 25);
    EXPECT_EQ(command.FirstRun(), 0);
    EXPECT_EQ(command.shown_face(), Face::Disable) << "the enabled flag starts False";
    EXPECT_TRUE(command.Enabled());
    EXPECT_EQ(command.FirstRun(), 1);
    EXPECT_EQ(command.shown_face(), Face::Normal);
    EXPECT_TRUE(host.notified.empty()) << "reading notifies nothing";
}

TEST(CommandProperties, ReadingEnabledRepaintsTheNormalFaceAndKeepsTheState) {
    for (const CommandState state : {Hover, Focused}) {
        LoadedCommand loaded;
        Reach(loaded, state, kFree);
        ASSERT_NE(loaded.command.shown_face(), Face::Normal);
        EXPECT_TRUE(loaded.command.Enabled());
        EXPECT_EQ(loaded.command.shown_face(), Face::Normal);
        EXPECT_EQ(loaded.command.ButtonState(), state);
    }
}

TEST(CommandProperties, FontColourOfANeverStoredButtonEndsBlack) {
    RecordingHost host;
    Command command(host);
    command.SetEnabled(true);
    command.SetFontColour(0x0000FF);
    EXPECT_EQ(command.caption_label().colour, 0u);

    LoadedCommand loaded;
    loaded.command.SetFontColour(0x0000FF);
    EXPECT_EQ(loaded.command.FontColour(), 0x0000FFu);
    EXPECT_EQ(loaded.host.notified, std::vector<std::string>{"FontColour"});
}

TEST(CommandProperties, FontColourRefusesWhatIsNotAColour) {
    LoadedCommand loaded;
    loaded.command.SetFontColour(0x80000012);
    EXPECT_EQ(loaded.command.caption_label().colour, 0u);
    EXPECT_TRUE(loaded.host.notified.empty());
    EXPECT_EQ(loaded.command.shown_face(), Face::Normal);
}

TEST(CommandProperties, EverySetterNotifiesItsOwnName) {
    LoadedCommand loaded;
    Command& command = loaded.command;
    command.SetCaption("設定");
    FontDescription bold = DesignFontDescription();
    bold.bold = true;
    command.SetFont(bold);
    command.SetFontColour(0x123456);
    command.SetEnabled(true);
    command.SetVisible(0);
    EXPECT_EQ(loaded.host.notified,
              (std::vector<std::string>{"Caption", "Font", "FontColour", "Enabled", "Visible"}));
    EXPECT_EQ(command.Caption(), "設定");
    EXPECT_EQ(command.Font(), bold);
}

TEST(CommandProperties, CaptionChangesDoNotRepaint) {
    LoadedCommand loaded;
    loaded.command.SetCaption("ｷｬﾝｾﾙ");
    EXPECT_EQ(loaded.host.refreshes, 0);
    EXPECT_EQ(loaded.command.caption_label().text, "ｷｬﾝｾﾙ");
}

TEST(CommandProperties, VisibleReadsBackAsZeroOr255) {
    LoadedCommand loaded;
    loaded.command.SetVisible(0);
    EXPECT_FALSE(loaded.command.opaque());
    loaded.host.Clear();
    EXPECT_EQ(loaded.command.Visible(), 0);
    EXPECT_EQ(loaded.host.refreshes, 0) << "reading a transparent button repaints nothing";
    loaded.command.SetVisible(7);
    EXPECT_TRUE(loaded.command.opaque());
    EXPECT_EQ(loaded.command.Visible(), 255);
}

}  // namespace
}  // namespace test
}  // namespace velmora
