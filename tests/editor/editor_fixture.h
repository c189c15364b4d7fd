// Drives the editor headless: real SDL key events (dummy video driver), real frames.
#pragma once

#include <gtest/gtest.h>

#include <SDL.h>
#include <string>
#include <vector>

#include "editor/document.h"
#include "editor/editor.h"
#include "editor/frametimer.h"
#include "editor/input.h"
#include "editor/keys.h"
#include "editor/state.h"
#include "editor/views.h"
#include "gfx/video.h"
#include "tests/support/testutil.h"

inline void PushKeyEvent(int symbol, bool down)
{
    SDL_Event event = {};
    event.type = event.key.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    event.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    event.key.keysym.sym = SDLKey(symbol);
    ASSERT_EQ(SDL_PushEvent(&event), 0);
}

// The clock held keys repeat by once a test drives it (UseTestClock): frames then never wait.
inline uint32_t testNow = 5000;
inline uint32_t TestClock() { return testNow; }

inline ColourIndex BandPixel(int32_t x, int32_t y) { return IndexCanvas[(BandTop + y) * CanvasWidth + x]; }

class EditorFixture : public testing::Test {
protected:
    bool running = false;
    ScratchDir dir;
    std::string path = dir / "crate.vsf";

    // No path: a fresh document that is not saved. The build's pack brings font and palette.
    void Start(const std::string& documentPath = "", bool withPack = false)
    {
        StartEditor({documentPath, !documentPath.empty(),
                     withPack ? std::string(GRAVLIN_BUILD_DIR) + "/editor/KOBA.VPK" : std::string()});
        running = true;
    }
    // Ends the run as Esc would: font, video, save, SDL_Quit.
    int Stop()
    {
        running = false;
        return StopEditor();
    }
    void TearDown() override
    {
        if (running)
            Stop();
        SetFrameClock(nullptr);
    }
    void UseTestClock() { SetFrameClock(TestClock); }
    // A pass of the frame loop, after which the editor must run on; QuickFrame skips the tick's wait.
    void Frame() { ASSERT_TRUE(RunEditorFrame()); }
    void QuickFrame()
    {
        tickFlag = 1;
        Frame();
    }
    // Quick frames on the test's clock, a frame interval apart.
    void Frames(size_t count)
    {
        for (size_t f = 0; f < count; ++f, testNow += FrameInterval)
            QuickFrame();
    }
    void Hold(int symbol, bool down = true)
    {
        PushKeyEvent(symbol, down);
        Frame();
    }
    void Release(int symbol) { Hold(symbol, false); }
    // Each down and up within one frame: the tap acts once.
    template <typename... Keys> void Press(Keys... symbols)
    {
        for (int symbol : {int(symbols)...}) {
            PushKeyEvent(symbol, true);
            Hold(symbol, false);
        }
    }
    // The modifiers held, the key tapped; returns whether the editor runs on (then lets go of them).
    bool Chord(const std::vector<int>& modifiers, int symbol)
    {
        for (int m : modifiers)
            Hold(m);
        PushKeyEvent(symbol, true);
        PushKeyEvent(symbol, false);
        if (!RunEditorFrame())
            return false;
        for (int m : modifiers)
            Release(m);
        return true;
    }
    void Undo() { Chord({KeyLeftCtrl}, KeyZ); }
    void Redo() { Chord({KeyLeftCtrl}, KeyY); }
};
