// The enlargement compared, pixel for pixel, with a plain evaluation of its rules: the corner
// rule per quarter and the weighted blend per neighbour, with no tables and no shortcuts; and
// its worked values by name.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "gfx/primitives.h"
#include "helpers.h"
#include "resources/enlarge.h"

namespace {

const int Weights[4][3][3] = {  // [quarter][row dy+1][column dx+1]
    {{2, 4, 1}, {4, 24, 1}, {1, 1, 1}},   // top-left
    {{1, 2, 2}, {2, 24, 16}, {2, 2, 1}},  // top-right
    {{1, 2, 2}, {2, 24, 2}, {2, 16, 1}},  // bottom-left
    {{1, 1, 2}, {1, 24, 8}, {2, 8, 4}},   // bottom-right
};

int ReadIndex(long x, long y)
{
    long address = y * CanvasWidth + x;
    return address < 0 || address >= long(CanvasWidth) * IndexCanvasHeight ? 0 : IndexCanvas[address];
}

// key[dx + 1][dy + 1]
bool QuarterIsKey(const bool key[3][3], int sx, int sy)
{
    bool s = key[1][1];
    auto D = [&](int dx, int dy) { return key[dx + 1][dy + 1] != s; };
    int ex = 2 * sx - 1, ey = 2 * sy - 1;
    bool flip = D(ex, 0) && D(0, ey) && D(ex, ey) &&
                ((!D(-ex, 0) && !D(0, -ey)) ||
                 (D(0, -ey) && D(ex, -ey) && D(-ex, -ey) && !D(-ex, 0) && !D(-ex, ey)) ||
                 (D(-ex, 0) && D(-ex, ey) && D(-ex, -ey) && !D(0, -ey) && !D(ex, -ey)));
    return flip ? !s : s;
}

Pixel ReferenceQuarter(int ix, int iy, ColourIndex keyColour, bool glyph, int sx, int sy)
{
    bool key[3][3];
    int value[3][3];
    for (int dx = -1; dx <= 1; ++dx)
        for (int dy = -1; dy <= 1; ++dy) {
            value[dx + 1][dy + 1] = ReadIndex(ix + dx, iy + dy);
            key[dx + 1][dy + 1] = value[dx + 1][dy + 1] == keyColour;
        }
    if (QuarterIsKey(key, sx, sy))
        return PaletteColours[keyColour];
    // A glyph takes its own cell's colour; a sprite blends its neighbours that are not key.
    unsigned r = 0, g = 0, b = 0, f = 0, w = 0;
    for (int dx = -1; dx <= 1; ++dx)
        for (int dy = -1; dy <= 1; ++dy) {
            if (glyph ? dx != 0 || dy != 0 : key[dx + 1][dy + 1])
                continue;
            Pixel q = PaletteColours[value[dx + 1][dy + 1]];
            unsigned weight = glyph ? 1 : unsigned(Weights[sy * 2 + sx][dy + 1][dx + 1]);
            r += weight * (q >> 11), g += weight * ((q >> 6) & 31), b += weight * (q & 31), w += weight;
            f |= q & 0x21;
        }
    return w == 0 ? 0 : Pixel((r / w) << 11 | (g / w) << 6 | b / w | f);
}

using EnlargeReferenceTest = CanvasTest;

TEST_F(EnlargeReferenceTest, MatchesThePlainRulesOnRandomSpritesAnywhereOnTheCanvas)
{
    std::mt19937 random(20261206);
    // (x, y, w, h): canvas corners and edges included, where reads fall off the canvas.
    const int places[][4] = {{0, 0, 7, 5}, {1017, 3067, 7, 5}, {1020, 100, 4, 9}, {0, 2560, 12, 12},
                             {500, 3000, 30, 20}, {3, 3071, 5, 1}};
    for (int round = 0; round < 40; ++round) {
        for (Pixel& p : PaletteColours)
            p = Pixel(random());
        for (int i = 0; i < CanvasWidth * 8; ++i)
            IndexCanvas[random() % (size_t(CanvasWidth) * IndexCanvasHeight)] = ColourIndex(random() % 6);
        const auto [x, y, w, h] = places[round % 6];
        ColourIndex keyColour = ColourIndex(random() % 4);
        bool glyph = round % 3 == 0;
        // Few colours, so that key areas with corners and edges are common.
        for (int j = 0; j < h; ++j)
            for (int i = 0; i < w; ++i)
                Index(x + i, y + j) = ColourIndex(random() % 4);
        EnlargeSprite(uint16_t(x), uint16_t(y), 10, 2600, uint16_t(w), uint16_t(h), keyColour, glyph);
        for (int j = 0; j < h; ++j)
            for (int i = 0; i < w; ++i)
                for (int sy = 0; sy < 2; ++sy)
                    for (int sx = 0; sx < 2; ++sx)
                        ASSERT_EQ(Hi(10 + 2 * i + sx, 2600 + 2 * j + sy),
                                  ReferenceQuarter(x + i, y + j, keyColour, glyph, sx, sy))
                            << "round " << round << " cell " << i << "," << j << " quarter " << sx << sy;
    }
}

// Every pattern against the plain rule, and entries worked out by hand against both.
TEST_F(EnlargeReferenceTest, CornerTableHoldsTheCornerRuleForEveryPattern)
{
    for (int pattern = 0; pattern < 512; ++pattern) {
        bool key[3][3];
        for (int bit = 0; bit < 9; ++bit)
            key[bit / 3][bit % 3] = (pattern >> bit) & 1;
        int expected = (QuarterIsKey(key, 0, 0) ? 8 : 0) | (QuarterIsKey(key, 0, 1) ? 4 : 0) |
                       (QuarterIsKey(key, 1, 0) ? 2 : 0) | (QuarterIsKey(key, 1, 1) ? 1 : 0);
        ASSERT_EQ(CornerTable[pattern], expected) << "pattern " << pattern;
    }
    const int entries[][2] = {{0, 0},  {511, 15}, {16, 15}, {495, 0}, {11, 8},
                              {139, 0}, {79, 8},   {19, 13}, {22, 14}, {25, 11}};
    for (auto [pattern, entry] : entries)
        EXPECT_EQ(CornerTable[pattern], entry) << "pattern " << pattern;
}

TEST_F(EnlargeReferenceTest, WorkedCases)
{
    // a = (20, 10, 4) solid, b = (3, 30, 17) with the air bit in its blue, c = (31, 0, 9) solid.
    PaletteColours[0] = 0x0020;
    PaletteColours[5] = 20 << 11 | 10 << 6 | 4 | 0x20;
    PaletteColours[6] = 3 << 11 | 30 << 6 | 17;
    PaletteColours[7] = 31 << 11 | 9 | 0x20;
    const Rows pair = {{5, 6}}, corner = {{5, 6}, {7, 0}};
    const Pixel key = PaletteColours[0], a = PaletteColours[5];
    // (qx, qy) is the quarter in the enlarged picture, two per cell in each direction. Blends
    // round down and carry the flags of every contributor. These check the reference's weights
    // by hand; the corner rule's own entries are worked out in the test above.
    const struct Case { const char* what; Rows cells; bool glyph; int qx, qy; Pixel expected; } cases[] = {
        {"a lone pixel keeps its exact colour", {{5}}, false, 1, 1, a},
        {"a pair: top-right of the left pixel is (24a + 16b) / 40", pair, false, 1, 0, 13 << 11 | 18 << 6 | 9 | 0x21},
        {"a pair: top-left of the left pixel is (24a + b) / 25", pair, false, 0, 0, 19 << 11 | 10 << 6 | 4 | 0x21},
        {"a pair as a glyph keeps each pixel's colour", pair, true, 1, 0, a},
        {"an inner corner fills with (2a + 4b + 4c) / 10", corner, false, 2, 2, 17 << 11 | 14 << 6 | 11 | 0x21},
        {"an inner corner stays the key's own colour in a glyph", corner, true, 2, 2, key},
    };
    for (const Case& c : cases) {
        FillBox8(99, 2599, 10, 10, 0);
        PutRows8(100, 2600, c.cells);
        EnlargeSprite(100, 2600, 10, 2600, uint16_t(c.cells[0].size()), uint16_t(c.cells.size()), 0, c.glyph);
        EXPECT_EQ(Hi(10 + c.qx, 2600 + c.qy), c.expected) << c.what;
    }
}

}  // namespace
