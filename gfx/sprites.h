// The sprite registry: every registered sprite's record, found by name once and drawn by index.
#pragma once

#include <cstdint>
#include <string>

#include "gfx/primitives.h"

enum : uint16_t {
    NoSprite = 65535,
    MaxSprites = 4096,
};

struct SpriteRecord {
    char name[9];  // at most 8 characters, zero-terminated
    uint8_t nameLength;
    uint16_t indexX, indexY;  // top-left of the index image in the index sheet
    uint16_t hiX, hiY;  // top-left of the enlarged image in the hi-colour sheet
    Pixel keyPixel;  // PaletteColours[keyColour] when registered
    uint8_t width, height;
    uint8_t originX, originY;
    ColourIndex keyColour;
};

struct SheetCursor {
    int32_t x;
    int32_t y;
    int32_t shelfHeight;
};

extern SpriteRecord SpriteTable[MaxSprites];
extern uint16_t SpriteCount;
extern SheetCursor IndexSheetCursor;
extern SheetCursor HiSheetCursor;

// Empties the registry and puts both sheet cursors at (0, 2560); StartVideo calls it.
void ResetSpriteRegistry();

// Index of the first sprite whose name equals name exactly, or NoSprite.
uint16_t FindSprite(const std::string& name);

void DrawSprite8(int32_t x, int32_t y, uint16_t index);
void DrawSpriteOnMaterial8(int32_t x, int32_t y, uint16_t index, MaterialMask mask);
void DrawSpriteShape8(int32_t x, int32_t y, uint16_t index, ColourIndex colour);
void DrawSpriteRecoloured8(int32_t x, int32_t y, uint16_t index, ColourIndex colour);
ColourIndex SpriteCollides8(int32_t x, int32_t y, uint16_t index, MaterialMask mask);
void DrawSprite16(int32_t x, int32_t y, uint16_t index);
void DrawSpriteUnflagged16(int32_t x, int32_t y, uint16_t index);
void DrawSpriteShape16(int32_t x, int32_t y, uint16_t index, Pixel colour);
void DrawSpriteRecoloured16(int32_t x, int32_t y, uint16_t index, Pixel colour);
