// Undo and redo through real key events: what a step is, what it brings back, what it drops.
#include <gtest/gtest.h>

#include <functional>

#include "editor/history.h"
#include "editor/status.h"
#include "tests/editor/editor_fixture.h"

namespace {

// The document as undo must bring it back: every cell, hidden ones included, then the header.
std::vector<uint8_t> Take()
{
    const uint8_t* c = &Document.cells[0][0];
    std::vector<uint8_t> all(c, c + sizeof Document.cells);
    for (int n : {int(Document.width), int(Document.height), int(Document.originX), int(Document.originY),
                  int(Document.keyColour)})
        all.push_back(uint8_t(n));
    return all;
}

}  // namespace

class UndoTest : public EditorFixture {
protected:
    void SetUp() override { Start(); }
    void Undo() { Chord({KeyLeftCtrl}, KeyZ); }
    void Redo() { Chord({KeyLeftCtrl}, KeyY); }
    // Taps without waiting for the frame timer.
    void Tap(int key)
    {
        PushKeyEvent(key, true);
        PushKeyEvent(key, false);
        QuickFrame();
    }
};

TEST_F(UndoTest, EachKindOfChangeIsOneStepThatUndoBringsBackAndRedoReplays)
{
    const std::pair<const char*, std::function<void()>> cases[] = {
        {"shrink that hides a column and wraps the origin", [this] { Chord({KeyLeftCtrl}, KeyLeft); }},
        {"grow", [this] { Chord({KeyLeftCtrl}, KeyDown); }},
        {"origin move", [this] { Chord({KeyLeftAlt}, KeyHome); }},
        {"key colour", [this] { Press(KeyTab); }},
        {"mirror left to right", [this] { Press(KeyH); }},
        {"mirror top to bottom", [this] { Press(KeyV); }},
        {"fill", [this] { Press(KeyF); }},
        {"replace", [this] { Chord({KeyLeftShift}, KeyF); }},
        {"a Space stroke across several cells",
         [this] { Hold(KeySpace), Press(KeyRight), Press(KeyDown), Press(KeyRight), Release(KeySpace); }},
    };
    for (const auto& [what, keys] : cases) {
        ResetHistory();
        // Every cell differs from its neighbours; the origin sits in the last column.
        for (int y = 0; y < 256; ++y)
            for (int x = 0; x < 256; ++x)
                Document.cells[y][x] = uint8_t(x + 16 * y);
        Document.originX = 15, Document.originY = 3, currentColour = 9;
        auto before = Take();
        keys();
        auto after = Take();
        EXPECT_TRUE(after != before && UndoSteps() == 1) << what;
        Undo();
        EXPECT_EQ(Take(), before) << what;
        Redo();
        EXPECT_EQ(Take(), after) << what;
        Undo();
        EXPECT_EQ(StatusMessage(), "Undone");
        Undo();
        EXPECT_TRUE(StatusMessage() == "Nothing to undo" && Take() == before) << what;
    }
}

TEST_F(UndoTest, OnlyARealChangeDropsTheRedoSteps)
{
    Chord({KeyLeftAlt}, KeyRight);
    Chord({KeyLeftAlt}, KeyRight);
    Undo();
    ASSERT_EQ(RedoSteps(), 1u);
    // Moves, colour choice, pick, highlight, and a change that changes nothing keep it.
    for (int key : {int(KeyLeft), int(KeyI), int(KeyM)})
        Press(key);
    Chord({KeyLeftShift}, KeyRight);
    currentColour = Document.keyColour;
    Press(KeyTab);
    using Steps = std::pair<size_t, size_t>;  // undo, redo
    EXPECT_EQ(Steps(UndoSteps(), RedoSteps()), Steps(1, 1));
    Chord({KeyLeftCtrl}, KeyLeft);
    EXPECT_EQ(Steps(UndoSteps(), RedoSteps()), Steps(2, 0));
    Chord({KeyLeftCtrl, KeyLeftShift}, KeyZ);  // redo, not undo
    EXPECT_EQ(StatusMessage(), "Nothing to redo");
}

TEST_F(UndoTest, OnTheLargestSpriteAFillAndAThousandOneCellStrokesAreKeptSmall)
{
    Document.width = Document.height = 255;
    Document.cells[7][9] = 4, Document.cells[255][255] = 0;  // an island, and a hidden cell
    cursorX = cursorY = 0, currentColour = 9;
    auto before = Take();
    Press(KeyF);
    auto after = Take();
    EXPECT_EQ(Document.cells[254][254], 9) << "the far corner is filled";
    EXPECT_LT(HistoryBytes(), 16u << 10) << "a bit per cell";
    Undo();
    EXPECT_EQ(Take(), before);
    Redo();
    EXPECT_EQ(Take(), after);
    currentColour = 5;
    for (int i = 0; i <= HistoryLimit; ++i) {  // one more than is kept, each on a cell of its own
        Tap(KeySpace);
        Tap(i % 255 == 254 ? KeyDown : KeyRight);
    }
    EXPECT_EQ(UndoSteps(), size_t(HistoryLimit));
    EXPECT_LT(HistoryBytes(), 1u << 20);
    Hold(KeyLeftCtrl);
    for (int i = 0; i < HistoryLimit; ++i)
        Tap(KeyZ);
    Release(KeyLeftCtrl);
    EXPECT_EQ(Document.cells[0][0], 5) << "the oldest stroke was dropped and stays";
    EXPECT_EQ(Document.cells[0][1], 9);
    Undo();
    EXPECT_EQ(StatusMessage(), "Nothing to undo");
}
