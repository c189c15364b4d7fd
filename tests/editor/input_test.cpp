// Polling, the frame tick, and quick taps in the frame loop.
#include <algorithm>

#include "tests/editor/editor_fixture.h"

class InputTest : public EditorFixture {
protected:
    void SetUp() override
    {
        Start();
        while (PollInput()) {
        }
        ResetInput();  // latching off: the bare polling rules
    }
};

TEST_F(InputTest, EachPollTakesOneEventAndOnlyKeysAndCloseRequestsCount)
{
    EXPECT_EQ(LastKeyDown(), 0);
    PushKeyEvent(KeyLeftShift, true);
    PushKeyEvent(97, true);
    PushKeyEvent(97, false);
    SDL_Event event = {};
    event.type = SDL_MOUSEMOTION;
    SDL_PushEvent(&event);
    EXPECT_TRUE(PollInput());
    EXPECT_TRUE(PollInput());
    EXPECT_EQ(keyDown[97], 1);
    EXPECT_EQ(LastKeyDown(), KeyLeftShift);  // the highest symbol held, not the latest
    EXPECT_TRUE(PollInput());
    EXPECT_EQ(keyDown[97], 0);
    EXPECT_TRUE(PollInput());  // the motion, dropped: Shift alone is down
    EXPECT_EQ(std::count(keyDown, keyDown + KeyTableSize, 1), 1);
    EXPECT_FALSE(PollInput());
    EXPECT_FALSE(QuitRequested());
    event.type = SDL_QUIT;
    SDL_PushEvent(&event);
    PollInput();
    EXPECT_TRUE(QuitRequested());
}

TEST_F(InputTest, WaitForTickTakesEventsUntilTheTimerTicksThenClearsTheFlag)
{
    tickFlag = 0;
    EXPECT_EQ(FrameTimerCallback(24, nullptr), 24u);  // the timer keeps running
    EXPECT_EQ(tickFlag.load(), 1);
    WaitForTick();
    EXPECT_EQ(tickFlag.load(), 0);
    PushKeyEvent(KeySpace, true);
    WaitForTick();
    EXPECT_EQ(keyDown[KeySpace], 1);
    EXPECT_EQ(tickFlag.load(), 0);
}

class EditorLoopTest : public EditorFixture {};

// Automation and fast typists press and release keys within one frame's wait, and release a
// modifier a moment before its key: every such tap must still act, once, in order.
TEST_F(EditorLoopTest, QuickTapsActOnceEachAndInOrder)
{
    Start();
    Frame();
    // Shift+Right as xdotool sends it: the modifier comes up before the arrow.
    for (int i = 0; i < 12; ++i)  // Shift down, Right down, Shift up, Right up, three times
        PushKeyEvent(i % 2 ? KeyRight : KeyLeftShift, i % 4 < 2);
    for (int symbol : {KeySpace, KeyRight, KeySpace, KeyDown, KeyDown, KeySpace})
        for (bool down : {true, false})
            PushKeyEvent(symbol, down);
    for (int frame = 0; frame < 40; ++frame)
        Frame();
    EXPECT_EQ((std::vector<int>{Document.cells[8][8], Document.cells[8][9], Document.cells[10][9],
                                Document.cells[9][9], cursorX, cursorY}),
              (std::vector<int>{3, 3, 3, 0, 9, 10}));
    // A tapped Esc, looked at only after the present, ends the loop too.
    PushKeyEvent(KeyEscape, true);
    PushKeyEvent(KeyEscape, false);
    bool stillRunning = true;
    for (int frame = 0; frame < 5 && stillRunning; ++frame)
        stillRunning = RunEditorFrame();
    EXPECT_FALSE(stillRunning);
}
