// Held keys: the frames go on, repeating bindings repeat on time, one binding per press. Time
// is the test's own clock, a frame every 24 ms, so nothing here sleeps.
#include <cstring>

#include "tests/editor/editor_fixture.h"

namespace {

uint32_t testNow = 0;
uint32_t TestClock()
{
    return testNow;
}

struct KeyEvent {
    uint32_t at;  // ms after the start
    int key;
    bool down;
};

class KeyRepeatTest : public EditorFixture {
protected:
    void SetUp() override
    {
        SetFrameClock(TestClock);
        testNow = 5000;
        Start();
        Document.width = 200;
        cursorX = 0;
        Frame();
    }
    void TearDown() override
    {
        EditorFixture::TearDown();
        SetFrameClock(nullptr);
    }
    // Frames every 24 ms from the start up to until; each event is pushed before the first
    // frame at or after its time. Calls seen(ms) after each frame.
    template <typename Seen>
    void Play(const std::vector<KeyEvent>& events, uint32_t until, Seen seen)
    {
        const uint32_t start = testNow;
        size_t next = 0;
        for (uint32_t t = 0; t <= until; t += 24) {
            testNow = start + t;
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
    std::vector<uint16_t> pressed;
    bool pictureChanged = false;
    auto screen = [] {
        auto* pixels = static_cast<uint16_t*>(ScreenSurface->pixels);
        return std::vector<uint16_t>(pixels, pixels + ScreenWidth * ScreenHeight);
    };
    Play({{0, KeyRight, true}}, 1000, [&](uint32_t t) {
        if (cursorX != lastX)
            moves.push_back(t);
        lastX = cursorX;
        if (t == 0)
            pressed = screen();
        if (t == 600)
            pictureChanged = screen() != pressed;
    });
    ASSERT_GE(moves.size(), 2u);
    EXPECT_EQ(moves[0], 0u);
    for (size_t k = 1; k < moves.size(); ++k) {
        uint32_t due = 400 + 60 * uint32_t(k - 1);
        EXPECT_GE(moves[k], due) << k;
        EXPECT_LT(moves[k], due + 24) << k;
    }
    EXPECT_GE(moves.size(), 11u);  // 12 due by 1 s, the last one within a frame of it
    EXPECT_LE(moves.size(), 12u);
    EXPECT_TRUE(pictureChanged);
}

TEST_F(KeyRepeatTest, OnlyThePressesBindingRepeatsAndAModifierChangeStopsIt)
{
    const int Shift = KeyLeftShift, Ctrl = KeyLeftCtrl;
    struct Case {
        const char* what;
        std::vector<KeyEvent> events;
        int colour, x, width;  // after 1.5 s
    } cases[] = {
        {"tap", {{0, KeyRight, true}, {300, KeyRight, false}}, 0, 1, 200},
        {"Shift let go",
         {{0, Shift, true}, {24, KeyRight, true}, {640, Shift, false}},
         5,  // the press, then frames 432, 504, 552, 624
         0, 200},
        {"Shift pressed", {{0, KeyRight, true}, {500, Shift, true}}, 0, 3, 200},
        {"Shift+Ctrl", {{0, Shift, true}, {0, Ctrl, true}, {24, KeyRight, true}, {1000, KeyRight, false}}, 11, 0, 200},
        {"pressed again", {{0, Shift, true}, {24, KeyRight, true}, {48, Shift, false}, {96, KeyRight, false}, {120, KeyRight, true}},
         1, 18, 200},  // 120, then 520 + 60k up to 1480
    };
    for (const Case& c : cases) {
        currentColour = 0;
        cursorX = 0;
        Document.width = 200;
        Play(c.events, 1500, [](uint32_t) {});
        EXPECT_EQ(currentColour, c.colour) << c.what;
        EXPECT_EQ(cursorX, c.x) << c.what;
        EXPECT_EQ(Document.width, c.width) << c.what;
        for (int key : {int(KeyRight), Shift, Ctrl})
            PushKeyEvent(key, false);
        for (int f = 0; f < 6; ++f)
            QuickFrame();
    }
}
