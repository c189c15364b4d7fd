// Proportional bitmap text drawn from glyph sprites named prefix + ":" + two hex digits.
#pragma once

#include <cstdint>
#include <string>

#include "gfx/canvas.h"

// 256 sprite indices by character code; NoSprite where neither the glyph nor the space exists.
struct Font {
    uint16_t glyph[256];
};

Font* LoadFont(const std::string& prefix);
void FreeFont(Font* font);
int32_t TextWidth(const std::string& text, const Font* font);
void DrawText(int32_t x, int32_t y, const std::string& text, const Font* font, ColourIndex colour);
void DrawTextLarge(int32_t x, int32_t y, const std::string& text, const Font* font, Pixel colour);
