#include "editor/keys.h"

#include <utility>
#include <vector>

#include "editor/frametimer.h"
#include "editor/history.h"
#include "editor/input.h"
#include "editor/modes.h"
#include "editor/state.h"
#include "editor/status.h"
#include "editor/views.h"

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
static void Narrower() { BeginChange(); Document.width = uint8_t(Document.width - 1); }
static void Wider() { BeginChange(); Document.width = uint8_t(Document.width + 1); }
static void Shorter() { BeginChange(); Document.height = uint8_t(Document.height - 1); }
static void Taller() { BeginChange(); Document.height = uint8_t(Document.height + 1); }
static void OriginLeft() { BeginChange(); --Document.originX; }
static void OriginRight() { BeginChange(); ++Document.originX; }
static void OriginUp() { BeginChange(); --Document.originY; }
static void OriginDown() { BeginChange(); ++Document.originY; }
static void OriginFirstColumn() { BeginChange(); Document.originX = 0; }
static void OriginLastColumn() { BeginChange(); Document.originX = Document.width - 1; }
static void OriginFirstRow() { BeginChange(); Document.originY = 0; }
static void OriginLastRow() { BeginChange(); Document.originY = Document.height - 1; }
static void CursorLeft() { --cursorX; }
static void CursorRight() { ++cursorX; }
static void CursorUp() { --cursorY; }
static void CursorDown() { ++cursorY; }
static void CursorFirstColumn() { cursorX = 0; }
static void CursorLastColumn() { cursorX = Document.width - 1; }
static void CursorFirstRow() { cursorY = 0; }
static void CursorLastRow() { cursorY = Document.height - 1; }
static void SetKeyColour() { BeginChange(); Document.keyColour = currentColour; }

// Space acts before the normalisation, so an arrow that just crossed an edge (or a shrink) can
// leave the cursor outside the sprite: paint the cell it will wrap to.
static void Paint()
{
    if (Document.width == 0 || Document.height == 0)
        return;  // a header of size 0, before its first normalisation: no cell to paint
    int32_t x = Wrap(cursorX, Document.width);
    int32_t y = Wrap(cursorY, Document.height);
    BeginChange(true);
    NoteCell(x, y);
    Document.cells[y][x] = currentColour;
}

// Like Space, fill, replace and pick take the cell the cursor will wrap to.
static bool CursorCell(int32_t& x, int32_t& y)
{
    if (Document.width == 0 || Document.height == 0)
        return false;
    x = Wrap(cursorX, Document.width);
    y = Wrap(cursorY, Document.height);
    return true;
}

// The cursor's cell and its value, when painting it over with the current colour changes
// anything; the change is then begun.
static bool BeginRecolour(int32_t& x, int32_t& y, uint8_t& target)
{
    if (!CursorCell(x, y))
        return false;
    target = Document.cells[y][x];
    if (target == currentColour)
        return false;
    BeginChange();
    return true;
}

void FillRegion()
{
    int32_t x, y;
    uint8_t target;
    if (!BeginRecolour(x, y, target))
        return;
    // Painted cells no longer equal the target, so none is taken twice.
    std::vector<uint16_t> todo{uint16_t(y << 8 | x)};
    NoteCell(x, y);
    Document.cells[y][x] = currentColour;
    while (!todo.empty()) {
        int32_t cx = todo.back() & 0xFF, cy = todo.back() >> 8;
        todo.pop_back();
        const int32_t next[4][2] = {{cx - 1, cy}, {cx + 1, cy}, {cx, cy - 1}, {cx, cy + 1}};
        for (const auto& n : next) {
            if (n[0] < 0 || n[1] < 0 || n[0] >= Document.width || n[1] >= Document.height ||
                Document.cells[n[1]][n[0]] != target)
                continue;
            NoteCell(n[0], n[1]);
            Document.cells[n[1]][n[0]] = currentColour;
            todo.push_back(uint16_t(n[1] << 8 | n[0]));
        }
    }
}

void ReplaceColour()
{
    int32_t x, y;
    uint8_t target;
    if (!BeginRecolour(x, y, target))
        return;
    for (int32_t row = 0; row < Document.height; ++row)
        for (int32_t column = 0; column < Document.width; ++column)
            if (Document.cells[row][column] == target) {
                NoteCell(column, row);
                Document.cells[row][column] = currentColour;
            }
}

static void Pick()
{
    int32_t x, y;
    if (CursorCell(x, y))
        currentColour = Document.cells[y][x];
}

static void UndoStep()
{
    ShowMessage(Undo() ? "Undone" : "Nothing to undo");
}

static void RedoStep()
{
    ShowMessage(Redo() ? "Redone" : "Nothing to redo");
}

static void NextHighlight()
{
    HighlightFlag = (HighlightFlag + 1) % (HighlightFlagCount + 1);
}

bool MirrorLeftRight()
{
    int32_t w = Document.width;
    bool changed = false;
    for (int32_t y = 0; y < Document.height; ++y)
        for (int32_t x = 0; x < w / 2; ++x) {
            changed |= Document.cells[y][x] != Document.cells[y][w - 1 - x];
            std::swap(Document.cells[y][x], Document.cells[y][w - 1 - x]);
        }
    return changed;
}

bool MirrorTopBottom()
{
    int32_t h = Document.height;
    bool changed = false;
    for (int32_t y = 0; y < h / 2; ++y)
        for (int32_t x = 0; x < Document.width; ++x) {
            changed |= Document.cells[y][x] != Document.cells[h - 1 - y][x];
            std::swap(Document.cells[y][x], Document.cells[h - 1 - y][x]);
        }
    return changed;
}

// Mirroring again undoes a mirror, so its step keeps no cells.
static void MirrorLeftRightStep()
{
    if (MirrorLeftRight())
        RecordMirror(StepKind::MirrorLeftRight);
}

static void MirrorTopBottomStep()
{
    if (MirrorTopBottom())
        RecordMirror(StepKind::MirrorTopBottom);
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
    {Modifier::Any, KeyH, MirrorLeftRightStep, KeyPress::Once, "mirror left to right"},
    {Modifier::Any, KeyV, MirrorTopBottomStep, KeyPress::Once, "mirror top to bottom"},
    // Before Ctrl+Z, which Ctrl+Shift+Z would match too.
    {Modifier::CtrlShift, KeyZ, RedoStep, KeyPress::Repeat, "redo"},
    {Modifier::Ctrl, KeyZ, UndoStep, KeyPress::Repeat, "undo the last change"},
    {Modifier::Ctrl, KeyY, RedoStep, KeyPress::Repeat, "redo"},
    {Modifier::Shift, KeyF, ReplaceColour, KeyPress::Once, "replace the cursor's colour everywhere with the current colour"},
    {Modifier::None, KeyF, FillRegion, KeyPress::Once, "fill the cursor's region with the current colour"},
    {Modifier::NoCtrlAlt, KeyI, Pick, KeyPress::Once, "pick the cursor's colour"},
    {Modifier::NoCtrlAlt, KeyM, NextHighlight, KeyPress::Once, "material highlight: next flag, or off"},
    {Modifier::Ctrl, KeyS, SaveFromKeys, KeyPress::Once, "save now and keep editing"},
    {Modifier::Ctrl, KeyQ, QuitWithoutSavingFromKeys, KeyPress::Once, "quit without saving (asks first)"},
    {Modifier::Any, KeyF1, ToggleKeyHelp, KeyPress::Once, "show or close the key help"},
};

// The press of each key that the bindings have taken, and the binding it selected.
struct PressState {
    uint32_t press = 0;                   // KeyPresses() when it was taken
    const KeyBinding* binding = nullptr;  // null: none matched, or the repeat was stopped
    uint8_t modifiers = 0;                // the modifier keys down at the press
    uint32_t nextRepeat = 0;              // FrameClock() when a repeating binding acts again
};
static PressState presses[KeyTableSize];

void ResetKeyPresses()
{
    for (PressState& state : presses)
        state = PressState();
}

// Each modifier key by itself: pressing the other Shift counts as a change too.
static uint8_t ModifierKeysDown()
{
    uint8_t mask = 0;
    for (int symbol = KeyRightShift; symbol <= KeyLeftAlt; ++symbol)
        mask = uint8_t(mask | (keyDown[symbol] ? 1 << (symbol - KeyRightShift) : 0));
    return mask;
}

void ApplyBindings()
{
    bool shift = keyDown[KeyRightShift] || keyDown[KeyLeftShift];
    bool ctrl = keyDown[KeyRightCtrl] || keyDown[KeyLeftCtrl];
    bool alt = keyDown[KeyRightAlt] || keyDown[KeyLeftAlt];
    bool none = !shift && !ctrl && !alt;
    uint8_t modifiers = ModifierKeysDown();
    uint32_t now = FrameClock();
    // A press keeps its binding while the key and the modifiers stay as they were at the press.
    for (const KeyBinding& binding : KeyBindings) {
        PressState& state = presses[binding.key];
        if (state.binding && (!keyDown[binding.key] || state.modifiers != modifiers))
            state.binding = nullptr;
    }
    for (const KeyBinding& binding : KeyBindings) {
        if (!keyDown[binding.key])
            continue;
        if (KeyHelpShown() && binding.key != KeyF1)
            continue;  // the help covers the window: only F1 (or Esc) closes it
        bool held = binding.modifier == Modifier::Any || (binding.modifier == Modifier::Shift && shift) ||
                    (binding.modifier == Modifier::Ctrl && ctrl) || (binding.modifier == Modifier::Alt && alt) ||
                    (binding.modifier == Modifier::None && none) ||
                    (binding.modifier == Modifier::CtrlShift && ctrl && shift) ||
                    (binding.modifier == Modifier::NoCtrlAlt && !ctrl && !alt);
        if (!held)
            continue;
        if (binding.press == KeyPress::Held) {
            binding.action();
            continue;
        }
        // One binding per press: the first that matches takes it, so with two modifiers held the
        // earlier line wins and the later ones of the same key leave it alone.
        PressState& state = presses[binding.key];
        uint32_t press = KeyPresses(binding.key);
        if (state.press != press) {
            state = {press, &binding, modifiers, now + KeyRepeatDelay};
            binding.action();
        } else if (state.binding == &binding && binding.press == KeyPress::Repeat &&
                   int32_t(now - state.nextRepeat) >= 0) {
            state.nextRepeat += KeyRepeatInterval;
            if (int32_t(now - state.nextRepeat) >= 0)
                state.nextRepeat = now + KeyRepeatInterval;  // after a stall: once a frame at most
            binding.action();
        }
    }
    // A press that no binding took (no match, or the help shown) is used up as well: letting go
    // of a modifier must not hand it to another binding.
    for (const KeyBinding& binding : KeyBindings) {
        PressState& state = presses[binding.key];
        if (keyDown[binding.key] && state.press != KeyPresses(binding.key))
            state = {KeyPresses(binding.key), nullptr, modifiers, 0};
    }
}

void NormaliseDocument()
{
    NormaliseHeader(Document);
    cursorX = Wrap(cursorX, Document.width);
    cursorY = Wrap(cursorY, Document.height);
}
