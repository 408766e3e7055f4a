// The shared generator and the numeric conversions.
#include <gtest/gtest.h>

#include "picture_test_support.h"

TEST(RandomTest, SequenceFromSeedOneIsTheClassicOne)
{
    SeedRandom(1);
    const int expected[] = {41, 18467, 6334, 26500, 19169, 15724, 11478, 29358};
    for (int value : expected)
        EXPECT_EQ(value, DrawRandom());
}

TEST(RandomTest, DrawsStayWithinFifteenBitsAcrossTheStateWrap)
{
    SeedRandom(0xFFFFFFF0u);
    ReferenceDraws reference{0xFFFFFFF0u};
    for (int i = 0; i < 100000; i++) {
        int draw = DrawRandom();
        ASSERT_EQ(reference.Next(), draw);
        ASSERT_GE(draw, 0);
        ASSERT_LE(draw, 32767);
    }
}

TEST(RandomTest, CurrentTimeIsWholeSecondsSince1970)
{
    OffscreenReset();
    OffscreenSetClock(0);
    EXPECT_EQ(0u, CurrentTimeSeconds());
    OffscreenSetClock(1765086000u);
    EXPECT_EQ(1765086000u, CurrentTimeSeconds());
    OffscreenSetClock(0xFFFFFFFFu);
    EXPECT_EQ(0xFFFFFFFFu, CurrentTimeSeconds());
    // Every day boundary, leap days and century years included, up to 2106.
    for (uint64_t seconds = 0; seconds <= 0xFFFFFFFFu; seconds += 86400 - 1) {
        OffscreenSetClock((uint32_t)seconds);
        ASSERT_EQ((uint32_t)seconds, CurrentTimeSeconds());
    }
}

TEST(RandomTest, TruncationGoesTowardZeroAndKeepsLowBits)
{
    EXPECT_EQ(2, TruncateToInt32(2.9999998));
    EXPECT_EQ(-2, TruncateToInt32(-2.9999998));
    EXPECT_EQ(0, TruncateToInt32(-0.5));
    EXPECT_EQ(2147483647, TruncateToInt32(2147483647.9));
    EXPECT_EQ(INT32_MIN, TruncateToInt32(-2147483648.9));
    // Out of range and NaN give the x86 "integer indefinite", never undefined behaviour.
    EXPECT_EQ(INT32_MIN, TruncateToInt32(2147483648.0));
    EXPECT_EQ(INT32_MIN, TruncateToInt32(-1e300));
    EXPECT_EQ(INT32_MIN, TruncateToInt32(0.0 / 0.0));

    EXPECT_EQ(-1, StoreInt16(65535));
    EXPECT_EQ(0, StoreInt16(65536));
    EXPECT_EQ(-32768, StoreInt16(32768));
    EXPECT_EQ(255, StoreByte(255));
    EXPECT_EQ(0, StoreByte(256));
    EXPECT_EQ(255, StoreByte(-1));
}
