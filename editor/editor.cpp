#include "editor/editor.h"

#include <SDL.h>

#include "editor/document.h"
#include "editor/frametimer.h"
#include "editor/input.h"
#include "editor/keys.h"
#include "editor/panel.h"
#include "editor/state.h"
#include "editor/views.h"
#include "gfx/text.h"
#include "gfx/video.h"
#include "resources/loader.h"

static EditorOptions editorOptions;

void StartEditor(const EditorOptions& options)
{
    editorOptions = options;
    WindowedVideo = true;
    SDL_Init(SDL_INIT_TIMER | SDL_INIT_VIDEO);
    // After SDL_Init, so that ours replace whatever handlers SDL installed.
    InstallQuitSignals();
    ResetInput();
    ResetPaletteCycle();
    ResetEditorState();
    // Before the window opens: a document that cannot be read stops the editor here.
    if (options.hasDocument)
        ReadDocument(options.documentPath, Document);
    CentreCursor();
    StartVideo();
    StartFrameTimer();
    SDL_WM_SetCaption("Gravlin sprite editor", "kOBA");
    if (!options.packPath.empty())
        LoadResourcePack(options.packPath);
    EditorFont = LoadFont("KOBA");
}

bool RunEditorFrame()
{
    DrawSpriteViews();
    DrawPalettePanel();
    PollInput();
    ApplyBindings();
    NormaliseDocument();
    CyclePalette();
    WaitForTick();
    PresentZoomed(0, BandTop, 0, 0, BandWidth, BandHeight);
    return !keyDown[KeyEscape] && !QuitRequested();
}

int StopEditor()
{
    FreeFont(EditorFont);
    EditorFont = nullptr;
    StopVideo();
    // Closing the window and SIGINT/SIGTERM end the loop like Esc, so they save too.
    if (editorOptions.hasDocument)
        SaveDocument(editorOptions.documentPath, Document);
    SDL_Quit();
    return 0;
}
