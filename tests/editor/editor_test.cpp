// Whole runs of the editor: documents opened and saved, the key help, Ctrl+S and Ctrl+Q, and what
// reaches the screen.
#include <algorithm>
#include <csignal>
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

// An empty file is a fresh 16x16 sprite; SIGTERM ends the run like Esc, saving the edits; a
// document that did not exist is created at exit even unedited.
TEST_F(EditorRunTest, SigtermSavesAnEmptyFileAsTheFreshSpriteWithTheEditsAndANewFileIsCreated)
{
    WriteBytes(path, {});
    Start(path);
    currentColour = 12;
    Press(KeySpace);
    Chord({KeyLeftCtrl}, KeyUp);
    std::raise(SIGTERM);
    EXPECT_FALSE(RunEditorFrame());
    EXPECT_EQ(Stop(), 0);
    std::vector<uint8_t> saved(5 + 16 * 15);
    saved[0] = 16, saved[1] = 15, saved[5 + 8 * 16 + 8] = 12;
    EXPECT_EQ(ReadBytes(path), saved);
    Start(dir / "new.vsf");
    EXPECT_EQ(Stop(), 0);
    EXPECT_EQ(ReadBytes(dir / "new.vsf").size(), 5u + 16 * 16);
}

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
TEST(EditorProgramTest, WithoutADisplayItSaysSoAndWritesNothing)
{
    ScratchDir dir;
    ProgramResult run = RunProgram({"/usr/bin/timeout", "10", "/usr/bin/env", "-u", "DISPLAY", "-u", "WAYLAND_DISPLAY",
                                    "-u", "SDL_VIDEODRIVER", BuiltProgram("koba"), dir / "new.vsf"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "Can't initialize SDL video, sorry.\n");
    EXPECT_NE(run.err.find("no display"), std::string::npos) << run.err;
    EXPECT_FALSE(PathExists(dir / "new.vsf"));
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
    // at its (3, 6): band (202, 71)), and the material flags stay with their index.
    for (int frame = 1; frame <= 6; ++frame) {
        Frame();
        for (auto [first, last] : {std::pair(129, 132), {133, 136}, {152, 159}, {168, 171}})
            if (frame % 3 == 0)
                std::rotate(palette + 3 * first, palette + 3 * first + 3, palette + 3 * last + 3);
        EXPECT_EQ(std::memcmp(CurrentPalette, palette, PaletteSize), 0) << frame;
        EXPECT_EQ(screen[2 * 71 * ScreenWidth + 2 * 202], PaletteColours[129]) << frame;
        EXPECT_EQ(PaletteColours[129] & 0x21, first129 & 0x21) << frame;
    }
    EXPECT_NE(PaletteColours[129], first129);
    // Esc ends the loop only after its frame was presented: a cell changed just before it shows.
    Document.cells[0][0] = 200;
    PushKeyEvent(KeyEscape, true);
    EXPECT_FALSE(RunEditorFrame());
    EXPECT_EQ(screen[2 * ScreenWidth + 2], PaletteColours[200]);
    EXPECT_NE(PaletteColours[200], PaletteColours[0]);
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
    PushKeyEvent(KeyEscape, true);
    EXPECT_FALSE(RunEditorFrame()) << "Esc quits again once the help is closed";
}

TEST_F(EditorRunTest, CtrlQLeavesAtOnceWhenNothingIsUnsavedAndAsksFirstOtherwise)
{
    Start(path);  // a document that does not exist is not created either
    EXPECT_FALSE(CtrlKey(KeyQ));
    EXPECT_EQ(Stop(), 0);
    EXPECT_FALSE(PathExists(path));
    WriteBytes(path, {2, 1, 0, 0, 0, 5, 6});
    for (bool twice : {true, false}) {
        Start(path);
        Press(KeySpace);  // cell (1, 0) becomes 0
        EXPECT_TRUE(CtrlKey(KeyQ));
        EXPECT_EQ(StatusMessage(), "Unsaved changes: Ctrl+Q again to quit without saving");
        if (!twice) {
            Press(KeyRight);  // takes the question back, and moves
            EXPECT_TRUE(StatusMessage().empty() && cursorX == 0);
            EXPECT_TRUE(CtrlKey(KeyQ));  // asks again
            PushKeyEvent(KeyEscape, true);
        }
        EXPECT_FALSE(twice ? CtrlKey(KeyQ) : RunEditorFrame());
        EXPECT_EQ(Stop(), 0);
        EXPECT_EQ(ReadBytes(path)[6], twice ? 6 : 0) << "saved only by Esc";
    }
}

TEST_F(EditorRunTest, CtrlSSavesAndTheEditorRunsOnAFailedSaveKeepsTheEditsInARecoveryFile)
{
    const std::vector<uint8_t> saved = {2, 1, 0, 0, 0, 5, 0};
    WriteBytes(path, {2, 1, 0, 0, 0, 5, 6});
    Start(path);
    Press(KeySpace);
    EXPECT_TRUE(CtrlKey(KeyS));
    EXPECT_EQ(StatusMessage(), "Saved");
    EXPECT_TRUE(ReadBytes(path) == saved && !DocumentHasUnsavedChanges());
    // The folder goes away: the save fails, the edits go to the temporary folder.
    ScratchDir temporary;
    setenv("TMPDIR", temporary.path.c_str(), 1);
    std::filesystem::remove_all(dir.path);
    EXPECT_TRUE(CtrlKey(KeyS));
    std::string recovery = temporary / ("crate.vsf.recovered-" + std::to_string(getpid()));
    EXPECT_EQ(StatusMessage(), "Not saved (cannot create: No such file or directory); the edits are in " + recovery);
    EXPECT_EQ(ReadBytes(recovery), saved);
    unsetenv("TMPDIR");
}
