// Close requests, the frame tick, quick taps and held keys in the frame loop; held keys repeat by the
// test's clock.
#include "tests/editor/editor_fixture.h"

class InputTest : public EditorFixture {
protected:
    void SetUp() override
    {
        UseTestClock();
        Start("", true);  // real colours: every step shows
        Frame();
    }
};

TEST_F(InputTest, ACloseRequestIsTakenWhileWaitingForTheTickAndTheTimerKeepsRunning)
{
    SDL_Event event = {};
    event.type = SDL_QUIT;
    SDL_PushEvent(&event);
    EXPECT_EQ(FrameTimerCallback(24, nullptr), 24u);
    WaitForTick();
    EXPECT_TRUE(QuitRequested() && tickFlag.load() == 0);
}

// Automation and fast typists press and release keys within one frame's wait, and release a
// modifier a moment before its key: every such tap must still act, once, in order.
TEST_F(InputTest, QuickTapsActOnceEachAndInOrder)
{
    for (int i = 0; i < 12; ++i)  // Shift+Right three times, Shift coming up first
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

// A held key acts on the press, then at 400 ms, then every 60 ms, each time in the first frame
// due (frames come every 24 ms); only the press's binding repeats, and a modifier change stops it.
TEST_F(InputTest, AHeldKeyRepeatsOnTimeOnlyThePressesBindingAndTheWindowIsDrawnMeanwhile)
{
    const int Shift = KeyLeftShift, Ctrl = KeyLeftCtrl, Right = KeyRight;
    struct Case {
        std::vector<std::tuple<uint32_t, int, bool>> events;  // ms after the start, key, down
        std::vector<uint32_t> steps;                           // the frames that change colour or cursor
        int colour, x;
    } cases[] = {
        {{{0, Right, true}}, {0, 408, 480, 528, 600, 648, 720, 768, 840, 888, 960}, 0, 11},
        {{{0, Right, true}, {300, Right, false}}, {0}, 0, 1},
        {{{0, Shift, true}, {24, Right, true}, {640, Shift, false}}, {24, 432, 504, 552, 624}, 5, 0},
        {{{0, Shift, true}, {0, Ctrl, true}, {24, Right, true}},
         {24, 432, 504, 552, 624, 672, 744, 792, 864, 912, 984}, 11, 0},
        {{{0, Shift, true}, {24, Right, true}, {48, Shift, false}, {96, Right, false}, {120, Right, true}},
         {24, 120, 528, 600, 648, 720, 768, 840, 888, 960}, 1, 9},
    };
    const uint16_t* screen = static_cast<uint16_t*>(ScreenSurface->pixels);
    for (const Case& c : cases) {
        currentColour = 0, cursorX = 0;
        const std::vector<uint16_t> pressed(screen, screen + ScreenWidth * ScreenHeight);
        std::vector<uint32_t> steps;
        size_t next = 0;
        for (uint32_t t = 0; t <= 1000; t += FrameInterval, testNow += FrameInterval) {
            for (; next < c.events.size() && std::get<0>(c.events[next]) <= t; ++next)
                PushKeyEvent(std::get<1>(c.events[next]), std::get<2>(c.events[next]));
            const int colour = currentColour, x = cursorX;
            QuickFrame();
            if (colour != currentColour || x != cursorX)
                steps.push_back(t);
        }
        EXPECT_EQ(steps, c.steps);
        EXPECT_TRUE(currentColour == c.colour && cursorX == c.x && Document.width == 16);
        EXPECT_FALSE(std::equal(pressed.begin(), pressed.end(), screen)) << "the window is drawn meanwhile";
        for (int key : {Right, Shift, Ctrl})
            PushKeyEvent(key, false);
        for (int f = 0; f < 6; ++f)
            QuickFrame();
    }
}
