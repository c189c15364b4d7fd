// The zoomed view and the actual-size preview of the sprite, the composition band they are
// assembled in, and the palette cycling that animates four palette ranges.
#pragma once

#include <cstdint>

#include "gfx/video.h"

// The 320x200 picture presented each frame: columns 0..319 of these index canvas rows.
enum : int32_t {
    BandTop = 1000,
    BandWidth = 320,
    BandHeight = 200,
    ZoomViewWidth = 190,  // 63 cells of 3 pixels, with the frame
    ZoomViewHeight = 130,  // 43 cells
    PreviewTop = 133,  // band row of the preview's frame
    PreviewHeight = 70,
};

// Palette indices of the interface.
enum : ColourIndex {
    BackgroundColour = 0,
    FrameColour = 241,  // view frames, markers, selection frame, a flag that is set
    CheckerColourA = 64,  // key-colour cells and swatch
    CheckerColourB = 65,
    ReadoutColour = 69,
    FlagClearColour = 70,
};

// Draws both views of the document in the work area above the band and copies them in.
void DrawSpriteViews();

// Once per frame: every third call rotates the ranges 129-132, 133-136, 152-159 and 168-171
// of CurrentPalette one entry down and applies it again.
void CyclePalette();

// CurrentPalette entries first+1..last move one place down, the old first goes to last.
void RotatePaletteRange(int first, int last);

// Puts the cycle back to its start (a fresh run).
void ResetPaletteCycle();
