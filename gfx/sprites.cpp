#include "gfx/sprites.h"

#include <cstring>

SpriteRecord SpriteTable[MaxSprites];
uint16_t SpriteCount = 0;
SheetCursor IndexSheetCursor = {0, SheetTop, 0};
SheetCursor HiSheetCursor = {0, SheetTop, 0};

void ResetSpriteRegistry()
{
    SpriteCount = 0;
    IndexSheetCursor = {0, SheetTop, 0};
    HiSheetCursor = {0, SheetTop, 0};
}

uint16_t FindSprite(const std::string& name)
{
    // Stored names hold at most 8 characters, so a longer name can never match.
    if (name.size() > 8)
        return NoSprite;
    for (uint16_t i = 0; i < SpriteCount; ++i) {
        const SpriteRecord& record = SpriteTable[i];
        if (record.nameLength == name.size() && std::memcmp(record.name, name.data(), name.size()) == 0)
            return i;
    }
    return NoSprite;
}

// The record to draw, or null for NoSprite. An index beyond the registry draws nothing as well:
// its record holds no sprite and its sheet rectangle may not even lie inside the canvas.
static inline const SpriteRecord* Drawable(uint16_t index)
{
    return index < SpriteCount ? &SpriteTable[index] : nullptr;
}

// Where a sprite lands: its top-left corner for the drawing position (x, y), at scale 1 (index
// canvas) or 2 (hi-colour canvas). Sizes and origins come from the pack, so the target is checked
// once per sprite: one that would leave the canvas draws nothing, since the box operations
// beneath neither clip nor check.
static inline const SpriteRecord* Placed(uint16_t index, int32_t& x, int32_t& y, int32_t scale, int32_t rows)
{
    const SpriteRecord* s = Drawable(index);
    if (!s)
        return nullptr;
    int64_t left = int64_t(x) - scale * s->originX;
    int64_t top = int64_t(y) - scale * s->originY;
    if (left < 0 || top < 0 || left + scale * s->width > CanvasWidth || top + scale * s->height > rows)
        return nullptr;
    x = int32_t(left);
    y = int32_t(top);
    return s;
}

void DrawSprite8(int32_t x, int32_t y, uint16_t index)
{
    if (const SpriteRecord* s = Placed(index, x, y, 1, IndexCanvasHeight))
        CopyBoxKeyed8(s->indexX, s->indexY, x, y, s->width, s->height, s->keyColour);
}

void DrawSpriteOnMaterial8(int32_t x, int32_t y, uint16_t index, MaterialMask mask)
{
    if (const SpriteRecord* s = Placed(index, x, y, 1, IndexCanvasHeight))
        CopyBoxOnMaterial8(s->indexX, s->indexY, x, y, s->width, s->height, s->keyColour, mask);
}

void DrawSpriteShape8(int32_t x, int32_t y, uint16_t index, ColourIndex colour)
{
    if (const SpriteRecord* s = Placed(index, x, y, 1, IndexCanvasHeight))
        FillShape8(s->indexX, s->indexY, x, y, s->width, s->height, s->keyColour, colour);
}

void DrawSpriteRecoloured8(int32_t x, int32_t y, uint16_t index, ColourIndex colour)
{
    if (const SpriteRecord* s = Placed(index, x, y, 1, IndexCanvasHeight))
        CopyBoxRecoloured8(s->indexX, s->indexY, x, y, s->width, s->height, s->keyColour, 255, colour);
}

ColourIndex SpriteCollides8(int32_t x, int32_t y, uint16_t index, MaterialMask mask)
{
    if (const SpriteRecord* s = Placed(index, x, y, 1, IndexCanvasHeight))
        return TestBoxCollision8(s->indexX, s->indexY, x, y, s->width, s->height, s->keyColour, mask);
    return 0;
}

void DrawSprite16(int32_t x, int32_t y, uint16_t index)
{
    if (const SpriteRecord* s = Placed(index, x, y, 2, HiColourCanvasHeight))
        CopyBoxKeyed16(s->hiX, s->hiY, x, y, 2 * s->width, 2 * s->height, s->keyPixel);
}

void DrawSpriteUnflagged16(int32_t x, int32_t y, uint16_t index)
{
    if (const SpriteRecord* s = Placed(index, x, y, 2, HiColourCanvasHeight))
        CopyBoxUnflagged16(s->hiX, s->hiY, x, y, 2 * s->width, 2 * s->height, s->keyPixel);
}

void DrawSpriteShape16(int32_t x, int32_t y, uint16_t index, Pixel colour)
{
    if (const SpriteRecord* s = Placed(index, x, y, 2, HiColourCanvasHeight))
        FillShape16(s->hiX, s->hiY, x, y, 2 * s->width, 2 * s->height, s->keyPixel, colour);
}

void DrawSpriteRecoloured16(int32_t x, int32_t y, uint16_t index, Pixel colour)
{
    // The ink is recognised by its colour at drawing time, not by the index it came from.
    if (const SpriteRecord* s = Placed(index, x, y, 2, HiColourCanvasHeight))
        CopyBoxRecoloured16(s->hiX, s->hiY, x, y, 2 * s->width, 2 * s->height, s->keyPixel, PaletteColours[255],
                            colour);
}
