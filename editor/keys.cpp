#include "editor/keys.h"

#include <utility>

#include "editor/input.h"
#include "editor/state.h"

// Remainder that is never negative: positions wrap around the edges whatever their value.
static int32_t Wrap(int32_t position, int32_t size)
{
    int32_t r = position % size;
    return r < 0 ? r + size : r;
}

static void ColourLeft() { currentColour = uint8_t(currentColour - 1); }
static void ColourRight() { currentColour = uint8_t(currentColour + 1); }
static void ColourUp() { currentColour = uint8_t(currentColour - 16); }
static void ColourDown() { currentColour = uint8_t(currentColour + 16); }
static void Narrower() { Document.width = uint8_t(Document.width - 1); }
static void Wider() { Document.width = uint8_t(Document.width + 1); }
static void Shorter() { Document.height = uint8_t(Document.height - 1); }
static void Taller() { Document.height = uint8_t(Document.height + 1); }
static void OriginLeft() { --Document.originX; }
static void OriginRight() { ++Document.originX; }
static void OriginUp() { --Document.originY; }
static void OriginDown() { ++Document.originY; }
static void OriginFirstColumn() { Document.originX = 0; }
static void OriginLastColumn() { Document.originX = Document.width - 1; }
static void OriginFirstRow() { Document.originY = 0; }
static void OriginLastRow() { Document.originY = Document.height - 1; }
static void CursorLeft() { --cursorX; }
static void CursorRight() { ++cursorX; }
static void CursorUp() { --cursorY; }
static void CursorDown() { ++cursorY; }
static void CursorFirstColumn() { cursorX = 0; }
static void CursorLastColumn() { cursorX = Document.width - 1; }
static void CursorFirstRow() { cursorY = 0; }
static void CursorLastRow() { cursorY = Document.height - 1; }
static void SetKeyColour() { Document.keyColour = currentColour; }

// Space acts before the normalisation, so an arrow that just crossed an edge (or a shrink) can
// leave the cursor outside the sprite: paint the cell it will wrap to.
static void Paint()
{
    if (Document.width == 0 || Document.height == 0)
        return;  // a header of size 0, before its first normalisation: no cell to paint
    Document.cells[Wrap(cursorY, Document.height)][Wrap(cursorX, Document.width)] = currentColour;
}

void MirrorLeftRight()
{
    int32_t w = Document.width;
    for (int32_t y = 0; y < Document.height; ++y)
        for (int32_t x = 0; x < w / 2; ++x)
            std::swap(Document.cells[y][x], Document.cells[y][w - 1 - x]);
}

void MirrorTopBottom()
{
    int32_t h = Document.height;
    for (int32_t y = 0; y < h / 2; ++y)
        for (int32_t x = 0; x < Document.width; ++x)
            std::swap(Document.cells[y][x], Document.cells[h - 1 - y][x]);
}

const KeyBinding KeyBindings[KeyBindingCount] = {
    {Modifier::Shift, KeyLeft, ColourLeft, KeyPress::Repeat, "previous colour"},
    {Modifier::Shift, KeyRight, ColourRight, KeyPress::Repeat, "next colour"},
    {Modifier::Shift, KeyUp, ColourUp, KeyPress::Repeat, "colour one row up in the palette"},
    {Modifier::Shift, KeyDown, ColourDown, KeyPress::Repeat, "colour one row down in the palette"},
    {Modifier::Ctrl, KeyLeft, Narrower, KeyPress::Repeat, "one column narrower (a width of 1 stays 1)"},
    {Modifier::Ctrl, KeyRight, Wider, KeyPress::Repeat, "one column wider (255 wraps to 1)"},
    {Modifier::Ctrl, KeyUp, Shorter, KeyPress::Repeat, "one row shorter (a height of 1 stays 1)"},
    {Modifier::Ctrl, KeyDown, Taller, KeyPress::Repeat, "one row taller (255 wraps to 1)"},
    {Modifier::Alt, KeyLeft, OriginLeft, KeyPress::Repeat, "origin one column left"},
    {Modifier::Alt, KeyRight, OriginRight, KeyPress::Repeat, "origin one column right"},
    {Modifier::Alt, KeyUp, OriginUp, KeyPress::Repeat, "origin one row up"},
    {Modifier::Alt, KeyDown, OriginDown, KeyPress::Repeat, "origin one row down"},
    {Modifier::Alt, KeyHome, OriginFirstColumn, KeyPress::Repeat, "origin to the first column"},
    {Modifier::Alt, KeyEnd, OriginLastColumn, KeyPress::Repeat, "origin to the last column"},
    {Modifier::Alt, KeyPageUp, OriginFirstRow, KeyPress::Repeat, "origin to the first row"},
    {Modifier::Alt, KeyPageDown, OriginLastRow, KeyPress::Repeat, "origin to the last row"},
    {Modifier::None, KeyLeft, CursorLeft, KeyPress::Repeat, "cursor one column left"},
    {Modifier::None, KeyRight, CursorRight, KeyPress::Repeat, "cursor one column right"},
    {Modifier::None, KeyUp, CursorUp, KeyPress::Repeat, "cursor one row up"},
    {Modifier::None, KeyDown, CursorDown, KeyPress::Repeat, "cursor one row down"},
    {Modifier::None, KeyHome, CursorFirstColumn, KeyPress::Repeat, "cursor to the first column"},
    {Modifier::None, KeyEnd, CursorLastColumn, KeyPress::Repeat, "cursor to the last column"},
    {Modifier::None, KeyPageUp, CursorFirstRow, KeyPress::Repeat, "cursor to the first row"},
    {Modifier::None, KeyPageDown, CursorLastRow, KeyPress::Repeat, "cursor to the last row"},
    {Modifier::Any, KeyTab, SetKeyColour, KeyPress::Held, "the current colour becomes the key (transparent) colour"},
    {Modifier::Any, KeySpace, Paint, KeyPress::Held, "paint the cursor's cell in the current colour (hold while moving)"},
    {Modifier::Any, KeyH, MirrorLeftRight, KeyPress::Once, "mirror left to right"},
    {Modifier::Any, KeyV, MirrorTopBottom, KeyPress::Once, "mirror top to bottom"},
};

void ApplyBindings()
{
    bool shift = keyDown[KeyRightShift] || keyDown[KeyLeftShift];
    bool ctrl = keyDown[KeyRightCtrl] || keyDown[KeyLeftCtrl];
    bool alt = keyDown[KeyRightAlt] || keyDown[KeyLeftAlt];
    bool none = !shift && !ctrl && !alt;
    for (const KeyBinding& binding : KeyBindings) {
        if (!keyDown[binding.key])
            continue;
        bool held = binding.modifier == Modifier::Any || (binding.modifier == Modifier::Shift && shift) ||
                    (binding.modifier == Modifier::Ctrl && ctrl) || (binding.modifier == Modifier::Alt && alt) ||
                    (binding.modifier == Modifier::None && none);
        if (!held)
            continue;
        binding.action();
        if (binding.press != KeyPress::Held) {
            WaitForRelease(binding.key);
            // A quit ends the wait with the key still down: a weaker binding of the same key
            // must not act on it too, in the frame whose edits are saved.
            if (QuitRequested())
                return;
        }
    }
}

void NormaliseDocument()
{
    NormaliseHeader(Document);
    cursorX = Wrap(cursorX, Document.width);
    cursorY = Wrap(cursorY, Document.height);
}
