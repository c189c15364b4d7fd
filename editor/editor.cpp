#include "editor/editor.h"

#include <SDL.h>
#include <cstring>

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

// What the screen shows: the band and the colours of the last present.
static ColourIndex shownBand[BandHeight][BandWidth];
static Pixel shownColours[256];
static int framesSincePresent = 0;
// An unchanged picture is shown again at least this often, so that a window uncovered by
// another one is repainted soon.
enum : int { RepaintInterval = 10 };

static bool PictureChanged()
{
    bool changed = std::memcmp(shownColours, PaletteColours, sizeof shownColours) != 0;
    for (int32_t y = 0; y < BandHeight && !changed; ++y)
        changed = std::memcmp(shownBand[y], IndexCanvas + (BandTop + y) * CanvasWidth, BandWidth) != 0;
    return changed;
}

// Handing an unchanged screen to SDL costs a whole-window update (SDL converts and uploads all
// of it): skipping those keeps an idle editor's processor use low.
static void PresentBand()
{
    if (framesSincePresent + 1 < RepaintInterval && !PictureChanged()) {
        ++framesSincePresent;
        return;
    }
    framesSincePresent = 0;
    std::memcpy(shownColours, PaletteColours, sizeof shownColours);
    for (int32_t y = 0; y < BandHeight; ++y)
        std::memcpy(shownBand[y], IndexCanvas + (BandTop + y) * CanvasWidth, BandWidth);
    PresentZoomed(0, BandTop, 0, 0, BandWidth, BandHeight);
}

void StartEditor(const EditorOptions& options)
{
    editorOptions = options;
    WindowedVideo = true;
    SDL_Init(SDL_INIT_TIMER | SDL_INIT_VIDEO);
    // Before the handlers: a signal that comes right after them must not be forgotten.
    ResetInput();
    // After SDL_Init, so that ours replace whatever handlers SDL installed.
    InstallQuitSignals();
    EnableTapLatching();
    ResetPaletteCycle();
    ResetEditorState();
    // Before the window opens: a document that cannot be read stops the editor here.
    if (options.hasDocument)
        ReadDocument(options.documentPath, Document);
    CentreCursor();
    StartVideo();
    framesSincePresent = RepaintInterval;  // the first frame is always shown
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
    MarkKeysSeen(KeyEscape);
    ApplyBindings();
    ReleaseTappedKeys(KeyEscape);
    NormaliseDocument();
    CyclePalette();
    WaitForTick();
    PresentBand();
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
