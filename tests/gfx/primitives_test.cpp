#include <gtest/gtest.h>

#include <functional>
#include <iterator>
#include <random>
#include <vector>

#include "gfx/primitives.h"
#include "tests/support/canvas.h"

using PrimitivesTest = CanvasTest;

TEST_F(PrimitivesTest, FillsCoverExactlyTheRectangle)
{
    const int c = 0x1234;
    FillBox8(1, 1, 3, 2, 7);
    FillBox16(1, 1, 3, 2, c);
    EXPECT_EQ(Rows8(0, 0, 5, 4), (Rows{{0, 0, 0, 0, 0}, {0, 7, 7, 7, 0}, {0, 7, 7, 7, 0}, {0, 0, 0, 0, 0}}));
    EXPECT_EQ(Rows16(0, 0, 5, 4), (Rows{{0, 0, 0, 0, 0}, {0, c, c, c, 0}, {0, c, c, c, 0}, {0, 0, 0, 0, 0}}));
}

// Which pixels a line plots, in drawing order after the end points have been exchanged, and
// so which of the two colours each gets (low part first, then alternating).
TEST_F(PrimitivesTest, LinesPlotTheirPathAlternatingFromTheDrawingStart)
{
    const struct { int x0, y0, x1, y1; std::vector<std::pair<int, int>> path; } cases[] = {
        {5, 5, 5, 5, {{5, 5}}},
        {10, 0, 0, 3, {{0, 3}, {1, 3}, {2, 2}, {3, 2}, {4, 2}, {5, 1}, {6, 1}, {7, 1}, {8, 1}, {9, 0}, {10, 0}}},
        {0, 0, 2, 5, {{0, 0}, {0, 1}, {1, 2}, {1, 3}, {2, 4}, {2, 5}}},
        {2, 5, 0, 0, {{0, 0}, {0, 1}, {1, 2}, {1, 3}, {2, 4}, {2, 5}}},
        {5, 0, 3, 5, {{5, 0}, {5, 1}, {4, 2}, {4, 3}, {3, 4}, {3, 5}}},
        {7, 0, 0, 7, {{0, 7}, {1, 6}, {2, 5}, {3, 4}, {4, 3}, {5, 2}, {6, 1}, {7, 0}}},
        {4, 9, 4, 6, {{4, 6}, {4, 7}, {4, 8}, {4, 9}}},
        {13, 20, 10, 20, {{10, 20}, {11, 20}, {12, 20}, {13, 20}}},
    };
    for (const auto& c : cases) {
        FillBox8(0, 0, 24, 24, 0);
        DrawLine8(c.x0, c.y0, c.x1, c.y1, 0x0201);
        Rows expected(24, Row(24));
        for (size_t n = 0; n < c.path.size(); ++n)
            expected[c.path[n].second][c.path[n].first] = n % 2 ? 2 : 1;
        EXPECT_EQ(Rows8(0, 0, 24, 24), expected) << c.x0 << "," << c.y0 << " to " << c.x1 << "," << c.y1;
    }
    // The hi-colour lines follow the same paths.
    DrawLine16(13, 20, 10, 20, 0x12345678);
    EXPECT_EQ(Rows16(10, 20, 4, 1), (Rows{{0x5678, 0x1234, 0x5678, 0x1234}}));
    DrawLine16(0, 0, 5, 2, 0x00020001);
    EXPECT_EQ(Rows16(0, 0, 6, 3), (Rows{{1, 2, 0, 0, 0, 0}, {0, 0, 1, 2, 0, 0}, {0, 0, 0, 0, 1, 2}}));
}

TEST_F(PrimitivesTest, OverlappingCopiesGiveTheForwardOrderResult)
{
    // Shifted right inside one row each pixel reads the one just written, whatever the width;
    // shifted left it is a plain move.
    EXPECT_EQ(RowAfter(false, {1, 2, 3, 4, 5, 6}, [] { CopyBox8(0, 0, 1, 0, 4, 1); }), (Row{1, 1, 1, 1, 1, 6}));
    EXPECT_EQ(RowAfter(false, {1, 2, 3, 4, 5, 6}, [] { CopyBox8(0, 0, 1, 0, 5, 1); }), (Row{1, 1, 1, 1, 1, 1}));
    EXPECT_EQ(RowAfter(false, {1, 2, 3, 4, 5}, [] { CopyBox8(1, 0, 0, 0, 4, 1); }), (Row{2, 3, 4, 5, 5}));
    EXPECT_EQ(RowAfter(true, {1, 2, 3, 4, 5}, [] { CopyBox16(0, 0, 2, 0, 3, 1); }), (Row{1, 2, 1, 2, 1}));
    // Keyed copies keep the same order in the rows that cannot be done in wide steps, also in rows
    // long enough for them.
    EXPECT_EQ(RowAfter(false, {1, 0, 2, 3, 0, 0}, [] { CopyBoxKeyed8(0, 0, 1, 0, 5, 1, 0); }), (Row{1, 1, 1, 1, 1, 1}));
    Row wide(34);
    for (int i = 0; i < 34; ++i)
        wide[i] = i % 5 + 1;
    for (bool hi : {false, true}) {
        auto copy = [hi] { hi ? CopyBoxKeyed16(0, 0, 1, 0, 33, 1, 9) : CopyBoxKeyed8(0, 0, 1, 0, 33, 1, 9); };
        EXPECT_EQ(RowAfter(hi, wide, copy), Row(34, 1)) << hi;
    }
    // Shifted down: each target row is the next source row.
    PutRows8(10, 10, {{1}, {2}, {3}});
    CopyBox8(10, 10, 10, 11, 1, 3);
    EXPECT_EQ(Rows8(10, 10, 1, 4), (Rows{{1}, {1}, {1}, {1}}));
}

TEST_F(PrimitivesTest, ScaledCopiesSampleEveryStepthPixel)
{
    for (int j = 0; j < 8; ++j)
        for (int i = 0; i < 8; ++i) {
            Index(100 + i, 100 + j) = ColourIndex(10 * j + i);
            Hi(100 + i, 100 + j) = Pixel(1000 + 10 * j + i);
        }
    CopyBoxScaled8(100, 100, 0, 0, 2, 2, 2);
    CopyBoxScaled8(101, 100, 0, 10, 3, 2, 3);
    CopyBoxScaled8(100, 100, 0, 20, 3, 1, 1);
    CopyBoxScaled16(100, 100, 0, 0, 2, 2, 2);
    EXPECT_EQ(Rows8(0, 0, 2, 2), (Rows{{0, 2}, {20, 22}}));
    EXPECT_EQ(Rows8(0, 10, 3, 2), (Rows{{1, 4, 7}, {31, 34, 37}}));
    EXPECT_EQ(Rows8(0, 20, 3, 1), (Rows{{0, 1, 2}}));
    EXPECT_EQ(Rows16(0, 0, 2, 2), (Rows{{1000, 1002}, {1020, 1022}}));
}

// Widths around the 8- and 16-pixel steps, odd corners, many rows: the wide paths must give the
// pixel-by-pixel result and stop at the right edge.
TEST_F(PrimitivesTest, WideKeyedCopiesMatchThePixelByPixelRule)
{
    std::mt19937 random(12345);
    for (int w : {1, 7, 8, 15, 16, 17, 33, 64, 301}) {
        const int h = 5, sx = 3, sy = 2600, dx = 511, dy = 40;
        Row before8, before16;
        for (int j = 0; j < h; ++j)
            for (int i = 0; i < w; ++i) {
                Index(sx + i, sy + j) = ColourIndex(random() % 4);
                before8.push_back(Index(dx + i, dy + j) = ColourIndex(random()));
                Hi(sx + i, sy + j) = Pixel(random() % 3 ? 0x0841 : random());
                before16.push_back(Hi(dx + i, dy + j) = Pixel(random()));
            }
        const Pixel rightNeighbour = Hi(dx + w, dy);
        CopyBoxKeyed8(sx, sy, dx, dy, w, h, 2);
        CopyBoxKeyed16(sx, sy, dx, dy, w, h, 0x0841);
        for (int j = 0; j < h; ++j)
            for (int i = 0; i < w; ++i) {
                const int s8 = Index(sx + i, sy + j), s16 = Hi(sx + i, sy + j);
                ASSERT_EQ(Index(dx + i, dy + j), s8 != 2 ? s8 : before8[j * w + i]) << w << " " << i << "," << j;
                ASSERT_EQ(Hi(dx + i, dy + j), s16 != 0x0841 ? s16 : before16[j * w + i]) << w << " " << i << "," << j;
            }
        EXPECT_EQ(Hi(dx + w, dy), rightNeighbour);
    }
}

// The other box modes pixel by pixel: a key source pixel is never written, then the mode
// decides. The source row is at (10, 0), the target row at (0, 0).
TEST_F(PrimitivesTest, BoxModesTestTheKeyFirstThenTheirOwnRule)
{
    uint8_t mask[256] = {};
    mask[50] = 1;
    mask[3] = 200;  // any non-zero entry counts
    const struct { bool hi; Row source, target; std::function<void(int w)> draw; Row expected; } cases[] = {
        {false, {7, 0, 7, 7, 8}, {50, 50, 60, 3, 50}, [&](int w) { CopyBoxOnMaterial8(10, 0, 0, 0, w, 1, 0, mask); },
         {7, 50, 60, 7, 8}},
        {false, {0, 5, 0, 6, 255}, {1, 1, 1, 1, 1}, [](int w) { FillShape8(10, 0, 0, 0, w, 1, 0, 9); }, {1, 9, 1, 9, 9}},
        {false, {0, 255, 7}, {1, 1, 1}, [](int w) { CopyBoxRecoloured8(10, 0, 0, 0, w, 1, 0, 255, 12); }, {1, 12, 7}},
        // With from equal to key the key test wins.
        {false, {0, 255, 7}, {1, 1, 1}, [](int w) { CopyBoxRecoloured8(10, 0, 0, 0, w, 1, 0, 0, 12); }, {1, 255, 7}},
        // Only targets without the solid flag 0x0020 are drawn over.
        {true, {0x1111, 0x2222, 0x3333, 0x0700, 0x4444}, {0x0020, 0xFFFF, 0x0001, 0x0000, 0xFFDF},
         [](int w) { CopyBoxUnflagged16(10, 0, 0, 0, w, 1, 0x0700); }, {0x0020, 0xFFFF, 0x3333, 0x0000, 0x4444}},
        {true, {0x8000, 0x0001, 0x8000}, {3, 3, 3}, [](int w) { FillShape16(10, 0, 0, 0, w, 1, 0x8000, 0x7777); },
         {3, 0x7777, 3}},
        {true, {0xF000, 0x00FF, 0x0007}, {1, 1, 1},
         [](int w) { CopyBoxRecoloured16(10, 0, 0, 0, w, 1, 0xF000, 0x00FF, 0x1234); }, {1, 0x1234, 7}},
    };
    for (size_t n = 0; n < std::size(cases); ++n) {
        const auto& c = cases[n];
        const int w = int(c.source.size());
        c.hi ? PutRows16(10, 0, {c.source}) : PutRows8(10, 0, {c.source});
        EXPECT_EQ(RowAfter(c.hi, c.target, [&] { c.draw(w); }), c.expected) << "case " << n;
    }
}

TEST_F(PrimitivesTest, CycleBoxAdvancesTheTopElevenIndicesAndWraps)
{
    PutRows8(0, 0, {{244, 245, 254, 255, 0, 100}});
    PutRows8(0, 1, {{245, 245, 245, 245, 245, 245}});
    CycleBox8(0, 0, 5, 1);
    EXPECT_EQ(Rows8(0, 0, 6, 2), (Rows{{244, 246, 255, 0, 0, 100}, {245, 245, 245, 245, 245, 245}}));
}

TEST_F(PrimitivesTest, CollisionTestReturnsTheFirstHitInRowOrderAndWritesNothing)
{
    uint8_t mask[256] = {};
    mask[40] = mask[41] = mask[42] = mask[43] = 1;
    PutRows8(100, 0, {{0, 1, 1}, {1, 1, 1}});  // the sprite: a key pixel over material does not count
    for (const auto& [material, hit] : {std::pair(Rows{{40, 9, 41}, {42, 43, 9}}, 41), {{{40, 9, 9}, {9, 42, 43}}, 42},
                                        {{{40, 9, 9}, {9, 9, 9}}, 0}}) {
        PutRows8(0, 0, material);
        EXPECT_EQ(TestBoxCollision8(100, 0, 0, 0, 3, 2, 0, mask), hit);
        EXPECT_EQ(Rows8(0, 0, 3, 2), material);
    }
}
