// Held keys: the frames go on, repeating bindings repeat on time, one binding per press, all on
// the test's clock.
#include <functional>

#include "tests/editor/editor_fixture.h"

namespace {

struct KeyEvent {
    uint32_t at;  // ms after the start
    int key;
    bool down;
};

class KeyRepeatTest : public EditorFixture {
protected:
    void SetUp() override
    {
        UseTestClock();
        Start();
        Document.width = 200;
        cursorX = 0;
        Frame();
    }
    // Frames every 24 ms up to until; each event goes in before the first frame at or after its
    // time. seen(ms) runs after each frame.
    void Play(const std::vector<KeyEvent>& events, uint32_t until, const std::function<void(uint32_t)>& seen)
    {
        size_t next = 0;
        for (uint32_t t = 0; t <= until; t += FrameInterval, testNow += FrameInterval) {
            for (; next < events.size() && events[next].at <= t; ++next)
                PushKeyEvent(events[next].key, events[next].down);
            QuickFrame();
            seen(t);
        }
    }
};

}  // namespace

// The press, then one at 400 ms, then every 60 ms: each move in the first frame due.
TEST_F(KeyRepeatTest, AHeldArrowMovesOnThePressAt400MsAndEvery60MsAndTheWindowKeepsDrawing)
{
    std::vector<uint32_t> moves;
    int32_t lastX = cursorX;
    std::vector<uint16_t> pressed, held;
    auto screen = [] {
        auto* pixels = static_cast<uint16_t*>(ScreenSurface->pixels);
        return std::vector<uint16_t>(pixels, pixels + ScreenWidth * ScreenHeight);
    };
    Play({{0, KeyRight, true}}, 1000, [&](uint32_t t) {
        if (cursorX != lastX)
            moves.push_back(t);
        lastX = cursorX;
        if (t == 0 || t == 600)
            (t ? held : pressed) = screen();
    });
    EXPECT_EQ(moves, (std::vector<uint32_t>{0, 408, 480, 528, 600, 648, 720, 768, 840, 888, 960}));
    EXPECT_NE(held, pressed);
}

TEST_F(KeyRepeatTest, OnlyThePressesBindingRepeatsAndAModifierChangeStopsIt)
{
    const int Shift = KeyLeftShift, Ctrl = KeyLeftCtrl;
    struct Case {
        const char* what;
        std::vector<KeyEvent> events;
        int colour, x;  // after 1.5 s; the width stays 200
    } cases[] = {
        {"tap", {{0, KeyRight, true}, {300, KeyRight, false}}, 0, 1},
        // The press at 24, then 432, 504, 552, 624.
        {"Shift let go", {{0, Shift, true}, {24, KeyRight, true}, {640, Shift, false}}, 5, 0},
        {"Shift pressed", {{0, KeyRight, true}, {500, Shift, true}}, 0, 3},
        {"Shift+Ctrl", {{0, Shift, true}, {0, Ctrl, true}, {24, KeyRight, true}, {1000, KeyRight, false}}, 11, 0},
        {"pressed again",
         {{0, Shift, true}, {24, KeyRight, true}, {48, Shift, false}, {96, KeyRight, false}, {120, KeyRight, true}},
         1, 18},  // 120, then 520 + 60k up to 1480
    };
    for (const Case& c : cases) {
        currentColour = 0;
        cursorX = 0;
        Play(c.events, 1500, [](uint32_t) {});
        EXPECT_EQ(currentColour, c.colour) << c.what;
        EXPECT_EQ(cursorX, c.x) << c.what;
        EXPECT_EQ(Document.width, 200) << c.what;
        for (int key : {int(KeyRight), Shift, Ctrl})
            PushKeyEvent(key, false);
        for (int f = 0; f < 6; ++f)
            QuickFrame();
    }
}
