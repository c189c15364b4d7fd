#include <gtest/gtest.h>

#include <cstdio>
#include <random>

#include "gfx/sprites.h"
#include "helpers.h"
#include "resources/enlarge.h"
#include "resources/register.h"
#include "util/fatal.h"

static uint16_t Register(const Bytes& d, std::string n) { return RegisterSprite(d.data(), d.size(), n); }

static std::string At(int x, int y) { return std::to_string(x) + "," + std::to_string(y); }

// Where the sprite went: "indexX,indexY hiX,hiY".
static std::string Spots(const SpriteRecord& r) { return At(r.indexX, r.indexY) + " " + At(r.hiX, r.hiY); }

using RegisterTest = CanvasTest;

// The first sprite at the top left, its name cut to eight characters. Then four 250 wide: the index
// sheet holds them on one shelf, the hi-colour sheet (500 each) breaks after the second. A new shelf
// starts below the tallest image of the current one.
TEST_F(RegisterTest, SpritesFillTheirRecordsAndShelvesBreakOnlyPastColumn1024OnEachSheetAlone)
{
    PaletteColours[9] = 0x1234;
    const SpriteRecord& r = SpriteTable[Register({3, 2, 1, 2, 9, 1, 2, 3, 4, 5, 6, 0xEE}, "ARROWHEAD")];
    EXPECT_EQ(std::string(r.name, r.nameLength) + " " + Spots(r), "ARROWHEA 0,2560 0,2560");
    EXPECT_EQ(Row({r.width, r.height, r.originX, r.originY, r.keyColour, r.keyPixel}),
              Row({3, 2, 1, 2, 9, 0x1234}));
    EXPECT_EQ(Rows8(0, 2560, 4, 2), (Rows{{1, 2, 3, 0}, {4, 5, 6, 0}}));  // the byte beyond is ignored
    for (int height : {2, 5, 3, 1})
        Register(SpriteFile(250, height, 1), "W");
    EXPECT_EQ(Spots(SpriteTable[3]) + " " + Spots(SpriteTable[4]), "503,2560 0,2570 753,2560 500,2570");
    Register(SpriteFile(21, 1, 1), "FITS");  // ends exactly at column 1024; 1000 + 42 does not fit
    EXPECT_EQ(Spots(SpriteTable[5]), "1003,2560 0,2576");
    Register(SpriteFile(1, 1, 1), "NEXT");  // 1024 + 1 does not fit: the new shelf is one row high
    EXPECT_EQ(Spots(SpriteTable[6]) + " " + At(IndexSheetCursor.x, IndexSheetCursor.shelfHeight),
              "0,2565 42,2576 1,1");
}

// What just fits is taken (on the index sheet's last cell its enlargement reads beyond the canvas);
// one more stops the program with a line naming it, and the cleanup finds nothing of it registered.
TEST_F(RegisterTest, SheetsAndTableFillToTheirEndAndRefusalsStopBeforeAnythingChanges)
{
    PaletteColours[5] = 0xF800;
    const SheetCursor start = {0, 2560, 0}, lastIndexRows = {1023, 3000, 0}, lastHiRows = {0, 3500, 0};
    const char* const empty = "a width or height of 0";
    const struct Case { Bytes data; SheetCursor index, hi; uint16_t count; const char* reason; } cases[] = {
        {SpriteFile(1, 72, 5), lastIndexRows, start, 0, nullptr},
        {SpriteFile(2, 37, 5), start, lastHiRows, 0, nullptr},
        {SpriteFile(1, 1, 5), start, start, MaxSprites - 1, nullptr},
        {{1, 1, 0, 0}, start, start, 0, "shorter than its 5-byte header"},
        {Bytes(20, 4), start, start, 0, "shorter than its width and height say"},  // 4x4 in 15 bytes
        {SpriteFile(4, 0, 1), start, start, 0, empty}, {SpriteFile(0, 4, 1), start, start, 0, empty},
        {SpriteFile(1, 1, 1), start, start, MaxSprites, "more than 4096 sprites"},
        {SpriteFile(25, 1, 1), {1000, 3000, 72}, start, 0, "no room left in the index sprite sheet"},
        {SpriteFile(1, 38, 1), start, lastHiRows, 0, "no room left in the hi-colour sprite sheet"},
    };
    static const auto registry = [] {  // as the cleanup of a stop sees it
        return std::to_string(SpriteCount) + " sprites, cursors " +
               At(IndexSheetCursor.x, IndexSheetCursor.y) + " " + At(HiSheetCursor.x, HiSheetCursor.y);
    };
    for (const Case& c : cases) {
        IndexSheetCursor = c.index, HiSheetCursor = c.hi, SpriteCount = c.count;
        if (!c.reason) {
            const SpriteRecord& r = SpriteTable[Register(c.data, "FITS")];
            EXPECT_TRUE(SpriteCount == c.count + 1 && Index(r.indexX, r.indexY + r.height - 1) == 5 &&
                        Hi(r.hiX + 1, r.hiY + 2 * r.height - 1) == 0xF800) << r.indexY << " " << r.hiY;
            continue;
        }
        auto cleanup = [] { std::fprintf(stderr, "%s\n", registry().c_str()), StopVideo(); };
        EXPECT_EXIT({ StdoutToStderr(); SetFatalCleanup(cleanup); Register(c.data, "KOBA:41"); },
                    testing::ExitedWithCode(1),
                    "^" + registry() + "\nCan't register sprite \"KOBA:41\": " + c.reason + "!\n$");
    }
}

// The enlargement against a plain evaluation of its rules, with no tables and no shortcuts, on sprites of
// two or four colours (so that all 512 key patterns turn up) anywhere on the canvas, reads falling off it.

// [quarter][row dy + 1][column dx + 1], quarters top-left, top-right, bottom-left, bottom-right.
static const int Weights[4][3][3] = {
    {{2, 4, 1}, {4, 24, 1}, {1, 1, 1}}, {{1, 2, 2}, {2, 24, 16}, {2, 2, 1}},
    {{1, 2, 2}, {2, 24, 2}, {2, 16, 1}}, {{1, 1, 2}, {1, 24, 8}, {2, 8, 4}}};

static Pixel ReferenceQuarter(int ix, int iy, ColourIndex keyColour, bool glyph, int sx, int sy)
{
    auto at = [&](int dx, int dy) {  // beyond the canvas reads 0
        long at = long(iy + dy) * CanvasWidth + ix + dx;
        return at < 0 || at >= long(CanvasWidth) * IndexCanvasHeight ? 0 : int(IndexCanvas[at]);
    };
    const bool s = at(0, 0) == keyColour;
    auto D = [&](int dx, int dy) { return (at(dx, dy) == keyColour) != s; };
    const int ex = 2 * sx - 1, ey = 2 * sy - 1;
    const bool flip = D(ex, 0) && D(0, ey) && D(ex, ey) &&
                      ((!D(-ex, 0) && !D(0, -ey)) ||
                       (D(0, -ey) && D(ex, -ey) && D(-ex, -ey) && !D(-ex, 0) && !D(-ex, ey)) ||
                       (D(-ex, 0) && D(-ex, ey) && D(-ex, -ey) && !D(0, -ey) && !D(ex, -ey)));
    if (flip != s)  // the quarter is key
        return PaletteColours[keyColour];
    // A glyph takes its own cell's colour; a sprite blends its neighbours that are not key.
    unsigned r = 0, g = 0, b = 0, f = 0, w = 0;
    for (int n = 0; n < 9; ++n) {
        const int dx = n % 3 - 1, dy = n / 3 - 1;
        if (glyph ? n != 4 : at(dx, dy) == keyColour)
            continue;
        Pixel q = PaletteColours[at(dx, dy)];
        unsigned weight = glyph ? 1 : unsigned(Weights[sy * 2 + sx][dy + 1][dx + 1]);
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
        for (int n = 0; n < w * h; ++n)
            Index(x + n % w, y + n / w) = ColourIndex(random() % colours);
        EnlargeSprite(uint16_t(x), uint16_t(y), 10, 2600, uint16_t(w), uint16_t(h), keyColour, glyph);
        for (int j = 0; j < 2 * h; ++j)
            for (int i = 0; i < 2 * w; ++i)
                ASSERT_EQ(Hi(10 + i, 2600 + j),
                          ReferenceQuarter(x + i / 2, y + j / 2, keyColour, glyph, i % 2, j % 2))
                    << "round " << round << " at " << i << "," << j;
    }
}
