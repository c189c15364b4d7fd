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

void DrawSprite8(int32_t x, int32_t y, uint16_t index)
{
    if (const SpriteRecord* s = Drawable(index))
        CopyBoxKeyed8(s->indexX, s->indexY, x - s->originX, y - s->originY, s->width, s->height, s->keyColour);
}

void DrawSpriteOnMaterial8(int32_t x, int32_t y, uint16_t index, MaterialMask mask)
{
    if (const SpriteRecord* s = Drawable(index))
        CopyBoxOnMaterial8(s->indexX, s->indexY, x - s->originX, y - s->originY, s->width, s->height, s->keyColour,
                           mask);
}

void DrawSpriteShape8(int32_t x, int32_t y, uint16_t index, ColourIndex colour)
{
    if (const SpriteRecord* s = Drawable(index))
        FillShape8(s->indexX, s->indexY, x - s->originX, y - s->originY, s->width, s->height, s->keyColour, colour);
}

void DrawSpriteRecoloured8(int32_t x, int32_t y, uint16_t index, ColourIndex colour)
{
    if (const SpriteRecord* s = Drawable(index))
        CopyBoxRecoloured8(s->indexX, s->indexY, x - s->originX, y - s->originY, s->width, s->height, s->keyColour,
                           255, colour);
}

ColourIndex SpriteCollides8(int32_t x, int32_t y, uint16_t index, MaterialMask mask)
{
    if (const SpriteRecord* s = Drawable(index))
        return TestBoxCollision8(s->indexX, s->indexY, x - s->originX, y - s->originY, s->width, s->height,
                                 s->keyColour, mask);
    return 0;
}

void DrawSprite16(int32_t x, int32_t y, uint16_t index)
{
    if (const SpriteRecord* s = Drawable(index))
        CopyBoxKeyed16(s->hiX, s->hiY, x - 2 * s->originX, y - 2 * s->originY, 2 * s->width, 2 * s->height,
                       s->keyPixel);
}

void DrawSpriteUnflagged16(int32_t x, int32_t y, uint16_t index)
{
    if (const SpriteRecord* s = Drawable(index))
        CopyBoxUnflagged16(s->hiX, s->hiY, x - 2 * s->originX, y - 2 * s->originY, 2 * s->width, 2 * s->height,
                           s->keyPixel);
}

void DrawSpriteShape16(int32_t x, int32_t y, uint16_t index, Pixel colour)
{
    if (const SpriteRecord* s = Drawable(index))
        FillShape16(s->hiX, s->hiY, x - 2 * s->originX, y - 2 * s->originY, 2 * s->width, 2 * s->height, s->keyPixel,
                    colour);
}

void DrawSpriteRecoloured16(int32_t x, int32_t y, uint16_t index, Pixel colour)
{
    // The ink is recognised by its colour at drawing time, not by the index it came from.
    if (const SpriteRecord* s = Drawable(index))
        CopyBoxRecoloured16(s->hiX, s->hiY, x - 2 * s->originX, y - 2 * s->originY, 2 * s->width, 2 * s->height,
                            s->keyPixel, PaletteColours[255], colour);
}
