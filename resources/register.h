// Registering sprite files: a 5-byte header (width, height, originX, originY, keyColour) and
// width x height colour indices, shelf-packed into both sprite sheets.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "util/result.h"

// Whether a sprite can be registered, else rejected with the reason: data shorter than its
// header says, a zero width or height, a full registry, or sheets out of rows.
Result CheckSprite(const uint8_t* data, size_t size);

// Registers the sprite under name (cut to 8 characters; a ':' anywhere selects glyph mode)
// and returns its index. A refused sprite stops the program with a line naming it, exit 1,
// and registers nothing.
uint16_t RegisterSprite(const uint8_t* data, size_t size, const std::string& name);
