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
    // The status line: the band rows below the three views, the bottom 80 rows of the window.
    StatusTop = BandTop + BandHeight,
    StatusHeight = 40,
    PictureHeight = BandHeight + StatusHeight,  // rows presented, band and status line
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

// Cells each view shows across and down; a larger sprite scrolls so that the cursor stays in view.
enum : int32_t {
    ZoomColumns = 63,
    ZoomRows = 43,
    PreviewColumns = 189,
    PreviewRows = 66,
};

// The first column and row each view shows.
struct ViewScroll {
    int32_t zoomX, zoomY, previewX, previewY;
};
extern ViewScroll ViewFirst;

// The first cell a window of `window` cells shows along one dimension of `size` cells, moved
// from `first` only as far as needed to keep c three cells inside it.
int32_t Follow(int32_t first, int32_t c, int32_t size, int32_t window);

// Each view centred on the cursor (at start).
void CentreViews();

// Material highlight: 0 off, else 1 + the MaterialTable row whose cells the zoomed view shows;
// the other cells are drawn blank.
enum : int { HighlightFlagCount = 5 };
extern int HighlightFlag;

// Draws both views of the document in the work area above the band and copies them in, after
// moving each view to follow the cursor.
void DrawSpriteViews();

// Once per frame: every third call rotates the ranges 129-132, 133-136, 152-159 and 168-171
// of CurrentPalette one entry down and applies it again.
void CyclePalette();

// CurrentPalette entries first+1..last move one place down, the old first goes to last.
void RotatePaletteRange(int first, int last);

// Puts the cycle back to its start (a fresh run).
void ResetPaletteCycle();
