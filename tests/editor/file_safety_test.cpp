// What the editor does to the file it opens: never writes what is not a sprite, writes only
// what changed, keeps bytes it would drop, and keeps the edits when the save fails.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sys/stat.h>

#include "tests/editor/editor_fixture.h"

namespace {

class FileSafetyTest : public EditorFixture {
protected:
    ScratchDir dir;
};

struct FileState {
    std::vector<uint8_t> bytes;
    int64_t modified = -1;  // nanoseconds
    bool operator==(const FileState&) const = default;
};

FileState StateOf(const std::string& path)
{
    struct stat info;
    if (::stat(path.c_str(), &info) != 0)
        return {};
    return {S_ISREG(info.st_mode) ? ReadBytes(path) : std::vector<uint8_t>(),
            int64_t(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec};
}

}  // namespace

// Documents that cannot be read stop the program before its window opens.
TEST(FileSafetyProgramTest, ImagesFoldersShortFilesAndMistypedFoldersStopBeforeTheWindowAndWriteNothing)
{
    ScratchDir dir;
    std::filesystem::create_directory(dir / "folder.vsf");
    auto sgi = [](std::vector<uint8_t> header, size_t size) {
        header.resize(size);
        return header;
    };
    const std::string image = " image, not a sprite document (koba --import makes one from it)\n";
    const struct {
        std::string name;
        std::vector<uint8_t> bytes;  // none: the file does not exist
        int status;
        std::string err;
    } cases[] = {
        {"ship.png", ReadBytes(std::string(GRAVLIN_SOURCE_DIR) + "/docs/screenshot.png"), 1, ": a PNG" + image},
        {"ship.sgi", sgi({1, 0xDA, 1, 1}, 600), 1, ": an SGI" + image},
        {"wide.sgi", sgi({1, 0xDA, 0, 2}, 512), 1, ": an SGI" + image},
        {"short.vsf", {3, 3, 0, 0, 0, 1, 2, 3, 4, 5, 6, 7, 8}, 100, ": file ended early, before the last cell\n"},
        {"folder.vsf", {}, EISDIR, ": cannot read: Is a directory\n"},
        {"typo/crate.vsf", {}, ENOENT, ": cannot create: the folder " + dir.path + "/typo/ does not exist\n"},
    };
    for (const auto& c : cases) {
        std::string path = dir / c.name;
        if (!c.bytes.empty())
            WriteBytes(path, c.bytes);
        FileState before = StateOf(path);
        ProgramResult run = RunProgram({BuiltProgram("koba"), path});
        // A refusal is status 1 and one line; a run-time error has its stop line first.
        const std::string stop = c.status == 1 ? "" : "Runtime error " + std::to_string(c.status) + " at 0x";
        EXPECT_EQ(std::to_string(run.status) + run.out.substr(0, stop.size()), std::to_string(c.status) + stop);
        EXPECT_EQ(run.err, "koba: " + path + c.err);
        EXPECT_EQ(StateOf(path), before) << c.name;
    }
    EXPECT_EQ(FolderNames(dir.path),
              (std::vector<std::string>{"folder.vsf", "ship.png", "ship.sgi", "short.vsf", "wide.sgi"}));
}

// Open and leave: whatever the file held, it stays as it was; the same after edits put back.
TEST_F(FileSafetyTest, AnExitWithoutChangesLeavesTheFileAsItWas)
{
    struct Case {
        std::vector<uint8_t> file;
        bool editedBack;  // painted, grown, painted back, shrunk back
    } cases[] = {
        {{2, 1, 0, 0, 0, 6, 6, 0xEE, 0xEE, 0xEE}, false},  // bytes after the cells
        {{4, 2, 200, 9, 0, 1, 2, 3, 4, 5, 6, 7, 8}, false},  // an origin outside the sprite
        {{}, false},
        {{3, 1, 0, 0, 0, 5, 5, 5}, true},
    };
    std::string path = dir / "kept.vsf";
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.file));
        WriteBytes(path, c.file);
        FileState before = StateOf(path);
        Start(path);
        Frame();
        if (c.editedBack) {
            currentColour = 9;
            Press(KeySpace);
            EXPECT_TRUE(DocumentHasUnsavedChanges());
            Chord({KeyLeftCtrl}, KeyRight);
            currentColour = 5;
            Press(KeySpace);
            Chord({KeyLeftCtrl}, KeyLeft);
        }
        EXPECT_FALSE(DocumentHasUnsavedChanges());
        EXPECT_EQ(Stop(), 0);
        EXPECT_EQ(StateOf(path), before);
    }
    EXPECT_EQ(FolderNames(dir.path), std::vector<std::string>{"kept.vsf"});
}

// A hi-colour sprite's picture follows its cells: the first save keeps the whole file first, and
// fails when it cannot.
TEST_F(FileSafetyTest, TheFirstSaveOfAFileWithBytesAfterItsCellsKeepsTheOriginalBesideIt)
{
    const std::vector<uint8_t> original = {2, 1, 0, 0, 0, 6, 6, 0xEE, 0xEE};
    std::string path = dir / "hi.vhs";
    WriteBytes(path, original);
    std::filesystem::create_directory(path + ".orig");
    Start(path);
    EXPECT_NE(DocumentNotice(), "");
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
    EXPECT_FALSE(DocumentHasUnsavedChanges());
    EXPECT_EQ(ReadBytes(path + ".orig"), original);
    EXPECT_EQ(ReadBytes(path), (std::vector<uint8_t>{2, 1, 0, 0, 0, 6, 4}));
    Press(KeyLeft);
    Press(KeySpace);
    EXPECT_EQ(Stop(), 0);
    EXPECT_EQ(ReadBytes(path + ".orig"), original);  // the copy is of the original, once
    EXPECT_EQ(ReadBytes(path), (std::vector<uint8_t>{2, 1, 0, 0, 0, 4, 4}));
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
    EXPECT_EQ(names[1].rfind("locked.vsf.recovered-", 0), 0u) << names[1];
    EXPECT_EQ(ReadBytes(dir / names[1]), (std::vector<uint8_t>{2, 1, 0, 0, 0, 6, 8}));
}
