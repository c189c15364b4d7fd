#include <gtest/gtest.h>

#include <climits>

#include "util/numfmt.h"

TEST(NumberText, ShortestDecimalAndTwoUpperCaseHexDigitsOfTheLowByte)
{
    EXPECT_EQ(IntToStr(0), "0");
    EXPECT_EQ(IntToStr(-1), "-1");
    EXPECT_EQ(IntToStr(1000), "1000");
    EXPECT_EQ(IntToStr(INT32_MAX), "2147483647");
    EXPECT_EQ(IntToStr(INT32_MIN), "-2147483648");
    EXPECT_EQ(HexByte(0), "00");
    EXPECT_EQ(HexByte(10), "0A");
    EXPECT_EQ(HexByte(255), "FF");
    EXPECT_EQ(HexByte(0x1A5), "A5");
}
