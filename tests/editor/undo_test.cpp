// Undo and redo through real key events: what a step is, what it brings back, what it drops.
#include <functional>

#include "editor/history.h"
#include "editor/status.h"
#include "tests/editor/editor_fixture.h"

namespace {

// The document as undo must bring it back: the header, then every cell, hidden ones included.
std::vector<uint8_t> Take()
{
    std::vector<uint8_t> all = EncodeDocument(Document);
    all.insert(all.end(), &Document.cells[0][0], &Document.cells[0][0] + sizeof Document.cells);
    return all;
}

class UndoTest : public EditorFixture {
protected:
    void SetUp() override { Start(); }
    void Undo() { Chord({KeyLeftCtrl}, KeyZ); }
    void Redo() { Chord({KeyLeftCtrl}, KeyY); }
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
    for (int i = 0; i < 256 * 256; ++i)  // every cell differs from its neighbours
        Document.cells[i / 256][i % 256] = uint8_t(i % 256 + i / 256 * 16);
    Document.originX = 15, Document.originY = 3, currentColour = 9;  // the origin in the last column
    const auto before = Take();
    for (const auto& [what, keys] : cases) {
        SCOPED_TRACE(what);
        keys();
        auto after = Take();
        EXPECT_TRUE(after != before && UndoSteps() == 1);
        Undo();
        EXPECT_TRUE(Take() == before && StatusMessage() == "Undone");
        Redo();
        EXPECT_EQ(Take(), after);
        Undo();
    }
}

TEST_F(UndoTest, OnlyARealChangeDropsTheRedoStepsAndTheHistoryOfTheLargestSpriteStaysSmall)
{
    Chord({KeyLeftAlt}, KeyRight);
    Undo();
    currentColour = Document.keyColour;
    Press(KeyTab);  // a change that changes nothing keeps the redo step
    EXPECT_TRUE(UndoSteps() == 0 && RedoSteps() == 1);
    Chord({KeyLeftCtrl}, KeyLeft);
    EXPECT_TRUE(UndoSteps() == 1 && RedoSteps() == 0);
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
    for (int i = 0; i <= HistoryLimit; ++i) {  // one more than is kept, as Space records them
        BeginChange(true);
        NoteCell(i % 255, i / 255);
        Document.cells[i / 255][i % 255] = 5;
        EndFrameChanges(false);
    }
    EXPECT_EQ(UndoSteps(), size_t(HistoryLimit));
    for (int i = 0; i < HistoryLimit; ++i)
        ::Undo();
    EXPECT_EQ(Document.cells[0][0], 5) << "the oldest stroke was dropped and stays";
    EXPECT_EQ(Document.cells[0][1], 9);
    Undo();
    EXPECT_EQ(StatusMessage(), "Nothing to undo");
}
