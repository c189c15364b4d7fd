#include <gtest/gtest.h>

#include <climits>

#include "util/numfmt.h"

TEST(IntToStr, GivesShortestDecimalWithSignOnlyForNegatives)
{
    EXPECT_EQ(IntToStr(0), "0");
    EXPECT_EQ(IntToStr(-1), "-1");
    EXPECT_EQ(IntToStr(255), "255");
    EXPECT_EQ(IntToStr(1000), "1000");
    EXPECT_EQ(IntToStr(INT32_MAX), "2147483647");
    EXPECT_EQ(IntToStr(INT32_MIN), "-2147483648");
}

TEST(HexByte, AlwaysTwoUpperCaseDigitsOfTheLowByte)
{
    EXPECT_EQ(HexByte(65), "41");
    EXPECT_EQ(HexByte(10), "0A");
    EXPECT_EQ(HexByte(11), "0B");
    EXPECT_EQ(HexByte(255), "FF");
    EXPECT_EQ(HexByte(0), "00");
    EXPECT_EQ(HexByte(256), "00");
    EXPECT_EQ(HexByte(0x1A5), "A5");
}
