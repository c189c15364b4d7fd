// What the user is editing and where they stand in it; one instance for the whole run.
#pragma once

#include <cstdint>

#include "editor/document.h"
#include "gfx/text.h"

extern SpriteDocument Document;
// The palette index that Space paints; framed in the palette panel.
extern uint8_t currentColour;
// The cell that Space paints; kept in 0..size-1 by the normalisation after each frame's keys.
extern int32_t cursorX;
extern int32_t cursorY;
// The editor's text; null when no font was loaded (then no text is drawn).
extern Font* EditorFont;

// A fresh document, colour 0, the cursor in its middle.
void ResetEditorState();

// The cursor to (width div 2, height div 2).
void CentreCursor();
