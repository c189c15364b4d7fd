#include "gfx/text.h"

#include <new>

#include "gfx/sprites.h"
#include "util/fatal.h"
#include "util/numfmt.h"

Font* LoadFont(const std::string& prefix)
{
    Font* font = new (std::nothrow) Font;
    if (!font)
        FatalOutOfMemory("a font");
    for (int code = 0; code < 256; ++code)
        font->glyph[code] = FindSprite(prefix + ":" + HexByte(uint32_t(code)));
    // Characters the font does not draw show as its space, so text keeps its spacing.
    for (int code = 0; code < 256; ++code)
        if (font->glyph[code] == NoSprite)
            font->glyph[code] = font->glyph[32];
    return font;
}

void FreeFont(Font* font)
{
    delete font;
}

// Advance of a glyph in index pixels; a character with neither glyph nor space has none.
static inline int32_t Advance(uint16_t glyph)
{
    return glyph < SpriteCount ? SpriteTable[glyph].width : 0;
}

int32_t TextWidth(const std::string& text, const Font* font)
{
    if (text.empty())
        return 0;
    int32_t width = 0;
    for (unsigned char c : text)
        width += Advance(font->glyph[c]);
    return width - 1;
}

// Glyphs carry a blank leftmost column, so the pen starts one pixel early and ink begins at x.
void DrawText(int32_t x, int32_t y, const std::string& text, const Font* font, ColourIndex colour)
{
    int32_t pen = x - 1;
    for (unsigned char c : text) {
        const uint16_t glyph = font->glyph[c];
        DrawSpriteRecoloured8(pen, y, glyph, colour);
        pen += Advance(glyph);
    }
}

void DrawTextLarge(int32_t x, int32_t y, const std::string& text, const Font* font, Pixel colour)
{
    int32_t pen = x - 2;
    for (unsigned char c : text) {
        const uint16_t glyph = font->glyph[c];
        DrawSpriteRecoloured16(pen, y, glyph, colour);
        pen += 2 * Advance(glyph);
    }
}
