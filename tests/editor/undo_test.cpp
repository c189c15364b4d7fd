// Undo and redo through real key events: what a step is, what it brings back, what it drops.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "editor/history.h"
#include "editor/status.h"
#include "tests/editor/editor_fixture.h"

namespace {

// The document as undo must bring it back: header and every cell, hidden ones included.
struct Snapshot {
    int width, height, originX, originY, keyColour;
    std::vector<uint8_t> cells;
    bool operator==(const Snapshot&) const = default;
};

Snapshot Take()
{
    const uint8_t* c = &Document.cells[0][0];
    return {Document.width, Document.height, Document.originX, Document.originY, Document.keyColour,
            std::vector<uint8_t>(c, c + sizeof Document.cells)};
}

}  // namespace

class UndoTest : public EditorFixture {
protected:
    void SetUp() override { Start(); }
    void Undo() { Chord({KeyLeftCtrl}, KeyZ); }
    void Redo() { Chord({KeyLeftCtrl}, KeyY); }
    // A 16x16 sprite whose cells all differ from their neighbours, origin at (15, 3), colour 9.
    void Pattern()
    {
        for (int y = 0; y < 256; ++y)
            for (int x = 0; x < 256; ++x)
                Document.cells[y][x] = uint8_t(x + 16 * y);
        Document.originX = 15;
        Document.originY = 3;
        currentColour = 9;
    }
};

TEST_F(UndoTest, EachKindOfChangeIsOneStepThatUndoBringsBackAndRedoReplays)
{
    struct Case {
        const char* what;
        std::function<void()> keys;
    } cases[] = {
        {"shrink that hides a column and wraps the origin", [this] { Chord({KeyLeftCtrl}, KeyLeft); }},
        {"grow", [this] { Chord({KeyLeftCtrl}, KeyDown); }},
        {"origin move", [this] { Chord({KeyLeftAlt}, KeyHome); }},
        {"key colour", [this] { Press(KeyTab); }},
        {"mirror left to right", [this] { Press(KeyH); }},
        {"mirror top to bottom", [this] { Press(KeyV); }},
        {"fill", [this] { Press(KeyF); }},
        {"replace", [this] { Chord({KeyLeftShift}, KeyF); }},
        {"a Space stroke across several cells",
         [this] {
             Hold(KeySpace);
             Press(KeyRight);
             Press(KeyDown);
             Press(KeyRight);
             Release(KeySpace);
         }},
    };
    for (const Case& c : cases) {
        ResetHistory();
        Pattern();
        Snapshot before = Take();
        c.keys();
        Snapshot after = Take();
        EXPECT_NE(after, before) << c.what;
        EXPECT_EQ(UndoSteps(), 1u) << c.what;
        Undo();
        EXPECT_EQ(Take(), before) << c.what;
        Redo();
        EXPECT_EQ(Take(), after) << c.what;
        Undo();
        EXPECT_EQ(StatusMessage(), "Undone");
        Undo();
        EXPECT_EQ(StatusMessage(), "Nothing to undo") << c.what;
        EXPECT_EQ(Take(), before) << c.what;
    }
}

TEST_F(UndoTest, OnlyARealChangeDropsTheRedoSteps)
{
    Pattern();
    Chord({KeyLeftAlt}, KeyRight);
    Chord({KeyLeftAlt}, KeyRight);
    Undo();
    ASSERT_EQ(RedoSteps(), 1u);
    // Moves, colour choice, pick, highlight, and a change that changes nothing keep i
    Press(KeyLeft);
    Chord({KeyLeftShift}, KeyRight);
    Press(KeyI);
    Press(KeyM);
    currentColour = Document.keyColour;
    Press(KeyTab);
    EXPECT_EQ(RedoSteps(), 1u);
    EXPECT_EQ(UndoSteps(), 1u);
    Chord({KeyLeftCtrl}, KeyLeft);
    EXPECT_EQ(RedoSteps(), 0u);
    EXPECT_EQ(UndoSteps(), 2u);
    Chord({KeyLeftCtrl, KeyLeftShift}, KeyZ);  // redo, not undo
    EXPECT_EQ(StatusMessage(), "Nothing to redo");
}

TEST_F(UndoTest, AThousandOneCellStrokesOnTheLargestSpriteAreKeptInUnderOneMebibyte)
{
    Document.width = Document.height = 255;
    cursorX = cursorY = 0;
    currentColour = 5;
    // Taps without waiting for the frame timer.
    auto tap = [this](int key) {
        PushKeyEvent(key, true);
        PushKeyEvent(key, false);
        QuickFrame();
    };
    for (int i = 0; i <= HistoryLimit; ++i) {  // one more than is kept, each on a cell of its own
        tap(KeySpace);
        tap(i % 255 == 254 ? KeyDown : KeyRight);
    }
    EXPECT_EQ(UndoSteps(), size_t(HistoryLimit));
    EXPECT_LT(HistoryBytes(), 1u << 20);
    Hold(KeyLeftCtrl);
    for (int i = 0; i < HistoryLimit; ++i)
        tap(KeyZ);
    Release(KeyLeftCtrl);
    EXPECT_EQ(Document.cells[0][0], 5) << "the oldest stroke was dropped and stays";
    EXPECT_EQ(Document.cells[0][1], 0);
    Undo();
    EXPECT_EQ(StatusMessage(), "Nothing to undo");
}

TEST_F(UndoTest, AFillOfTheLargestSpriteKeepsABitPerCellAndComesBackExactly)
{
    Document.width = Document.height = 255;
    Document.cells[7][9] = 4;      // an island the fill goes round
    Document.cells[255][255] = 0;  // hidden: not filled
    currentColour = 9;
    Snapshot before = Take();
    Press(KeyF);
    Snapshot after = Take();
    EXPECT_EQ(Document.cells[254][254], 9);
    EXPECT_EQ(Document.cells[7][9], 4);
    EXPECT_LT(HistoryBytes(), 16u << 10);
    Undo();
    EXPECT_EQ(Take(), before);
    Redo();
    EXPECT_EQ(Take(), after);
}
