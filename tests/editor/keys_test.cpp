// The key bindings, each through real key events and frames.
#include "tests/editor/editor_fixture.h"

class KeysTest : public EditorFixture {};
using State = std::tuple<int, int, int, int, int, int, int, int>;

static auto Fields()
{
    return std::tie(currentColour, Document.keyColour, Document.width, Document.height, cursorX, cursorY,
                    Document.originX, Document.originY);
}

TEST_F(KeysTest, EachBindingWithItsWrapRulesAndModifierPrecedence)
{
    Start();
    const State start = {0, 0, 16, 16, 8, 8, 0, 0}, wide = {0, 0, 200, 255, 8, 8, 0, 0};
    const State origin = {0, 0, 16, 16, 8, 8, 9, 9};
    struct Case {
        State before;
        std::vector<int> modifiers;
        int key;
        State after;
    } cases[] = {
        {start, {KeyLeftShift}, KeyLeft, {255, 0, 16, 16, 8, 8, 0, 0}},
        {{255, 0, 16, 16, 8, 8, 0, 0}, {KeyRightShift}, KeyRight, start},
        {start, {KeyLeftShift}, KeyUp, {240, 0, 16, 16, 8, 8, 0, 0}},
        {{250, 0, 16, 16, 8, 8, 0, 0}, {KeyRightShift}, KeyDown, {10, 0, 16, 16, 8, 8, 0, 0}},
        // A size past 255 wraps to 1, below 1 stays 1; the cursor wraps into it.
        {{0, 0, 1, 1, 0, 0, 0, 0}, {KeyLeftCtrl}, KeyUp, {0, 0, 1, 1, 0, 0, 0, 0}},
        {{0, 0, 255, 255, 8, 8, 0, 0}, {KeyLeftCtrl}, KeyRight, {0, 0, 1, 255, 0, 8, 0, 0}},
        {{0, 0, 255, 255, 8, 8, 0, 0}, {KeyRightCtrl}, KeyDown, {0, 0, 255, 1, 8, 0, 0, 0}},
        {{0, 0, 16, 16, 15, 15, 0, 0}, {KeyLeftCtrl}, KeyLeft, {0, 0, 15, 16, 0, 15, 0, 0}},
        // Cursor and origin wrap at every edge, also beyond 127.
        {start, {}, KeyHome, {0, 0, 16, 16, 0, 8, 0, 0}},
        {{0, 0, 16, 16, 0, 8, 0, 0}, {}, KeyLeft, {0, 0, 16, 16, 15, 8, 0, 0}},
        {{0, 0, 200, 255, 199, 8, 0, 0}, {}, KeyRight, {0, 0, 200, 255, 0, 8, 0, 0}},
        {start, {}, KeyPageUp, {0, 0, 16, 16, 8, 0, 0, 0}},
        {{0, 0, 16, 16, 8, 0, 0, 0}, {}, KeyUp, {0, 0, 16, 16, 8, 15, 0, 0}},
        {{0, 0, 200, 255, 8, 254, 0, 0}, {}, KeyDown, {0, 0, 200, 255, 8, 0, 0, 0}},
        {wide, {}, KeyEnd, {0, 0, 200, 255, 199, 8, 0, 0}},
        {wide, {}, KeyPageDown, {0, 0, 200, 255, 8, 254, 0, 0}},
        {start, {KeyLeftAlt}, KeyLeft, {0, 0, 16, 16, 8, 8, 15, 0}},
        {{0, 0, 200, 255, 8, 8, 199, 0}, {KeyRightAlt}, KeyRight, wide},
        {start, {KeyLeftAlt}, KeyUp, {0, 0, 16, 16, 8, 8, 0, 15}},
        {{0, 0, 16, 16, 8, 8, 0, 15}, {KeyLeftAlt}, KeyDown, start},
        {origin, {KeyLeftAlt}, KeyHome, {0, 0, 16, 16, 8, 8, 0, 9}},
        {origin, {KeyLeftAlt}, KeyEnd, {0, 0, 16, 16, 8, 8, 15, 9}},
        {origin, {KeyLeftAlt}, KeyPageUp, {0, 0, 16, 16, 8, 8, 9, 0}},
        {origin, {KeyLeftAlt}, KeyPageDown, {0, 0, 16, 16, 8, 8, 9, 15}},
        // Home and the page keys have no Shift or Ctrl binding; Tab acts under any modifier.
        {start, {KeyLeftShift}, KeyHome, start},
        {start, {KeyLeftCtrl}, KeyPageDown, start},
        {{7, 0, 16, 16, 8, 8, 0, 0}, {}, KeyTab, {7, 7, 16, 16, 8, 8, 0, 0}},
        {{9, 0, 16, 16, 8, 8, 0, 0}, {KeyLeftCtrl, KeyLeftAlt}, KeyTab, {9, 9, 16, 16, 8, 8, 0, 0}},
        // The earlier modifier group wins; the later one sees the key released.
        {start, {KeyLeftShift, KeyLeftCtrl}, KeyLeft, {255, 0, 16, 16, 8, 8, 0, 0}},
        {start, {KeyLeftCtrl, KeyLeftAlt}, KeyRight, {0, 0, 17, 16, 8, 8, 0, 0}},
    };
    for (const Case& c : cases) {
        Fields() = c.before;
        Chord(c.modifiers, c.key);
        EXPECT_EQ(State(Fields()), c.after) << c.key << " from " << testing::PrintToString(c.before);
    }
}

// Mirrors swap every pair of columns or rows, the middle pair of even sizes too, act once per
// press however long the key is held, and leave the cells beyond the sprite where they are.
TEST_F(KeysTest, MirrorsSwapEveryPairOncePerPress)
{
    Start();
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 7; ++x)
            Document.cells[y][x] = uint8_t('a' + 7 * y + x);
    auto corner = [] {  // 4 rows of 7 cells
        std::string cells;
        for (int y = 0; y < 4; ++y)
            cells += std::string(Document.cells[y], Document.cells[y] + 7) + " ";
        return cells;
    };
    Document.width = 4, Document.height = 2;
    // h held longer than a repeat delay: one mirror, frame after frame.
    UseTestClock();
    PushKeyEvent(KeyH, true);
    for (int f = 0; f < 40; ++f) {
        testNow += FrameInterval;
        QuickFrame();
        ASSERT_EQ(corner(), "dcbaefg kjihlmn opqrstu vwxyz{| ") << f;
    }
    Release(KeyH);
    Chord({KeyLeftAlt}, KeyV);  // under any modifier
    EXPECT_EQ(corner(), "kjihefg dcbalmn opqrstu vwxyz{| ");
    // Odd sizes keep their middle column and row; a column hidden by shrinking stays put.
    Document.width = 6, Document.height = 3;
    Chord({KeyLeftCtrl}, KeyLeft);
    Chord({KeyLeftShift}, KeyH);
    Press(KeyV);
    EXPECT_EQ(corner(), "srqpofg labcdmn ehijktu vwxyz{| ");
}
