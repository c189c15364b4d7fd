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

// A repeating binding acts on the press, again this long after it, then at this interval (at
// most once a frame), in milliseconds of FrameClock().
enum : uint32_t { KeyRepeatDelay = 400, KeyRepeatInterval = 60 };

// Tests every binding in table order against keyDown, with the modifiers read once before the
// first. Held bindings act in every frame. Each press of a key is taken by the first binding
// that matches it, with the modifiers held then; only that one acts on it (Once: on the press;
// Repeat: on the press and then while the key stays down), until the key or any modifier key
// goes up or down. Nothing here waits: the frames go on while a key is held.
void ApplyBindings();
// Forgets the presses taken (for a fresh start).
void ResetKeyPresses();

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
