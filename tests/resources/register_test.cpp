#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "engine_death.h"
#include "gfx/sprites.h"
#include "gfx/video.h"
#include "resources/register.h"
#include "util/fatal.h"

namespace {

std::vector<uint8_t> SpriteFile(int width, int height, int originX, int originY, int key, int fill)
{
    std::vector<uint8_t> data = {uint8_t(width), uint8_t(height), uint8_t(originX), uint8_t(originY), uint8_t(key)};
    data.resize(5 + size_t(width) * height, uint8_t(fill));
    return data;
}

uint16_t Register(const std::vector<uint8_t>& data, const std::string& name)
{
    return RegisterSprite(data.data(), data.size(), name);
}

class RegisterTest : public testing::Test {
protected:
    void SetUp() override
    {
        StartCanvases();
        for (int i = 0; i < 256; ++i)
            PaletteColours[i] = Pixel(0x0800 * (i % 32) + 0x40 * (i % 7) + (i % 5));
    }
    void TearDown() override { StopVideo(); }
};

}  // namespace

TEST_F(RegisterTest, FirstSpriteFillsItsRecordAndBothSheetsAtTheTopLeft)
{
    std::vector<uint8_t> data = {3, 2, 1, 1, 9, 1, 2, 3, 4, 5, 6, 0xEE};  // one byte beyond, ignored
    EXPECT_EQ(Register(data, "ARROWHEAD"), 0);
    EXPECT_EQ(SpriteCount, 1);
    const SpriteRecord& r = SpriteTable[0];
    EXPECT_EQ(std::string(r.name, r.nameLength), "ARROWHEA");  // cut to eight characters
    EXPECT_EQ(std::vector<int>({r.indexX, r.indexY, r.hiX, r.hiY, r.width, r.height, r.originX, r.originY,
                                r.keyColour, r.keyPixel}),
              std::vector<int>({0, 2560, 0, 2560, 3, 2, 1, 1, 9, PaletteColours[9]}));
    for (int j = 0; j < 2; ++j)
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(IndexCanvas[(2560 + j) * CanvasWidth + i], 1 + 3 * j + i);
    EXPECT_EQ(IndexCanvas[2560 * CanvasWidth + 3], 0);
    EXPECT_EQ(IndexSheetCursor.x, 3);
    EXPECT_EQ(IndexSheetCursor.shelfHeight, 2);
    EXPECT_EQ(HiSheetCursor.x, 6);
    EXPECT_EQ(HiSheetCursor.shelfHeight, 4);
    EXPECT_EQ(FindSprite("ARROWHEA"), 0);
    EXPECT_EQ(FindSprite("ARROWHEAD"), NoSprite);
}

TEST_F(RegisterTest, ShelvesBreakOnlyPastColumn1024AndEachSheetDecidesForItself)
{
    // Four sprites 250 wide: the index sheet holds all four on one shelf, the hi-colour sheet
    // (500 each) breaks after the second.
    const int heights[4] = {2, 5, 3, 1};
    for (int n = 0; n < 4; ++n)
        Register(SpriteFile(250, heights[n], 0, 0, 0, 1), "W");
    EXPECT_EQ(SpriteTable[3].indexX, 750);
    EXPECT_EQ(SpriteTable[3].indexY, 2560);
    EXPECT_EQ(SpriteTable[2].hiX, 0);
    EXPECT_EQ(SpriteTable[2].hiY, 2560 + 10);
    EXPECT_EQ(SpriteTable[3].hiX, 500);
    EXPECT_EQ(IndexSheetCursor.x, 1000);

    // 1000 + 24 ends exactly at column 1024: it stays; on the hi-colour sheet 1000 + 48 does not.
    Register(SpriteFile(24, 1, 0, 0, 0, 1), "FITS");
    EXPECT_EQ(SpriteTable[4].indexX, 1000);
    EXPECT_EQ(SpriteTable[4].indexY, 2560);
    EXPECT_EQ(SpriteTable[4].hiX, 0);
    EXPECT_EQ(SpriteTable[4].hiY, 2560 + 10 + 6);
    // The next one starts a new index shelf below the tallest image of the first.
    Register(SpriteFile(1, 1, 0, 0, 0, 1), "NEXT");
    EXPECT_EQ(SpriteTable[5].indexX, 0);
    EXPECT_EQ(SpriteTable[5].indexY, 2560 + 5);
    EXPECT_EQ(SpriteTable[5].hiX, 48);
    EXPECT_EQ(SpriteTable[5].hiY, 2560 + 16);
    // 1000 + 25 does not fit: a new shelf below the current one's tallest.
    IndexSheetCursor = {1000, 2560, 7};
    Register(SpriteFile(25, 1, 0, 0, 0, 1), "WIDE");
    EXPECT_EQ(SpriteTable[6].indexX, 0);
    EXPECT_EQ(SpriteTable[6].indexY, 2567);
    EXPECT_EQ(IndexSheetCursor.x, 25);
    EXPECT_EQ(IndexSheetCursor.shelfHeight, 1);
}

TEST_F(RegisterTest, AColonAnywhereInTheNameSelectsGlyphEnlargement)
{
    const std::vector<uint8_t> data = {2, 1, 0, 0, 0, 5, 6};
    // Sprites apart on their shelves, so that neither sees the other's pixels.
    for (const char* name : {"AB", "KOBA:41", "ABCDEFGHI:"}) {
        IndexSheetCursor.x += 4;
        HiSheetCursor.x += 8;
        Register(data, name);
    }
    const SpriteRecord& blended = SpriteTable[0];
    const Pixel right = HiColourCanvas[blended.hiY * CanvasWidth + blended.hiX + 1];
    EXPECT_NE(right, PaletteColours[5]);
    for (int glyph : {1, 2}) {
        const SpriteRecord& r = SpriteTable[glyph];
        EXPECT_EQ(HiColourCanvas[r.hiY * CanvasWidth + r.hiX + 1], PaletteColours[5]) << glyph;
        EXPECT_EQ(HiColourCanvas[r.hiY * CanvasWidth + r.hiX + 2], PaletteColours[6]) << glyph;
    }
}

TEST_F(RegisterTest, ImagesMayEndOnTheLastRowOfEitherSheet)
{
    // In the last column of the index sheet: the enlargement reads beyond the canvas end.
    IndexSheetCursor = {1023, 3000, 0};
    Register(SpriteFile(1, 72, 0, 0, 0, 5), "LASTROW");
    EXPECT_EQ(IndexCanvas[CanvasWidth * IndexCanvasHeight - 1], 5);
    EXPECT_EQ(HiColourCanvas[(2560 + 143) * CanvasWidth + 1], PaletteColours[5]);
    // 37 rows make 74 hi-colour rows, ending on row 3573.
    IndexSheetCursor = {0, 2560, 0};
    HiSheetCursor = {0, 3500, 0};
    Register(SpriteFile(2, 37, 0, 0, 0, 5), "HILAST");
    EXPECT_EQ(HiColourCanvas[3573 * CanvasWidth + 2], PaletteColours[5]);
    SpriteCount = MaxSprites - 1;
    EXPECT_EQ(Register(SpriteFile(1, 1, 0, 0, 0, 5), "LAST"), MaxSprites - 1);
    EXPECT_EQ(SpriteCount, MaxSprites);
}

TEST_F(RegisterTest, RefusalsLeaveTheRegistryUntouched)
{
    struct Case {
        std::vector<uint8_t> data;
        SheetCursor index, hi;
        uint16_t count;
    };
    const SheetCursor start = {0, 2560, 0};
    std::vector<uint8_t> shortCells = SpriteFile(4, 4, 0, 0, 0, 1);
    shortCells.pop_back();
    const std::vector<Case> cases = {
        {{}, start, start, 0},
        {{1, 1, 0, 0}, start, start, 0},
        {shortCells, start, start, 0},
        {SpriteFile(0, 4, 0, 0, 0, 1), start, start, 0},
        {SpriteFile(4, 0, 0, 0, 0, 1), start, start, 0},
        {SpriteFile(1, 1, 0, 0, 0, 1), start, start, MaxSprites},
        {SpriteFile(1, 72, 0, 0, 0, 1), {0, 3001, 0}, start, 0},
        {SpriteFile(25, 1, 0, 0, 0, 1), {1000, 3000, 72}, start, 0},
        {SpriteFile(1, 38, 0, 0, 0, 1), start, {0, 3500, 0}, 0},
    };
    for (size_t n = 0; n < cases.size(); ++n) {
        const Case& c = cases[n];
        IndexSheetCursor = c.index;
        HiSheetCursor = c.hi;
        SpriteCount = c.count;
        EXPECT_NE(SpriteRefusal(c.data.data(), c.data.size()), nullptr) << n;
        EXPECT_EQ(SpriteCount, c.count);
        EXPECT_EQ(IndexSheetCursor.y, c.index.y);
        EXPECT_EQ(HiSheetCursor.y, c.hi.y);
    }
    SpriteCount = 0;
    IndexSheetCursor = HiSheetCursor = start;
    const std::vector<uint8_t> fine = SpriteFile(4, 4, 0, 0, 0, 1);
    EXPECT_EQ(SpriteRefusal(fine.data(), fine.size()), nullptr);
}

static void NoteCleanup()
{
    std::fputs("cleanup\n", stderr);
    StopVideo();
}

TEST_F(RegisterTest, RefusedSpritesStopWithALineNamingThemAfterTheCleanup)
{
    const std::vector<uint8_t> zeroWide = SpriteFile(0, 3, 0, 0, 0, 1);
    EXPECT_EXIT(
        {
            StdoutToStderr();
            SetFatalCleanup(NoteCleanup);
            Register(zeroWide, "KOBA:41");
        },
        testing::ExitedWithCode(1), "^cleanup\nCan't register sprite \"KOBA:41\": a width or height of 0!\n$");
    HiSheetCursor = {0, 3500, 0};
    EXPECT_EXIT(
        {
            StdoutToStderr();
            Register(SpriteFile(1, 38, 0, 0, 0, 1), "TALL");
        },
        testing::ExitedWithCode(1), "^Can't register sprite \"TALL\": no room left in the hi-colour sprite sheet!\n$");
}
