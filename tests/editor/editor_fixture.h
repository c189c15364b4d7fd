// Drives the editor headless: real SDL key events (dummy video driver), real frames.
#pragma once

#include <gtest/gtest.h>

#include <SDL.h>
#include <initializer_list>
#include <string>

#include "editor/editor.h"
#include "editor/input.h"
#include "editor/state.h"
#include "editor/views.h"
#include "gfx/video.h"
#include "tests/support/testutil.h"

inline void PushKeyEvent(int symbol, bool down)
{
    SDL_Event event = {};
    event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    event.key.type = event.type;
    event.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    event.key.keysym.sym = SDLKey(symbol);
    ASSERT_EQ(SDL_PushEvent(&event), 0);
}

// A pixel of the 320x200 composition band.
inline ColourIndex BandPixel(int32_t x, int32_t y)
{
    return IndexCanvas[(BandTop + y) * CanvasWidth + x];
}

class EditorFixture : public testing::Test {
protected:
    bool running = false;

    void Start(const std::string& documentPath = "")
    {
        EditorOptions options;
        options.documentPath = documentPath;
        options.hasDocument = !documentPath.empty();
        StartEditor(options);
        running = true;
    }
    // With the pack the build makes, so that the font and the palette are the real ones.
    void StartWithPack()
    {
        EditorOptions options;
        options.packPath = std::string(GRAVLIN_BUILD_DIR) + "/editor/KOBA.VPK";
        ASSERT_TRUE(PathExists(options.packPath)) << options.packPath;
        StartEditor(options);
        running = true;
        ASSERT_NE(EditorFont, nullptr);
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
    }

    // One pass of the frame loop; the editor must still be running after it.
    void Frame() { ASSERT_TRUE(RunEditorFrame()); }

    // A key goes down and stays down for the frames that follow.
    void Hold(int symbol)
    {
        PushKeyEvent(symbol, true);
        Frame();
    }
    void Release(int symbol)
    {
        PushKeyEvent(symbol, false);
        Frame();
    }
    // Down and up within one frame: the frame's poll sees the key down, a binding that waits
    // for the release takes the key-up; any other key is up again by the next frame.
    void Press(int symbol)
    {
        PushKeyEvent(symbol, true);
        PushKeyEvent(symbol, false);
        Frame();
    }
    void Chord(std::initializer_list<int> modifiers, int symbol)
    {
        for (int m : modifiers)
            Hold(m);
        Press(symbol);
        for (int m : modifiers)
            Release(m);
    }
};
