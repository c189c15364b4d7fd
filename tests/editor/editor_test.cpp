// Whole runs of the editor: documents opened and saved at exit, and what reaches the screen.
#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstring>

#include "resources/palette.h"
#include "tests/editor/editor_fixture.h"

class EditorRunTest : public EditorFixture {
protected:
    ScratchDir dir;
};

// An empty file is a fresh 16x16 sprite; SIGTERM ends the run like Esc, saving the edits; a
// document that did not exist is created at exit even unedited.
TEST_F(EditorRunTest, SigtermSavesAnEmptyFileAsTheFreshSpriteWithTheEditsAndANewFileIsCreated)
{
    std::string empty = dir / "empty.vsf", fresh = dir / "new.vsf";
    WriteBytes(empty, {});
    Start(empty);
    currentColour = 12;
    Press(KeySpace);
    Chord({KeyLeftCtrl}, KeyUp);
    std::raise(SIGTERM);
    EXPECT_FALSE(RunEditorFrame());
    EXPECT_EQ(Stop(), 0);
    std::vector<uint8_t> saved = ReadBytes(empty);
    ASSERT_EQ(saved.size(), 5u + 16 * 15);
    EXPECT_EQ(std::vector<uint8_t>(saved.begin(), saved.begin() + 5), (std::vector<uint8_t>{16, 15, 0, 0, 0}));
    EXPECT_EQ(saved[5 + 8 * 16 + 8], 12);
    Start(fresh);
    EXPECT_EQ(Stop(), 0);
    EXPECT_EQ(ReadBytes(fresh).size(), 5u + 16 * 16);
}

// Space acts before the first frame raises the size: there is no cell to paint yet; the next
// press paints, and the edit is saved with the size raised.
TEST_F(EditorRunTest, ASizeOf0IsRaisedTo1ByTheFirstFrameAndSavedSo)
{
    struct Case {
        std::vector<uint8_t> file, saved;
    } cases[] = {{{0, 3, 9, 1, 0}, {1, 3, 0, 1, 0, 0, 9, 0}}, {{5, 0, 0, 0, 0}, {5, 1, 0, 0, 0, 0, 0, 9, 0, 0}}};
    std::string path = dir / "flat.vsf";
    for (const Case& c : cases) {
        WriteBytes(path, c.file);
        Start(path);
        EXPECT_EQ(Document.width * Document.height, 0);
        currentColour = 9;
        Press(KeySpace);
        EXPECT_EQ(cursorY, c.file[1] / 2);
        EXPECT_FALSE(DocumentHasUnsavedChanges());
        Press(KeySpace);
        EXPECT_EQ(Stop(), 0);
        EXPECT_EQ(ReadBytes(path), c.saved);
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
    // Swatch 129 (a cycled index) has no marks at its (3, 6): band (191 + 8 + 3, 1 + 64 + 6).
    const uint16_t& swatch = static_cast<uint16_t*>(ScreenSurface->pixels)[2 * 71 * ScreenWidth + 2 * 202];
    // Still, still, step, and so on; the screen shows a step in its frame, and the material
    // flags stay with their index.
    for (int frame = 1; frame <= 6; ++frame) {
        Pixel before[256];
        std::memcpy(before, PaletteColours, sizeof before);
        Frame();
        for (auto [first, last] : {std::pair(129, 132), {133, 136}, {152, 159}, {168, 171}})
            if (frame % 3 == 0)
                std::rotate(palette + 3 * first, palette + 3 * first + 3, palette + 3 * last + 3);
        EXPECT_EQ(std::memcmp(CurrentPalette, palette, PaletteSize), 0) << frame;
        EXPECT_EQ(std::memcmp(before, PaletteColours, sizeof before) != 0, frame % 3 == 0) << frame;
        EXPECT_EQ(swatch, PaletteColours[129]) << frame;
        EXPECT_EQ(PaletteColours[129] & 0x21, first129 & 0x21) << frame;
    }
    EXPECT_NE(PaletteColours[129], first129);

    // Esc ends the loop only after its frame was presented: a cell changed just before it shows.
    Document.cells[0][0] = 200;
    PushKeyEvent(KeyEscape, true);
    EXPECT_FALSE(RunEditorFrame());
    EXPECT_EQ(static_cast<uint16_t*>(ScreenSurface->pixels)[2 * ScreenWidth + 2], PaletteColours[200]);
    EXPECT_NE(PaletteColours[200], PaletteColours[0]);
}
