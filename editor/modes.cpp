#include "editor/modes.h"

#include <cstdio>

#include "editor/document.h"
#include "editor/editor.h"
#include "editor/input.h"
#include "editor/keys.h"
#include "editor/state.h"
#include "editor/status.h"
#include "editor/views.h"
#include "gfx/primitives.h"
#include "gfx/text.h"
#include "util/fatal.h"

static bool helpShown = false;
static bool quitAsked = false;
static bool quitWithoutSaving = false;
// Each key's press count after the last frame's bindings: a count that moved is a new press
// (even one whose key went up and down again between two frames).
static uint32_t pressesBefore[KeyTableSize];

static const char* const QuitQuestion = "Unsaved changes: Ctrl+Q again to quit without saving";

bool KeyHelpShown()
{
    return helpShown;
}

void ToggleKeyHelp()
{
    helpShown = !helpShown;
}

void CloseKeyHelpOnEscape()
{
    if (!helpShown || !keyDown[KeyEscape])
        return;
    helpShown = false;
    // Taken up at once (the loop must not see it and quit), without waiting for its release.
    DropKey(KeyEscape);
}

const KeyHelpLine KeyHelpLines[] = {
    {"Cursor", "arrows", "move the cursor (wraps at the edges)"},
    {"", "Home/End", "to the first/last column"},
    {"", "PgUp/PgDn", "to the first/last row"},
    {"Paint", "Space", "paint; hold it while moving for a line"},
    {"", "f", "fill the cursor's region"},
    {"", "Shift+F", "replace the cursor's colour everywhere"},
    {"", "i", "pick the cursor's colour"},
    {"Colour", "Shift+Left/Right", "previous/next colour"},
    {"", "Shift+Up/Down", "one palette row up/down"},
    {"", "Tab", "it becomes the key (see-through) colour"},
    {"Sprite", "Ctrl+Left/Right", "one column narrower/wider"},
    {"", "Ctrl+Up/Down", "one row shorter/taller"},
    {"", "Alt+arrows", "move the origin"},
    {"", "Alt+Home/End", "origin to the first/last column"},
    {"", "Alt+PgUp/PgDn", "origin to the first/last row"},
    {"", "h, v", "mirror left to right, top to bottom"},
    {"Undo", "Ctrl+Z", "undo the last change"},
    {"", "Ctrl+Y", "redo (Ctrl+Shift+Z too)"},
    {"File", "Ctrl+S", "save now and go on"},
    {"", "Esc", "save and quit"},
    {"", "Ctrl+Q", "quit without saving"},
    {"View", "m", "show one material flag: next, or all"},
    {"", "F1", "this help (F1 or Esc closes it)"},
};
const int KeyHelpLineCount = int(sizeof KeyHelpLines / sizeof KeyHelpLines[0]);

enum : int32_t {
    HelpGroupLeft = 6,
    HelpKeysLeft = 46,
    HelpActionLeft = 124,
    HelpTop = BandTop + 4,
    HelpLinePitch = 9,
    HelpGroupGap = 3,
};

void DrawKeyHelp()
{
    if (!helpShown)
        return;
    FillBox8(0, BandTop, BandWidth, PictureHeight, BackgroundColour);
    if (!EditorFont)
        return;
    DrawText(HelpGroupLeft, HelpTop, "Keys of koba (held moves and steps repeat)", EditorFont, FrameColour);
    int32_t y = HelpTop + HelpLinePitch;
    for (int i = 0; i < KeyHelpLineCount; ++i) {
        const KeyHelpLine& line = KeyHelpLines[i];
        if (*line.group) {
            y += HelpGroupGap;
            DrawText(HelpGroupLeft, y, line.group, EditorFont, FrameColour);
        }
        DrawText(HelpKeysLeft, y, line.keys, EditorFont, ReadoutColour);
        DrawText(HelpActionLeft, y, line.action, EditorFont, ReadoutColour);
        y += HelpLinePitch;
    }
}

void SaveFromKeys()
{
    Result status = SaveDocumentNow();
    if (status.ok()) {
        ShowMessage("Saved");
        return;
    }
    const EditorOptions& options = CurrentEditorOptions();
    if (!options.hasDocument) {
        ShowMessage("Not saved: koba was started without a file name");
        return;
    }
    std::string recovery = WriteRecoveryFile(options.documentPath, Document);
    std::string kept = recovery.empty() ? "the edits could not be kept anywhere" : "the edits are in " + recovery;
    std::fprintf(stderr, "%s: %s: %s; %s\n", ProgramName().c_str(), options.documentPath.c_str(),
                 status.reason.c_str(), kept.c_str());
    ShowMessage("Not saved (" + status.reason + "); " + kept);
}

void QuitWithoutSavingFromKeys()
{
    if (quitAsked || !DocumentHasUnsavedChanges()) {
        quitWithoutSaving = true;
        RequestQuit();
        return;
    }
    quitAsked = true;
    ShowMessage(QuitQuestion);
}

static bool IsModifier(int symbol)
{
    return symbol >= KeyRightShift - 3 && symbol <= KeyLeftAlt + 5;  // locks, Shift, Ctrl, Alt, Meta, Super
}

void NoteKeysBeforeBindings()
{
    if (!quitAsked)
        return;
    bool ctrl = keyDown[KeyLeftCtrl] || keyDown[KeyRightCtrl];
    for (int symbol = 0; symbol < KeyTableSize; ++symbol)
        if (KeyPresses(symbol) != pressesBefore[symbol] && !IsModifier(symbol) && !(symbol == KeyQ && ctrl)) {
            quitAsked = false;
            if (StatusMessage() == QuitQuestion)
                ShowMessage("");
            return;
        }
}

void NoteKeysAfterBindings()
{
    for (int symbol = 0; symbol < KeyTableSize; ++symbol)
        pressesBefore[symbol] = KeyPresses(symbol);
}

bool QuittingWithoutSaving()
{
    return quitWithoutSaving;
}

void ResetModes()
{
    helpShown = quitAsked = quitWithoutSaving = false;
    for (int symbol = 0; symbol < KeyTableSize; ++symbol)
        pressesBefore[symbol] = KeyPresses(symbol);
}
