#include <gtest/gtest.h>

#include <climits>

#include "util/numfmt.h"

TEST(NumberText, ShortestDecimalAndTwoUpperCaseHexDigitsOfTheLowByte)
{
    for (auto [n, text] : {std::pair<int, const char*>{0, "0"}, {-1, "-1"}, {1000, "1000"}, {INT32_MAX, "2147483647"},
                           {INT32_MIN, "-2147483648"}})
        EXPECT_EQ(IntToStr(n), text);
    for (auto [n, text] : {std::pair<int, const char*>{0, "00"}, {10, "0A"}, {255, "FF"}, {0x1A5, "A5"}})
        EXPECT_EQ(HexByte(n), text);
}
