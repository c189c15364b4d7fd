#include <memory>

#include "gfx/material.h"
#include "gfx/text.h"
#include "tests/support/canvas.h"

TEST_F(CanvasTest, FindSpriteMatchesWholeNamesExactlyAndTakesTheFirstWithinTheCount)
{
    for (const char* name : {"CURSOR", "ABCDEFGH", "CURSOR", "ORIGIN"})
        PlaceSprite(name, {{1}}, 0, 0, 0);
    SpriteCount = 3;
    std::string found;
    for (const char* name : {"CURSOR", "ABCDEFGH", "ORIGIN", "cursor", "CURSO", "CURSORS", "", "ABCDEFGHIJ"})
        found += std::to_string(FindSprite(name) == NoSprite ? -1 : FindSprite(name)) + " ";
    EXPECT_EQ(found, "0 1 -1 -1 -1 -1 -1 -1 ");
}

// The enlarged image's origin is twice as far: (20, 20) less (6, 4).
TEST_F(CanvasTest, OriginIsPlacedOnTheDrawingPositionInBothSizes)
{
    const uint16_t s = PlaceSprite("S", {{5, 6, 7, 8}, {9, 10, 11, 12}, {13, 14, 15, 16}}, 3, 2, 0);
    DrawSprite8(10, 10, s), DrawSprite16(20, 20, s);
    EXPECT_EQ(Rows8(7, 8, 5, 4), (Rows{{5, 6, 7, 8, 0}, {9, 10, 11, 12, 0}, {13, 14, 15, 16, 0}, Row(5)}));
    EXPECT_EQ(Rows16(13, 15, 3, 3), (Rows{{0, 0, 0}, {0, 0x105, 0x105}, {0, 0x105, 0x105}}));
    EXPECT_EQ(Rows16(20, 20, 3, 2), (Rows{{0x110, 0x110, 0}, {0x110, 0x110, 0}}));
}

// Each drawing mode passes the sprite's own key down: index 3 on the index canvas, its pixel
// 0x103 on the hi-colour one. The hi-colour ink is whatever index 255 shows at the moment.
TEST_F(CanvasTest, DrawingModesUseTheSpritesKeyAndTheInkOfTheMoment)
{
    const uint16_t s = PlaceSprite("S", {{3, 255, 7}}, 0, 0, 3);
    uint8_t mask[256] = {};
    mask[50] = 200;  // any non-zero entry counts
    PaletteColours[255] = 0x1FF;  // the doubled 255 cells
    // Only targets without the solid flag 0x0020 are drawn over.
    const Rows ones = {{1, 1, 1}}, hiOnes = {Row(6, 1)}, flagged = {{1, 1, 0x20, 0x20, 0xFFDF, 0xFFDF}};
    const struct { bool hi; Rows before; std::function<void()> draw; Row expected; } cases[] = {
        {false, ones, [&] { DrawSprite8(0, 0, s); }, {1, 255, 7}},
        {false, ones, [&] { DrawSpriteRecoloured8(0, 0, s, 12); }, {1, 12, 7}},
        {false, ones, [&] { DrawSpriteShape8(0, 0, s, 40); }, {1, 40, 40}},
        {false, {{50, 50, 60}}, [&] { DrawSpriteOnMaterial8(0, 0, s, mask); }, {50, 255, 60}},
        {true, flagged, [&] { DrawSprite16(0, 0, s); }, {1, 1, 0x1FF, 0x1FF, 0x107, 0x107}},
        {true, flagged, [&] { DrawSpriteUnflagged16(0, 0, s); }, {1, 1, 0x20, 0x20, 0x107, 0x107}},
        {true, hiOnes, [&] { DrawSpriteShape16(0, 0, s, 0x7777); }, {1, 1, 0x7777, 0x7777, 0x7777, 0x7777}},
        {true, hiOnes, [&] { DrawSpriteRecoloured16(0, 0, s, 0x4444); }, {1, 1, 0x4444, 0x4444, 0x107, 0x107}},
        {true, hiOnes, [&] { PaletteColours[255] = 0x107; DrawSpriteRecoloured16(0, 0, s, 0x5555); },
         {1, 1, 0x1FF, 0x1FF, 0x5555, 0x5555}},
    };
    for (size_t n = 0; n < std::size(cases); ++n)
        EXPECT_EQ(RowAfter(cases[n].hi, cases[n].before, cases[n].draw), cases[n].expected) << "case " << n;
}

// A key pixel over material does not count; nothing is written. Worms collide with 40..43, not with 1.
TEST_F(CanvasTest, CollisionReturnsTheFirstMaterialUnderInkInRowOrder)
{
    const uint16_t s = PlaceSprite("S", {{3, 1, 1}, {1, 1, 1}}, 0, 0, 3, 100);
    for (const auto& [material, hit] : {std::pair(Rows{{40, 1, 41}, {42, 43, 1}}, 41), {{{40, 1, 1}, {1, 42, 43}}, 42},
                                        {{{40, 1, 1}, {1, 1, 1}}, 0}}) {
        PutRows(false, 0, 0, material);
        EXPECT_EQ(SpriteCollides8(0, 0, s, materialWormsCollide), hit);
        EXPECT_EQ(Rows8(0, 0, 3, 2), material);
    }
}

// Sizes and origins come from packs, so a sprite whose place would leave the canvas is not drawn
// at all: the box operations beneath neither clip nor check. One place per side, and at the edges.
TEST_F(CanvasTest, NoSpriteIndicesBeyondTheRegistryAndPlacesOffTheCanvasDrawNothing)
{
    uint16_t placed = PlaceSprite("S", {{1, 2}}, 0, 0, 0);
    uint16_t hanging = PlaceSprite("H", {{3}, {4}}, 200, 255, 0, 2, 4);  // origin far right and below
    FillBox8(0, 0, CanvasWidth, SheetTop, 7);  // material a collision would report
    const std::vector<uint8_t> index(IndexCanvas, IndexCanvas + CanvasWidth * IndexCanvasHeight);
    const std::vector<Pixel> hi(HiColourCanvas, HiColourCanvas + CanvasWidth * HiColourCanvasHeight);
    const std::tuple<uint16_t, int32_t, int32_t> cases[] = {
        {NoSprite, 10, 10}, {2, 10, 10},         {placed, -1, 10},  {placed, 1023, 10}, {placed, 10, -1},
        {hanging, 199, 300}, {placed, 10, HiColourCanvasHeight - 1}, {placed, INT32_MIN, INT32_MAX}};
    for (const auto& [sprite, x, y] : cases) {
        DrawSprite8(x, y, sprite), DrawSpriteOnMaterial8(x, y, sprite, materialWormsCollide);
        DrawSpriteShape8(x, y, sprite, 9), DrawSpriteRecoloured8(x, y, sprite, 9);
        EXPECT_EQ(SpriteCollides8(x, y, sprite, materialWormsCollide), 0);
        DrawSprite16(x, y, sprite), DrawSpriteUnflagged16(x, y, sprite);
        DrawSpriteShape16(x, y, sprite, 9), DrawSpriteRecoloured16(x, y, sprite, 9);
    }
    DrawSprite16(1022, 10, placed);  // 2 pixels wide at scale 1, 4 at scale 2: off the canvas
    EXPECT_TRUE(std::equal(index.begin(), index.end(), IndexCanvas));
    EXPECT_TRUE(std::equal(hi.begin(), hi.end(), HiColourCanvas));
    DrawSprite8(1022, IndexCanvasHeight - 1, placed);
    DrawSprite8(200, 255, hanging);
    EXPECT_EQ(Index(1023, IndexCanvasHeight - 1), 2);
    EXPECT_EQ(Rows8(0, 0, 1, 2), (Rows{{3}, {4}}));
}

// Glyphs with a blank leftmost column and origin 0: a space 2 wide, an A 3 wide, an e-acute 5 wide. Missing
// glyphs fall back to the space; a font of another name has not even a space. In the large
// size the pen starts two pixels left, so the ink after the blank column begins at x; glyph ink 255 takes
// the colour (the index-canvas text is checked in the editor's picture).
TEST_F(CanvasTest, TextWidthIsTheSumOfTheGlyphWidthsLessOneAndLargeInkBeginsAtX)
{
    auto load = [](const char* prefix) { return std::shared_ptr<Font>(LoadFont(prefix), FreeFont); };
    PlaceSprite("KOBA:20", {{0, 0}}, 0, 0, 0, 0, 0);
    PlaceSprite("KOBA:41", {{0, 255, 7}}, 0, 0, 0, 10, 20);
    PlaceSprite("KOBA:E9", {{0, 1, 1, 1, 1}}, 0, 0, 0, 40, 80);
    PlaceSprite("WIDE:41", Rows(1, Row(255, 1)), 0, 0, 0, 300, 400);
    for (const auto& [font, text, width] : {std::tuple<const char*, std::string, int>("KOBA", "", 0),
             {"KOBA", "A", 2}, {"KOBA", "A A", 7}, {"KOBA", "A?", 4}, {"KOBA", "\xE9\xFF", 6},
             {"koba", "AAA", -1}, {"WIDE", std::string(255, 'A'), 255 * 255 - 1}})
        EXPECT_EQ(TextWidth(text, load(font).get()), width) << font << " " << text;
    PaletteColours[255] = 0x1FF;  // the placed images show index 255 as 0x1FF
    DrawTextLarge(10, 5, "AA", load("KOBA").get(), 0x4444);  // A at pen 8 covers 8..13, the next 14..19
    const Row ink = {0, 0, 0x4444, 0x4444, 0x107, 0x107, 0, 0, 0x4444, 0x4444, 0x107, 0x107, 0};
    EXPECT_EQ(Rows16(8, 5, 13, 3), (Rows{ink, ink, Row(13)}));
}

// The indices at the edges of the material ranges and the panel's worked indices, each with
// its five flags in row order, Water first (the labels are checked in the editor's picture).
TEST(MaterialTable, IndicesCarryTheirFlagsInRowOrder)
{
    std::string got;
    for (int index : {0, 130, 1, 192, 195, 160, 168, 3, 12, 76, 79, 103, 202, 207, 208, 255})
        for (const MaterialRow& row : MaterialTable)
            got += (&row == MaterialTable ? " " : "") + std::to_string(row.flags[index]);
    EXPECT_EQ(got, " 00000 00000 01011 10000 00111 01000 00100 00100 00111 00100 01011 00111 10000 00111 00100 00100");
}
