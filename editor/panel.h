// The palette panel: 256 swatches with the built-in material flags of each index, the framed
// current colour, the legend of its flags and the size and cursor read-outs.
#pragma once

#include <cstdint>

#include "gfx/video.h"

// A 7x7 swatch of colour at (x, y) of the index canvas; the key colour shows the checker; the
// Water mark when waterIndex is water.
void DrawSwatch(ColourIndex colour, int32_t x, int32_t y, ColourIndex waterIndex);

// Each draws its mark in index 0 over the swatch at (x, y) when colour has the flag or force.
void DrawWaterMark(ColourIndex colour, int32_t x, int32_t y, bool force);
void DrawAirMark(ColourIndex colour, int32_t x, int32_t y, bool force);
void DrawWormsCollideMark(ColourIndex colour, int32_t x, int32_t y, bool force);
void DrawProjectilesCollideMark(ColourIndex colour, int32_t x, int32_t y, bool force);
void DrawDiggableMark(ColourIndex colour, int32_t x, int32_t y, bool force);

// Swatches and legend with their top-left corner at (0, 0) of the work area; covers 128x200.
void DrawMaterialPanel();

// Dotted square one pixel outside the swatch whose top-left pixel is (x, y).
void DrawSelectionFrame(int32_t x, int32_t y);

// Composes the whole panel into columns 190..319 of the composition band.
void DrawPalettePanel();
