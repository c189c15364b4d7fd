// The editing keys: bindings tested once per frame in a fixed order, then the normalisation
// that keeps the size and the positions in range.
#pragma once

#include <cstdint>

// SDL 1.2 key symbols the editor reads.
enum : int {
    KeyTab = 9,
    KeyEscape = 27,
    KeySpace = 32,
    KeyF = 102,
    KeyH = 104,
    KeyI = 105,
    KeyM = 109,
    KeyQ = 113,
    KeyS = 115,
    KeyV = 118,
    KeyY = 121,
    KeyZ = 122,
    KeyUp = 273,
    KeyDown = 274,
    KeyRight = 275,
    KeyLeft = 276,
    KeyHome = 278,
    KeyEnd = 279,
    KeyPageUp = 280,
    KeyPageDown = 281,
    KeyF1 = 282,
    KeyRightShift = 303,
    KeyLeftShift = 304,
    KeyRightCtrl = 305,
    KeyLeftCtrl = 306,
    KeyRightAlt = 307,
    KeyLeftAlt = 308,
};

// CtrlShift: both held; NoCtrlAlt: neither Ctrl nor Alt held (Shift may be).
enum class Modifier : uint8_t { Shift, Ctrl, Alt, None, Any, CtrlShift, NoCtrlAlt };

// How a held key acts.
enum class KeyPress : uint8_t {
    Held,    // in every frame while the key is down (painting, the key colour)
    Once,    // once per press, however long the key is held
    Repeat,  // once per press, then again and again while the key stays down (moves and steps)
};

struct KeyBinding {
    Modifier modifier;
    int key;
    void (*action)();
    KeyPress press;
    const char* description;  // for people: the help text and the README table
};

enum : int { KeyBindingCount = 38 };
extern const KeyBinding KeyBindings[KeyBindingCount];

// Tests every binding in table order against keyDown, with the modifiers read once before the
// first. A binding that waits polls input until its key is up, so a later binding of the same
// key (under a weaker modifier) sees it released.
void ApplyBindings();

// Sizes of 0 become 1; the cursor and the origin wrap into 0..size-1.
void NormaliseDocument();

// Swap columns (rows) of the visible sprite; hidden cells, the origin and the cursor stay.
// Return whether any cell changed.
bool MirrorLeftRight();
bool MirrorTopBottom();

// The cells within the sprite's size that equal the cursor's cell become the current colour:
// the 4-connected region around the cursor (fill), or all of them (replace).
void FillRegion();
void ReplaceColour();
