// The key bindings, each through real key events and frames.
#include <gtest/gtest.h>

#include <array>
#include <csignal>
#include <cstring>
#include <vector>

#include "tests/editor/editor_fixture.h"

class KeysTest : public EditorFixture {
protected:
    void SetUp() override { Start(); }
};

namespace {

// What the bindings other than painting and mirroring change: colour, key colour, width,
// height, cursor x and y, origin x and y.
using State = std::array<int, 8>;

State Now()
{
    return {currentColour, Document.keyColour, Document.width,   Document.height,
            cursorX,       cursorY,            Document.originX, Document.originY};
}

void Set(const State& s)
{
    currentColour = uint8_t(s[0]), Document.keyColour = uint8_t(s[1]);
    Document.width = uint8_t(s[2]), Document.height = uint8_t(s[3]);
    cursorX = s[4], cursorY = s[5], Document.originX = s[6], Document.originY = s[7];
}

}  // namespace

TEST_F(KeysTest, EachBindingWithItsWrapRulesAndModifierPrecedence)
{
    const int Shift = KeyLeftShift, RShift = KeyRightShift, Ctrl = KeyLeftCtrl, RCtrl = KeyRightCtrl,
              Alt = KeyLeftAlt, RAlt = KeyRightAlt;
    const State start = {0, 0, 16, 16, 8, 8, 0, 0};
    struct Case {
        State before;
        std::vector<int> modifiers;
        int key;
        State after;
    } cases[] = {
        // Colour, modulo 256, with either Shift.
        {start, {Shift}, KeyLeft, {255, 0, 16, 16, 8, 8, 0, 0}},
        {{255, 0, 16, 16, 8, 8, 0, 0}, {RShift}, KeyRight, start},
        {start, {Shift}, KeyUp, {240, 0, 16, 16, 8, 8, 0, 0}},
        {{250, 0, 16, 16, 8, 8, 0, 0}, {RShift}, KeyDown, {10, 0, 16, 16, 8, 8, 0, 0}},
        // Size between 1 and 255: growing past 255 wraps to 1, shrinking stops at 1, and the
        // cursor wraps into the new size.
        {{0, 0, 1, 1, 0, 0, 0, 0}, {Ctrl}, KeyLeft, {0, 0, 1, 1, 0, 0, 0, 0}},
        {{0, 0, 1, 1, 0, 0, 0, 0}, {Ctrl}, KeyUp, {0, 0, 1, 1, 0, 0, 0, 0}},
        {{0, 0, 255, 255, 8, 8, 0, 0}, {Ctrl}, KeyRight, {0, 0, 1, 255, 0, 8, 0, 0}},
        {{0, 0, 255, 255, 8, 8, 0, 0}, {RCtrl}, KeyDown, {0, 0, 255, 1, 8, 0, 0, 0}},
        {{0, 0, 16, 16, 15, 15, 0, 0}, {Ctrl}, KeyLeft, {0, 0, 15, 16, 0, 15, 0, 0}},
        {{0, 0, 16, 16, 15, 15, 0, 0}, {Ctrl}, KeyUp, {0, 0, 16, 15, 15, 0, 0, 0}},
        // Cursor, wrapping at every edge, also beyond 127.
        {start, {}, KeyHome, {0, 0, 16, 16, 0, 8, 0, 0}},
        {{0, 0, 16, 16, 0, 8, 0, 0}, {}, KeyLeft, {0, 0, 16, 16, 15, 8, 0, 0}},
        {{0, 0, 16, 16, 15, 8, 0, 0}, {}, KeyRight, {0, 0, 16, 16, 0, 8, 0, 0}},
        {start, {}, KeyPageUp, {0, 0, 16, 16, 8, 0, 0, 0}},
        {{0, 0, 16, 16, 8, 0, 0, 0}, {}, KeyUp, {0, 0, 16, 16, 8, 15, 0, 0}},
        {{0, 0, 16, 16, 8, 15, 0, 0}, {}, KeyDown, {0, 0, 16, 16, 8, 0, 0, 0}},
        {{0, 0, 200, 255, 8, 8, 0, 0}, {}, KeyEnd, {0, 0, 200, 255, 199, 8, 0, 0}},
        {{0, 0, 200, 255, 8, 8, 0, 0}, {}, KeyPageDown, {0, 0, 200, 255, 8, 254, 0, 0}},
        {{0, 0, 200, 255, 199, 254, 0, 0}, {}, KeyDown, {0, 0, 200, 255, 199, 0, 0, 0}},
        // Origin, with Alt, the same way; the cursor stays.
        {start, {Alt}, KeyLeft, {0, 0, 16, 16, 8, 8, 15, 0}},
        {{0, 0, 16, 16, 8, 8, 15, 0}, {RAlt}, KeyRight, start},
        {start, {Alt}, KeyUp, {0, 0, 16, 16, 8, 8, 0, 15}},
        {{0, 0, 16, 16, 8, 8, 0, 15}, {Alt}, KeyDown, start},
        {start, {Alt}, KeyEnd, {0, 0, 16, 16, 8, 8, 15, 0}},
        {start, {Alt}, KeyPageDown, {0, 0, 16, 16, 8, 8, 0, 15}},
        {{0, 0, 16, 16, 8, 8, 9, 9}, {Alt}, KeyHome, {0, 0, 16, 16, 8, 8, 0, 9}},
        {{0, 0, 16, 16, 8, 8, 9, 9}, {Alt}, KeyPageUp, {0, 0, 16, 16, 8, 8, 9, 0}},
        {{0, 0, 200, 255, 8, 8, 199, 0}, {Alt}, KeyRight, {0, 0, 200, 255, 8, 8, 0, 0}},
        {{0, 0, 200, 255, 8, 8, 0, 0}, {Alt}, KeyLeft, {0, 0, 200, 255, 8, 8, 199, 0}},
        // Home, End and the page keys have no Shift or Ctrl binding.
        {start, {Shift}, KeyHome, start},
        {start, {Ctrl}, KeyPageDown, start},
        // Tab sets the key colour under any modifier.
        {{7, 0, 16, 16, 8, 8, 0, 0}, {}, KeyTab, {7, 7, 16, 16, 8, 8, 0, 0}},
        {{9, 0, 16, 16, 8, 8, 0, 0}, {Ctrl, Alt}, KeyTab, {9, 9, 16, 16, 8, 8, 0, 0}},
        // The earlier modifier group wins; the later one sees the key released.
        {start, {Shift, Ctrl}, KeyLeft, {255, 0, 16, 16, 8, 8, 0, 0}},
        {start, {Ctrl, Alt}, KeyRight, {0, 0, 17, 16, 8, 8, 0, 0}},
    };
    for (const Case& c : cases) {
        Set(c.before);
        Chord(c.modifiers, c.key);
        EXPECT_EQ(Now(), c.after) << "key " << c.key << " from " << testing::PrintToString(c.before);
    }
}

TEST_F(KeysTest, HoldingSpaceWhileMovingPaintsEveryCellTheCursorStopsOnWrappedIntoTheSprite)
{
    currentColour = 44;
    Press(KeyEnd);
    Hold(KeySpace);
    Press(KeyRight);  // past the edge: the cell it wraps to
    Press(KeyRight);
    Release(KeySpace);
    Press(KeyRight);
    const int painted[][2] = {{14, 0}, {15, 44}, {16, 0}, {0, 44}, {1, 44}, {2, 0}};
    for (auto [x, colour] : painted)
        EXPECT_EQ(Document.cells[8][x], colour) << x;
    // Shrinking under a held Space: the cursor's column is gone, its wrap is painted.
    Press(KeyEnd);
    currentColour = 45;
    PushKeyEvent(KeySpace, true);
    Chord({KeyLeftCtrl}, KeyLeft);
    Release(KeySpace);
    EXPECT_EQ(Document.width, 15);
    EXPECT_EQ(Document.cells[8][0], 45);
    EXPECT_EQ(Document.cells[8][15], 45);  // painted by the frames before the shrink
}

// Mirrors swap every pair of columns or rows, the middle pair of even sizes too, act once per
// press however long the key is held, and leave the cells beyond the sprite where they are.
TEST_F(KeysTest, MirrorsSwapEveryPairOncePerPress)
{
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x)
            Document.cells[y][x] = uint8_t(x * 7 + y * 13 + 1);
    SpriteDocument before;
    std::memcpy(&before, &Document, sizeof before);
    auto expect = [&](int w, int h, bool across, bool down) {
        for (int y = 0; y < 256; ++y)
            for (int x = 0; x < 256; ++x) {
                const bool inside = x < w && y < h;
                const int fromX = inside && across ? w - 1 - x : x, fromY = inside && down ? h - 1 - y : y;
                ASSERT_EQ(Document.cells[y][x], before.cells[fromY][fromX]) << w << "x" << h << " " << x << "," << y;
            }
    };
    Document.width = 4, Document.height = 2;
    // h held longer than a repeat delay: one mirror, frame after frame.
    UseTestClock();
    PushKeyEvent(KeyH, true);
    for (int f = 0; f < 40; ++f) {
        Step();
        expect(4, 2, true, false);
    }
    Release(KeyH);
    Press(KeyV);
    expect(4, 2, true, true);
    // Under any modifier too; twice restores.
    Chord({KeyLeftShift}, KeyH);
    Chord({KeyLeftAlt}, KeyV);
    expect(4, 2, false, false);
    // Odd sizes keep their middle column and row; a column hidden by shrinking stays put.
    Document.width = 6, Document.height = 3;
    Chord({KeyLeftCtrl}, KeyLeft);
    for (int key : {KeyH, KeyV})
        Press(key);
    expect(5, 3, true, true);
    // Mirrored back and grown again, the hidden column returns as it was.
    for (int key : {KeyH, KeyV})
        Press(key);
    Chord({KeyLeftCtrl}, KeyRight);
    expect(6, 3, false, false);
}

// SIGTERM or the close button ends a wait for release while the key is still down: the weaker
// bindings of that key must not act on it as well in the frame whose edits are saved.
TEST_F(KeysTest, AQuitDuringAWaitLeavesTheRestOfTheBindingsAlone)
{
    Hold(KeyLeftShift);
    Hold(KeyLeftCtrl);
    PushKeyEvent(KeyLeft, true);
    std::raise(SIGTERM);
    EXPECT_FALSE(RunEditorFrame());
    EXPECT_EQ(currentColour, 255);
    EXPECT_EQ(Document.width, 16);
}
