#include <gtest/gtest.h>

#include "gfx/material.h"

// The indices at the edges of the material ranges and the panel's worked indices, each with
// its five flags in row order, Water first (the labels are checked in the editor's picture).
TEST(MaterialTable, IndicesCarryTheirFlagsInRowOrder)
{
    std::string got;
    for (int index : {0, 130, 1, 192, 195, 160, 168, 3, 12, 76, 79, 103, 202, 207, 208, 255}) {
        got += ' ';
        for (const MaterialRow& row : MaterialTable)
            got += char('0' + row.flags[index]);
    }
    EXPECT_EQ(got, " 00000 00000 01011 10000 00111 01000 00100 00100 00111 00100 01011 00111 10000 00111 00100 00100");
}
