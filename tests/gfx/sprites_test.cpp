#include <gtest/gtest.h>

#include <climits>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "engine_fixture.h"
#include "gfx/sprites.h"

namespace {

using Rows = std::vector<std::vector<int>>;

class SpritesTest : public CanvasTest {};

}  // namespace

TEST_F(SpritesTest, FindSpriteMatchesWholeNamesExactlyAndTakesTheFirst)
{
    EXPECT_EQ(FindSprite("CURSOR"), NoSprite);
    EXPECT_EQ(FindSprite(""), NoSprite);
    PlaceSprite("CURSOR", {{1}}, 0, 0, 0);
    PlaceSprite("ORIGIN", {{1}}, 0, 0, 0);
    PlaceSprite("CURSOR", {{2}}, 0, 0, 0);
    PlaceSprite("ABCDEFGH", {{2}}, 0, 0, 0);
    EXPECT_EQ(FindSprite("CURSOR"), 0);
    EXPECT_EQ(FindSprite("ORIGIN"), 1);
    EXPECT_EQ(FindSprite("cursor"), NoSprite);
    EXPECT_EQ(FindSprite("CURSO"), NoSprite);
    EXPECT_EQ(FindSprite("CURSORS"), NoSprite);
    EXPECT_EQ(FindSprite("ABCDEFGH"), 3);
    EXPECT_EQ(FindSprite("ABCDEFGHIJ"), NoSprite);
    // Beyond SpriteCount nothing is found, whatever the table holds there.
    SpriteCount = 1;
    EXPECT_EQ(FindSprite("ORIGIN"), NoSprite);
}

TEST_F(SpritesTest, OriginIsPlacedOnTheDrawingPositionInBothSizes)
{
    const uint16_t s = PlaceSprite("S", {{5, 6, 7, 8}, {9, 10, 11, 12}, {13, 14, 15, 16}}, 3, 2, 0);
    DrawSprite8(10, 10, s);
    EXPECT_EQ(Index(7, 8), 5);
    EXPECT_EQ(Index(10, 10), 16);
    EXPECT_EQ(Index(6, 8), 0);
    EXPECT_EQ(Index(7, 7), 0);
    DrawSprite16(20, 20, s);
    EXPECT_EQ(Hi(14, 16), 0x105);
    EXPECT_EQ(Hi(15, 17), 0x105);
    EXPECT_EQ(Hi(21, 21), 0x110);
    EXPECT_EQ(Hi(13, 16), 0);
    EXPECT_EQ(Hi(14, 15), 0);
    EXPECT_EQ(Hi(22, 20), 0);
}

TEST_F(SpritesTest, IndexDrawingModesUseTheSpritesKey)
{
    const uint16_t s = PlaceSprite("S", {{3, 255, 7}}, 0, 0, 3);
    PutRows8(0, 0, {{1, 1, 1}});
    DrawSprite8(0, 0, s);
    EXPECT_EQ(Rows8(0, 0, 3, 1), (Rows{{1, 255, 7}}));
    PutRows8(0, 0, {{1, 1, 1}});
    DrawSpriteRecoloured8(0, 0, s, 12);
    EXPECT_EQ(Rows8(0, 0, 3, 1), (Rows{{1, 12, 7}}));
    PutRows8(0, 0, {{1, 1, 1}});
    DrawSpriteShape8(0, 0, s, 40);
    EXPECT_EQ(Rows8(0, 0, 3, 1), (Rows{{1, 40, 40}}));

    uint8_t mask[256] = {};
    mask[50] = 1;
    PutRows8(0, 0, {{50, 50, 60}});
    EXPECT_EQ(SpriteCollides8(0, 0, s, mask), 50);
    PutRows8(0, 0, {{50, 60, 60}});
    EXPECT_EQ(SpriteCollides8(0, 0, s, mask), 0);
    PutRows8(0, 0, {{50, 50, 60}});
    DrawSpriteOnMaterial8(0, 0, s, mask);
    EXPECT_EQ(Rows8(0, 0, 3, 1), (Rows{{50, 255, 60}}));
}

TEST_F(SpritesTest, HiColourDrawingModesUseTheKeyPixelAndTheInkOfTheMoment)
{
    const uint16_t s = PlaceSprite("S", {{3, 255, 7}}, 0, 0, 3);
    PaletteColours[255] = 0x1FF;  // the doubled 255 cells
    PutRows16(0, 0, {{1, 1, 0x20, 0x20, 1, 1}});
    DrawSprite16(0, 0, s);
    EXPECT_EQ(Rows16(0, 0, 6, 1), (Rows{{1, 1, 0x1FF, 0x1FF, 0x107, 0x107}}));
    PutRows16(0, 0, {{1, 1, 0x20, 0x20, 1, 1}});
    DrawSpriteUnflagged16(0, 0, s);
    EXPECT_EQ(Rows16(0, 0, 6, 1), (Rows{{1, 1, 0x20, 0x20, 0x107, 0x107}}));
    PutRows16(0, 0, {{1, 1, 1, 1, 1, 1}});
    DrawSpriteShape16(0, 0, s, 0x7777);
    EXPECT_EQ(Rows16(0, 0, 6, 1), (Rows{{1, 1, 0x7777, 0x7777, 0x7777, 0x7777}}));
    DrawSpriteRecoloured16(0, 0, s, 0x4444);
    EXPECT_EQ(Rows16(0, 0, 6, 1), (Rows{{1, 1, 0x4444, 0x4444, 0x107, 0x107}}));
    // Ink is whatever index 255 shows now: any pixel of that value is recoloured.
    PaletteColours[255] = 0x107;
    DrawSpriteRecoloured16(0, 0, s, 0x5555);
    EXPECT_EQ(Rows16(0, 0, 6, 1), (Rows{{1, 1, 0x1FF, 0x1FF, 0x5555, 0x5555}}));
}

// Sizes and origins come from packs, so a sprite whose place would leave the canvas is not drawn
// at all: the box operations beneath neither clip nor check.
TEST_F(SpritesTest, NoSpriteIndicesBeyondTheRegistryAndPlacesOffTheCanvasDrawNothing)
{
    uint16_t placed = PlaceSprite("S", {{1, 2}}, 0, 0, 0);
    uint16_t hanging = PlaceSprite("H", {{3}, {4}}, 200, 255, 0, 2, 4);  // origin far right and below
    const std::vector<uint8_t> index(IndexCanvas, IndexCanvas + CanvasWidth * IndexCanvasHeight);
    const std::vector<Pixel> hi(HiColourCanvas, HiColourCanvas + CanvasWidth * HiColourCanvasHeight);
    uint8_t mask[256];
    std::memset(mask, 1, sizeof mask);
    struct Case {
        uint16_t sprite;
        int32_t x, y;
    };
    const Case cases[] = {{NoSprite, 10, 10}, {2, 10, 10},          {4095, 10, 10},
                          {placed, -1, 10},   {placed, 1023, 10},   {placed, 10, HiColourCanvasHeight - 1},
                          {placed, 10, -1},   {hanging, 199, 300},  {hanging, 10, 10},
                          {placed, INT32_MIN, INT32_MAX}};
    for (const Case& c : cases) {
        DrawSprite8(c.x, c.y, c.sprite);
        DrawSpriteOnMaterial8(c.x, c.y, c.sprite, mask);
        DrawSpriteShape8(c.x, c.y, c.sprite, 9);
        DrawSpriteRecoloured8(c.x, c.y, c.sprite, 9);
        EXPECT_EQ(SpriteCollides8(c.x, c.y, c.sprite, mask), 0);
        // The enlarged image is twice as large: (1023, y) leaves the hi-colour canvas as well.
        DrawSprite16(c.x, c.y, c.sprite);
        DrawSpriteUnflagged16(c.x, c.y, c.sprite);
        DrawSpriteShape16(c.x, c.y, c.sprite, 9);
        DrawSpriteRecoloured16(c.x, c.y, c.sprite, 9);
    }
    DrawSprite16(1022, 10, placed);  // 2 pixels wide at scale 1, 4 at scale 2: off the canvas
    EXPECT_TRUE(std::equal(index.begin(), index.end(), IndexCanvas));
    EXPECT_TRUE(std::equal(hi.begin(), hi.end(), HiColourCanvas));
    // Right at the edges it still draws.
    DrawSprite8(1022, IndexCanvasHeight - 1, placed);
    EXPECT_EQ(Index(1023, IndexCanvasHeight - 1), 2);
    DrawSprite8(200, 255, hanging);
    EXPECT_EQ(Index(0, 0), 3);
    EXPECT_EQ(Index(0, 1), 4);
}
