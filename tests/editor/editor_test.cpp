#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <sys/stat.h>

#include "editor/frametimer.h"
#include "editor/keys.h"
#include "editor/panel.h"
#include "gfx/primitives.h"
#include "gfx/text.h"
#include "resources/palette.h"
#include "tests/editor/editor_fixture.h"
#include "tests/support/testutil.h"

class EditorRunTest : public EditorFixture {
protected:
    ScratchDir dir;
};

TEST_F(EditorRunTest, ANewDocumentIsCreatedAtExitWithTheEdits)
{
    std::string path = dir / "new.vsf";
    Start(path);
    currentColour = 12;
    Press(KeySpace);
    Chord({KeyLeftCtrl}, KeyUp);
    PushKeyEvent(KeyEscape, true);
    EXPECT_FALSE(RunEditorFrame());
    EXPECT_EQ(Stop(), 0);
    std::vector<uint8_t> saved = ReadBytes(path);
    ASSERT_EQ(saved.size(), 5u + 16 * 15);
    EXPECT_EQ(std::vector<uint8_t>(saved.begin(), saved.begin() + 5), (std::vector<uint8_t>{16, 15, 0, 0, 0}));
    EXPECT_EQ(saved[5 + 8 * 16 + 8], 12);
}

TEST_F(EditorRunTest, KeyedEditsShowInTheNextFrameOfTheBand)
{
    Start();
    currentColour = 30;
    Press(KeySpace);
    Frame();
    EXPECT_EQ(BandPixel(3 * 8 + 1, 3 * 8 + 1), 30);
    EXPECT_EQ(BandPixel(8 + 1, 8 + 134), 30);
    // The selection frame follows the colour: index 30's swatch at band (191 + 112, 1 + 8).
    EXPECT_EQ(BandPixel(191 + 112 - 1, 1 + 8 - 1), FrameColour);
    // Tab moves the checker from key colour 0's swatch to the current colour's (130: no marks).
    EXPECT_EQ(BandPixel(191, 1), CheckerColourA);
    currentColour = 130;
    Press(KeyTab);
    Frame();
    EXPECT_EQ(BandPixel(191, 1), 0);
    EXPECT_EQ(BandPixel(191 + 16, 1 + 64), CheckerColourA);
    EXPECT_EQ(BandPixel(191 + 17, 1 + 64), CheckerColourB);
}

TEST_F(EditorRunTest, ASizeOf0IsRaisedTo1AfterOneFrameAndSavedSo)
{
    std::string path = dir / "flat.vsf";
    WriteBytes(path, {0, 3, 9, 1, 0});
    Start(path);
    EXPECT_EQ(Document.width, 0);
    Frame();
    EXPECT_EQ(Document.width, 1);
    EXPECT_EQ(Document.originX, 0);
    EXPECT_EQ(Document.originY, 1);
    EXPECT_EQ(cursorX, 0);
    EXPECT_EQ(cursorY, 1);
    EXPECT_EQ(Stop(), 0);
    EXPECT_EQ(ReadBytes(path), (std::vector<uint8_t>{1, 3, 0, 1, 0, 0, 0, 0}));
}

TEST_F(EditorRunTest, SpaceInTheFirstFrameOfASize0DocumentPaintsNothing)
{
    std::string path = dir / "flat.vsf";
    WriteBytes(path, {5, 0, 0, 0, 0});
    Start(path);
    currentColour = 9;
    Press(KeySpace);
    EXPECT_EQ(Document.height, 1);
    EXPECT_EQ(Document.cells[0][2], 0);
}

TEST_F(EditorRunTest, SigtermAndTheWindowsCloseButtonSaveLikeEsc)
{
    std::string path = dir / "signal.vsf";
    Start(path);
    currentColour = 3;
    Press(KeySpace);
    std::raise(SIGTERM);
    EXPECT_FALSE(RunEditorFrame());
    EXPECT_EQ(Stop(), 0);
    EXPECT_EQ(ReadBytes(path).at(5 + 8 * 16 + 8), 3);

    Start(path);
    EXPECT_EQ(Document.cells[8][8], 3);
    Press(KeyRight);
    currentColour = 4;
    Press(KeySpace);
    SDL_Event close = {};
    close.type = SDL_QUIT;
    SDL_PushEvent(&close);
    EXPECT_FALSE(RunEditorFrame());
    EXPECT_EQ(Stop(), 0);
    EXPECT_EQ(ReadBytes(path).at(5 + 8 * 16 + 9), 4);
}

TEST_F(EditorRunTest, AFailedSaveAtExitKeepsTheOldFileAndExitsWithItsCode)
{
    std::string path = dir / "locked.vsf";
    std::vector<uint8_t> old = {2, 1, 0, 0, 0, 6, 6};
    WriteBytes(path, old);
    ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
    // Forked where it stands, so the child writes into this scratch folder; SDL runs only there.
    GTEST_FLAG_SET(death_test_style, "fast");
    EXPECT_EXIT(
        {
            Start(path);
            currentColour = 8;
            Press(KeySpace);
            Stop();
            std::_Exit(0);
        },
        testing::ExitedWithCode(EACCES), "locked.vsf: .*the edits are in .*locked.vsf.recovered-");
    EXPECT_EQ(ReadBytes(path), old);
    int recoveries = 0;
    for (auto& entry : std::filesystem::directory_iterator(dir.path))
        if (entry.path().filename().string().rfind("locked.vsf.recovered-", 0) == 0) {
            ++recoveries;
            EXPECT_EQ(ReadBytes(entry.path().string()), (std::vector<uint8_t>{2, 1, 0, 0, 0, 6, 8}));
        }
    EXPECT_EQ(recoveries, 1);
}

// The program itself: documents that cannot be read stop it before its window opens.
TEST(EditorProgramTest, AnUnreadableOrShortDocumentStopsBeforeTheWindowAndWritesNothing)
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

TEST_F(EditorRunTest, WhatChangesReachesTheScreenInTheSameFrame)
{
    Start();
    uint8_t palette[PaletteSize];
    for (size_t i = 0; i < PaletteSize; ++i)
        palette[i] = uint8_t((i * 7) % 64);
    ApplyPalette(palette);
    auto* screen = static_cast<uint16_t*>(ScreenSurface->pixels);
    // Swatch 129 (a cycled index) has no marks at its (3, 6): band (191 + 8, 1 + 64 + 6).
    int32_t swatch = (2 * (1 + 64 + 6)) * ScreenWidth + 2 * (191 + 8 + 3);
    Frame();
    Frame();
    Pixel before = screen[swatch];
    EXPECT_EQ(before, PaletteColours[129]);
    Frame();  // the cycle steps: same indices, new colours
    EXPECT_NE(screen[swatch], before);
    EXPECT_EQ(screen[swatch], PaletteColours[129]);
    currentColour = 5;
    Press(KeySpace);
    Frame();
    EXPECT_EQ(screen[2 * (3 * 8 + 1) * ScreenWidth + 2 * (3 * 8 + 1)], PaletteColours[5]);
}

TEST_F(EditorRunTest, TheReadOutsShowSizeAndCursorAsText)
{
    StartWithPack();
    struct Case {
        int w, h, x, y;
        const char *size, *position;
    } cases[] = {{16, 16, 8, 8, "Size: (16,16)", "Pos: (8,8)"}, {255, 3, 200, 0, "Size: (255,3)", "Pos: (200,0)"}};
    for (const Case& c : cases) {
        Document.width = uint8_t(c.w);
        Document.height = uint8_t(c.h);
        cursorX = c.x;
        cursorY = c.y;
        tickFlag = 1;
        Frame();
        // The same texts drawn alone on a cleared work area, where the panel draws them.
        FillBox8(0, 0, CanvasWidth, 300, 0);
        DrawText(200, 190, c.size, EditorFont, ReadoutColour);
        DrawText(270, 190, c.position, EditorFont, ReadoutColour);
        for (int y = 181; y < 200; ++y)
            for (int x = 191; x < 320; ++x)
                ASSERT_EQ(BandPixel(x, y), GetPixel8(x + 9, y + 9)) << c.size << " " << c.position << " at " << x
                                                                     << "," << y;
    }
}
