// Whole runs of the editor: documents opened and saved at exit, and what reaches the screen.
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <filesystem>

#include "resources/palette.h"
#include "tests/editor/editor_fixture.h"

class EditorRunTest : public EditorFixture {
protected:
    ScratchDir dir;
};

// SIGTERM ends the run like Esc, saving; a document that did not exist is created then.
TEST_F(EditorRunTest, SigtermSavesANewDocumentWithTheEdits)
{
    std::string path = dir / "new.vsf";
    Start(path);
    currentColour = 12;
    Press(KeySpace);
    Chord({KeyLeftCtrl}, KeyUp);
    std::raise(SIGTERM);
    EXPECT_FALSE(RunEditorFrame());
    EXPECT_EQ(Stop(), 0);
    std::vector<uint8_t> saved = ReadBytes(path);
    ASSERT_EQ(saved.size(), 5u + 16 * 15);
    EXPECT_EQ(std::vector<uint8_t>(saved.begin(), saved.begin() + 5), (std::vector<uint8_t>{16, 15, 0, 0, 0}));
    EXPECT_EQ(saved[5 + 8 * 16 + 8], 12);
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

// The program itself: documents that cannot be read stop it before its window opens.
TEST(EditorProgramTest, AFolderOrAShortDocumentStopsBeforeTheWindowAndWritesNothing)
{
    ScratchDir dir;
    ProgramResult folder = RunProgram({BuiltProgram("koba"), dir.path});
    EXPECT_EQ(folder.status, EISDIR);
    EXPECT_EQ(folder.out.rfind("Runtime error 21 at 0x", 0), 0u) << folder.out;
    EXPECT_NE(folder.err.find(dir.path), std::string::npos) << folder.err;

    std::string path = dir / "short.vsf";
    std::vector<uint8_t> bytes = {3, 3, 0, 0, 0, 1, 2, 3, 4, 5, 6, 7, 8};
    WriteBytes(path, bytes);
    ProgramResult shortFile = RunProgram({BuiltProgram("koba"), path});
    EXPECT_EQ(shortFile.status, 100);
    EXPECT_EQ(shortFile.out.rfind("Runtime error 100 at 0x", 0), 0u) << shortFile.out;
    EXPECT_EQ(ReadBytes(path), bytes);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path), std::filesystem::directory_iterator()),
              1);
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
    for (int i = 0; i < 256; ++i) {
        palette[3 * i] = uint8_t(i % 64);
        palette[3 * i + 1] = uint8_t((i / 64) * 16);
        palette[3 * i + 2] = uint8_t(63 - i % 64);
    }
    ApplyPalette(palette);
    Pixel colours[256];
    std::memcpy(colours, PaletteColours, sizeof colours);
    // Swatch 129 (a cycled index) has no marks at its (3, 6): band (191 + 8 + 3, 1 + 64 + 6).
    const uint16_t& swatch = static_cast<uint16_t*>(ScreenSurface->pixels)[2 * 71 * ScreenWidth + 2 * 202];
    for (int still = 0; still < 2; ++still) {
        Frame();
        EXPECT_EQ(std::memcmp(CurrentPalette, palette, PaletteSize), 0) << still;
        EXPECT_EQ(std::memcmp(colours, PaletteColours, sizeof colours), 0) << still;
    }
    EXPECT_EQ(swatch, colours[129]);
    Frame();
    uint8_t stepped[PaletteSize];
    std::memcpy(stepped, palette, PaletteSize);
    for (auto [first, last] : {std::pair(129, 132), {133, 136}, {152, 159}, {168, 171}})
        std::rotate(stepped + 3 * first, stepped + 3 * first + 3, stepped + 3 * last + 3);
    EXPECT_EQ(std::memcmp(CurrentPalette, stepped, PaletteSize), 0);
    // The screen shows the step in the same frame; the material flags stay with their index.
    EXPECT_NE(PaletteColours[129], colours[129]);
    EXPECT_EQ(swatch, PaletteColours[129]);
    EXPECT_EQ(PaletteColours[129] & 0x21, colours[129] & 0x21);
    // And so on: still, still, step.
    std::memcpy(colours, PaletteColours, sizeof colours);
    Frame();
    Frame();
    EXPECT_EQ(std::memcmp(colours, PaletteColours, sizeof colours), 0);
    Frame();
    EXPECT_NE(std::memcmp(colours, PaletteColours, sizeof colours), 0);

    // Esc ends the loop only after its frame was presented: a cell changed just before it shows.
    Document.cells[0][0] = 200;
    PushKeyEvent(KeyEscape, true);
    EXPECT_FALSE(RunEditorFrame());
    EXPECT_EQ(static_cast<uint16_t*>(ScreenSurface->pixels)[2 * ScreenWidth + 2], PaletteColours[200]);
    EXPECT_NE(PaletteColours[200], PaletteColours[0]);
}
