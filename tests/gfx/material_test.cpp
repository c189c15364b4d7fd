#include <gtest/gtest.h>

#include <string>

#include "gfx/material.h"

namespace {

// The five flags of one index as a string, Water first: "01011" etc.
std::string FlagsOf(int index)
{
    std::string flags;
    for (const MaterialRow& row : MaterialTable)
        flags += row.flags[index] ? '1' : '0';
    return flags;
}

}  // namespace

TEST(MaterialTable, RowsAreInOrderWithTheirLabels)
{
    EXPECT_STREQ(MaterialTable[0].label, "Water");
    EXPECT_STREQ(MaterialTable[1].label, "Air");
    EXPECT_STREQ(MaterialTable[2].label, "Worms collide");
    EXPECT_STREQ(MaterialTable[3].label, "Projectiles collide");
    EXPECT_STREQ(MaterialTable[4].label, "Diggable");
    EXPECT_EQ(MaterialTable[0].flags, materialWater);
    EXPECT_EQ(MaterialTable[1].flags, materialAir);
    EXPECT_EQ(MaterialTable[2].flags, materialWormsCollide);
    EXPECT_EQ(MaterialTable[3].flags, materialProjectilesCollide);
    EXPECT_EQ(MaterialTable[4].flags, materialDiggable);
}

TEST(MaterialTable, IndicesAtTheRangeEdgesCarryTheirFlags)
{
    EXPECT_EQ(FlagsOf(0), "00000");
    EXPECT_EQ(FlagsOf(130), "00000");
    EXPECT_EQ(FlagsOf(1), "01011");
    EXPECT_EQ(FlagsOf(192), "10000");
    EXPECT_EQ(FlagsOf(195), "00111");
    EXPECT_EQ(FlagsOf(160), "01000");
    EXPECT_EQ(FlagsOf(168), "00100");
    EXPECT_EQ(FlagsOf(3), "00100");
    EXPECT_EQ(FlagsOf(12), "00111");
    EXPECT_EQ(FlagsOf(76), "00100");
    EXPECT_EQ(FlagsOf(79), "01011");
    EXPECT_EQ(FlagsOf(103), "00111");
    EXPECT_EQ(FlagsOf(202), "10000");
    EXPECT_EQ(FlagsOf(207), "00111");
    EXPECT_EQ(FlagsOf(208), "00100");
    EXPECT_EQ(FlagsOf(255), "00100");
    for (const MaterialRow& row : MaterialTable)
        for (int i = 0; i < 256; ++i)
            ASSERT_LE(row.flags[i], 1) << row.label << " " << i;
}
