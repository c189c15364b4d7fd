// Pixel, line and box operations on the two canvases, with their blend modes.
//
// Operations ending in 8 work on the index canvas, those ending in 16 on the hi-colour canvas.
// Nothing clips or checks: callers keep every rectangle inside its canvas (debug builds
// assert). Boxes walk rows top-down, each row left to right, source and target together, so
// overlapping copies give the forward-order result.
#pragma once

#include <cstdint>

#include "gfx/canvas.h"

// 256 entries indexed by a target ColourIndex; non-zero means the target holds material.
typedef const uint8_t* MaterialMask;

void PutPixel8(int32_t x, int32_t y, ColourIndex colour);
ColourIndex GetPixel8(int32_t x, int32_t y);
ColourIndex* PixelAddress8(int32_t x, int32_t y);
// colours: low byte for the 1st, 3rd, ... pixel, high byte for the 2nd, 4th, ...
void DrawLine8(int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint16_t colours);
void FillBox8(int32_t x, int32_t y, int32_t w, int32_t h, ColourIndex colour);
void CopyBox8(int32_t sx, int32_t sy, int32_t dx, int32_t dy, int32_t w, int32_t h);
void CopyBoxScaled8(int32_t sx, int32_t sy, int32_t dx, int32_t dy, int32_t w, int32_t h, int32_t step);
void CopyBoxKeyed8(int32_t sx, int32_t sy, int32_t dx, int32_t dy, int32_t w, int32_t h, ColourIndex key);
void CopyBoxOnMaterial8(int32_t sx, int32_t sy, int32_t dx, int32_t dy, int32_t w, int32_t h, ColourIndex key,
                        MaterialMask mask);
void FillShape8(int32_t sx, int32_t sy, int32_t dx, int32_t dy, int32_t w, int32_t h, ColourIndex key,
                ColourIndex colour);
void CopyBoxRecoloured8(int32_t sx, int32_t sy, int32_t dx, int32_t dy, int32_t w, int32_t h, ColourIndex key,
                        ColourIndex from, ColourIndex to);
void CycleBox8(int32_t x, int32_t y, int32_t w, int32_t h);
ColourIndex TestBoxCollision8(int32_t sx, int32_t sy, int32_t dx, int32_t dy, int32_t w, int32_t h, ColourIndex key,
                              MaterialMask mask);

void PutPixel16(int32_t x, int32_t y, Pixel p);
Pixel GetPixel16(int32_t x, int32_t y);
// colours: low word for the 1st, 3rd, ... pixel, high word for the 2nd, 4th, ...
void DrawLine16(int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint32_t colours);
void FillBox16(int32_t x, int32_t y, int32_t w, int32_t h, Pixel colour);
void CopyBox16(int32_t sx, int32_t sy, int32_t dx, int32_t dy, int32_t w, int32_t h);
void CopyBoxScaled16(int32_t sx, int32_t sy, int32_t dx, int32_t dy, int32_t w, int32_t h, int32_t step);
void CopyBoxKeyed16(int32_t sx, int32_t sy, int32_t dx, int32_t dy, int32_t w, int32_t h, Pixel key);
void CopyBoxUnflagged16(int32_t sx, int32_t sy, int32_t dx, int32_t dy, int32_t w, int32_t h, Pixel key);
void FillShape16(int32_t sx, int32_t sy, int32_t dx, int32_t dy, int32_t w, int32_t h, Pixel key, Pixel colour);
void CopyBoxRecoloured16(int32_t sx, int32_t sy, int32_t dx, int32_t dy, int32_t w, int32_t h, Pixel key, Pixel from,
                         Pixel to);
