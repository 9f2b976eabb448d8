#include "saver/command/property_store.h"

#include <gtest/gtest.h>

#include "saver/command/command.h"
#include "tests/saver/command/recording_host.h"

namespace velmora::test {
namespace {

FontDescription Tahoma() {
    return {.face = "Tahoma", .points = 8.25};
}

TEST(PropertyStore, KeepsOnlyValuesThatDifferFromTheirDefault) {
    PropertyStore store;
    store.Write("Caption", std::string("設定"), std::string("Command"));
    store.Write("FirstRun", std::string("1"), std::string("1"));
    EXPECT_TRUE(store.Contains("Caption"));
    EXPECT_FALSE(store.Contains("FirstRun"));
    store.Write("Caption", std::string("Command"), std::string("Command"));
    EXPECT_FALSE(store.Contains("Caption")) << "a value back at its default is dropped";
    EXPECT_EQ(store.Read("Caption", std::string("x")), PropertyValue(std::string("x")));
}

TEST(PropertyStore, ConvertsStoredTextOrRefuses) {
    using S = std::string;
    EXPECT_EQ(AsBoolean(S("True")), true);
    EXPECT_EQ(AsBoolean(S(" false ")), false);
    EXPECT_EQ(AsBoolean(S("-1")), true);
    EXPECT_EQ(AsBoolean(S("0")), false);
    EXPECT_EQ(AsBoolean(S("maybe")), std::nullopt);
    EXPECT_EQ(AsBoolean(Tahoma()), std::nullopt);
    EXPECT_EQ(AsUnsigned8(S("255")), 255);
    EXPECT_EQ(AsUnsigned8(S("256")), std::nullopt);
    EXPECT_EQ(AsUnsigned8(S("-1")), std::nullopt);
    EXPECT_EQ(AsUnsigned8(S("1x")), std::nullopt);
    EXPECT_EQ(AsUnsigned8(S("")), std::nullopt);
    EXPECT_EQ(AsSigned16(S("-32768")), -32768);
    EXPECT_EQ(AsSigned16(S("32768")), std::nullopt);
    EXPECT_EQ(AsUnsigned32(S("4294967295")), 4294967295u);
    EXPECT_EQ(AsUnsigned32(S("99999999999999999999999")), std::nullopt);
    EXPECT_EQ(AsText(Tahoma()), std::nullopt);
    EXPECT_EQ(AsFont(S("Tahoma")), std::nullopt);
}

TEST(CommandPersistence, AnEmptyStoreGivesEveryDefault) {
    RecordingHost host;
    Command command(host);
    command.ReadProperties({}, Tahoma());
    EXPECT_EQ(command.Caption(), "Command");
    EXPECT_EQ(command.Font(), Tahoma()) << "the ambient font, all of it";
    EXPECT_EQ(command.FirstRun(), 1);
    EXPECT_EQ(command.caption_label().colour, 0u);
    EXPECT_TRUE(command.opaque());
    EXPECT_EQ(command.shown_face(), Face::Normal) << "enabled, then the face refreshed";
    EXPECT_TRUE(host.notified.empty());
}

TEST(CommandPersistence, StoredValuesAreApplied) {
    RecordingHost host;
    Command command(host);
    command.ReadProperties({{"Enabled", std::string("False")},
                            {"Caption", std::string("ｷｬﾝｾﾙ")},
                            {"Font", DesignFontDescription()},
                            {"FirstRun", std::string("1")},
                            {"FontColour", std::string("255")},
                            {"Visible", std::string("0")}},
                           Tahoma());
    EXPECT_EQ(command.Caption(), "ｷｬﾝｾﾙ");
    EXPECT_EQ(command.Font(), DesignFontDescription());
    EXPECT_EQ(command.caption_label().colour, 255u);
    EXPECT_FALSE(command.opaque());
    command.Resize(81, 25);
    EXPECT_EQ(command.shown_face(), Face::Disable);
}

TEST(CommandPersistence, ValuesThatDoNotConvertAreSkipped) {
    RecordingHost host;
    Command command(host);
    command.Resize(81, 25);
    command.ReadProperties({{"Enabled", std::string("maybe")},
                            {"Caption", Tahoma()},
                            {"Font", std::string("Tahoma")},
                            {"FirstRun", std::string("300")},
                            {"FontColour", std::string("2147483648")},
                            {"Visible", std::string("2")}},
                           Tahoma());
    EXPECT_EQ(command.shown_face(), Face::Disable) << "the enabled flag kept its False";
    EXPECT_EQ(command.FirstRun(), 0);
    EXPECT_EQ(command.Caption(), "Command");
    EXPECT_EQ(command.Font(), DesignFontDescription());
    EXPECT_EQ(command.caption_label().colour, 0u);
    EXPECT_TRUE(command.opaque());
}

TEST(CommandPersistence, ADefaultButtonStoresNothing) {
    LoadedCommand loaded;
    PropertyStore store;
    loaded.command.WriteProperties(store, DesignFontDescription());
    EXPECT_EQ(store.size(), 0u);
    EXPECT_EQ(loaded.command.shown_face(), Face::Normal);
}

TEST(CommandPersistence, EveryPropertySurvivesASaveAndReload) {
    LoadedCommand saved;
    FontDescription font = DesignFontDescription();
    font.points = 12;
    font.bold = true;
    saved.command.SetCaption("Command1");
    saved.command.SetFont(font);
    saved.command.SetFontColour(0x00ABCDEF);
    saved.command.SetVisible(0);
    saved.command.SetEnabled(false);
    PropertyStore store;
    saved.command.WriteProperties(store, Tahoma());
    EXPECT_EQ(store.size(), 5u) << "all but FirstRun differ from their defaults";

    RecordingHost host;
    Command loaded(host);
    loaded.ReadProperties(store, Tahoma());
    EXPECT_EQ(loaded.Caption(), "Command1");
    EXPECT_EQ(loaded.Font(), font) << "size and weight come back, not only the face name";
    EXPECT_EQ(loaded.caption_label().colour, 0x00ABCDEFu);
    EXPECT_FALSE(loaded.opaque());
    EXPECT_EQ(loaded.FirstRun(), 1);
    EXPECT_FALSE(loaded.Enabled());
}

TEST(CommandPersistence, TheDesignCaptionIsTheDefaultBothWays) {
    LoadedCommand saved;
    saved.command.SetCaption("Command");
    PropertyStore store;
    saved.command.WriteProperties(store, DesignFontDescription());
    EXPECT_FALSE(store.Contains("Caption"));
    RecordingHost host;
    Command loaded(host);
    loaded.ReadProperties(store, DesignFontDescription());
    EXPECT_EQ(loaded.Caption(), "Command");
}

}  // namespace
}  // namespace velmora::test
