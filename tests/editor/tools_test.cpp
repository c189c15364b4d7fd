// Fill, replace, pick, the views following the cursor, the material highlight and the status
// line, through real key events.
#include <gtest/gtest.h>

#include <array>
#include <cstring>

#include "editor/status.h"
#include "tests/editor/editor_fixture.h"

class ToolsTest : public EditorFixture {
protected:
    ScratchDir dir;
};

TEST_F(ToolsTest, FillTakesTheFourConnectedRegionReplaceEveryEqualCellPickTheCursorsValue)
{
    Start();
    Document.width = Document.height = 3;
    // Rows of a 3x3 sprite, column 3 hidden.
    auto cells = [] {
        std::string s;
        for (int y = 0; y < 3; ++y)
            s += std::string(Document.cells[y], Document.cells[y] + 4) + "/";
        return s;
    };
    for (int y = 0; y < 3; ++y)
        std::memcpy(Document.cells[y], &"778778708770"[4 * y], 4);
    cursorX = cursorY = 0;
    currentColour = '9';
    Press(KeyF);  // the diagonal gaps keep the fill in the top-left corner
    EXPECT_EQ(cells(), "9987/9870/8770/");
    cursorX = cursorY = 2;
    Chord({KeyLeftShift}, KeyF);  // every 7 within the size, wherever it lies
    EXPECT_EQ(cells(), "9987/9890/8990/");
    cursorX = 2, cursorY = 0;
    Chord({KeyLeftShift}, KeyI);  // Shift does not stop pick
    EXPECT_EQ(currentColour, '8');
}

TEST_F(ToolsTest, TheViewsStartCentredOnTheCursorAndFollowItAcrossTheWrap)
{
    std::string path = dir / "large.vsf";
    std::vector<uint8_t> file(5 + 255 * 255, 3);
    file[0] = file[1] = 255, file[2] = file[3] = file[4] = 0;
    WriteBytes(path, file);
    Start(path);  // the cursor at (127, 127)
    const std::pair<int, std::array<int, 4>> cases[] = {
        // zoomed view x, y; preview x, y
        {0, {96, 106, 33, 94}}, {KeyHome, {0, 106, 0, 94}}, {KeyLeft, {192, 106, 66, 94}},
        {KeyPageUp, {192, 0, 66, 0}}, {KeyUp, {192, 212, 66, 189}},
    };
    for (const auto& [key, first] : cases) {
        if (key)
            Press(key);
        QuickFrame();  // the views follow when they are drawn
        const ViewScroll& v = ViewFirst;
        EXPECT_EQ((std::array<int, 4>{v.zoomX, v.zoomY, v.previewX, v.previewY}), first)
            << "cursor " << cursorX << "," << cursorY;
    }
}

TEST_F(ToolsTest, TheStatusLineNamesTheCellItsFlagsColourOriginStepsScrollHighlightAndTheFilesNotice)
{
    std::string path = dir / "picture.vhs";
    WriteBytes(path, {1, 1, 0, 0, 0, 7, 1, 2, 3});
    Start(path);
    const std::string notice = "Bytes after the cells: the first save keeps a .orig copy";
    EXPECT_EQ(StatusText(3), notice);
    Document.width = Document.height = 200;
    Document.cells[9][150] = 1, Document.cells[9][151] = 0;
    Document.originX = 12, Document.originY = 23;
    cursorX = 150, cursorY = 9, currentColour = 183;
    Chord({KeyLeftAlt}, KeyRight);
    QuickFrame();
    EXPECT_EQ(StatusText(0), "Cell 1: Air, Projectiles collide, Diggable");
    EXPECT_EQ(StatusText(1), "Colour 183   Origin (13,23)   Undo 1   Redo 0");
    EXPECT_EQ(StatusText(2), "View from (91,0), preview from (0,0)");
    Press(KeyRight);
    Chord({KeyLeftCtrl}, KeyY);
    EXPECT_EQ(StatusText(0), "Cell 0: no flags");
    EXPECT_EQ(StatusText(3), "Nothing to redo; " + notice) << "the notice stays after messages";
    for (const char* flag : {"Water", "Air", "Worms collide", "Projectiles collide", "Diggable", ""}) {
        Press(KeyM);
        std::string shown = *flag ? "   Showing only: " + std::string(flag) : "";
        EXPECT_EQ(StatusText(2), "View from (92,0), preview from (0,0)" + shown);
    }
}
