// The enlargement compared, pixel for pixel, with a plain evaluation of its rules: the corner
// rule per quarter and the weighted blend per neighbour, with no tables and no shortcuts. Sprites
// of two or four colours, so that all 512 patterns of key neighbours turn up, are put anywhere on
// the canvas: at its corners and edges reads fall off it.
#include <gtest/gtest.h>

#include <random>

#include "helpers.h"
#include "resources/enlarge.h"

// [quarter][row dy + 1][column dx + 1], quarters top-left, top-right, bottom-left, bottom-right.
static const int Weights[4][3][3] = {
    {{2, 4, 1}, {4, 24, 1}, {1, 1, 1}}, {{1, 2, 2}, {2, 24, 16}, {2, 2, 1}},
    {{1, 2, 2}, {2, 24, 2}, {2, 16, 1}}, {{1, 1, 2}, {1, 24, 8}, {2, 8, 4}}};

// key[dx + 1][dy + 1]
static bool QuarterIsKey(const bool key[3][3], int sx, int sy)
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

static Pixel ReferenceQuarter(int ix, int iy, ColourIndex keyColour, bool glyph, int sx, int sy)
{
    auto at = [&](int n) {  // neighbour n is at (n / 3 - 1, n % 3 - 1); beyond the canvas reads 0
        long at = long(iy + n % 3 - 1) * CanvasWidth + ix + n / 3 - 1;
        return at < 0 || at >= long(CanvasWidth) * IndexCanvasHeight ? 0 : int(IndexCanvas[at]);
    };
    bool key[3][3];
    for (int n = 0; n < 9; ++n)
        key[n / 3][n % 3] = at(n) == keyColour;
    if (QuarterIsKey(key, sx, sy))
        return PaletteColours[keyColour];
    // A glyph takes its own cell's colour; a sprite blends its neighbours that are not key.
    unsigned r = 0, g = 0, b = 0, f = 0, w = 0;
    for (int n = 0; n < 9; ++n) {
        if (glyph ? n != 4 : key[n / 3][n % 3])
            continue;
        Pixel q = PaletteColours[at(n)];
        unsigned weight = glyph ? 1 : unsigned(Weights[sy * 2 + sx][n % 3][n / 3]);
        r += weight * (q >> 11), g += weight * ((q >> 6) & 31), b += weight * (q & 31), w += weight;
        f |= q & 0x21;
    }
    return w == 0 ? 0 : Pixel((r / w) << 11 | (g / w) << 6 | b / w | f);
}

TEST_F(CanvasTest, EnlargementMatchesThePlainRulesOnRandomSpritesAnywhereOnTheCanvas)
{
    std::mt19937 random(20261206);
    const int places[][4] = {{0, 0, 7, 5}, {1017, 3067, 7, 5}, {1020, 100, 4, 9}, {0, 2560, 12, 12},
                             {500, 3000, 30, 20}, {3, 3071, 5, 1}};  // x, y, w, h
    for (int round = 0; round < 120; ++round) {
        for (Pixel& p : PaletteColours)
            p = Pixel(random());
        for (int i = 0; i < CanvasWidth * 8; ++i)
            IndexCanvas[random() % (size_t(CanvasWidth) * IndexCanvasHeight)] = ColourIndex(random() % 6);
        const auto [x, y, w, h] = places[round % 6];
        const int colours = round % 2 ? 2 : 4;
        const ColourIndex keyColour = ColourIndex(random() % colours);
        const bool glyph = round % 3 == 0;
        for (int j = 0; j < h; ++j)
            for (int i = 0; i < w; ++i)
                Index(x + i, y + j) = ColourIndex(random() % colours);
        EnlargeSprite(uint16_t(x), uint16_t(y), 10, 2600, uint16_t(w), uint16_t(h), keyColour, glyph);
        for (int j = 0; j < h; ++j)
            for (int i = 0; i < w; ++i)
                for (int q = 0; q < 4; ++q)
                    ASSERT_EQ(Hi(10 + 2 * i + q % 2, 2600 + 2 * j + q / 2),
                              ReferenceQuarter(x + i, y + j, keyColour, glyph, q % 2, q / 2))
                        << "round " << round << " cell " << i << "," << j << " quarter " << q;
    }
}
