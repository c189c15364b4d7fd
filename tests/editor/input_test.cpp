#include <gtest/gtest.h>

#include <SDL.h>

#include "editor/editor.h"
#include "editor/frametimer.h"
#include "editor/input.h"
#include "editor/state.h"
#include "gfx/video.h"
#include "tests/editor/editor_fixture.h"

class InputTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO | SDL_INIT_TIMER), 0) << SDL_GetError();
        StartVideo();
        ResetInput();
        while (PollInput()) {
        }
        ResetInput();
    }
    void TearDown() override
    {
        StopVideo();
        SDL_Quit();
    }
};

TEST_F(InputTest, EachPollTakesOneEventSoAPressAndReleaseSpanTwoPolls)
{
    PushKeyEvent(97, true);
    PushKeyEvent(97, false);
    EXPECT_TRUE(PollInput());
    EXPECT_EQ(keyDown[97], 1);
    EXPECT_TRUE(PollInput());
    EXPECT_EQ(keyDown[97], 0);
    EXPECT_FALSE(PollInput());
}

TEST_F(InputTest, LastKeyDownIsTheHighestSymbolHeld)
{
    EXPECT_FALSE(AnyKeyDown());
    EXPECT_EQ(LastKeyDown(), 0);
    PushKeyEvent(304, true);
    PushKeyEvent(97, true);
    PollInput();
    PollInput();
    EXPECT_TRUE(AnyKeyDown());
    EXPECT_EQ(LastKeyDown(), 304);
}

TEST_F(InputTest, WaitForKeyReturnsOnceAllKeysAreUp)
{
    PushKeyEvent(304, true);
    PushKeyEvent(97, true);
    PushKeyEvent(97, false);
    PushKeyEvent(304, false);
    EXPECT_EQ(WaitForKey(), 304);
    EXPECT_FALSE(AnyKeyDown());
}

TEST_F(InputTest, OtherEventsAreDroppedButACloseRequestAsksToQuit)
{
    SDL_Event motion = {};
    motion.type = SDL_MOUSEMOTION;
    SDL_PushEvent(&motion);
    EXPECT_TRUE(PollInput());
    EXPECT_FALSE(AnyKeyDown());
    EXPECT_FALSE(QuitRequested());
    SDL_Event quit = {};
    quit.type = SDL_QUIT;
    SDL_PushEvent(&quit);
    PollInput();
    EXPECT_TRUE(QuitRequested());
}

TEST_F(InputTest, TheTimerTicksAndWaitForTickClearsTheFlag)
{
    tickFlag = 0;
    EXPECT_EQ(FrameTimerCallback(24, nullptr), 24u);
    EXPECT_EQ(tickFlag.load(), 1);
    StartFrameTimer();
    WaitForTick();
    EXPECT_EQ(tickFlag.load(), 0);
    // A second wait needs a fresh tick: the timer keeps running.
    WaitForTick();
    EXPECT_EQ(tickFlag.load(), 0);
}

TEST_F(InputTest, EventsArriveWhileWaitingForATick)
{
    StartFrameTimer();
    PushKeyEvent(32, true);
    WaitForTick();
    EXPECT_EQ(keyDown[32], 1);
}

// The editor loop, driven headless.
class EditorLoopTest : public testing::Test {
protected:
    void TearDown() override { SDL_Quit(); }
};

TEST_F(EditorLoopTest, EscEndsTheLoopOnlyAfterItsFrameWasPresented)
{
    EditorOptions options;
    StartEditor(options);
    for (int i = 0; i < 256; ++i)
        PaletteColours[i] = Pixel(i * 257);
    ASSERT_TRUE(RunEditorFrame());
    // What the final frame shows must be on the screen when the loop ends: here the cell
    // (0, 0) changed just before it, drawn at band (1, 1), doubled to screen (2, 2).
    Document.cells[0][0] = 200;
    PushKeyEvent(27, true);
    EXPECT_FALSE(RunEditorFrame());
    auto* screen = static_cast<uint16_t*>(ScreenSurface->pixels);
    EXPECT_EQ(screen[2 * ScreenWidth + 2], PaletteColours[200]);
    EXPECT_EQ(StopEditor(), 0);
}

// Automation and fast typists press and release keys within one frame's wait, and release a
// modifier a moment before its key: every such tap must still act, once, in order.
TEST_F(EditorLoopTest, QuickTapsActOnceEachAndInOrder)
{
    EditorOptions options;
    StartEditor(options);
    ASSERT_TRUE(RunEditorFrame());
    auto tap = [](int symbol) {
        PushKeyEvent(symbol, true);
        PushKeyEvent(symbol, false);
    };
    // Shift+Right as xdotool sends it: the modifier comes up before the arrow.
    for (int i = 0; i < 3; ++i) {
        PushKeyEvent(304, true);
        PushKeyEvent(275, true);
        PushKeyEvent(304, false);
        PushKeyEvent(275, false);
    }
    tap(32);   // paint (8, 8)
    tap(275);  // cursor to (9, 8)
    tap(32);   // paint (9, 8)
    tap(274);  // cursor to (9, 9)
    tap(274);  // cursor to (9, 10)
    tap(32);   // paint (9, 10)
    for (int frame = 0; frame < 40; ++frame)
        ASSERT_TRUE(RunEditorFrame());
    EXPECT_EQ(Document.cells[8][8], 3);
    EXPECT_EQ(Document.cells[8][9], 3);
    EXPECT_EQ(Document.cells[10][9], 3);
    EXPECT_EQ(Document.cells[9][9], 0);
    EXPECT_EQ(cursorX, 9);
    EXPECT_EQ(cursorY, 10);
    // A tapped Esc ends the loop too.
    tap(27);
    bool running = true;
    for (int frame = 0; frame < 5 && running; ++frame)
        running = RunEditorFrame();
    EXPECT_FALSE(running);
    EXPECT_EQ(StopEditor(), 0);
}
