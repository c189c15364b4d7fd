#include <gtest/gtest.h>

#include <string>

#include "gfx/material.h"

// The indices at the edges of the material ranges and the panel's worked indices, each with
// its five flags in row order, Water first (the labels are checked in the editor's picture).
TEST(MaterialTable, IndicesCarryTheirFlagsInRowOrder)
{
    const std::pair<int, const char*> cases[] = {
        {0, "00000"},   {130, "00000"}, {1, "01011"},   {192, "10000"}, {195, "00111"}, {160, "01000"},
        {168, "00100"}, {3, "00100"},   {12, "00111"},  {76, "00100"},  {79, "01011"},  {103, "00111"},
        {202, "10000"}, {207, "00111"}, {208, "00100"}, {255, "00100"},
    };
    for (auto [index, flags] : cases) {
        std::string got;
        for (const MaterialRow& row : MaterialTable)
            got += char('0' + row.flags[index]);
        EXPECT_EQ(got, flags) << index;
    }
}
