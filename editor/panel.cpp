#include "editor/panel.h"

#include <string>

#include "editor/state.h"
#include "editor/views.h"
#include "gfx/material.h"
#include "gfx/primitives.h"
#include "gfx/text.h"
#include "util/numfmt.h"

enum : int32_t {
    SwatchSize = 7,
    SwatchPitch = 8,
    LegendTop = 133,
    LabelLeft = 9,
    // The panel is assembled here in the work area, one pixel inside its copy-out rectangle so
    // that the selection frame of the top row and left column is copied too.
    PanelLeft = 200,
    PanelTop = 10,
    ReadoutRow = 190,
    PositionReadoutLeft = 270,
};

struct MarkPixel {
    uint8_t x, y;
};

static const MarkPixel WaterMark[] = {{0, 0}, {0, 1}, {1, 0}, {3, 0}, {4, 0}, {4, 1}, {5, 0}};
static const MarkPixel AirMark[] = {{0, 0}, {1, 0}, {0, 1}, {6, 0}, {5, 0}, {6, 1},
                                    {0, 6}, {1, 6}, {0, 5}, {6, 6}, {5, 6}, {6, 5}};
static const MarkPixel WormsCollideMark[] = {{1, 1}, {5, 1}, {1, 5}, {5, 5}};
static const MarkPixel ProjectilesCollideMark[] = {{3, 3}, {2, 2}, {4, 2}, {2, 4}, {4, 4}};
static const MarkPixel DiggableMark[] = {{6, 0}, {6, 1}, {6, 2}, {5, 0}, {5, 1}, {5, 2}, {4, 0}, {4, 1}};

template <size_t N>
static void DrawFlagMark(const uint8_t* flags, const MarkPixel (&mark)[N], ColourIndex colour, int32_t x, int32_t y,
                         bool force)
{
    if (!flags[colour] && !force)
        return;
    for (const MarkPixel& p : mark)
        PutPixel8(x + p.x, y + p.y, BackgroundColour);
}

void DrawWaterMark(ColourIndex colour, int32_t x, int32_t y, bool force)
{
    DrawFlagMark(materialWater, WaterMark, colour, x, y, force);
}

void DrawAirMark(ColourIndex colour, int32_t x, int32_t y, bool force)
{
    DrawFlagMark(materialAir, AirMark, colour, x, y, force);
}

void DrawWormsCollideMark(ColourIndex colour, int32_t x, int32_t y, bool force)
{
    DrawFlagMark(materialWormsCollide, WormsCollideMark, colour, x, y, force);
}

void DrawProjectilesCollideMark(ColourIndex colour, int32_t x, int32_t y, bool force)
{
    DrawFlagMark(materialProjectilesCollide, ProjectilesCollideMark, colour, x, y, force);
}

void DrawDiggableMark(ColourIndex colour, int32_t x, int32_t y, bool force)
{
    DrawFlagMark(materialDiggable, DiggableMark, colour, x, y, force);
}

void DrawSwatch(ColourIndex colour, int32_t x, int32_t y, ColourIndex waterIndex)
{
    FillBox8(x, y, SwatchSize, SwatchSize, colour);
    if (colour == Document.keyColour)
        for (int32_t row = 0; row < SwatchSize; ++row)
            for (int32_t column = 0; column < SwatchSize; ++column)
                PutPixel8(x + column, y + row, (column + row) % 2 == 0 ? CheckerColourA : CheckerColourB);
    DrawWaterMark(waterIndex, x, y, false);
}

// One legend row: a swatch in the state of the flag with the flag's mark, and its label.
static void DrawLegendRow(int row, void (*drawMark)(ColourIndex, int32_t, int32_t, bool))
{
    const MaterialRow& material = MaterialTable[row];
    ColourIndex state = material.flags[currentColour] ? FrameColour : FlagClearColour;
    int32_t y = LegendTop + SwatchPitch * row;
    // Index 0 carries no flag, so the swatch adds no mark of its own.
    DrawSwatch(state, 0, y, 0);
    drawMark(state, 0, y, true);
    if (EditorFont)
        DrawText(LabelLeft, y + 1, material.label, EditorFont, state);
}

void DrawMaterialPanel()
{
    for (int i = 0; i < 256; ++i) {
        ColourIndex index = ColourIndex(i);
        int32_t x = SwatchPitch * (i % 16);
        int32_t y = SwatchPitch * (i / 16);
        DrawSwatch(index, x, y, index);
        DrawWormsCollideMark(index, x, y, false);
        DrawProjectilesCollideMark(index, x, y, false);
        DrawDiggableMark(index, x, y, false);
        DrawAirMark(index, x, y, false);
    }
    // In MaterialTable order: Water, Air, Worms collide, Projectiles collide, Diggable.
    DrawLegendRow(0, DrawWaterMark);
    DrawLegendRow(1, DrawAirMark);
    DrawLegendRow(2, DrawWormsCollideMark);
    DrawLegendRow(3, DrawProjectilesCollideMark);
    DrawLegendRow(4, DrawDiggableMark);
}

void DrawSelectionFrame(int32_t x, int32_t y)
{
    for (int32_t k = 0; k <= 4; ++k) {
        PutPixel8(x + 2 * k - 1, y - 1, FrameColour);
        PutPixel8(x - 1, y + 2 * k - 1, FrameColour);
        PutPixel8(x + 2 * k - 1, y + SwatchSize, FrameColour);
        PutPixel8(x + SwatchSize, y + 2 * k - 1, FrameColour);
    }
}

void DrawPalettePanel()
{
    FillBox8(0, 0, CanvasWidth, 300, BackgroundColour);
    DrawMaterialPanel();
    CopyBox8(0, 0, PanelLeft, PanelTop, 128, BandHeight);
    DrawSelectionFrame(PanelLeft + SwatchPitch * (currentColour % 16), PanelTop + SwatchPitch * (currentColour / 16));
    if (EditorFont) {
        std::string size = "Size: (" + IntToStr(Document.width) + "," + IntToStr(Document.height) + ")";
        std::string position = "Pos: (" + IntToStr(cursorX) + "," + IntToStr(cursorY) + ")";
        DrawText(PanelLeft, ReadoutRow, size, EditorFont, ReadoutColour);
        DrawText(PositionReadoutLeft, ReadoutRow, position, EditorFont, ReadoutColour);
    }
    CopyBox8(PanelLeft - 1, PanelTop - 1, ZoomViewWidth, BandTop, BandWidth - ZoomViewWidth, BandHeight);
}
