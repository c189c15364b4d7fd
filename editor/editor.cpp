#include "editor/editor.h"

#include <SDL.h>

#include "editor/frametimer.h"
#include "editor/input.h"
#include "gfx/video.h"

enum : int { KeyEscape = 27 };

static EditorOptions editorOptions;

void StartEditor(const EditorOptions& options)
{
    editorOptions = options;
    WindowedVideo = true;
    SDL_Init(SDL_INIT_TIMER | SDL_INIT_VIDEO);
    // After SDL_Init, so that ours replace whatever handlers SDL installed.
    InstallQuitSignals();
    ResetInput();
    StartVideo();
    StartFrameTimer();
    SDL_WM_SetCaption("Gravlin sprite editor", "kOBA");
}

bool RunEditorFrame()
{
    PollInput();
    WaitForTick();
    PresentZoomed(0, 1000, 0, 0, 320, 200);
    return !keyDown[KeyEscape] && !QuitRequested();
}

int StopEditor()
{
    StopVideo();
    SDL_Quit();
    return 0;
}
