#include <gtest/gtest.h>

#include <vector>

#include "gfx/video.h"
#include "resources/enlarge.h"

namespace {

using Rows = std::vector<std::vector<int>>;

// Builds the transparency pattern from a 3x3 picture of key (1) and opaque (0) cells, rows top
// to bottom: bit (dx + 1) * 3 + (dy + 1).
unsigned Pattern(const Rows& keys)
{
    unsigned pattern = 0;
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx)
            if (keys[dy + 1][dx + 1])
                pattern |= 1u << ((dx + 1) * 3 + (dy + 1));
    return pattern;
}

// The same pattern seen in a mirror or across the diagonal.
unsigned Remap(unsigned pattern, int mx, int my, bool transpose)
{
    unsigned out = 0;
    for (int dx = -1; dx <= 1; ++dx)
        for (int dy = -1; dy <= 1; ++dy)
            if ((pattern >> ((dx + 1) * 3 + (dy + 1))) & 1) {
                int nx = dx * mx, ny = dy * my;
                if (transpose)
                    std::swap(nx, ny);
                out |= 1u << ((nx + 1) * 3 + (ny + 1));
            }
    return out;
}

// Entry bits: 8 top-left, 4 bottom-left, 2 top-right, 1 bottom-right.
uint8_t RemapEntry(uint8_t e, bool swapColumns, bool swapRows, bool transpose)
{
    bool q[2][2] = {{bool(e & 8), bool(e & 4)}, {bool(e & 2), bool(e & 1)}};  // [sx][sy]
    bool r[2][2];
    for (int sx = 0; sx < 2; ++sx)
        for (int sy = 0; sy < 2; ++sy) {
            int nx = swapColumns ? 1 - sx : sx, ny = swapRows ? 1 - sy : sy;
            if (transpose)
                std::swap(nx, ny);
            r[nx][ny] = q[sx][sy];
        }
    return uint8_t((r[0][0] ? 8 : 0) | (r[0][1] ? 4 : 0) | (r[1][0] ? 2 : 0) | (r[1][1] ? 1 : 0));
}

struct Rgb {
    int r, g, b;
};

Rgb Split(Pixel q)
{
    return {q >> 11, (q >> 6) & 31, q & 31};
}

Pixel Join(Rgb c, int flags)
{
    return Pixel((c.r << 11) | (c.g << 6) | c.b | flags);
}

class EnlargeTest : public testing::Test {
protected:
    void SetUp() override
    {
        StartCanvases();
        for (int i = 0; i < 256; ++i)
            PaletteColours[i] = 0;
        PaletteColours[0] = 0x0020;
        PaletteColours[5] = Join({20, 10, 4}, 0x20);
        PaletteColours[6] = Join({3, 30, 17}, 0x01);  // blue 17 holds the air bit
        PaletteColours[7] = Join({31, 0, 9}, 0x20);
    }
    void TearDown() override { StopVideo(); }

    static void Cells(int x, int y, const Rows& rows)
    {
        for (size_t j = 0; j < rows.size(); ++j)
            for (size_t i = 0; i < rows[j].size(); ++i)
                IndexCanvas[(y + j) * CanvasWidth + x + i] = ColourIndex(rows[j][i]);
    }
    static Pixel Hi(int x, int y) { return HiColourCanvas[y * CanvasWidth + x]; }
};

}  // namespace

TEST(CornerTable, TellingEntries)
{
    EXPECT_EQ(CornerTable[0], 0);
    EXPECT_EQ(CornerTable[511], 15);
    EXPECT_EQ(CornerTable[16], 15);
    EXPECT_EQ(CornerTable[495], 0);
    EXPECT_EQ(CornerTable[11], 8);
    EXPECT_EQ(CornerTable[139], 0);
    EXPECT_EQ(CornerTable[79], 8);
    EXPECT_EQ(CornerTable[19], 13);
    EXPECT_EQ(CornerTable[22], 14);
    EXPECT_EQ(CornerTable[25], 11);
    EXPECT_EQ(Pattern({{1, 1, 0}, {1, 0, 0}, {0, 0, 0}}), 11u);
    EXPECT_EQ(Pattern({{1, 1, 1}, {1, 0, 0}, {1, 0, 0}}), 79u);
}

TEST(CornerTable, TreatsBothStatesAndAllEightOrientationsAlike)
{
    for (unsigned pattern = 0; pattern < 512; ++pattern) {
        ASSERT_EQ(CornerTable[pattern ^ 511], CornerTable[pattern] ^ 15) << pattern;
        for (int mx : {1, -1})
            for (int my : {1, -1})
                for (bool transpose : {false, true}) {
                    const unsigned seen = Remap(pattern, mx, my, transpose);
                    ASSERT_EQ(CornerTable[seen], RemapEntry(CornerTable[pattern], mx < 0, my < 0, transpose))
                        << pattern << " " << mx << " " << my << " " << transpose;
                }
    }
}

TEST_F(EnlargeTest, LonePixelsBecomeBlocksOfTheirOwnExactColour)
{
    Cells(100, 2600, {{5}});
    EnlargeSprite(100, 2600, 10, 2600, 1, 1, 0, false);
    Cells(200, 2600, {{0}});
    EnlargeSprite(200, 2600, 20, 2600, 1, 1, 0, false);
    for (int q = 0; q < 4; ++q) {
        EXPECT_EQ(Hi(10 + q % 2, 2600 + q / 2), PaletteColours[5]);
        EXPECT_EQ(Hi(20 + q % 2, 2600 + q / 2), PaletteColours[0]);
    }
}

TEST_F(EnlargeTest, NeighboursBlendByTheQuartersWeights)
{
    Cells(100, 2600, {{5, 6}});
    EnlargeSprite(100, 2600, 10, 2600, 2, 1, 0, false);
    const Rgb a = Split(PaletteColours[5]), b = Split(PaletteColours[6]);
    const Rgb topRight = {(24 * a.r + 16 * b.r) / 40, (24 * a.g + 16 * b.g) / 40, (24 * a.b + 16 * b.b) / 40};
    const Rgb topLeft = {(24 * a.r + b.r) / 25, (24 * a.g + b.g) / 25, (24 * a.b + b.b) / 25};
    // Either neighbour's flags show in every quarter it contributes to.
    EXPECT_EQ(Hi(11, 2600), Join(topRight, 0x21));
    EXPECT_EQ(Hi(10, 2600), Join(topLeft, 0x21));
    for (int x = 10; x < 14; ++x)
        for (int y = 2600; y < 2602; ++y)
            EXPECT_NE(Hi(x, y), PaletteColours[0]) << x << "," << y;

    // Glyphs keep every opaque quarter in its own pixel's colour.
    EnlargeSprite(100, 2600, 30, 2600, 2, 1, 0, true);
    for (int y = 2600; y < 2602; ++y) {
        EXPECT_EQ(Hi(30, y), PaletteColours[5]);
        EXPECT_EQ(Hi(31, y), PaletteColours[5]);
        EXPECT_EQ(Hi(32, y), PaletteColours[6]);
        EXPECT_EQ(Hi(33, y), PaletteColours[6]);
    }
}

TEST_F(EnlargeTest, OpaqueSquaresLoseTheirOuterCorners)
{
    Cells(100, 2600, {{5, 5, 5}, {5, 5, 5}, {5, 5, 5}});
    for (bool glyph : {false, true}) {
        EnlargeSprite(100, 2600, 10, 2600, 3, 3, 0, glyph);
        for (int y = 0; y < 6; ++y)
            for (int x = 0; x < 6; ++x) {
                const bool corner = (x == 0 || x == 5) && (y == 0 || y == 5);
                EXPECT_EQ(Hi(10 + x, 2600 + y), corner ? PaletteColours[0] : PaletteColours[5])
                    << x << "," << y << " glyph " << glyph;
            }
    }
}

TEST_F(EnlargeTest, InnerCornersOfKeyAreasFillWithTheNeighboursBlend)
{
    // The key cell at the bottom right has opaque cells left, above and above-left: its
    // top-left quarter turns opaque.
    Cells(100, 2600, {{5, 6}, {7, 0}});
    EnlargeSprite(100, 2600, 10, 2600, 2, 2, 0, false);
    const Rgb a = Split(PaletteColours[5]), b = Split(PaletteColours[6]), c = Split(PaletteColours[7]);
    const Rgb filled = {(2 * a.r + 4 * b.r + 4 * c.r) / 10, (2 * a.g + 4 * b.g + 4 * c.g) / 10,
                        (2 * a.b + 4 * b.b + 4 * c.b) / 10};
    EXPECT_EQ(Hi(12, 2602), Join(filled, 0x21));
    EXPECT_EQ(Hi(13, 2602), PaletteColours[0]);
    EXPECT_EQ(Hi(12, 2603), PaletteColours[0]);
    EXPECT_EQ(Hi(13, 2603), PaletteColours[0]);
    // As a glyph the filled quarter takes the key cell's own colour: the fill does not show.
    EnlargeSprite(100, 2600, 30, 2600, 2, 2, 0, true);
    EXPECT_EQ(Hi(32, 2602), PaletteColours[0]);
    EXPECT_EQ(Hi(30, 2600), PaletteColours[0]);  // the outer corner is cut all the same
    EXPECT_EQ(Hi(31, 2601), PaletteColours[5]);
}

TEST_F(EnlargeTest, ReadsFollowLinearAddressesAndStopAtTheCanvasEnds)
{
    // Column 1024 of a row is column 0 of the next one.
    Cells(1023, 3000, {{5}});
    Cells(0, 3001, {{6}});
    EnlargeSprite(1023, 3000, 10, 2600, 1, 1, 0, false);
    const Rgb a = Split(PaletteColours[5]), b = Split(PaletteColours[6]);
    EXPECT_EQ(Hi(11, 2600), Join({(24 * a.r + 16 * b.r) / 40, (24 * a.g + 16 * b.g) / 40, (24 * a.b + 16 * b.b) / 40},
                                 0x21));
    // The first and the last canvas pixel: neighbours outside the canvas read as index 0.
    Cells(0, 0, {{5}});
    Cells(1023, 3071, {{5}});
    Cells(1022, 3071, {{0}});
    Cells(1023, 3070, {{0}});
    Cells(1022, 3070, {{0}});
    EnlargeSprite(0, 0, 20, 2600, 1, 1, 0, false);
    EnlargeSprite(1023, 3071, 30, 2600, 1, 1, 0, false);
    for (int q = 0; q < 4; ++q) {
        EXPECT_EQ(Hi(20 + q % 2, 2600 + q / 2), PaletteColours[5]);
        EXPECT_EQ(Hi(30 + q % 2, 2600 + q / 2), PaletteColours[5]);
    }
}
