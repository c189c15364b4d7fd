#include <gtest/gtest.h>

#include <cstdio>

#include "gfx/sprites.h"
#include "helpers.h"
#include "resources/register.h"
#include "util/fatal.h"

static uint16_t Register(const Bytes& data, const std::string& name)
{
    return RegisterSprite(data.data(), data.size(), name);
}

static std::string At(int x, int y) { return std::to_string(x) + "," + std::to_string(y); }

// Where sprite k went: "indexX,indexY hiX,hiY".
static std::string Spots(int k)
{
    const SpriteRecord& r = SpriteTable[k];
    return At(r.indexX, r.indexY) + " " + At(r.hiX, r.hiY);
}

// The registry's state, as the cleanup of a stop sees it.
static std::string Registry()
{
    return std::to_string(SpriteCount) + " sprites, cursors " + At(IndexSheetCursor.x, IndexSheetCursor.y) +
           " " + At(HiSheetCursor.x, HiSheetCursor.y);
}

using RegisterTest = CanvasTest;

TEST_F(RegisterTest, FirstSpriteFillsItsRecordAndBothSheetsAtTheTopLeft)
{
    PaletteColours[9] = 0x1234;
    const SpriteRecord& r = SpriteTable[Register({3, 2, 1, 2, 9, 1, 2, 3, 4, 5, 6, 0xEE}, "ARROWHEAD")];
    EXPECT_EQ(std::string(r.name, r.nameLength) + " " + Spots(0), "ARROWHEA 0,2560 0,2560");  // cut to eight
    EXPECT_EQ(Row({r.width, r.height, r.originX, r.originY, r.keyColour, r.keyPixel}),
              Row({3, 2, 1, 2, 9, 0x1234}));
    EXPECT_EQ(Rows8(0, 2560, 4, 2), (Rows{{1, 2, 3, 0}, {4, 5, 6, 0}}));
}

// Four sprites 250 wide: the index sheet holds all four on one shelf, the hi-colour sheet (500
// each) breaks after the second. A new shelf starts below the tallest image of the current one.
TEST_F(RegisterTest, ShelvesBreakOnlyPastColumn1024AndEachSheetDecidesForItself)
{
    for (int height : {2, 5, 3, 1})
        Register(SpriteFile(250, height, 1), "W");
    EXPECT_EQ(Spots(2) + " " + Spots(3), "500,2560 0,2570 750,2560 500,2570");
    Register(SpriteFile(24, 1, 1), "FITS");  // ends exactly at column 1024; 1000 + 48 does not fit
    EXPECT_EQ(Spots(4), "1000,2560 0,2576");
    Register(SpriteFile(1, 1, 1), "NEXT");  // 1000 + 24 + 1 does not fit: the new shelf is one row high
    EXPECT_EQ(Spots(5) + " " + At(IndexSheetCursor.x, IndexSheetCursor.shelfHeight), "0,2565 48,2576 1,1");
}

// A sprite that just fits is taken: on the last row of either sheet (in the last column of the
// index sheet its enlargement reads beyond the canvas end), or as the last entry. One more is
// refused: the program stops with a line naming it, and the cleanup finds nothing of it registered.
TEST_F(RegisterTest, SheetsAndTableFillToTheirEndAndRefusalsStopBeforeAnythingChanges)
{
    PaletteColours[5] = 0xF800;
    const SheetCursor start = {0, 2560, 0}, lastIndexRows = {1023, 3000, 0}, lastHiRows = {0, 3500, 0};
    Bytes shortCells = SpriteFile(4, 4, 1);
    shortCells.pop_back();
    const char* const empty = "a width or height of 0";
    const struct Case { Bytes data; SheetCursor index, hi; uint16_t count; const char* reason; } cases[] = {
        {SpriteFile(1, 72, 5), lastIndexRows, start, 0, nullptr},
        {SpriteFile(2, 37, 5), start, lastHiRows, 0, nullptr},
        {SpriteFile(1, 1, 5), start, start, MaxSprites - 1, nullptr},
        {{1, 1, 0, 0}, start, start, 0, "shorter than its 5-byte header"},
        {shortCells, start, start, 0, "shorter than its width and height say"},
        {SpriteFile(4, 0, 1), start, start, 0, empty}, {SpriteFile(0, 4, 1), start, start, 0, empty},
        {SpriteFile(1, 1, 1), start, start, MaxSprites, "more than 4096 sprites"},
        {SpriteFile(25, 1, 1), {1000, 3000, 72}, start, 0, "no room left in the index sprite sheet"},
        {SpriteFile(1, 38, 1), start, lastHiRows, 0, "no room left in the hi-colour sprite sheet"},
    };
    for (const Case& c : cases) {
        IndexSheetCursor = c.index, HiSheetCursor = c.hi, SpriteCount = c.count;
        if (!c.reason) {
            const SpriteRecord& r = SpriteTable[Register(c.data, "FITS")];
            EXPECT_TRUE(SpriteCount == c.count + 1 && Index(r.indexX, r.indexY + r.height - 1) == 5 &&
                        Hi(r.hiX + 1, r.hiY + 2 * r.height - 1) == 0xF800) << r.indexY << " " << r.hiY;
            continue;
        }
        auto cleanup = [] { std::fprintf(stderr, "%s\n", Registry().c_str()), StopVideo(); };
        EXPECT_EXIT({ StdoutToStderr(); SetFatalCleanup(cleanup); Register(c.data, "KOBA:41"); },
                    testing::ExitedWithCode(1),
                    "^" + Registry() + "\nCan't register sprite \"KOBA:41\": " + c.reason + "!\n$")
            << c.reason;
    }
}
