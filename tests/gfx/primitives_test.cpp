#include "gfx/primitives.h"
#include "tests/support/canvas.h"

// Which pixels a line plots, in drawing order after the end points have been exchanged, and
// so which of the two colours each gets (low part first, then alternating).
TEST_F(CanvasTest, LinesPlotTheirPathAlternatingFromTheDrawingStart)
{
    const struct { int x0, y0, x1, y1; std::vector<std::pair<int, int>> path; } cases[] = {
        {10, 0, 0, 3, {{0, 3}, {1, 3}, {2, 2}, {3, 2}, {4, 2}, {5, 1}, {6, 1}, {7, 1}, {8, 1}, {9, 0}, {10, 0}}},
        {0, 0, 5, 2, {{0, 0}, {1, 0}, {2, 1}, {3, 1}, {4, 2}, {5, 2}}},
        {0, 0, 2, 5, {{0, 0}, {0, 1}, {1, 2}, {1, 3}, {2, 4}, {2, 5}}},
        {3, 5, 5, 0, {{5, 0}, {5, 1}, {4, 2}, {4, 3}, {3, 4}, {3, 5}}},
        {7, 0, 0, 7, {{0, 7}, {1, 6}, {2, 5}, {3, 4}, {4, 3}, {5, 2}, {6, 1}, {7, 0}}},
        {4, 9, 4, 6, {{4, 6}, {4, 7}, {4, 8}, {4, 9}}}, {13, 20, 10, 20, {{10, 20}, {11, 20}, {12, 20}, {13, 20}}},
    };
    for (const auto& c : cases) {
        FillBox8(0, 0, 24, 24, 0), FillBox16(0, 0, 24, 24, 0);
        DrawLine8(c.x0, c.y0, c.x1, c.y1, 0x0201), DrawLine16(c.x0, c.y0, c.x1, c.y1, 0x20001);
        Rows expected(24, Row(24));
        for (size_t n = 0; n < c.path.size(); ++n)
            expected[c.path[n].second][c.path[n].first] = n % 2 ? 2 : 1;
        for (const Rows& got : {Rows8(0, 0, 24, 24), Rows16(0, 0, 24, 24)})
            EXPECT_EQ(got, expected) << c.x0 << "," << c.y0 << " to " << c.x1;
    }
}

// Source rows beneath the target row (the drawing modes are checked through the sprites). Shifted right inside
// its row a copy reads what it has just written, keyed or not, also in rows fit for wide steps; keyed copies of
// narrow and misaligned wide rows stop at their width, hi-colour ink may share a byte with the key.
TEST_F(CanvasTest, RowOperationsTestTheKeyFirstAndCopyInForwardOrder)
{
    auto ink = [](int w, int key, int step, int gap, int beyond) {
        Row row;
        for (int i = 0; i < 34; ++i)
            row.push_back(i >= w ? beyond : i % 3 ? key + (i + 1) * step : gap);
        return row;
    };
    const struct { bool hi; Rows before; std::function<void()> draw; Row expected; } cases[] = {
        {false, {{1, 2, 3, 4, 5, 6}}, [] { CopyBox8(0, 0, 1, 0, 4, 1); }, {1, 1, 1, 1, 1, 6}},
        {false, {{1, 2, 3, 4, 5}}, [] { CopyBox8(1, 0, 0, 0, 4, 1); }, {2, 3, 4, 5, 5}},
        {true, {{1, 2, 3, 4, 5}}, [] { CopyBox16(0, 0, 2, 0, 3, 1); }, {1, 2, 1, 2, 1}},
        {false, {ink(34, 1, 1, 2, 0)}, [] { CopyBoxKeyed8(0, 0, 1, 0, 33, 1, 0xEE); }, Row(34, 2)},
        {true, {ink(34, 1, 1, 2, 0)}, [] { CopyBoxKeyed16(0, 0, 1, 0, 33, 1, 0xEE); }, Row(34, 2)},
        {false, {Row(34, 5), ink(7, 0x41, 1, 0x41, 0)}, [] { CopyBoxKeyed8(0, 1, 0, 0, 7, 1, 0x41); },
         ink(7, 0x41, 1, 5, 5)},
        {false, {Row(34, 5), ink(33, 0x41, 1, 0x41, 0)}, [] { CopyBoxKeyed8(0, 1, 0, 0, 33, 1, 0x41); },
         ink(33, 0x41, 1, 5, 5)},
        {true, {Row(34, 5), ink(33, 0x841, 0x100, 0x841, 0)}, [] { CopyBoxKeyed16(0, 1, 0, 0, 33, 1, 0x841); },
         ink(33, 0x841, 0x100, 5, 5)},
        {true, {{1, 1, 1, 1}}, [] { FillBox16(1, 0, 2, 1, 0x1234); }, {1, 0x1234, 0x1234, 1}},
        {true, {{1, 2, 3, 4, 5}}, [] { CopyBoxScaled16(0, 0, 0, 0, 3, 1, 2); }, {1, 3, 5, 4, 5}},
        // With from equal to key the key test wins.
        {false, {{1, 1, 1}, {0, 255, 7}}, [] { CopyBoxRecoloured8(0, 1, 0, 0, 3, 1, 0, 0, 12); }, {1, 255, 7}},
        // Only the top eleven indices advance, 255 wrapping to 0; nothing beyond the box.
        {false, {{244, 245, 255, 0, 250}, Row(5, 245)}, [] { CycleBox8(0, 0, 4, 1); }, {244, 246, 0, 0, 250}},
    };
    for (size_t n = 0; n < std::size(cases); ++n)
        EXPECT_EQ(RowAfter(cases[n].hi, cases[n].before, cases[n].draw), cases[n].expected) << "case " << n;
}

TEST_F(CanvasTest, CopiesGoDownwardsAndScaledOnesSampleEveryStepthPixel)
{
    for (int k = 0; k < 64; ++k)
        Index(100 + k % 8, 100 + k / 8) = ColourIndex(10 * (k / 8) + k % 8);
    CopyBoxScaled8(101, 100, 0, 0, 3, 2, 3);
    CopyBox8(100, 100, 100, 101, 1, 3);
    EXPECT_EQ(Rows8(0, 0, 3, 2), (Rows{{1, 4, 7}, {31, 34, 37}}));
    EXPECT_EQ(Rows8(100, 100, 1, 5), (Rows{{0}, {0}, {0}, {0}, {40}}));
}
