#include <gtest/gtest.h>

#include <cstdint>
#include <algorithm>
#include <utility>
#include <vector>

#include "engine_fixture.h"
#include "gfx/primitives.h"

namespace {

using Rows = std::vector<std::vector<int>>;
using Point = std::pair<int, int>;

class PrimitivesTest : public CanvasTest {
protected:
    // Every non-zero pixel of the index canvas's top-left corner, with its value.
    static std::vector<std::pair<Point, int>> Plotted8()
    {
        std::vector<std::pair<Point, int>> plotted;
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x)
                if (Index(x, y))
                    plotted.push_back({{x, y}, Index(x, y)});
        return plotted;
    }
};

uint32_t NextRandom(uint32_t& state)
{
    state = state * 1664525u + 1013904223u;
    return state >> 16;
}

}  // namespace

TEST_F(PrimitivesTest, PixelsAreAddressedWithAFixedStrideOf1024)
{
    PutPixel8(3, 2, 9);
    EXPECT_EQ(IndexCanvas[2 * 1024 + 3], 9);
    EXPECT_EQ(GetPixel8(3, 2), 9);
    EXPECT_EQ(PixelAddress8(3, 2), IndexCanvas + 2 * 1024 + 3);
    PutPixel8(1023, 3071, 77);
    EXPECT_EQ(IndexCanvas[1024 * 3072 - 1], 77);
    PutPixel16(1023, 3573, 0xBEEF);
    EXPECT_EQ(HiColourCanvas[1024 * 3574 - 1], 0xBEEF);
    EXPECT_EQ(GetPixel16(1023, 3573), 0xBEEF);
}

// Line routines: which pixels, in which order after the end points have been put in drawing
// order, so which of the two colours each gets (low word first, then alternating).
TEST_F(PrimitivesTest, LinesPlotTheirPathAlternatingFromTheDrawingStart)
{
    struct Case {
        int x0, y0, x1, y1;
        std::vector<Point> path;
    } cases[] = {
        {5, 5, 5, 5, {{5, 5}}},
        {10, 0, 0, 3, {{0, 3}, {1, 3}, {2, 2}, {3, 2}, {4, 2}, {5, 1}, {6, 1}, {7, 1}, {8, 1}, {9, 0}, {10, 0}}},
        {0, 0, 2, 5, {{0, 0}, {0, 1}, {1, 2}, {1, 3}, {2, 4}, {2, 5}}},
        {2, 5, 0, 0, {{0, 0}, {0, 1}, {1, 2}, {1, 3}, {2, 4}, {2, 5}}},
        {5, 0, 3, 5, {{5, 0}, {5, 1}, {4, 2}, {4, 3}, {3, 4}, {3, 5}}},
        {7, 0, 0, 7, {{0, 7}, {1, 6}, {2, 5}, {3, 4}, {4, 3}, {5, 2}, {6, 1}, {7, 0}}},
        {4, 9, 4, 6, {{4, 6}, {4, 7}, {4, 8}, {4, 9}}},
        {13, 20, 10, 20, {{10, 20}, {11, 20}, {12, 20}, {13, 20}}},
    };
    for (const Case& c : cases) {
        FillBox8(0, 0, 32, 32, 0);
        DrawLine8(c.x0, c.y0, c.x1, c.y1, 0x0201);
        std::vector<std::pair<Point, int>> expected;
        for (size_t n = 0; n < c.path.size(); ++n)
            expected.push_back({c.path[n], n % 2 ? 2 : 1});
        std::sort(expected.begin(), expected.end(), [](auto& a, auto& b) {
            return std::pair(a.first.second, a.first.first) < std::pair(b.first.second, b.first.first);
        });
        EXPECT_EQ(Plotted8(), expected) << c.x0 << "," << c.y0 << " to " << c.x1 << "," << c.y1;
    }
    // The hi-colour lines follow the same paths.
    DrawLine16(13, 20, 10, 20, 0x12345678);
    EXPECT_EQ(Rows16(10, 20, 4, 1), (Rows{{0x5678, 0x1234, 0x5678, 0x1234}}));
    DrawLine16(0, 0, 5, 2, 0x00020001);
    EXPECT_EQ(Rows16(0, 0, 6, 3), (Rows{{1, 2, 0, 0, 0, 0}, {0, 0, 1, 2, 0, 0}, {0, 0, 0, 0, 1, 2}}));
}

// Plain fills and copies.
TEST_F(PrimitivesTest, FillsCoverExactlyTheRectangle)
{
    FillBox8(1, 1, 3, 2, 7);
    EXPECT_EQ(Rows8(0, 0, 5, 4), (Rows{{0, 0, 0, 0, 0}, {0, 7, 7, 7, 0}, {0, 7, 7, 7, 0}, {0, 0, 0, 0, 0}}));
    FillBox16(1, 1, 3, 2, 0x1234);
    EXPECT_EQ(Rows16(0, 0, 5, 4),
              (Rows{{0, 0, 0, 0, 0}, {0, 0x1234, 0x1234, 0x1234, 0}, {0, 0x1234, 0x1234, 0x1234, 0}, {0, 0, 0, 0, 0}}));
}

TEST_F(PrimitivesTest, OverlappingCopiesGiveTheForwardOrderResult)
{
    // Shifted right inside one row: each pixel reads the one just written, whatever the width.
    for (int w : {4, 5}) {
        PutRows8(0, 0, {{1, 2, 3, 4, 5, 6}});
        CopyBox8(0, 0, 1, 0, w, 1);
        EXPECT_EQ(Rows8(0, 0, 6, 1)[0], (std::vector<int>{1, 1, 1, 1, 1, w == 4 ? 6 : 1})) << w;
    }
    // Shifted left: a plain move.
    PutRows8(0, 1, {{1, 2, 3, 4, 5}});
    CopyBox8(1, 1, 0, 1, 4, 1);
    EXPECT_EQ(Rows8(0, 1, 5, 1), (Rows{{2, 3, 4, 5, 5}}));
    // Shifted down: each target row is the next source row.
    PutRows8(10, 10, {{1}, {2}, {3}});
    CopyBox8(10, 10, 10, 11, 1, 3);
    EXPECT_EQ(Rows8(10, 10, 1, 4), (Rows{{1}, {1}, {1}, {1}}));
    PutRows16(0, 0, {{1, 2, 3, 4, 5}});
    CopyBox16(0, 0, 2, 0, 3, 1);
    EXPECT_EQ(Rows16(0, 0, 5, 1), (Rows{{1, 2, 1, 2, 1}}));
    // Keyed copies keep the same order in the rows that cannot be done in wide steps.
    PutRows8(0, 20, {{1, 0, 2, 3, 0, 0}});
    CopyBoxKeyed8(0, 20, 1, 20, 5, 1, 0);
    EXPECT_EQ(Rows8(0, 20, 6, 1), (Rows{{1, 1, 1, 1, 1, 1}}));
}

TEST_F(PrimitivesTest, ScaledCopiesSampleEveryStepthPixel)
{
    for (int j = 0; j < 8; ++j)
        for (int i = 0; i < 8; ++i) {
            Index(100 + i, 100 + j) = ColourIndex(10 * j + i);
            Hi(100 + i, 100 + j) = Pixel(1000 + 10 * j + i);
        }
    CopyBoxScaled8(100, 100, 0, 0, 2, 2, 2);
    EXPECT_EQ(Rows8(0, 0, 2, 2), (Rows{{0, 2}, {20, 22}}));
    CopyBoxScaled8(101, 100, 0, 10, 3, 2, 3);
    EXPECT_EQ(Rows8(0, 10, 3, 2), (Rows{{1, 4, 7}, {31, 34, 37}}));
    CopyBoxScaled8(100, 100, 0, 20, 3, 1, 1);
    EXPECT_EQ(Rows8(0, 20, 3, 1), (Rows{{0, 1, 2}}));
    CopyBoxScaled16(100, 100, 0, 0, 2, 2, 2);
    EXPECT_EQ(Rows16(0, 0, 2, 2), (Rows{{1000, 1002}, {1020, 1022}}));
}

// The blend modes: per-pixel decisions, key first.
TEST_F(PrimitivesTest, WideKeyedCopiesMatchThePixelByPixelRule)
{
    // Widths around the 8- and 16-pixel steps, odd corners, many rows.
    uint32_t seed = 12345;
    for (int w : {1, 7, 8, 15, 16, 17, 33, 64, 301}) {
        const int h = 5, sx = 3, sy = 2600, dx = 511, dy = 40;
        std::vector<int> before8, before16;
        for (int j = 0; j < h; ++j)
            for (int i = 0; i < w; ++i) {
                Index(sx + i, sy + j) = ColourIndex(NextRandom(seed) % 4);
                Index(dx + i, dy + j) = ColourIndex(NextRandom(seed));
                Hi(sx + i, sy + j) = Pixel(NextRandom(seed) % 3 ? 0x0841 : NextRandom(seed));
                Hi(dx + i, dy + j) = Pixel(NextRandom(seed));
                before8.push_back(Index(dx + i, dy + j));
                before16.push_back(Hi(dx + i, dy + j));
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

TEST_F(PrimitivesTest, MaterialCopyNeedsANonKeySourceAndMaterialUnderIt)
{
    uint8_t mask[256] = {};
    mask[50] = 1;
    mask[3] = 200;  // any non-zero entry counts
    PutRows8(0, 0, {{50, 50, 60, 3, 50}});
    PutRows8(10, 0, {{7, 0, 7, 7, 8}});
    CopyBoxOnMaterial8(10, 0, 0, 0, 5, 1, 0, mask);
    EXPECT_EQ(Rows8(0, 0, 5, 1), (Rows{{7, 50, 60, 7, 8}}));
}

TEST_F(PrimitivesTest, UnflaggedCopyDrawsOnlyOverTargetsWithoutTheSolidFlag)
{
    PutRows16(0, 0, {{0x0020, 0xFFFF, 0x0001, 0x0000, 0xFFDF}});
    PutRows16(10, 0, {{0x1111, 0x2222, 0x3333, 0x0700, 0x4444}});
    CopyBoxUnflagged16(10, 0, 0, 0, 5, 1, 0x0700);
    EXPECT_EQ(Rows16(0, 0, 5, 1), (Rows{{0x0020, 0xFFFF, 0x3333, 0x0000, 0x4444}}));
}

TEST_F(PrimitivesTest, ShapesPaintTheSilhouetteInOneColour)
{
    PutRows8(10, 0, {{0, 5, 0}, {6, 0, 255}});
    FillShape8(10, 0, 0, 0, 3, 2, 0, 9);
    EXPECT_EQ(Rows8(0, 0, 3, 2), (Rows{{0, 9, 0}, {9, 0, 9}}));
    PutRows16(10, 0, {{0x8000, 0x0001, 0x8000}});
    PutRows16(0, 0, {{3, 3, 3}});
    FillShape16(10, 0, 0, 0, 3, 1, 0x8000, 0x7777);
    EXPECT_EQ(Rows16(0, 0, 3, 1), (Rows{{3, 0x7777, 3}}));
}

TEST_F(PrimitivesTest, RecolouringReplacesOnlyTheFromColourAndNeverAKeyPixel)
{
    PutRows8(0, 0, {{1, 1, 1}});
    PutRows8(10, 0, {{0, 255, 7}});
    CopyBoxRecoloured8(10, 0, 0, 0, 3, 1, 0, 255, 12);
    EXPECT_EQ(Rows8(0, 0, 3, 1), (Rows{{1, 12, 7}}));
    // With from equal to key the key test wins: the key pixel stays unwritten.
    PutRows8(0, 0, {{1, 1, 1}});
    CopyBoxRecoloured8(10, 0, 0, 0, 3, 1, 0, 0, 12);
    EXPECT_EQ(Rows8(0, 0, 3, 1), (Rows{{1, 255, 7}}));
    PutRows16(0, 0, {{1, 1, 1}});
    PutRows16(10, 0, {{0xF000, 0x00FF, 0x0007}});
    CopyBoxRecoloured16(10, 0, 0, 0, 3, 1, 0xF000, 0x00FF, 0x1234);
    EXPECT_EQ(Rows16(0, 0, 3, 1), (Rows{{1, 0x1234, 7}}));
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
    // Sprite: a key pixel over material does not count.
    PutRows8(100, 0, {{0, 1, 1}, {1, 1, 1}});
    PutRows8(0, 0, {{40, 9, 41}, {42, 43, 9}});
    EXPECT_EQ(TestBoxCollision8(100, 0, 0, 0, 3, 2, 0, mask), 41);
    PutRows8(0, 0, {{40, 9, 9}, {9, 42, 43}});
    EXPECT_EQ(TestBoxCollision8(100, 0, 0, 0, 3, 2, 0, mask), 42);
    PutRows8(0, 0, {{40, 9, 9}, {9, 9, 9}});
    EXPECT_EQ(TestBoxCollision8(100, 0, 0, 0, 3, 2, 0, mask), 0);
    EXPECT_EQ(Rows8(0, 0, 3, 2), (Rows{{40, 9, 9}, {9, 9, 9}}));
}
