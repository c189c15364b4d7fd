// Palettes: 256 entries of three 6-bit components, turned into screen pixels that also carry
// the solid and air material flags of each index (gfx/canvas.h).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "util/result.h"

enum : size_t { PaletteSize = 768 };

extern uint8_t CurrentPalette[PaletteSize];

// Fills PaletteColours from palette (at least 768 bytes; components above 63 count as 63),
// then copies it into CurrentPalette. palette may be CurrentPalette itself.
void ApplyPalette(const uint8_t* palette);

// Whether size bytes can be a palette, else rejected with the reason.
Result CheckPaletteSize(size_t size);

// For palette subfiles of unknown length: refuses one shorter than 768 bytes with a fatal
// line naming it, exit status 1.
void ApplyPaletteData(const uint8_t* data, size_t size, const std::string& name);
