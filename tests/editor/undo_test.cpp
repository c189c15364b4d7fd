// Undo and redo through real key events: what a step is, what it brings back, what it drops.
#include <functional>

#include "editor/history.h"
#include "editor/status.h"
#include "tests/editor/editor_fixture.h"

namespace {

// The document as undo must bring it back: every cell, hidden ones included, then the header.
std::vector<uint8_t> Take()
{
    std::vector<uint8_t> all(&Document.cells[0][0], &Document.cells[0][0] + sizeof Document.cells);
    for (int n : {int(Document.width), int(Document.height), int(Document.originX), int(Document.originY),
                  int(Document.keyColour)})
        all.push_back(uint8_t(n));
    return all;
}

class UndoTest : public EditorFixture {
protected:
    void SetUp() override { Start(); }
    void Undo() { Chord({KeyLeftCtrl}, KeyZ); }
    void Redo() { Chord({KeyLeftCtrl}, KeyY); }
    void Tap(int key) { PushKeyEvent(key, true), PushKeyEvent(key, false), QuickFrame(); }
};

}  // namespace

TEST_F(UndoTest, EachKindOfChangeIsOneStepThatUndoBringsBackAndRedoReplays)
{
    const std::pair<const char*, std::function<void()>> cases[] = {
        {"shrink that hides a column and wraps the origin", [this] { Chord({KeyLeftCtrl}, KeyLeft); }},
        {"grow", [this] { Chord({KeyLeftCtrl}, KeyDown); }}, {"key colour", [this] { Press(KeyTab); }},
        {"origin move", [this] { Chord({KeyLeftAlt}, KeyHome); }}, {"fill", [this] { Press(KeyF); }},
        {"mirror left to right", [this] { Press(KeyH); }}, {"mirror top to bottom", [this] { Press(KeyV); }},
        {"replace", [this] { Chord({KeyLeftShift}, KeyF); }},
        {"a Space stroke across several cells",
         [this] { Hold(KeySpace), Press(KeyRight), Press(KeyDown), Press(KeyRight), Release(KeySpace); }},
    };
    for (const auto& [what, keys] : cases) {
        SCOPED_TRACE(what);
        ResetHistory();
        // Every cell differs from its neighbours; the origin sits in the last column.
        for (int y = 0; y < 256; ++y)
            for (int x = 0; x < 256; ++x)
                Document.cells[y][x] = uint8_t(x + 16 * y);
        Document.width = Document.height = 16, Document.keyColour = 0;
        Document.originX = 15, Document.originY = 3, currentColour = 9;
        auto before = Take();
        keys();
        auto after = Take();
        EXPECT_TRUE(after != before && UndoSteps() == 1);
        Undo();
        EXPECT_TRUE(Take() == before && StatusMessage() == "Undone");
        Redo();
        EXPECT_EQ(Take(), after);
    }
}

TEST_F(UndoTest, OnlyARealChangeDropsTheRedoStepsAndTheHistoryOfTheLargestSpriteStaysSmall)
{
    Chord({KeyLeftAlt}, KeyRight);
    Chord({KeyLeftAlt}, KeyRight);
    Undo();
    Press(KeyLeft);  // a move, and a change that changes nothing, keep the redo step
    currentColour = Document.keyColour;
    Press(KeyTab);
    using Steps = std::pair<size_t, size_t>;  // undo, redo
    EXPECT_EQ(Steps(UndoSteps(), RedoSteps()), Steps(1, 1));
    Chord({KeyLeftCtrl}, KeyLeft);
    EXPECT_EQ(Steps(UndoSteps(), RedoSteps()), Steps(2, 0));
    Chord({KeyLeftCtrl, KeyLeftShift}, KeyZ);  // redo, not undo
    EXPECT_EQ(StatusMessage(), "Nothing to redo");

    ResetHistory();
    Document.width = Document.height = 255;
    Document.cells[7][9] = 4, Document.cells[255][255] = 0;  // an island, and a hidden cell
    cursorX = cursorY = 0, currentColour = 9;
    auto before = Take();
    Press(KeyF);
    EXPECT_EQ(Document.cells[254][254], 9) << "the far corner is filled";
    EXPECT_LT(HistoryBytes(), 16u << 10) << "a bit per cell";
    Undo();
    EXPECT_EQ(Take(), before);
    Redo();
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
