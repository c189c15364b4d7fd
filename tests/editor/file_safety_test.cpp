// The editor writes only what changed, keeps the bytes it would drop and the edits of a failed save.
#include <cerrno>
#include <filesystem>
#include <sys/stat.h>

#include "tests/editor/editor_fixture.h"

class FileSafetyTest : public EditorFixture {};

// The file's bytes and modification time.
static std::pair<std::vector<uint8_t>, int64_t> StateOf(const std::string& path)
{
    struct stat info;
    EXPECT_EQ(::stat(path.c_str(), &info), 0);
    return {ReadBytes(path), int64_t(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec};
}

// Open and leave: a file with an origin outside and bytes after the cells (a hi-colour picture) stays
// as it was; so do edits put back. The first save keeps the whole file, or fails. Space held paints
// every cell the cursor stops on, the one it wraps to too.
TEST_F(FileSafetyTest, OnlyChangesAreSavedAndTheFirstSaveKeepsTheOriginalBesideIt)
{
    const std::vector<uint8_t> original = {4, 2, 200, 9, 0, 1, 2, 3, 4, 5, 6, 7, 8, 0xEE};
    const std::string path = dir / "hi.vhs";
    WriteBytes(path, original);
    const auto before = StateOf(path);
    Start(path);
    Frame();
    EXPECT_EQ(Stop(), 0);
    EXPECT_EQ(StateOf(path), before);
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
    Press(KeyRight);
    Press(KeyRight);
    Release(KeySpace);
    Press(KeyRight);
    EXPECT_EQ(Stop(), 0);
    EXPECT_EQ(ReadBytes(path + ".orig"), original);  // the copy is of the original, once
    EXPECT_EQ(ReadBytes(path), (std::vector<uint8_t>{4, 2, 0, 1, 0, 1, 2, 3, 4, 4, 6, 4, 4}));
}

// A save at exit that fails (here: of a read-only file) leaves the file and puts the edits in a
// recovery file beside it.
TEST_F(FileSafetyTest, AReadOnlyDocumentIsKeptAndTheEditsGoToARecoveryFileBesideIt)
{
    GTEST_FLAG_SET(death_test_style, "fast");  // the child forked where it stands, in this folder
    const std::vector<uint8_t> old = {2, 1, 0, 0, 0, 6, 6};
    std::string path = dir / "locked.vsf";
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
                ".*locked.vsf: .*the edits are in .*locked.vsf.recovered-");
    EXPECT_EQ(ReadBytes(path), old);
    std::vector<std::string> names = FolderNames(dir.path);
    ASSERT_EQ(names.size(), 2u);
    EXPECT_EQ(ReadBytes(dir / names[1]), (std::vector<uint8_t>{2, 1, 0, 0, 0, 6, 8}));
}
