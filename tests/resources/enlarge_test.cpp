// The worked values of the enlargement, by name; every other pattern and blend is checked
// against a plain evaluation of the rules in enlarge_reference_test.cpp.
#include <gtest/gtest.h>

#include <initializer_list>
#include <utility>

#include "resources/enlarge.h"
#include "tests/gfx/engine_fixture.h"

namespace {

Pixel Join(int r, int g, int b, int flags)
{
    return Pixel((r << 11) | (g << 6) | b | flags);
}

// The weighted blend of (weight, index) pairs, flags of every contributor included.
Pixel Blend(std::initializer_list<std::pair<int, int>> parts)
{
    int r = 0, g = 0, b = 0, w = 0, flags = 0;
    for (auto [weight, index] : parts) {
        Pixel q = PaletteColours[index];
        r += weight * (q >> 11), g += weight * ((q >> 6) & 31), b += weight * (q & 31), w += weight;
        flags |= q & 0x21;
    }
    return Join(r / w, g / w, b / w, flags);
}

class EnlargeTest : public CanvasTest {
protected:
    void SetUp() override
    {
        CanvasTest::SetUp();
        PaletteColours[0] = 0x0020;
        PaletteColours[5] = Join(20, 10, 4, 0x20);
        PaletteColours[6] = Join(3, 30, 17, 0x01);  // blue 17 holds the air bit
        PaletteColours[7] = Join(31, 0, 9, 0x20);
    }
};

}  // namespace

TEST(CornerTable, TellingEntries)
{
    const int entries[][2] = {{0, 0},  {511, 15}, {16, 15}, {495, 0}, {11, 8},
                              {139, 0}, {79, 8},   {19, 13}, {22, 14}, {25, 11}};
    for (auto [pattern, entry] : entries)
        EXPECT_EQ(CornerTable[pattern], entry) << "pattern " << pattern;
}

TEST_F(EnlargeTest, WorkedCases)
{
    using Rows = std::vector<std::vector<int>>;
    const Rows square = {{5, 5, 5}, {5, 5, 5}, {5, 5, 5}};
    const Pixel key = PaletteColours[0], a = PaletteColours[5], b = PaletteColours[6];
    // (qx, qy) is the quarter in the enlarged picture, two per cell in each direction.
    struct Case {
        const char* what;
        Rows cells;
        bool glyph;
        int qx, qy;
        Pixel expected;
    } cases[] = {
        {"a lone pixel keeps its exact colour", {{5}}, false, 1, 1, a},
        {"a pair: top-right of the left pixel is (24a + 16b) / 40", {{5, 6}}, false, 1, 0, Blend({{24, 5}, {16, 6}})},
        {"a pair: top-left of the left pixel is (24a + b) / 25", {{5, 6}}, false, 0, 0, Blend({{24, 5}, {1, 6}})},
        {"a pair as a glyph keeps each pixel's colour", {{5, 6}}, true, 1, 0, a},
        {"a pair as a glyph keeps each pixel's colour", {{5, 6}}, true, 2, 1, b},
        {"a square loses its outer corners", square, false, 5, 0, key},
        {"a square loses its outer corners as a glyph too", square, true, 0, 5, key},
        {"an edge's middle keeps its quarters", square, false, 2, 0, a},
        {"an inner corner fills with its neighbours' blend", {{5, 6}, {7, 0}}, false, 2, 2,
         Blend({{2, 5}, {4, 6}, {4, 7}})},
        {"an inner corner stays the key's own colour in a glyph", {{5, 6}, {7, 0}}, true, 2, 2, key},
    };
    for (const Case& c : cases) {
        FillBox8(99, 2599, 10, 10, 0);
        PutRows8(100, 2600, c.cells);
        EnlargeSprite(100, 2600, 10, 2600, uint16_t(c.cells[0].size()), uint16_t(c.cells.size()), 0, c.glyph);
        EXPECT_EQ(Hi(10 + c.qx, 2600 + c.qy), c.expected) << c.what;
    }
}
