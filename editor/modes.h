// What the editor does besides editing: the key help shown over the window, saving on Ctrl+S,
// and leaving without saving on Ctrl+Q (asking first when there are unsaved changes).
#pragma once

#include <string>

// Whether the key help covers the window; while it does, no binding but F1's acts.
bool KeyHelpShown();
// F1: shows the key help, or closes it.
void ToggleKeyHelp();
// Called after the bindings: Esc closes the help instead of quitting (it is taken up, so the
// loop does not see it).
void CloseKeyHelpOnEscape();
// Draws the key help over the whole picture, when shown.
void DrawKeyHelp();
// The help's lines as they are drawn: heading, keys, action (for tests).
struct KeyHelpLine {
    const char* group;
    const char* keys;
    const char* action;
};
extern const KeyHelpLine KeyHelpLines[];
extern const int KeyHelpLineCount;

// Ctrl+S: saves now; a failure keeps the edits in a recovery file and the editor runs on. The
// status line says which.
void SaveFromKeys();

// Ctrl+Q: leaves at once when nothing is unsaved or when asked a second time in a row; else asks.
void QuitWithoutSavingFromKeys();
// Called before the bindings: a key pressed since the last frame, other than Ctrl+Q, takes the
// question back. Called after them: the keys now down, to tell new presses from held keys.
void NoteKeysBeforeBindings();
void NoteKeysAfterBindings();
// Whether the run ends without saving.
bool QuittingWithoutSaving();

// A fresh run: no help, no question.
void ResetModes();
