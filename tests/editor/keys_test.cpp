#include <gtest/gtest.h>

#include <cstring>

#include "editor/keys.h"
#include "tests/editor/editor_fixture.h"

class KeysTest : public EditorFixture {
protected:
    void SetUp() override { Start(); }
};

TEST_F(KeysTest, ShiftArrowsPickTheColourModulo256WithEitherShift)
{
    Chord({KeyLeftShift}, KeyLeft);
    EXPECT_EQ(currentColour, 255);
    Chord({KeyRightShift}, KeyRight);
    EXPECT_EQ(currentColour, 0);
    Chord({KeyLeftShift}, KeyUp);
    EXPECT_EQ(currentColour, 240);
    currentColour = 250;
    Chord({KeyRightShift}, KeyDown);
    EXPECT_EQ(currentColour, 10);
    // The colour keys touch nothing else.
    EXPECT_EQ(cursorX, 8);
    EXPECT_EQ(Document.width, 16);
}

TEST_F(KeysTest, CtrlArrowsResizeAndWrapBetween1And255)
{
    Chord({KeyLeftCtrl}, KeyRight);
    EXPECT_EQ(Document.width, 17);
    Chord({KeyRightCtrl}, KeyDown);
    EXPECT_EQ(Document.height, 17);
    Document.width = 1;
    Document.height = 1;
    Chord({KeyLeftCtrl}, KeyLeft);
    Chord({KeyLeftCtrl}, KeyUp);
    EXPECT_EQ(Document.width, 1);
    EXPECT_EQ(Document.height, 1);
    Document.width = 255;
    Document.height = 255;
    Chord({KeyLeftCtrl}, KeyRight);
    Chord({KeyLeftCtrl}, KeyDown);
    EXPECT_EQ(Document.width, 1);
    EXPECT_EQ(Document.height, 1);
    EXPECT_EQ(cursorX, 0);
    EXPECT_EQ(cursorY, 0);
}

TEST_F(KeysTest, ShrinkingPastTheCursorWrapsIt)
{
    cursorX = 15;
    cursorY = 15;
    Chord({KeyLeftCtrl}, KeyLeft);
    EXPECT_EQ(Document.width, 15);
    EXPECT_EQ(cursorX, 0);
    Chord({KeyLeftCtrl}, KeyUp);
    EXPECT_EQ(cursorY, 0);
}

TEST_F(KeysTest, ArrowsMoveTheCursorAndWrapAtEveryEdge)
{
    Press(KeyHome);
    EXPECT_EQ(cursorX, 0);
    Press(KeyLeft);
    EXPECT_EQ(cursorX, 15);
    Press(KeyRight);
    EXPECT_EQ(cursorX, 0);
    Press(KeyPageUp);
    EXPECT_EQ(cursorY, 0);
    Press(KeyUp);
    EXPECT_EQ(cursorY, 15);
    Press(KeyDown);
    EXPECT_EQ(cursorY, 0);
    Press(KeyEnd);
    Press(KeyPageDown);
    EXPECT_EQ(cursorX, 15);
    EXPECT_EQ(cursorY, 15);
}

TEST_F(KeysTest, AltMovesTheOriginWithTheSameWrapping)
{
    Chord({KeyLeftAlt}, KeyLeft);
    EXPECT_EQ(Document.originX, 15);
    Chord({KeyRightAlt}, KeyRight);
    EXPECT_EQ(Document.originX, 0);
    Chord({KeyLeftAlt}, KeyUp);
    EXPECT_EQ(Document.originY, 15);
    Chord({KeyLeftAlt}, KeyDown);
    EXPECT_EQ(Document.originY, 0);
    Chord({KeyLeftAlt}, KeyEnd);
    Chord({KeyLeftAlt}, KeyPageDown);
    EXPECT_EQ(Document.originX, 15);
    EXPECT_EQ(Document.originY, 15);
    Chord({KeyLeftAlt}, KeyHome);
    Chord({KeyLeftAlt}, KeyPageUp);
    EXPECT_EQ(Document.originX, 0);
    EXPECT_EQ(Document.originY, 0);
    // The cursor stays where it was.
    EXPECT_EQ(cursorX, 8);
    EXPECT_EQ(cursorY, 8);
}

TEST_F(KeysTest, ShiftAndCtrlWithHomeEndPageKeysDoNothing)
{
    Chord({KeyLeftShift}, KeyHome);
    Chord({KeyLeftCtrl}, KeyEnd);
    Chord({KeyLeftShift}, KeyPageUp);
    Chord({KeyLeftCtrl}, KeyPageDown);
    EXPECT_EQ(cursorX, 8);
    EXPECT_EQ(cursorY, 8);
    EXPECT_EQ(Document.originX, 0);
    EXPECT_EQ(Document.originY, 0);
}

TEST_F(KeysTest, TheEarlierModifierGroupWinsAndTheLaterSeesTheKeyReleased)
{
    Chord({KeyLeftShift, KeyLeftCtrl}, KeyLeft);
    EXPECT_EQ(currentColour, 255);
    EXPECT_EQ(Document.width, 16);
    Chord({KeyLeftCtrl, KeyLeftAlt}, KeyRight);
    EXPECT_EQ(Document.width, 17);
    EXPECT_EQ(Document.originX, 0);
    EXPECT_EQ(cursorX, 8);
}

TEST_F(KeysTest, PositionsBeyond127AreReachedWithoutByteWrap)
{
    Document.width = 200;
    Document.height = 255;
    Press(KeyEnd);
    Press(KeyPageDown);
    EXPECT_EQ(cursorX, 199);
    EXPECT_EQ(cursorY, 254);
    Press(KeyLeft);
    EXPECT_EQ(cursorX, 198);
    Press(KeyDown);
    EXPECT_EQ(cursorY, 0);
    Chord({KeyLeftAlt}, KeyEnd);
    Chord({KeyLeftAlt}, KeyRight);
    EXPECT_EQ(Document.originX, 0);
    Chord({KeyLeftAlt}, KeyLeft);
    EXPECT_EQ(Document.originX, 199);
}

TEST_F(KeysTest, TabSetsTheKeyColourUnderAnyModifier)
{
    currentColour = 7;
    Press(KeyTab);
    EXPECT_EQ(Document.keyColour, 7);
    currentColour = 9;
    Chord({KeyLeftCtrl, KeyLeftAlt}, KeyTab);
    EXPECT_EQ(Document.keyColour, 9);
}

TEST_F(KeysTest, HoldingSpaceWhileMovingPaintsEveryCellTheCursorStopsOn)
{
    currentColour = 33;
    Hold(KeySpace);
    Press(KeyRight);
    Press(KeyRight);
    Release(KeySpace);
    Press(KeyRight);
    EXPECT_EQ(Document.cells[8][8], 33);
    EXPECT_EQ(Document.cells[8][9], 33);
    EXPECT_EQ(Document.cells[8][10], 33);
    EXPECT_EQ(Document.cells[8][11], 0);
    EXPECT_EQ(Document.cells[8][7], 0);
}

TEST_F(KeysTest, SpaceAfterCrossingAnEdgePaintsTheWrappedCellAndNothingOutside)
{
    currentColour = 44;
    Press(KeyEnd);
    Hold(KeySpace);
    Press(KeyRight);
    Release(KeySpace);
    EXPECT_EQ(Document.cells[8][0], 44);
    EXPECT_EQ(Document.cells[8][16], 0);
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

TEST_F(KeysTest, MirrorsTwiceRestoreAndNeverTouchHiddenCells)
{
    Document.width = 5;
    Document.height = 3;
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x)
            Document.cells[y][x] = uint8_t(x * 7 + y * 13 + 1);
    SpriteDocument before;
    std::memcpy(&before, &Document, sizeof before);

    Press(KeyH);
    EXPECT_EQ(Document.cells[0][0], before.cells[0][4]);
    EXPECT_EQ(Document.cells[2][1], before.cells[2][3]);
    EXPECT_EQ(Document.cells[1][2], before.cells[1][2]);  // the middle column stays
    Press(KeyV);
    EXPECT_EQ(Document.cells[0][0], before.cells[2][4]);
    EXPECT_EQ(Document.cells[1][3], before.cells[1][1]);  // the middle row stays
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x)
            if (x >= 5 || y >= 3) {
                ASSERT_EQ(Document.cells[y][x], before.cells[y][x]) << x << "," << y;
            }

    Chord({KeyLeftShift}, KeyH);
    Chord({KeyLeftAlt}, KeyV);
    EXPECT_EQ(std::memcmp(Document.cells, before.cells, sizeof before.cells), 0);
    // Wrapped into the 5x3 sprite by the first frame, then left alone by the mirrors.
    EXPECT_EQ(cursorX, 3);
    EXPECT_EQ(cursorY, 2);
}

TEST_F(KeysTest, HiddenCellsReappearWhenTheSpriteGrowsAgain)
{
    Document.cells[10][15] = 99;
    for (int i = 0; i < 6; ++i)
        Chord({KeyLeftCtrl}, KeyLeft);
    Press(KeyH);  // a mirror of the small sprite must not reach the hidden column
    for (int i = 0; i < 6; ++i)
        Chord({KeyLeftCtrl}, KeyRight);
    EXPECT_EQ(Document.width, 16);
    EXPECT_EQ(Document.cells[10][15], 99);
}
