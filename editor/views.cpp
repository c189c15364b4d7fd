#include "editor/views.h"

#include <algorithm>
#include <cstring>

#include "editor/state.h"
#include "gfx/material.h"
#include "gfx/primitives.h"
#include "resources/palette.h"

static uint16_t paletteCycle = 0;
ViewScroll ViewFirst = {0, 0, 0, 0};
int HighlightFlag = 0;

int32_t Follow(int32_t first, int32_t c, int32_t size, int32_t window)
{
    if (size <= window)
        return 0;
    if (c < first + 3)
        first = c - 3;
    if (c > first + window - 4)
        first = c - window + 4;
    return std::clamp(first, 0, size - window);
}

static int32_t Centred(int32_t c, int32_t size, int32_t window)
{
    return size <= window ? 0 : std::clamp(c - window / 2, 0, size - window);
}

void CentreViews()
{
    ViewFirst.zoomX = Centred(cursorX, Document.width, ZoomColumns);
    ViewFirst.zoomY = Centred(cursorY, Document.height, ZoomRows);
    ViewFirst.previewX = Centred(cursorX, Document.width, PreviewColumns);
    ViewFirst.previewY = Centred(cursorY, Document.height, PreviewRows);
}

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

enum : int16_t { Checker = -1 };

static void DrawZoomedView()
{
    const SpriteDocument& d = Document;
    const int32_t fx = ViewFirst.zoomX, fy = ViewFirst.zoomY;
    FillBox8(0, 0, 256, 256, BackgroundColour);
    // A scrolled view is copied from beyond the cleared square: clear what the copy takes.
    if (fx != 0 || fy != 0)
        FillBox8(3 * fx, 3 * fy, ZoomViewWidth, ZoomViewHeight, BackgroundColour);
    DrawDottedFrame(3 * d.width + 1, 3 * d.height + 1);
    // What each value is drawn as: itself, the checker (key colour), or blank (highlight).
    const uint8_t* shown = HighlightFlag ? MaterialTable[HighlightFlag - 1].flags : nullptr;
    int16_t look[256];
    for (int v = 0; v < 256; ++v)
        look[v] = v == d.keyColour ? int16_t(Checker) : shown && !shown[v] ? int16_t(BackgroundColour) : int16_t(v);
    // Only the cells the copy below takes are drawn.
    int32_t columns = std::min<int32_t>(d.width, fx + ZoomColumns);
    int32_t rows = std::min<int32_t>(d.height, fy + ZoomRows);
    for (int32_t y = fy; y < rows; ++y) {
        ColourIndex* top = PixelAddress8(3 * fx + 1, 3 * y + 1);
        ColourIndex* bottom = top + CanvasWidth;
        for (int32_t x = fx; x < columns; ++x, top += 3, bottom += 3) {
            int16_t v = look[d.cells[y][x]];
            if (v == Checker) {
                top[0] = CheckerColourA;
                top[1] = CheckerColourB;
                bottom[0] = CheckerColourB;
                bottom[1] = CheckerColourA;
            } else {
                top[0] = top[1] = bottom[0] = bottom[1] = ColourIndex(v);
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
    CopyBox8(3 * fx, 3 * fy, 0, BandTop, ZoomViewWidth, ZoomViewHeight);
}

static void DrawPreview()
{
    const SpriteDocument& d = Document;
    const int32_t px = ViewFirst.previewX, py = ViewFirst.previewY;
    FillBox8(0, 0, 256, 256, BackgroundColour);
    if (px != 0 || py != 0)
        FillBox8(px, py, ZoomViewWidth, PreviewHeight, BackgroundColour);
    DrawDottedFrame(d.width + 1, d.height + 1);
    // As with the zoomed view, only what the copy below takes is drawn: cell x is at column x + 1.
    int32_t columns = std::min<int32_t>(d.width, px + ZoomViewWidth - 1);
    int32_t rows = std::min<int32_t>(d.height, py + PreviewHeight - 1);
    for (int32_t y = std::max(py - 1, 0); y < rows; ++y) {
        ColourIndex* row = PixelAddress8(1, y + 1);
        for (int32_t x = std::max(px - 1, 0); x < columns; ++x) {
            ColourIndex v = d.cells[y][x];
            if (v != d.keyColour)
                row[x] = v;
        }
    }
    CopyBox8(px, py, 0, BandTop + PreviewTop, ZoomViewWidth, PreviewHeight);
}

void DrawSpriteViews()
{
    const SpriteDocument& d = Document;
    ViewFirst.zoomX = Follow(ViewFirst.zoomX, cursorX, d.width, ZoomColumns);
    ViewFirst.zoomY = Follow(ViewFirst.zoomY, cursorY, d.height, ZoomRows);
    ViewFirst.previewX = Follow(ViewFirst.previewX, cursorX, d.width, PreviewColumns);
    ViewFirst.previewY = Follow(ViewFirst.previewY, cursorY, d.height, PreviewRows);
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
    ApplyPalette(CurrentPalette);
}

void ResetPaletteCycle()
{
    paletteCycle = 0;
}
