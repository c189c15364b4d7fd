// Whole runs of the editor: documents opened and saved, the key help, Ctrl+S and Ctrl+Q, fill,
// replace and pick, the status line, and what reaches the screen.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <unistd.h>

#include "editor/modes.h"
#include "editor/status.h"
#include "gfx/text.h"
#include "resources/palette.h"
#include "tests/editor/editor_fixture.h"

class EditorRunTest : public EditorFixture {
protected:
    ScratchDir dir;
    std::string path = dir / "crate.vsf";

    // Ctrl+Q (or another key under Ctrl); returns whether the editor runs on.
    bool CtrlKey(int key)
    {
        Hold(KeyLeftCtrl);
        PushKeyEvent(key, true);
        PushKeyEvent(key, false);
        bool runs = RunEditorFrame();
        if (runs)
            Release(KeyLeftCtrl);
        return runs;
    }
};

// Space acts before the first frame raises the size: there is no cell to paint yet; the next
// press paints, and the edit is saved with the size raised.
TEST_F(EditorRunTest, ASizeOf0IsRaisedTo1ByTheFirstFrameAndSavedSo)
{
    const std::pair<std::vector<uint8_t>, std::vector<uint8_t>> cases[] = {
        {{0, 3, 9, 1, 0}, {1, 3, 0, 1, 0, 0, 9, 0}}, {{5, 0, 0, 0, 0}, {5, 1, 0, 0, 0, 0, 0, 9, 0, 0}}};
    for (const auto& [file, saved] : cases) {
        WriteBytes(path, file);
        Start(path);
        currentColour = 9;
        Press(KeySpace);
        EXPECT_FALSE(DocumentHasUnsavedChanges());
        Press(KeySpace);
        EXPECT_EQ(Stop(), 0);
        EXPECT_EQ(ReadBytes(path), saved);
    }
}

// SDL would fall back to drawing into memory, leaving an editor nobody can see or quit.
TEST_F(EditorRunTest, WithoutADisplayTheProgramSaysSoAndWritesNothing)
{
    ProgramResult run = RunProgram({"/usr/bin/timeout", "10", "/usr/bin/env", "-u", "DISPLAY", "-u",
                                    "WAYLAND_DISPLAY", "-u", "SDL_VIDEODRIVER", BuiltProgram("koba"), path});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "Can't initialize SDL video, sorry.\n");
    EXPECT_NE(run.err.find("no display"), std::string::npos) << run.err;
    EXPECT_FALSE(PathExists(path));
}

TEST_F(EditorRunTest, ThePaletteCyclesOnScreenAndEscShowsTheLastFrame)
{
    Start();
    uint8_t palette[PaletteSize];
    for (int i = 0; i < int(PaletteSize); ++i)
        palette[i] = uint8_t(i % 3 == 0 ? i / 3 % 64 : i % 3 == 1 ? i / 3 / 64 * 16 : 63 - i / 3 % 64);
    ApplyPalette(palette);
    const Pixel first129 = PaletteColours[129];
    const uint16_t* screen = static_cast<uint16_t*>(ScreenSurface->pixels);
    // Still, still, step, and so on; the screen shows a step in its frame (swatch 129 is unmarked
    // at its (3, 6): band (202, 71)).
    for (int frame = 1; frame <= 6; ++frame) {
        Frame();
        for (auto [first, last] : {std::pair(129, 132), {133, 136}, {152, 159}, {168, 171}})
            if (frame % 3 == 0)
                std::rotate(palette + 3 * first, palette + 3 * first + 3, palette + 3 * last + 3);
        EXPECT_EQ(std::memcmp(CurrentPalette, palette, PaletteSize), 0) << frame;
        EXPECT_EQ(screen[2 * 71 * ScreenWidth + 2 * 202], PaletteColours[129]) << frame;
    }
    EXPECT_NE(PaletteColours[129], first129);
    // Esc ends the loop only after its frame was presented: a cell changed just before it shows.
    Document.cells[0][0] = 200;
    PushKeyEvent(KeyEscape, true);
    EXPECT_FALSE(RunEditorFrame());
    EXPECT_EQ(screen[2 * ScreenWidth + 2], PaletteColours[200]);
}

TEST_F(EditorRunTest, TheHelpFitsTheWindowSwallowsKeysAndEscClosesItWithoutQuitting)
{
    Start(path, true);
    for (int i = 0; i < KeyHelpLineCount; ++i)
        EXPECT_LE(124 + TextWidth(KeyHelpLines[i].action, EditorFont), BandWidth) << KeyHelpLines[i].action;
    Press(KeyF1);
    for (int key : {int(KeyRight), int(KeySpace), int(KeyTab), int(KeyF)})
        Press(key);
    EXPECT_TRUE(CtrlKey(KeyQ));
    EXPECT_TRUE(cursorX == 8 && !DocumentHasUnsavedChanges());
    EXPECT_EQ(BandPixel(0, 0), BackgroundColour) << "the help covers the views";
    Press(KeyEscape);
    Press(KeyF1);
    Press(KeyF1);
    QuickFrame();
    EXPECT_TRUE(!KeyHelpShown() && BandPixel(0, 0) == FrameColour) << "Esc, and F1, close it";
}

// Ctrl+Q leaves at once when nothing is unsaved, else asks first; Ctrl+S saves, and after a
// failed save the editor runs on with the edits in a recovery file.
TEST_F(EditorRunTest, CtrlQLeavesWithoutSavingCtrlSSavesAndRunsOn)
{
    Start(path);  // a document that does not exist is not created either, unless the run ends so
    EXPECT_FALSE(CtrlKey(KeyQ));
    EXPECT_EQ(Stop(), 0);
    EXPECT_FALSE(PathExists(path));
    Start(path);
    EXPECT_EQ(Stop(), 0);
    EXPECT_EQ(ReadBytes(path).size(), 5u + 16 * 16);
    for (bool twice : {true, false}) {
        Start(path);
        currentColour = 9;
        Press(KeySpace);
        EXPECT_TRUE(CtrlKey(KeyQ));
        EXPECT_EQ(StatusMessage(), "Unsaved changes: Ctrl+Q again to quit without saving");
        if (!twice) {
            Press(KeyRight);  // takes the question back, and moves
            EXPECT_TRUE(StatusMessage().empty() && cursorX == 9);
            EXPECT_TRUE(CtrlKey(KeyQ));  // asks again
            PushKeyEvent(KeyEscape, true);
        }
        EXPECT_FALSE(twice ? CtrlKey(KeyQ) : RunEditorFrame());
        EXPECT_EQ(Stop(), 0);
        EXPECT_EQ(ReadBytes(path)[5 + 8 * 16 + 8], twice ? 0 : 9) << "saved only by Esc";
    }
    Start(path);
    Press(KeySpace);
    EXPECT_TRUE(CtrlKey(KeyS));
    const std::vector<uint8_t> saved = ReadBytes(path);
    EXPECT_TRUE(StatusMessage() == "Saved" && saved[5 + 8 * 16 + 8] == 0 && !DocumentHasUnsavedChanges());
    ScratchDir temporary;  // the folder goes away: the save fails, the edits go to the temporary folder
    setenv("TMPDIR", temporary.path.c_str(), 1);
    std::filesystem::remove_all(dir.path);
    EXPECT_TRUE(CtrlKey(KeyS));
    std::string recovery = temporary / ("crate.vsf.recovered-" + std::to_string(getpid()));
    EXPECT_EQ(StatusMessage(), "Not saved (cannot create: No such file or directory); the edits are in " +
                                   recovery);
    EXPECT_EQ(ReadBytes(recovery), saved);
    unsetenv("TMPDIR");
}

TEST_F(EditorRunTest, FillTakesTheFourConnectedRegionReplaceEveryEqualCellPickTheCursorsValue)
{
    Start();
    Document.width = Document.height = 3;
    for (int y = 0; y < 3; ++y)  // rows of a 3x3 sprite, column 3 hidden
        std::memcpy(Document.cells[y], &"778778708770"[4 * y], 4);
    auto cells = [] {  // the sprite's cells row by row, then a hidden one
        std::vector<uint8_t> bytes = EncodeDocument(Document);
        return std::string(bytes.begin() + 5, bytes.end()) + char(Document.cells[0][3]);
    };
    cursorX = cursorY = 0, currentColour = '9';
    Press(KeyF);  // the diagonal gaps keep the fill in the top-left corner
    EXPECT_EQ(cells(), "9989878777");
    cursorX = cursorY = 2;
    Chord({KeyLeftShift}, KeyF);  // every 7 within the size, wherever it lies
    EXPECT_EQ(cells(), "9989898997");
    cursorX = 2, cursorY = 0;
    Chord({KeyLeftShift}, KeyI);  // Shift does not stop pick
    EXPECT_EQ(currentColour, '8');
}

// The views start centred on the cursor (127, 127) of the largest sprite, then follow it.
TEST_F(EditorRunTest, TheStatusLineNamesTheCellItsFlagsColourOriginStepsScrollHighlightAndTheFilesNotice)
{
    std::vector<uint8_t> file(5 + 255 * 255 + 3, 0);
    file[0] = file[1] = 255;
    WriteBytes(path, file);
    Start(path);
    const std::string notice = "Bytes after the cells: the first save keeps a .orig copy";
    EXPECT_EQ(StatusText(2), "View from (96,106), preview from (33,94)");
    EXPECT_EQ(StatusText(3), notice);
    Document.cells[9][150] = 1, Document.originX = 12, Document.originY = 23;
    cursorX = 150, cursorY = 9, currentColour = 183;
    Chord({KeyLeftAlt}, KeyRight);
    EXPECT_EQ(StatusText(0), "Cell 1: Air, Projectiles collide, Diggable");
    EXPECT_EQ(StatusText(1), "Colour 183   Origin (13,23)   Undo 1   Redo 0");
    EXPECT_EQ(StatusText(2), "View from (96,6), preview from (33,6)");
    Press(KeyRight);
    Chord({KeyLeftCtrl}, KeyY);
    EXPECT_EQ(StatusText(0), "Cell 0: no flags");
    EXPECT_EQ(StatusText(3), "Nothing to redo; " + notice) << "the notice stays after messages";
    for (const char* flag : {"Water", "Air", "Worms collide", "Projectiles collide", "Diggable", ""}) {
        Press(KeyM);
        std::string shown = *flag ? "   Showing only: " + std::string(flag) : "";
        EXPECT_EQ(StatusText(2), "View from (96,6), preview from (33,6)" + shown);
    }
}
