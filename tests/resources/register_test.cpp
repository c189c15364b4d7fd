#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "gfx/sprites.h"
#include "helpers.h"
#include "resources/register.h"
#include "util/fatal.h"

namespace {

uint16_t Register(const Bytes& data, const std::string& name) { return RegisterSprite(data.data(), data.size(), name); }

std::string At(int x, int y) { return std::to_string(x) + "," + std::to_string(y); }

// Where sprite k went: "indexX,indexY hiX,hiY".
std::string Spots(uint16_t k)
{
    return At(SpriteTable[k].indexX, SpriteTable[k].indexY) + " " + At(SpriteTable[k].hiX, SpriteTable[k].hiY);
}

// The registry's state, as the cleanup of a stop sees it.
std::string Registry()
{
    return std::to_string(SpriteCount) + " sprites, cursors " + At(IndexSheetCursor.x, IndexSheetCursor.y) + " " +
           At(HiSheetCursor.x, HiSheetCursor.y);
}

class RegisterTest : public CanvasTest {
protected:
    void SetUp() override
    {
        CanvasTest::SetUp();
        for (int i = 0; i < 256; ++i)
            PaletteColours[i] = Pixel(0x0800 * (i % 32) + 0x40 * (i % 7) + (i % 5));
    }
};

}  // namespace

TEST_F(RegisterTest, FirstSpriteFillsItsRecordAndBothSheetsAtTheTopLeft)
{
    EXPECT_EQ(Register({3, 2, 1, 1, 9, 1, 2, 3, 4, 5, 6, 0xEE}, "ARROWHEAD"), 0);  // one byte beyond, ignored
    const SpriteRecord& r = SpriteTable[0];
    EXPECT_EQ(std::string(r.name, r.nameLength), "ARROWHEA");  // cut to eight characters
    EXPECT_EQ(std::vector<int>({r.indexX, r.indexY, r.hiX, r.hiY, r.width, r.height, r.originX, r.originY,
                                r.keyColour, r.keyPixel, SpriteCount, IndexSheetCursor.x, IndexSheetCursor.shelfHeight,
                                HiSheetCursor.x, HiSheetCursor.shelfHeight}),
              std::vector<int>({0, 2560, 0, 2560, 3, 2, 1, 1, 9, PaletteColours[9], 1, 3, 2, 6, 4}));
    EXPECT_EQ(Rows8(0, 2560, 4, 2), (Rows{{1, 2, 3, 0}, {4, 5, 6, 0}}));
    EXPECT_EQ(FindSprite("ARROWHEA"), 0);
}

TEST_F(RegisterTest, ShelvesBreakOnlyPastColumn1024AndEachSheetDecidesForItself)
{
    // Four sprites 250 wide: the index sheet holds all four on one shelf, the hi-colour sheet
    // (500 each) breaks after the second.
    for (int height : {2, 5, 3, 1})
        Register(SpriteFile(250, height, 1), "W");
    EXPECT_EQ(Spots(2) + " " + Spots(3), "500,2560 0,2570 750,2560 500,2570");
    // 1000 + 24 ends exactly at column 1024: it stays; on the hi-colour sheet 1000 + 48 does not.
    Register(SpriteFile(24, 1, 1), "FITS");
    EXPECT_EQ(Spots(4), "1000,2560 0,2576");
    // The next one starts a new index shelf below the tallest image of the first.
    Register(SpriteFile(1, 1, 1), "NEXT");
    EXPECT_EQ(Spots(5), "0,2565 48,2576");
    // 1000 + 25 does not fit: a new shelf below the current one's tallest.
    IndexSheetCursor = {1000, 2560, 7};
    Register(SpriteFile(25, 1, 1), "WIDE");
    EXPECT_EQ(Spots(6) + " " + At(IndexSheetCursor.x, IndexSheetCursor.shelfHeight), "0,2567 50,2576 25,1");
}

TEST_F(RegisterTest, AColonAnywhereInTheNameSelectsGlyphEnlargement)
{
    // Sprites apart on their shelves, so that neither sees the other's pixels.
    for (const char* name : {"AB", "KOBA:41", "ABCDEFGHI:"}) {
        IndexSheetCursor.x += 4;
        HiSheetCursor.x += 8;
        Register({2, 1, 0, 0, 0, 5, 6}, name);
    }
    EXPECT_NE(Hi(SpriteTable[0].hiX + 1, SpriteTable[0].hiY), PaletteColours[5]);  // blended
    for (int glyph : {1, 2})
        EXPECT_EQ(Rows16(SpriteTable[glyph].hiX + 1, SpriteTable[glyph].hiY, 2, 1),
                  (Rows{{PaletteColours[5], PaletteColours[6]}})) << glyph;
}

TEST_F(RegisterTest, ImagesMayEndOnTheLastRowOfEitherSheet)
{
    // In the last column of the index sheet: the enlargement reads beyond the canvas end.
    IndexSheetCursor = {1023, 3000, 0};
    Register(SpriteFile(1, 72, 5), "LASTROW");
    EXPECT_EQ(IndexCanvas[CanvasWidth * IndexCanvasHeight - 1], 5);
    EXPECT_EQ(Hi(1, 2560 + 143), PaletteColours[5]);
    // 37 rows make 74 hi-colour rows, ending on row 3573.
    IndexSheetCursor = {0, 2560, 0};
    HiSheetCursor = {0, 3500, 0};
    Register(SpriteFile(2, 37, 5), "HILAST");
    EXPECT_EQ(Hi(2, 3573), PaletteColours[5]);
    SpriteCount = MaxSprites - 1;
    EXPECT_EQ(Register(SpriteFile(1, 1, 5), "LAST"), MaxSprites - 1);
    EXPECT_EQ(SpriteCount, MaxSprites);
}

// A refused sprite stops the program with a line naming it, and the cleanup before the line
// finds nothing of it registered.
TEST_F(RegisterTest, RefusalsStopBeforeAnythingChanges)
{
    const SheetCursor start = {0, 2560, 0};
    Bytes shortCells = SpriteFile(4, 4, 1);
    shortCells.pop_back();
    const char *const cut = "shorter than its 5-byte header", *const empty = "a width or height of 0";
    const char* const indexFull = "no room left in the index sprite sheet";
    const struct Case { Bytes data; SheetCursor index, hi; uint16_t count; const char* reason; } cases[] = {
        {{}, start, start, 0, cut},
        {{1, 1, 0, 0}, start, start, 0, cut},
        {shortCells, start, start, 0, "shorter than its width and height say"},
        {SpriteFile(0, 4, 1), start, start, 0, empty},
        {SpriteFile(4, 0, 1), start, start, 0, empty},
        {SpriteFile(1, 1, 1), start, start, MaxSprites, "more than 4096 sprites"},
        {SpriteFile(1, 72, 1), {0, 3001, 0}, start, 0, indexFull},
        {SpriteFile(25, 1, 1), {1000, 3000, 72}, start, 0, indexFull},  // on a new shelf
        {SpriteFile(1, 38, 1), start, {0, 3500, 0}, 0, "no room left in the hi-colour sprite sheet"},
    };
    for (const Case& c : cases) {
        IndexSheetCursor = c.index, HiSheetCursor = c.hi, SpriteCount = c.count;
        auto cleanup = [] { std::fprintf(stderr, "%s\n", Registry().c_str()), StopVideo(); };
        EXPECT_EXIT({ StdoutToStderr(); SetFatalCleanup(cleanup); Register(c.data, "KOBA:41"); },
                    testing::ExitedWithCode(1),
                    "^" + Registry() + "\nCan't register sprite \"KOBA:41\": " + c.reason + "!\n$")
            << c.reason;
    }
}
