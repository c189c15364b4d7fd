// Two-times enlargement of a sprite's index image into a smoothed hi-colour image with
// rounded corners of transparent areas.
#pragma once

#include <cstdint>

#include "gfx/canvas.h"

// Weights of the 3x3 neighbourhood for each quarter: [quarter][row * 3 + column], quarters in
// the order top-left, top-right, bottom-left, bottom-right.
extern const uint16_t BlendWeights[4][9];

// Which quarters of an enlarged pixel are transparent, by 9-bit transparency pattern (bit
// (dx + 1) * 3 + (dy + 1) set when that neighbour is key). Bits: 8 top-left, 4 bottom-left,
// 2 top-right, 1 bottom-right.
extern const uint8_t* const CornerTable;

void EnlargeSprite(uint16_t indexX, uint16_t indexY, uint16_t hiX, uint16_t hiY, uint16_t width, uint16_t height,
                   ColourIndex keyColour, bool fontGlyph);
