// The key help, Ctrl+S and Ctrl+Q, through real key events.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <unistd.h>

#include "editor/modes.h"
#include "editor/status.h"
#include "gfx/text.h"
#include "tests/editor/editor_fixture.h"

class ModesTest : public EditorFixture {
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

TEST_F(ModesTest, TheHelpFitsTheWindowSwallowsKeysAndEscClosesItWithoutQuitting)
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
    EXPECT_FALSE(KeyHelpShown());
    Press(KeyF1);
    Press(KeyF1);
    QuickFrame();
    EXPECT_TRUE(!KeyHelpShown() && BandPixel(0, 0) == FrameColour) << "F1 closes it too";
    PushKeyEvent(KeyEscape, true);
    EXPECT_FALSE(RunEditorFrame()) << "Esc quits again once the help is closed";
}

TEST_F(ModesTest, CtrlQLeavesAtOnceWhenNothingIsUnsavedAndAsksFirstOtherwise)
{
    // A document that does not exist is not created either.
    Start(path);
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

TEST_F(ModesTest, CtrlSSavesAndTheEditorRunsOnAFailedSaveKeepsTheEditsInARecoveryFile)
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
