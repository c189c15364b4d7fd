// The enlargement compared, pixel for pixel, with a plain evaluation of its rules: the corner
// rule per quarter and the weighted blend per neighbour, with no tables and no shortcuts.
#include <gtest/gtest.h>

#include <random>

#include "resources/enlarge.h"
#include "tests/gfx/engine_fixture.h"

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
    if (address < 0 || address >= long(CanvasWidth) * IndexCanvasHeight)
        return 0;
    return IndexCanvas[address];
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
    int quarter = sy * 2 + sx;
    unsigned r = 0, g = 0, b = 0, f = 0;
    if (glyph) {
        Pixel q = PaletteColours[value[1][1]];
        r = q >> 11, g = (q >> 6) & 31, b = q & 31, f = q & 0x21;
    } else {
        unsigned sr = 0, sg = 0, sb = 0, sw = 0;
        for (int dx = -1; dx <= 1; ++dx)
            for (int dy = -1; dy <= 1; ++dy) {
                if (key[dx + 1][dy + 1])
                    continue;
                Pixel q = PaletteColours[value[dx + 1][dy + 1]];
                unsigned w = unsigned(Weights[quarter][dy + 1][dx + 1]);
                sr += w * (q >> 11), sg += w * ((q >> 6) & 31), sb += w * (q & 31), sw += w;
                f |= q & 0x21;
            }
        if (sw > 0)
            r = sr / sw, g = sg / sw, b = sb / sw;
        else
            f = 0;
    }
    return Pixel(r << 11 | g << 6 | b | f);
}

class EnlargeReferenceTest : public CanvasTest {};

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
        const int* place = places[round % 6];
        ColourIndex keyColour = ColourIndex(random() % 4);
        bool glyph = round % 3 == 0;
        int x = place[0], y = place[1], w = place[2], h = place[3];
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

TEST_F(EnlargeReferenceTest, CornerTableHoldsTheCornerRuleForEveryPattern)
{
    for (int pattern = 0; pattern < 512; ++pattern) {
        bool key[3][3];
        for (int dx = -1; dx <= 1; ++dx)
            for (int dy = -1; dy <= 1; ++dy)
                key[dx + 1][dy + 1] = (pattern >> ((dx + 1) * 3 + (dy + 1))) & 1;
        int expected = (QuarterIsKey(key, 0, 0) ? 8 : 0) | (QuarterIsKey(key, 0, 1) ? 4 : 0) |
                       (QuarterIsKey(key, 1, 0) ? 2 : 0) | (QuarterIsKey(key, 1, 1) ? 1 : 0);
        ASSERT_EQ(CornerTable[pattern], expected) << "pattern " << pattern;
    }
}

}  // namespace
