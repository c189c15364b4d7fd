#include "editor/views.h"

#include <algorithm>
#include <cstring>

#include "editor/state.h"
#include "gfx/primitives.h"
#include "resources/palette.h"

static uint16_t paletteCycle = 0;

// The outline pixels of the rectangle (0, 0)..(right, bottom) whose x + y is even.
static void DrawDottedFrame(int32_t right, int32_t bottom)
{
    for (int32_t i = 0; i <= right; ++i) {
        if (i % 2 == 0)
            PutPixel8(i, 0, FrameColour);
        if ((i + bottom) % 2 == 0)
            PutPixel8(i, bottom, FrameColour);
    }
    for (int32_t i = 0; i <= bottom; ++i) {
        if (i % 2 == 0)
            PutPixel8(0, i, FrameColour);
        if ((right + i) % 2 == 0)
            PutPixel8(right, i, FrameColour);
    }
}

static void DrawZoomedView()
{
    const SpriteDocument& d = Document;
    FillBox8(0, 0, 256, 256, BackgroundColour);
    DrawDottedFrame(3 * d.width + 1, 3 * d.height + 1);
    // Only the top-left 63 x 43 cells reach the band; drawing the rest would be thrown away.
    int32_t columns = std::min<int32_t>(d.width, (ZoomViewWidth + 1) / 3);
    int32_t rows = std::min<int32_t>(d.height, (ZoomViewHeight + 1) / 3);
    for (int32_t y = 0; y < rows; ++y) {
        ColourIndex* top = PixelAddress8(1, 3 * y + 1);
        ColourIndex* bottom = top + CanvasWidth;
        for (int32_t x = 0; x < columns; ++x, top += 3, bottom += 3) {
            ColourIndex v = d.cells[y][x];
            if (v == d.keyColour) {
                top[0] = CheckerColourA;
                top[1] = CheckerColourB;
                bottom[0] = CheckerColourB;
                bottom[1] = CheckerColourA;
            } else {
                top[0] = top[1] = bottom[0] = bottom[1] = v;
            }
        }
    }
    int32_t ox = 3 * d.originX;
    int32_t oy = 3 * d.originY;
    PutPixel8(ox + 1, oy + 3, FrameColour);
    PutPixel8(ox + 3, oy + 3, FrameColour);
    PutPixel8(ox + 3, oy + 1, FrameColour);
    int32_t cx = 3 * cursorX;
    int32_t cy = 3 * cursorY;
    PutPixel8(cx + 1, cy + 3, FrameColour);
    PutPixel8(cx + 2, cy + 3, FrameColour);
    PutPixel8(cx + 3, cy + 3, FrameColour);
    PutPixel8(cx + 3, cy + 2, FrameColour);
    PutPixel8(cx + 3, cy + 1, FrameColour);
    CopyBox8(0, 0, 0, BandTop, ZoomViewWidth, ZoomViewHeight);
}

static void DrawPreview()
{
    const SpriteDocument& d = Document;
    FillBox8(0, 0, 256, 256, BackgroundColour);
    DrawDottedFrame(d.width + 1, d.height + 1);
    // As with the zoomed view, only what the copy below takes is drawn.
    int32_t columns = std::min<int32_t>(d.width, ZoomViewWidth - 1);
    int32_t rows = std::min<int32_t>(d.height, PreviewHeight - 1);
    for (int32_t y = 0; y < rows; ++y) {
        ColourIndex* row = PixelAddress8(1, y + 1);
        for (int32_t x = 0; x < columns; ++x) {
            ColourIndex v = d.cells[y][x];
            if (v != d.keyColour)
                row[x] = v;
        }
    }
    CopyBox8(0, 0, 0, BandTop + PreviewTop, ZoomViewWidth, PreviewHeight);
}

void DrawSpriteViews()
{
    DrawZoomedView();
    DrawPreview();
    // The gap between the two views: no view draws it, so it would show stale pixels.
    FillBox8(0, BandTop + ZoomViewHeight, ZoomViewWidth, PreviewTop - ZoomViewHeight, BackgroundColour);
}

void RotatePaletteRange(int first, int last)
{
    uint8_t* entry = CurrentPalette + 3 * first;
    uint8_t saved[3];
    std::memcpy(saved, entry, 3);
    std::memmove(entry, entry + 3, size_t(3 * (last - first)));
    std::memcpy(CurrentPalette + 3 * last, saved, 3);
}

void CyclePalette()
{
    paletteCycle = uint16_t((paletteCycle + 1) % 3);
    if (paletteCycle != 0)
        return;
    RotatePaletteRange(129, 132);
    RotatePaletteRange(133, 136);
    RotatePaletteRange(152, 159);
    RotatePaletteRange(168, 171);
    // A copy: ApplyPalette copies its argument into CurrentPalette.
    uint8_t palette[PaletteSize];
    std::memcpy(palette, CurrentPalette, sizeof palette);
    ApplyPalette(palette);
}

void ResetPaletteCycle()
{
    paletteCycle = 0;
}
