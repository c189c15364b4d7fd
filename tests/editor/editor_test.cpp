// The editor through real key events and frames: documents opened and saved (only what changed,
// keeping the bytes it would drop and the edits of a failed save), the key help and every binding,
// Ctrl+S and Ctrl+Q, fill, replace and pick, the status line, undo and redo, quick taps and held keys
// (these on the test's clock), and what reaches the screen.
#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

#include "editor/history.h"
#include "editor/modes.h"
#include "editor/status.h"
#include "gfx/text.h"
#include "resources/palette.h"
#include "tests/editor/editor_fixture.h"

using EditorRunTest = EditorFixture;


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
        Press(KeySpace, KeySpace);
        EXPECT_EQ(Stop(), 0);
        EXPECT_EQ(ReadBytes(path), saved);
    }
}

// SDL would fall back to drawing into memory, leaving an editor nobody can see or quit.
TEST_F(EditorRunTest, WithoutADisplayTheProgramSaysSoAndWritesNothing)
{
    ProgramResult run = RunProgram({"/usr/bin/timeout", "10", "/usr/bin/env", "-u", "DISPLAY", "-u",
                                    "WAYLAND_DISPLAY", "-u", "SDL_VIDEODRIVER", BuiltProgram("koba"), path});
    EXPECT_EQ(std::to_string(run.status) + ":" + run.out, "1:Can't initialize SDL video, sorry.\n");
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
    EXPECT_FALSE(Chord({}, KeyEscape));
    EXPECT_EQ(screen[2 * ScreenWidth + 2], PaletteColours[200]);
}

TEST_F(EditorRunTest, TheHelpFitsTheWindowSwallowsKeysAndEscClosesItWithoutQuitting)
{
    Start(path, true);
    for (int i = 0; i < KeyHelpLineCount; ++i)
        EXPECT_LE(124 + TextWidth(KeyHelpLines[i].action, EditorFont), BandWidth) << KeyHelpLines[i].action;
    Press(KeyF1, KeyRight, KeySpace, KeyTab, KeyF);
    EXPECT_TRUE(Chord({KeyLeftCtrl}, KeyQ));
    EXPECT_TRUE(cursorX == 8 && !DocumentHasUnsavedChanges());
    EXPECT_EQ(BandPixel(0, 0), BackgroundColour) << "the help covers the views";
    Press(KeyEscape, KeyF1, KeyF1);
    QuickFrame();
    EXPECT_TRUE(!KeyHelpShown() && BandPixel(0, 0) == FrameColour) << "Esc, and F1, close it";
    Stop();
    EXPECT_EQ(ReadBytes(path).size(), 5u + 16 * 16) << "a new document is written at the end, even unedited";
}

// Ctrl+Q leaves at once when nothing is unsaved, else asks first; Ctrl+S saves, and after a
// failed save the editor runs on with the edits in a recovery file.
TEST_F(EditorRunTest, CtrlQLeavesWithoutSavingCtrlSSavesAndRunsOn)
{
    Start(path);  // a document that does not exist is not created either, unless the run ends so
    EXPECT_FALSE(Chord({KeyLeftCtrl}, KeyQ));
    EXPECT_EQ(Stop(), 0);
    EXPECT_FALSE(PathExists(path));
    for (bool twice : {false, true}) {
        Start(path);
        currentColour = twice ? 7 : 9;
        Press(KeySpace);
        EXPECT_TRUE(Chord({KeyLeftCtrl}, KeyQ));
        EXPECT_EQ(StatusMessage(), "Unsaved changes: Ctrl+Q again to quit without saving");
        if (!twice) {
            Press(KeyRight);  // takes the question back, and moves
            EXPECT_TRUE(StatusMessage().empty() && cursorX == 9);
            EXPECT_TRUE(Chord({KeyLeftCtrl}, KeyQ));  // asks again
            PushKeyEvent(KeyEscape, true);
        }
        EXPECT_FALSE(twice ? Chord({KeyLeftCtrl}, KeyQ) : RunEditorFrame());
        EXPECT_EQ(Stop(), 0);
        EXPECT_EQ(ReadBytes(path).at(5 + 8 * 16 + 8), 9) << "saved only by Esc";
    }
    Start(path);
    Press(KeySpace);
    EXPECT_TRUE(Chord({KeyLeftCtrl}, KeyS));
    const std::vector<uint8_t> saved = ReadBytes(path);
    EXPECT_TRUE(StatusMessage() == "Saved" && saved[5 + 8 * 16 + 8] == 0 && !DocumentHasUnsavedChanges());
    ScratchDir temporary;  // the folder goes away: the save fails, the edits go to the temporary folder
    setenv("TMPDIR", temporary.path.c_str(), 1);
    std::filesystem::remove_all(dir.path);
    EXPECT_TRUE(Chord({KeyLeftCtrl}, KeyS));
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
    EXPECT_EQ(StatusText(2), "View from (96,106), preview from (33,94)");
    Document.cells[9][150] = 1, Document.originX = 12, Document.originY = 23;
    cursorX = 150, cursorY = 9, currentColour = 183;
    Chord({KeyLeftAlt}, KeyRight);
    EXPECT_EQ(StatusText(0), "Cell 1: Air, Projectiles collide, Diggable");
    EXPECT_EQ(StatusText(1), "Colour 183   Origin (13,23)   Undo 1   Redo 0");
    EXPECT_EQ(StatusText(2), "View from (96,6), preview from (33,6)");
    Press(KeyRight);
    Chord({KeyLeftCtrl}, KeyY);
    EXPECT_EQ(StatusText(0), "Cell 0: no flags");
    EXPECT_EQ(StatusText(3), "Nothing to redo; Bytes after the cells: the first save keeps a .orig copy")
        << "the file's notice stays after messages";
    for (const char* flag : {"Water", "Air", "Worms collide", "Projectiles collide", "Diggable", ""}) {
        Press(KeyM);
        std::string shown = *flag ? "   Showing only: " + std::string(flag) : "";
        EXPECT_EQ(StatusText(2), "View from (96,6), preview from (33,6)" + shown);
    }
}

TEST_F(EditorRunTest, OnlyARealChangeDropsTheRedoStepsAndTheHistoryOfTheLargestSpriteStaysSmall)
{
    Start();
    currentColour = 9;
    Hold(KeySpace), Press(KeyRight, KeyDown), Release(KeySpace);  // a stroke is one step
    Undo();
    currentColour = Document.keyColour;
    Press(KeyTab);  // a change that changes nothing keeps the redo step
    EXPECT_TRUE(UndoSteps() == 0 && RedoSteps() == 1);
    Chord({KeyLeftCtrl}, KeyLeft);
    EXPECT_TRUE(UndoSteps() == 1 && RedoSteps() == 0);
    Chord({KeyLeftCtrl, KeyLeftShift}, KeyZ);  // redo, not undo
    EXPECT_EQ(StatusMessage(), "Nothing to redo");
    Document.width = Document.height = 255;
    Document.cells[7][9] = 4, Document.cells[255][255] = 0;  // an island, and a hidden cell
    cursorX = cursorY = 0, currentColour = 9;
    const std::vector<uint8_t> before = EncodeDocument(Document);
    Press(KeyF);
    EXPECT_TRUE(Document.cells[254][254] == 9 && Document.cells[255][255] == 0) << "to the far corner";
    EXPECT_LT(HistoryBytes(), 16u << 10) << "a bit per cell";
    Undo();
    EXPECT_TRUE(EncodeDocument(Document) == before && StatusMessage() == "Undone");
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
    EXPECT_TRUE(Document.cells[0][0] == 5 && Document.cells[0][1] == 9) << "the oldest stroke was dropped";
    Undo();
    EXPECT_EQ(StatusMessage(), "Nothing to undo");
}

TEST_F(EditorRunTest, ACloseRequestIsTakenWhileWaitingForTheTickAndTheTimerKeepsRunning)
{
    Start();
    SDL_Event event = {SDL_QUIT};
    SDL_PushEvent(&event);
    EXPECT_EQ(FrameTimerCallback(24, nullptr), 24u);
    WaitForTick();
    EXPECT_TRUE(QuitRequested() && tickFlag.load() == 0);
}

// Automation and fast typists press and release keys within one frame's wait, and release a
// modifier a moment before its key: every such tap must still act, once, in order.
TEST_F(EditorRunTest, QuickTapsActOnceEachAndInOrder)
{
    UseTestClock();
    Start();
    for (int i = 0; i < 12; ++i)  // Shift+Right three times, Shift coming up first
        PushKeyEvent(i % 2 ? KeyRight : KeyLeftShift, i % 4 < 2);
    for (int symbol : {KeySpace, KeyRight, KeySpace, KeyDown, KeyDown, KeySpace})
        for (bool down : {true, false})
            PushKeyEvent(symbol, down);
    Frames(40);
    EXPECT_EQ((std::vector<int>{Document.cells[8][8], Document.cells[8][9], Document.cells[10][9],
                                Document.cells[9][9], cursorX, cursorY}),
              (std::vector<int>{3, 3, 3, 0, 9, 10}));
    // A tapped Esc, looked at only after the present, ends the loop too.
    EXPECT_FALSE(Chord({}, KeyEscape) && RunEditorFrame() && RunEditorFrame());
}

// A held key acts on the press, then at 400 ms, then every 60 ms, each time in the first frame
// due (frames come every 24 ms); only the press's binding repeats, and a modifier change stops it.
TEST_F(EditorRunTest, AHeldKeyRepeatsOnTimeOnlyThePressesBindingAndTheWindowIsDrawnMeanwhile)
{
    UseTestClock();
    Start("", true);  // real colours: every step shows
    Frame();
    const int Shift = KeyLeftShift, Ctrl = KeyLeftCtrl, Right = KeyRight;
    // The events (ms after the start, key, down); the frames that change colour or cursor; the end.
    const std::tuple<std::vector<std::tuple<int, int, bool>>, std::vector<uint32_t>, int, int> cases[] = {
        {{{0, Right, true}}, {0, 408, 480, 528, 600, 648, 720, 768, 840, 888, 960}, 0, 11},
        {{{0, Shift, true}, {24, Right, true}, {640, Shift, false}}, {24, 432, 504, 552, 624}, 5, 0},
        {{{0, Shift, true}, {24, Right, true}, {500, Ctrl, true}}, {24, 432}, 2, 0},
        {{{0, Shift, true}, {0, Ctrl, true}, {24, Right, true}},
         {24, 432, 504, 552, 624, 672, 744, 792, 864, 912, 984}, 11, 0},
        {{{0, Shift, true}, {24, Right, true}, {48, Shift, false}, {96, Right, false}, {120, Right, true}},
         {24, 120, 528, 600, 648, 720, 768, 840, 888, 960}, 1, 9},
    };
    const uint16_t* screen = static_cast<uint16_t*>(ScreenSurface->pixels);
    for (const auto& [events, expected, endColour, endX] : cases) {
        currentColour = 0, cursorX = 0;
        const std::vector<uint16_t> pressed(screen, screen + ScreenWidth * ScreenHeight);
        std::vector<uint32_t> steps;
        size_t next = 0;
        for (uint32_t t = 0; t <= 1000; t += FrameInterval, testNow += FrameInterval) {
            for (; next < events.size() && std::get<0>(events[next]) <= int(t); ++next)
                PushKeyEvent(std::get<1>(events[next]), std::get<2>(events[next]));
            const int colour = currentColour, x = cursorX;
            QuickFrame();
            if (colour != currentColour || x != cursorX)
                steps.push_back(t);
        }
        EXPECT_EQ(steps, expected);
        EXPECT_TRUE(currentColour == endColour && cursorX == endX && Document.width == 16);
        EXPECT_FALSE(std::equal(pressed.begin(), pressed.end(), screen)) << "the window is drawn meanwhile";
        for (int key : {Right, Shift, Ctrl})
            PushKeyEvent(key, false);
        Frames(6);
    }
}

using State = std::tuple<int, int, int, int, int, int, int, int>;

static auto Fields()
{
    return std::tie(currentColour, Document.keyColour, Document.width, Document.height, cursorX, cursorY,
                    Document.originX, Document.originY);
}

TEST_F(EditorRunTest, EachBindingWithItsWrapRulesAndModifierPrecedence)
{
    Start();
    const State start = {0, 0, 16, 16, 8, 8, 0, 0}, wide = {0, 0, 200, 255, 8, 8, 0, 0};
    const State origin = {0, 0, 16, 16, 8, 8, 9, 9};
    const std::tuple<State, std::vector<int>, int, State> cases[] = {
        {start, {KeyLeftShift}, KeyLeft, {255, 0, 16, 16, 8, 8, 0, 0}},
        {{255, 0, 16, 16, 8, 8, 0, 0}, {KeyRightShift}, KeyRight, start},
        {start, {KeyLeftShift}, KeyUp, {240, 0, 16, 16, 8, 8, 0, 0}},
        {{250, 0, 16, 16, 8, 8, 0, 0}, {KeyRightShift}, KeyDown, {10, 0, 16, 16, 8, 8, 0, 0}},
        // A size past 255 wraps to 1, below 1 stays 1; the cursor wraps into it.
        {{0, 0, 1, 1, 0, 0, 0, 0}, {KeyLeftCtrl}, KeyUp, {0, 0, 1, 1, 0, 0, 0, 0}},
        {{0, 0, 255, 255, 8, 8, 0, 0}, {KeyLeftCtrl}, KeyRight, {0, 0, 1, 255, 0, 8, 0, 0}},
        {{0, 0, 255, 255, 8, 8, 0, 0}, {KeyRightCtrl}, KeyDown, {0, 0, 255, 1, 8, 0, 0, 0}},
        {{0, 0, 16, 16, 15, 15, 0, 0}, {KeyLeftCtrl}, KeyLeft, {0, 0, 15, 16, 0, 15, 0, 0}},
        // Cursor and origin wrap at every edge, also beyond 127.
        {start, {}, KeyHome, {0, 0, 16, 16, 0, 8, 0, 0}}, {start, {}, KeyPageUp, {0, 0, 16, 16, 8, 0, 0, 0}},
        {{0, 0, 16, 16, 0, 8, 0, 0}, {}, KeyLeft, {0, 0, 16, 16, 15, 8, 0, 0}},
        {{0, 0, 200, 255, 199, 8, 0, 0}, {}, KeyRight, {0, 0, 200, 255, 0, 8, 0, 0}},
        {{0, 0, 16, 16, 8, 0, 0, 0}, {}, KeyUp, {0, 0, 16, 16, 8, 15, 0, 0}},
        {{0, 0, 200, 255, 8, 254, 0, 0}, {}, KeyDown, {0, 0, 200, 255, 8, 0, 0, 0}},
        {wide, {}, KeyEnd, {0, 0, 200, 255, 199, 8, 0, 0}},
        {wide, {}, KeyPageDown, {0, 0, 200, 255, 8, 254, 0, 0}},
        {start, {KeyLeftAlt}, KeyLeft, {0, 0, 16, 16, 8, 8, 15, 0}},
        {{0, 0, 200, 255, 8, 8, 199, 0}, {KeyRightAlt}, KeyRight, wide},
        {start, {KeyLeftAlt}, KeyUp, {0, 0, 16, 16, 8, 8, 0, 15}},
        {{0, 0, 16, 16, 8, 8, 0, 15}, {KeyLeftAlt}, KeyDown, start},
        {origin, {KeyLeftAlt}, KeyHome, {0, 0, 16, 16, 8, 8, 0, 9}},
        {origin, {KeyLeftAlt}, KeyEnd, {0, 0, 16, 16, 8, 8, 15, 9}},
        {origin, {KeyLeftAlt}, KeyPageUp, {0, 0, 16, 16, 8, 8, 9, 0}},
        {origin, {KeyLeftAlt}, KeyPageDown, {0, 0, 16, 16, 8, 8, 9, 15}},
        // Home and the page keys have no Shift or Ctrl binding; Tab acts under any modifier.
        {start, {KeyLeftShift}, KeyHome, start}, {start, {KeyLeftCtrl}, KeyPageDown, start},
        {{9, 0, 16, 16, 8, 8, 0, 0}, {KeyLeftCtrl, KeyLeftAlt}, KeyTab, {9, 9, 16, 16, 8, 8, 0, 0}},
        // The earlier modifier group wins; the later one sees the key released.
        {start, {KeyLeftCtrl, KeyLeftAlt}, KeyRight, {0, 0, 17, 16, 8, 8, 0, 0}},
    };
    for (const auto& [before, modifiers, key, after] : cases) {
        Fields() = before;
        Chord(modifiers, key);
        EXPECT_EQ(State(Fields()), after) << key << " from " << testing::PrintToString(before);
    }
}

// Mirrors swap every pair of columns or rows, the middle pair of even sizes too, act once per
// press however long the key is held, and leave the cells beyond the sprite where they are.
TEST_F(EditorRunTest, MirrorsSwapEveryPairOncePerPress)
{
    Start();
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 7; ++x)
            Document.cells[y][x] = uint8_t('a' + 7 * y + x);
    auto corner = [] {  // 4 rows of 7 cells
        std::string cells;
        for (int y = 0; y < 4; ++y)
            cells += std::string(Document.cells[y], Document.cells[y] + 7) + " ";
        return cells;
    };
    Document.width = 4, Document.height = 2;
    // h held longer than a repeat delay: one mirror, frame after frame.
    UseTestClock();
    PushKeyEvent(KeyH, true);
    for (int f = 0; f < 40; ++f) {
        Frames(1);
        ASSERT_EQ(corner(), "dcbaefg kjihlmn opqrstu vwxyz{| ") << f;
    }
    Release(KeyH);
    Chord({KeyLeftAlt}, KeyV);  // under any modifier
    EXPECT_EQ(corner(), "kjihefg dcbalmn opqrstu vwxyz{| ");
    // Odd sizes keep their middle column and row; a column hidden by shrinking stays put.
    Document.width = 6, Document.height = 3;
    Chord({KeyLeftCtrl}, KeyLeft);
    Chord({KeyLeftShift}, KeyH);
    Press(KeyV);
    EXPECT_EQ(corner(), "srqpofg labcdmn ehijktu vwxyz{| ");
}

// The file's bytes and modification time.
static std::pair<std::vector<uint8_t>, int64_t> StateOf(const std::string& path)
{
    struct stat info;
    EXPECT_EQ(::stat(path.c_str(), &info), 0);
    return {ReadBytes(path), int64_t(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec};
}

// Open and leave: an empty file, and a file with an origin outside and bytes after the cells (a
// hi-colour picture), stay as they were; so do edits put back. The first save keeps the whole file,
// or fails. Space held paints every cell the cursor stops on, the one it wraps to too.
TEST_F(EditorRunTest, OnlyChangesAreSavedAndTheFirstSaveKeepsTheOriginalBesideIt)
{
    const std::vector<uint8_t> original = {4, 2, 200, 9, 0, 1, 2, 3, 4, 5, 6, 7, 8, 0xEE};
    for (const std::string& file : {dir / "empty.vsf", path}) {
        WriteBytes(file, file == path ? original : std::vector<uint8_t>());
        const auto before = StateOf(file);
        Start(file);
        Frame();
        EXPECT_EQ(Stop(), 0);
        EXPECT_EQ(StateOf(file), before) << file;
    }
    Start(path);
    currentColour = 9;
    Press(KeySpace);  // the cursor's cell (2, 1)
    EXPECT_TRUE(DocumentHasUnsavedChanges());
    Chord({KeyLeftCtrl}, KeyRight);
    currentColour = 7;
    Press(KeySpace);
    Chord({KeyLeftCtrl}, KeyLeft);
    EXPECT_FALSE(DocumentHasUnsavedChanges());
    std::filesystem::create_directory(path + ".orig");
    currentColour = 4;
    Press(KeySpace);
    Result failed = SaveDocumentNow();
    EXPECT_EQ(failed.code, EISDIR);
    EXPECT_EQ(failed.reason.rfind("cannot keep the original as " + path + ".orig: ", 0), 0u) << failed.reason;
    EXPECT_EQ(ReadBytes(path), original);
    std::filesystem::remove(path + ".orig");
    WriteBytes(path + ".orig", {1});  // an older copy gives way
    ASSERT_TRUE(SaveDocumentNow().ok());
    EXPECT_EQ(DocumentNotice(), "");
    EXPECT_EQ(ReadBytes(path), (std::vector<uint8_t>{4, 2, 0, 1, 0, 1, 2, 3, 4, 5, 6, 4, 8}));
    Hold(KeySpace);
    Press(KeyRight, KeyRight);
    Release(KeySpace);
    Press(KeyRight);
    EXPECT_EQ(Stop(), 0);
    EXPECT_EQ(ReadBytes(path + ".orig"), original);  // the copy is of the original, once
    EXPECT_EQ(ReadBytes(path), (std::vector<uint8_t>{4, 2, 0, 1, 0, 1, 2, 3, 4, 4, 6, 4, 4}));
}

// A save at exit that fails (here: of a read-only file) leaves the file and puts the edits in a
// recovery file beside it.
TEST_F(EditorRunTest, AReadOnlyDocumentIsKeptAndTheEditsGoToARecoveryFileBesideIt)
{
    GTEST_FLAG_SET(death_test_style, "fast");  // the child forked where it stands, in this folder
    const std::vector<uint8_t> old = {2, 1, 0, 0, 0, 6, 6};
    WriteBytes(path, old);
    ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
    auto paintAndExit = [&] {
        Start(path);
        std::fprintf(stderr, "notice: %s\n", DocumentNotice().c_str());
        currentColour = 8;
        Press(KeySpace);
        Stop();
        std::_Exit(0);
    };
    EXPECT_EXIT(paintAndExit(), testing::ExitedWithCode(EACCES),
                "notice: Read-only: saving goes to a recovery file\n"
                ".*crate.vsf: .*the edits are in .*crate.vsf.recovered-");
    EXPECT_EQ(ReadBytes(path), old);
    std::vector<std::string> names = FolderNames(dir.path);
    ASSERT_EQ(names.size(), 2u);
    EXPECT_EQ(ReadBytes(dir / names[1]), (std::vector<uint8_t>{2, 1, 0, 0, 0, 6, 8}));
}
