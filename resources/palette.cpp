#include "resources/palette.h"

#include <algorithm>
#include <cstring>

#include "gfx/material.h"
#include "gfx/canvas.h"
#include "util/fatal.h"

uint8_t CurrentPalette[PaletteSize];

void ApplyPalette(const uint8_t* palette)
{
    for (int i = 0; i < 256; ++i) {
        // Larger components would spill into the neighbouring colour's bits.
        const uint32_t r = std::min<uint32_t>(palette[3 * i], 63);
        const uint32_t g = std::min<uint32_t>(palette[3 * i + 1], 63);
        const uint32_t b = std::min<uint32_t>(palette[3 * i + 2], 63);
        uint32_t p = ((r & 0xFE) << 10) | (g << 5) | (b >> 1);
        // The lowest green and blue bits carry the terrain class instead of colour.
        p &= PixelColourBits;
        if (!materialDiggable[i] && !materialAir[i])
            p |= PixelSolid;
        if (materialAir[i])
            p |= PixelAir;
        PaletteColours[i] = Pixel(p);
    }
    if (palette != CurrentPalette)
        std::memcpy(CurrentPalette, palette, PaletteSize);
}

Result CheckPaletteSize(size_t size)
{
    return size < PaletteSize ? Rejected("shorter than 768 bytes") : Result();
}

void ApplyPaletteData(const uint8_t* data, size_t size, const std::string& name)
{
    const Result check = CheckPaletteSize(size);
    StopOnFailure(check, "", "Can't use palette \"" + name + "\": " + check.reason + "!");
    ApplyPalette(data);
}
