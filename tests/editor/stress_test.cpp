// The editor under long random use: every editing binding, alone and in chords, tapped or held
// long enough to repeat, over every size. Under the sanitizers this is the editor's fuzzer.
#include <random>

#include "editor/history.h"
#include "tests/editor/editor_fixture.h"

class EditorStressTest : public EditorFixture {
protected:
    std::vector<uint8_t> base;  // the document when the history last began

    // Undoing every step gives back the document the history began with; redoing as many, the
    // one the keys left.
    void CheckHistory()
    {
        const std::vector<uint8_t> now = EncodeDocument(Document);
        const size_t steps = UndoSteps();
        for (size_t s = 0; s < steps; s++)
            ASSERT_TRUE(::Undo());
        EXPECT_TRUE(steps == HistoryLimit || EncodeDocument(Document) == base);
        for (size_t s = 0; s < steps; s++)
            ASSERT_TRUE(::Redo());
        ASSERT_EQ(EncodeDocument(Document), now);
    }
};

TEST_F(EditorStressTest, RandomKeysKeepTheDocumentInsideUndoableAndSavedExactly)
{
    UseTestClock();
    Start(path);
    base = EncodeDocument(Document);
    std::mt19937 random(4242);
    const int keys[] = {KeyLeft, KeyRight, KeyUp, KeyDown, KeyHome, KeyEnd, KeyPageUp, KeyPageDown, KeySpace,
                        KeySpace, KeyTab, KeyH, KeyV, KeyF, KeyI, KeyM, KeyZ, KeyZ, KeyY, KeyS};
    auto inside = [](int x, int y) { return unsigned(x) < Document.width && unsigned(y) < Document.height; };
    for (int round = 0; round < 4000; round++) {
        // Sizes a walk of Ctrl+arrows would take long to reach; the history starts again there.
        if (random() % 64 == 0) {
            ASSERT_NO_FATAL_FAILURE(CheckHistory());
            Document.width = uint8_t(1 + random() % 255), Document.height = uint8_t(1 + random() % 255);
            cursorX = int32_t(random() % Document.width), cursorY = int32_t(random() % Document.height);
            Document.originX = int32_t(random() % Document.width);
            Document.originY = int32_t(random() % Document.height);
            ResetHistory();
            base = EncodeDocument(Document);
        }
        std::vector<int> chord;
        for (int modifier : {KeyLeftShift, KeyRightCtrl, KeyLeftAlt})
            if (random() % 4 == 0)
                chord.push_back(modifier);
        chord.push_back(keys[random() % std::size(keys)]);
        for (int key : chord)
            PushKeyEvent(key, true);
        Frames(random() % 16 ? 0 : 18 + random() % 16);
        for (int key : chord)
            PushKeyEvent(key, false);
        Frames(chord.size() + 1);
        ASSERT_TRUE(inside(cursorX, cursorY) && inside(Document.originX, Document.originY))
            << cursorX << "," << cursorY << " " << Document.originX << "," << Document.originY;
    }
    ASSERT_NO_FATAL_FAILURE(CheckHistory());
    Stop();
    EXPECT_EQ(ReadBytes(path), EncodeDocument(Document)) << "the document as the keys left it";
}
