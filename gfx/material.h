// The built-in material of every palette index, as the game knows it.
#pragma once

#include <cstdint>

// Each row: 256 entries by ColourIndex, 1 where the flag is set, else 0.
extern const uint8_t (&materialWater)[256];
extern const uint8_t (&materialAir)[256];
extern const uint8_t (&materialWormsCollide)[256];
extern const uint8_t (&materialProjectilesCollide)[256];
extern const uint8_t (&materialDiggable)[256];

struct MaterialRow {
    const uint8_t* flags;
    const char* label;
};

// Water, Air, Worms collide, Projectiles collide, Diggable, in this order.
enum { MaterialRowCount = 5 };
extern const MaterialRow MaterialTable[MaterialRowCount];
