#include <gtest/gtest.h>

#include <climits>

#include "util/numfmt.h"

TEST(NumberText, ShortestDecimalAndTwoUpperCaseHexDigitsOfTheLowByte)
{
    using Case = std::pair<int32_t, const char*>;
    for (auto [n, text] : {Case{0, "0"}, {-1, "-1"}, {1000, "1000"}, {INT32_MIN, "-2147483648"}})
        EXPECT_EQ(IntToStr(n), text);
    EXPECT_EQ(HexByte(0x1A5) + HexByte(10), "A50A");
}
