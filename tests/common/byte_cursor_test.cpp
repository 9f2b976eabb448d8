#include "common/byte_cursor.h"

#include <gtest/gtest.h>

#include <array>

namespace velmora {
namespace {

TEST(ByteCursor, ReadsLittleEndianValuesInOrder) {
    const std::array<std::uint8_t, 11> bytes{0x42, 0x34, 0x12, 0x78, 0x56, 0x34,
                                             0x12, 0xFF, 0xFF, 0xFF, 0xFF};
    ByteCursor cursor(bytes);
    EXPECT_EQ(cursor.u8(), 0x42);
    EXPECT_EQ(cursor.u16(), 0x1234);
    EXPECT_EQ(cursor.u32(), 0x12345678u);
    EXPECT_EQ(cursor.i32(), -1);
    EXPECT_TRUE(cursor.at_end());
    EXPECT_FALSE(cursor.failed());
}

TEST(ByteCursor, ReadPastTheEndYieldsZeroAndStaysFailed) {
    const std::array<std::uint8_t, 3> bytes{1, 2, 3};
    ByteCursor cursor(bytes);
    EXPECT_EQ(cursor.u32(), 0u);
    EXPECT_TRUE(cursor.failed());
    // The failed read consumed nothing, and the failure is not forgotten by a later good read.
    EXPECT_EQ(cursor.position(), 0u);
    EXPECT_EQ(cursor.u8(), 1);
    EXPECT_TRUE(cursor.failed());
}

TEST(ByteCursor, SeekSkipAndTakeAreBounded) {
    const std::array<std::uint8_t, 4> bytes{1, 2, 3, 4};
    ByteCursor cursor(bytes);
    EXPECT_TRUE(cursor.seek(4));
    EXPECT_TRUE(cursor.at_end());
    EXPECT_FALSE(cursor.seek(5));
    EXPECT_EQ(cursor.position(), 4u);
    ASSERT_TRUE(cursor.seek(1));
    EXPECT_FALSE(cursor.skip(4));
    EXPECT_EQ(cursor.take(3).size(), 3u);
    EXPECT_TRUE(cursor.take(1).empty());
    EXPECT_TRUE(cursor.failed());
}

TEST(ByteCursor, TakeLineSplitsOnNewlineAndKeepsCarriageReturns) {
    const std::string text = "a=1\r\n\nlast";
    ByteCursor cursor(std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
    auto as_text = [](std::span<const std::uint8_t> line) {
        return std::string(line.begin(), line.end());
    };
    EXPECT_EQ(as_text(cursor.take_line()), "a=1\r");
    EXPECT_EQ(as_text(cursor.take_line()), "");
    EXPECT_EQ(as_text(cursor.take_line()), "last");
    EXPECT_TRUE(cursor.at_end());
    EXPECT_FALSE(cursor.failed());
}

}  // namespace
}  // namespace velmora
