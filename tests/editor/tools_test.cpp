// Fill, replace, pick, the views following the cursor, the material highlight and the status
// line, through real key events.
#include <gtest/gtest.h>

#include <array>

#include "editor/status.h"
#include "tests/editor/editor_fixture.h"

class ToolsTest : public EditorFixture {
protected:
    ScratchDir dir;
    // A tap without waiting for the frame timer.
    void Tap(int key)
    {
        PushKeyEvent(key, true);
        PushKeyEvent(key, false);
        QuickFrame();
    }
};

TEST_F(ToolsTest, FillTakesTheFourConnectedRegionReplaceEveryEqualCellPickTheCursorsValue)
{
    Start();
    Document.width = Document.height = 3;
    const uint8_t start[3][4] = {{7, 7, 8, 7}, {7, 8, 7, 0}, {8, 7, 7, 0}};  // column 3 is hidden
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x)
            Document.cells[y][x] = start[y][x];
    auto expect = [](const uint8_t (&cells)[3][4], const char* after) {
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 4; ++x)
                EXPECT_EQ(Document.cells[y][x], cells[y][x]) << after << " at " << x << "," << y;
    };
    cursorX = cursorY = 0;
    currentColour = 9;
    Press(KeyF);  // the diagonal gaps keep the fill in the top-left corner
    expect({{9, 9, 8, 7}, {9, 8, 7, 0}, {8, 7, 7, 0}}, "fill");
    cursorX = cursorY = 2;
    Chord({KeyLeftShift}, KeyF);  // every 7 within the size, wherever it lies
    expect({{9, 9, 8, 7}, {9, 8, 9, 0}, {8, 9, 9, 0}}, "replace");
    cursorX = 2;
    cursorY = 0;
    Chord({KeyLeftShift}, KeyI);  // Shift does not stop pick
    EXPECT_EQ(currentColour, 8);
}

TEST_F(ToolsTest, TheViewsFollowTheCursorToBothEndsOfBothDimensionsAndAcrossTheWrap)
{
    std::string path = dir / "large.vsf";
    std::vector<uint8_t> file(5 + 255 * 255, 3);
    file[0] = file[1] = 255;
    file[2] = file[3] = file[4] = 0;
    WriteBytes(path, file);
    Start(path);  // the cursor at (127, 127), each view centred on it
    struct Case {
        int key, times;
        std::array<int, 4> first;  // zoomed view x, y; preview x, y
    } cases[] = {
        {0, 0, {96, 106, 33, 94}},      {KeyHome, 1, {0, 106, 0, 94}},    {KeyLeft, 1, {192, 106, 66, 94}},
        {KeyRight, 1, {0, 106, 0, 94}}, {KeyPageUp, 1, {0, 0, 0, 0}},     {KeyUp, 1, {0, 212, 0, 189}},
        {KeyPageUp, 1, {0, 0, 0, 0}},   {KeyDown, 40, {0, 1, 0, 0}},      {KeyRight, 60, {1, 1, 0, 0}},
    };
    for (const Case& c : cases) {
        for (int i = 0; i < c.times; ++i)
            Tap(c.key);
        QuickFrame();  // the views follow when they are drawn
        const ViewScroll& v = ViewFirst;
        EXPECT_EQ((std::array<int, 4>{v.zoomX, v.zoomY, v.previewX, v.previewY}), c.first)
            << "cursor " << cursorX << "," << cursorY;
        // The cursor's L, in the zoomed view, at the corner of its cell.
        EXPECT_EQ(BandPixel(3 * (cursorX - v.zoomX) + 3, 3 * (cursorY - v.zoomY) + 3), FrameColour);
    }
}

TEST_F(ToolsTest, MCyclesTheHighlightedFlagThatTheStatusLineNames)
{
    Start();
    const char* shown[] = {"Water", "Air", "Worms collide", "Projectiles collide", "Diggable", nullptr};
    for (const char* flag : shown) {
        Press(KeyM);
        EXPECT_EQ(StatusText(2), flag ? std::string("Showing only: ") + flag : "");
    }
}

TEST_F(ToolsTest, TheStatusLineNamesTheCellItsFlagsColourOriginStepsAndScroll)
{
    Start();
    Document.width = Document.height = 200;
    Document.cells[9][150] = 1;
    Document.cells[9][151] = 0;
    Document.originX = 12;
    Document.originY = 23;
    cursorX = 150;
    cursorY = 9;
    currentColour = 183;
    Chord({KeyLeftAlt}, KeyRight);
    QuickFrame();
    EXPECT_EQ(StatusText(0), "Cell 1: Air, Projectiles collide, Diggable");
    EXPECT_EQ(StatusText(1), "Colour 183   Origin (13,23)   Undo 1   Redo 0");
    EXPECT_EQ(StatusText(2), "View from (91,0), preview from (0,0)");
    Press(KeyRight);
    Chord({KeyLeftCtrl}, KeyY);
    EXPECT_EQ(StatusText(0), "Cell 0: no flags");
    EXPECT_EQ(StatusText(3), "Nothing to redo");
}

TEST_F(ToolsTest, TheFilesNoticeStaysInTheStatusLineAfterMessages)
{
    std::string path = dir / "picture.vhs";
    WriteBytes(path, {1, 1, 0, 0, 0, 7, 1, 2, 3});
    Start(path);
    const std::string notice = "Bytes after the cells: the first save keeps a .orig copy";
    EXPECT_EQ(StatusText(3), notice);
    Chord({KeyLeftCtrl}, KeyZ);
    EXPECT_EQ(StatusText(3), "Nothing to undo; " + notice);
}
