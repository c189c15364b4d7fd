#include <gtest/gtest.h>

#include <cstring>

#include "editor/state.h"
#include "editor/views.h"
#include "gfx/primitives.h"
#include "resources/palette.h"
#include "tests/editor/editor_fixture.h"

class ViewsTest : public testing::Test {
protected:
    void SetUp() override
    {
        StartCanvases();
        ResetEditorState();
        ResetPaletteCycle();
    }
    void TearDown() override { StopVideo(); }

    // The 2x2 block of cell (x, y) in the zoomed view: top-left, top-right, bottom-left, bottom-right.
    static void ExpectZoomedCell(int x, int y, ColourIndex a, ColourIndex b, ColourIndex c, ColourIndex d)
    {
        EXPECT_EQ(BandPixel(3 * x + 1, 3 * y + 1), a) << "cell " << x << "," << y;
        EXPECT_EQ(BandPixel(3 * x + 2, 3 * y + 1), b) << "cell " << x << "," << y;
        EXPECT_EQ(BandPixel(3 * x + 1, 3 * y + 2), c) << "cell " << x << "," << y;
        EXPECT_EQ(BandPixel(3 * x + 2, 3 * y + 2), d) << "cell " << x << "," << y;
    }
};

TEST_F(ViewsTest, TheFrameIsTheOutlinePixelsWithAnEvenCoordinateSum)
{
    Document.width = 4;
    Document.height = 3;  // frame from (0, 0) to (13, 10)
    DrawSpriteViews();
    for (int x = 0; x <= 13; ++x) {
        EXPECT_EQ(BandPixel(x, 0), x % 2 == 0 ? FrameColour : 0) << x;
        EXPECT_EQ(BandPixel(x, 10), x % 2 == 0 ? FrameColour : 0) << x;
    }
    for (int y = 0; y <= 10; ++y) {
        EXPECT_EQ(BandPixel(0, y), y % 2 == 0 ? FrameColour : 0) << y;
        EXPECT_EQ(BandPixel(13, y), (13 + y) % 2 == 0 ? FrameColour : 0) << y;
    }
    EXPECT_EQ(BandPixel(14, 0), 0);
    // The preview's frame: (0, 133) to (5, 137).
    EXPECT_EQ(BandPixel(0, 133), FrameColour);
    EXPECT_EQ(BandPixel(5, 134), FrameColour);
    EXPECT_EQ(BandPixel(5, 133), 0);
    EXPECT_EQ(BandPixel(4, 137), FrameColour);
}

TEST_F(ViewsTest, CellsAre2x2BlocksAndKeyColourCellsACheckerLeftOutOfThePreview)
{
    Document.keyColour = 5;
    Document.cells[0][0] = 5;
    Document.cells[0][1] = 77;
    Document.cells[2][3] = 200;
    cursorX = 10;  // markers out of the way
    cursorY = 10;
    Document.originX = 12;
    Document.originY = 12;
    DrawSpriteViews();
    ExpectZoomedCell(0, 0, CheckerColourA, CheckerColourB, CheckerColourB, CheckerColourA);
    ExpectZoomedCell(1, 0, 77, 77, 77, 77);
    ExpectZoomedCell(3, 2, 200, 200, 200, 200);
    // The gaps between cells stay background.
    EXPECT_EQ(BandPixel(3, 1), 0);
    EXPECT_EQ(BandPixel(4, 3), 0);
    // Preview: cell (x, y) at (x + 1, y + 134); the key colour leaves the background.
    EXPECT_EQ(BandPixel(1, 134), 0);
    EXPECT_EQ(BandPixel(2, 134), 77);
    EXPECT_EQ(BandPixel(4, 136), 200);
}

TEST_F(ViewsTest, AllKeyColourDocumentShowsCheckersAndAnEmptyPreview)
{
    DrawSpriteViews();
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            if (x == 8 && y == 8)
                continue;
            ASSERT_EQ(BandPixel(3 * x + 1, 3 * y + 1), CheckerColourA);
            ASSERT_EQ(BandPixel(3 * x + 2, 3 * y + 1), CheckerColourB);
        }
    for (int y = 134; y <= 149; ++y)
        for (int x = 1; x <= 16; ++x)
            ASSERT_EQ(BandPixel(x, y), 0);
}

TEST_F(ViewsTest, OriginAndCursorMarkersAndTheCursorDrawnLast)
{
    Document.originX = 2;
    Document.originY = 1;
    cursorX = 5;
    cursorY = 4;
    DrawSpriteViews();
    EXPECT_EQ(BandPixel(7, 6), FrameColour);
    EXPECT_EQ(BandPixel(9, 6), FrameColour);
    EXPECT_EQ(BandPixel(9, 4), FrameColour);
    EXPECT_EQ(BandPixel(8, 6), 0);  // the origin marker has a hole where the cursor's L has none
    for (auto [x, y] : {std::pair{16, 15}, {17, 15}, {18, 15}, {18, 14}, {18, 13}})
        EXPECT_EQ(BandPixel(x, y), FrameColour) << x << "," << y;

    // On the same cell the cursor's L covers all of the origin's pixels.
    Document.originX = 5;
    Document.originY = 4;
    DrawSpriteViews();
    for (auto [x, y] : {std::pair{16, 15}, {17, 15}, {18, 15}, {18, 14}, {18, 13}})
        EXPECT_EQ(BandPixel(x, y), FrameColour) << x << "," << y;
    EXPECT_EQ(BandPixel(15, 15), 0);
}

TEST_F(ViewsTest, OnlyTheTopLeft63x43CellsAnd189x66PreviewPixelsReachTheBand)
{
    Document.width = 255;
    Document.height = 255;
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x)
            Document.cells[y][x] = uint8_t(1 + (x + y) % 200);
    cursorX = 254;
    cursorY = 254;
    Document.originX = 254;
    Document.originY = 254;
    // The panel's part of the band and the gap row must be left to their owners.
    FillBox8(190, BandTop, 130, BandHeight, 99);
    FillBox8(0, BandTop + 130, 190, 3, 99);
    DrawSpriteViews();
    ExpectZoomedCell(62, 42, 105, 105, 105, 105);
    EXPECT_EQ(BandPixel(189, 128), 0);  // the gap beside the last visible cell
    EXPECT_EQ(BandPixel(190, 0), 99);
    EXPECT_EQ(BandPixel(190, 199), 99);
    for (int x = 0; x < 190; ++x)
        for (int y = 130; y <= 132; ++y)
            ASSERT_EQ(BandPixel(x, y), 0) << x << "," << y;
    EXPECT_EQ(BandPixel(189, 134), 1 + 188 % 200);
    EXPECT_EQ(BandPixel(1, 199), 1 + 65 % 200);
    EXPECT_EQ(BandPixel(189, 199), 1 + (188 + 65) % 200);
}

TEST_F(ViewsTest, CyclingHoldsStillForTwoFramesThenStepsAllFourRangesOnce)
{
    uint8_t palette[PaletteSize];
    for (int i = 0; i < 256; ++i) {
        palette[3 * i] = uint8_t(i % 64);
        palette[3 * i + 1] = uint8_t((i / 64) * 16);
        palette[3 * i + 2] = uint8_t(63 - i % 64);
    }
    ApplyPalette(palette);
    Pixel colours[256];
    std::memcpy(colours, PaletteColours, sizeof colours);
    CyclePalette();
    CyclePalette();
    EXPECT_EQ(std::memcmp(CurrentPalette, palette, PaletteSize), 0);
    EXPECT_EQ(std::memcmp(colours, PaletteColours, sizeof colours), 0);
    CyclePalette();
    struct Range {
        int first, last;
    };
    for (Range r : {Range{129, 132}, Range{133, 136}, Range{152, 159}, Range{168, 171}}) {
        for (int i = r.first; i < r.last; ++i)
            EXPECT_EQ(std::memcmp(CurrentPalette + 3 * i, palette + 3 * (i + 1), 3), 0) << i;
        EXPECT_EQ(std::memcmp(CurrentPalette + 3 * r.last, palette + 3 * r.first, 3), 0) << r.last;
    }
    // The screen colours follow; the material flags stay with their index.
    EXPECT_NE(PaletteColours[129], colours[129]);
    EXPECT_EQ(PaletteColours[129] & 0x21, colours[129] & 0x21);
    for (int i : {0, 128, 137, 151, 160, 167, 172, 255})
        EXPECT_EQ(PaletteColours[i], colours[i]) << i;
    Pixel stepped[256];
    std::memcpy(stepped, PaletteColours, sizeof stepped);
    CyclePalette();
    CyclePalette();
    EXPECT_EQ(std::memcmp(stepped, PaletteColours, sizeof stepped), 0);
}
