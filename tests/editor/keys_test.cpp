// The key bindings, each through real key events and frames.
#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <tuple>
#include <vector>

#include "tests/editor/editor_fixture.h"

class KeysTest : public EditorFixture {
protected:
    void SetUp() override { Start(); }
};

namespace {

// What the bindings other than painting and mirroring change: colour, key colour, width,
// height, cursor x and y, origin x and y.
using State = std::tuple<int, int, int, int, int, int, int, int>;

auto Fields()
{
    return std::tie(currentColour, Document.keyColour, Document.width, Document.height, cursorX, cursorY,
                    Document.originX, Document.originY);
}

}  // namespace

TEST_F(KeysTest, EachBindingWithItsWrapRulesAndModifierPrecedence)
{
    const int Shift = KeyLeftShift, RShift = KeyRightShift, Ctrl = KeyLeftCtrl, RCtrl = KeyRightCtrl,
              Alt = KeyLeftAlt, RAlt = KeyRightAlt;
    const State start = {0, 0, 16, 16, 8, 8, 0, 0}, wide = {0, 0, 200, 255, 8, 8, 0, 0};
    const State origin = {0, 0, 16, 16, 8, 8, 9, 9};
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
        {{0, 0, 1, 1, 0, 0, 0, 0}, {Ctrl}, KeyUp, {0, 0, 1, 1, 0, 0, 0, 0}},
        {{0, 0, 255, 255, 8, 8, 0, 0}, {Ctrl}, KeyRight, {0, 0, 1, 255, 0, 8, 0, 0}},
        {{0, 0, 255, 255, 8, 8, 0, 0}, {RCtrl}, KeyDown, {0, 0, 255, 1, 8, 0, 0, 0}},
        {{0, 0, 16, 16, 15, 15, 0, 0}, {Ctrl}, KeyLeft, {0, 0, 15, 16, 0, 15, 0, 0}},
        // Cursor, wrapping at every edge, also beyond 127.
        {start, {}, KeyHome, {0, 0, 16, 16, 0, 8, 0, 0}},
        {{0, 0, 16, 16, 0, 8, 0, 0}, {}, KeyLeft, {0, 0, 16, 16, 15, 8, 0, 0}},
        {{0, 0, 200, 255, 199, 8, 0, 0}, {}, KeyRight, {0, 0, 200, 255, 0, 8, 0, 0}},
        {start, {}, KeyPageUp, {0, 0, 16, 16, 8, 0, 0, 0}},
        {{0, 0, 16, 16, 8, 0, 0, 0}, {}, KeyUp, {0, 0, 16, 16, 8, 15, 0, 0}},
        {{0, 0, 200, 255, 8, 254, 0, 0}, {}, KeyDown, {0, 0, 200, 255, 8, 0, 0, 0}},
        {wide, {}, KeyEnd, {0, 0, 200, 255, 199, 8, 0, 0}},
        {wide, {}, KeyPageDown, {0, 0, 200, 255, 8, 254, 0, 0}},
        // Origin, with Alt, the same way; the cursor stays.
        {start, {Alt}, KeyLeft, {0, 0, 16, 16, 8, 8, 15, 0}},
        {{0, 0, 200, 255, 8, 8, 199, 0}, {RAlt}, KeyRight, wide},
        {start, {Alt}, KeyUp, {0, 0, 16, 16, 8, 8, 0, 15}},
        {{0, 0, 16, 16, 8, 8, 0, 15}, {Alt}, KeyDown, start},
        {origin, {Alt}, KeyHome, {0, 0, 16, 16, 8, 8, 0, 9}},
        {origin, {Alt}, KeyEnd, {0, 0, 16, 16, 8, 8, 15, 9}},
        {origin, {Alt}, KeyPageUp, {0, 0, 16, 16, 8, 8, 9, 0}},
        {origin, {Alt}, KeyPageDown, {0, 0, 16, 16, 8, 8, 9, 15}},
        // Home and the page keys have no Shift or Ctrl binding; Tab acts under any modifier.
        {start, {Shift}, KeyHome, start},
        {start, {Ctrl}, KeyPageDown, start},
        {{7, 0, 16, 16, 8, 8, 0, 0}, {}, KeyTab, {7, 7, 16, 16, 8, 8, 0, 0}},
        {{9, 0, 16, 16, 8, 8, 0, 0}, {Ctrl, Alt}, KeyTab, {9, 9, 16, 16, 8, 8, 0, 0}},
        // The earlier modifier group wins; the later one sees the key released.
        {start, {Shift, Ctrl}, KeyLeft, {255, 0, 16, 16, 8, 8, 0, 0}},
        {start, {Ctrl, Alt}, KeyRight, {0, 0, 17, 16, 8, 8, 0, 0}},
    };
    for (const Case& c : cases) {
        Fields() = c.before;
        Chord(c.modifiers, c.key);
        EXPECT_EQ(State(Fields()), c.after) << "key " << c.key << " from " << testing::PrintToString(c.before);
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
    // Shrinking under a held Space: the cursor's column is gone, its wrap is painted.
    Press(KeyEnd);
    currentColour = 45;
    PushKeyEvent(KeySpace, true);
    Chord({KeyLeftCtrl}, KeyLeft);
    Release(KeySpace);
    EXPECT_EQ(Document.width, 15);
    const std::vector<uint8_t> row = {45, 44, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 45, 0};
    EXPECT_EQ(std::vector<uint8_t>(Document.cells[8], Document.cells[8] + 17), row);
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
    Press(KeyH);
    Press(KeyV);
    expect(5, 3, true, true);
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
