// The editor under long random use, and saves at exit that fail.
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include "tests/editor/editor_fixture.h"

namespace {

class EditorReliabilityTest : public EditorFixture {
protected:
    ScratchDir dir;
    const std::vector<uint8_t> old = {2, 1, 0, 0, 0, 6, 6};

    // The failing runs are forked where they stand, so that the child writes into this scratch
    // folder; SDL runs only there.
    void SetUp() override { GTEST_FLAG_SET(death_test_style, "fast"); }
    // The child: paints the cursor's cell (the sprite grown to size x size first, when asked),
    // and ends as Esc does; a file size limit, when asked, is set first. The status line's
    // notice goes to standard error for the parent to see.
    [[noreturn]] void PaintAndExit(const std::string& path, uint8_t colour, uint8_t size = 0, rlim_t limit = 0)
    {
        struct rlimit fileSize = {limit, limit};
        if (limit)
            setrlimit(RLIMIT_FSIZE, &fileSize);
        Start(path);
        std::fprintf(stderr, "notice: %s\n", DocumentNotice().c_str());
        if (size)
            Document.width = Document.height = size;
        currentColour = colour;
        Press(KeySpace);
        Stop();
        std::_Exit(0);
    }
};

// Frames run on the test's clock, without waiting: the drawing is what takes the time.
TEST_F(EditorReliabilityTest, RandomKeysOnEverySizeLeaveAConsistentDocumentThatSavesExactly)
{
    std::string path = dir / "stress.vsf";
    UseTestClock();
    Start(path);
    std::mt19937 random(4242);
    const int keys[] = {KeyLeft,     KeyRight, KeyUp,    KeyDown, KeyHome, KeyEnd, KeyPageUp,
                        KeyPageDown, KeySpace, KeySpace, KeyTab,  KeyH,    KeyV};
    const int modifiers[] = {KeyLeftShift, KeyRightCtrl, KeyLeftAlt};
    const char* events = std::getenv("GRAVLIN_STRESS_EVENTS");  // fewer, for a quick run
    const int target = events ? std::atoi(events) : 16000;
    auto inside = [](int32_t x, int32_t y) {
        return x >= 0 && x < Document.width && y >= 0 && y < Document.height;
    };
    for (int pushed = 0; pushed < target;) {
        // Sizes a walk of Ctrl+arrows would take long to reach, with positions beyond 127.
        if (random() % 64 == 0) {
            Document.width = uint8_t(1 + random() % 255), Document.height = uint8_t(1 + random() % 255);
            cursorX = int32_t(random() % Document.width), cursorY = int32_t(random() % Document.height);
            Document.originX = int32_t(random() % Document.width);
            Document.originY = int32_t(random() % Document.height);
        }
        // One chord: some modifiers, a key, then everything up again, in the order a person
        // would press them; frames run while the events arrive, so chords overlap frames. Now
        // and then the key is held long enough to repeat.
        std::vector<int> held;
        for (int m : modifiers)
            if (random() % 4 == 0)
                held.push_back(m);
        int key = keys[random() % std::size(keys)];
        for (int m : held)
            PushKeyEvent(m, true);
        PushKeyEvent(key, true);
        for (int f = random() % 16 ? 0 : 18 + random() % 16; f > 0; --f)
            Step();
        PushKeyEvent(key, false);
        for (int m : held)
            PushKeyEvent(m, false);
        pushed += 2 + 2 * int(held.size());
        for (size_t f = 0; f < held.size() + 2; ++f)
            Step();
        ASSERT_TRUE(inside(cursorX, cursorY) && inside(Document.originX, Document.originY))
            << cursorX << "," << cursorY << " " << Document.originX << "," << Document.originY;
    }
    for (int f = 0; f < 4; ++f)
        Step();
    std::vector<uint8_t> expected = EncodeDocument(Document);
    ASSERT_EQ(Stop(), 0);
    std::vector<uint8_t> saved = ReadBytes(path);
    EXPECT_EQ(saved, expected);
    SpriteDocument reread;
    ResetDocument(reread);
    ASSERT_TRUE(DecodeDocument(saved.data(), saved.size(), reread).ok());
    EXPECT_EQ(EncodeDocument(reread), saved);
}

TEST_F(EditorReliabilityTest, AReadOnlyDocumentIsKeptAndTheEditsGoToARecoveryFileBesideIt)
{
    std::string path = dir / "locked.vsf";
    WriteBytes(path, old);
    ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
    EXPECT_EXIT(PaintAndExit(path, 8), testing::ExitedWithCode(EACCES),
                "notice: Read-only: saving goes to a recovery file\n"
                ".*locked.vsf: .*the edits are in .*locked.vsf.recovered-");
    EXPECT_EQ(ReadBytes(path), old);
    std::vector<std::string> names = FolderNames(dir.path);
    ASSERT_EQ(names.size(), 2u);
    EXPECT_EQ(names[1].rfind("locked.vsf.recovered-", 0), 0u) << names[1];
    EXPECT_EQ(ReadBytes(dir / names[1]), (std::vector<uint8_t>{2, 1, 0, 0, 0, 6, 8}));
}

TEST_F(EditorReliabilityTest, ASaveCutShortByAFileSizeLimitKeepsTheOldFileAndLeavesNoPart)
{
    std::string path = dir / "big.vsf";
    WriteBytes(path, old);
    EXPECT_EXIT(PaintAndExit(path, 8, 200, 1000), testing::ExitedWithCode(101), "big.vsf: ");
    EXPECT_EQ(ReadBytes(path), old);
    // The recovery file is as large as the document, so the same limit stops it too: whatever
    // was started of it is gone again.
    EXPECT_EQ(FolderNames(dir.path), std::vector<std::string>{"big.vsf"});
}

TEST_F(EditorReliabilityTest, AnOriginalThatCannotBeKeptFailsTheSave)
{
    const std::vector<uint8_t> original = {1, 1, 0, 0, 0, 6, 0xEE};
    std::string path = dir / "hi.vhs";
    WriteBytes(path, original);
    std::filesystem::create_directory(path + ".orig");
    EXPECT_EXIT(PaintAndExit(path, 4), testing::ExitedWithCode(EISDIR),
                "hi.vhs.orig: .*the edits are in .*hi.vhs.recovered-");
    EXPECT_EQ(ReadBytes(path), original);
}

TEST_F(EditorReliabilityTest, AFolderThatMayNotBeWrittenSendsTheEditsToTheTemporaryFolder)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "only the superuser can edit as another user, one that may not write the folder";
    std::string folder = dir / "locked", spare = dir / "spare", path = folder + "/doc.vsf";
    std::filesystem::create_directories(folder);
    std::filesystem::create_directories(spare);
    WriteBytes(path, old);
    // Others may read the document and pass through the folders, but write only in spare.
    for (auto [name, mode] : {std::pair(dir.path, 0755), {folder, 0755}, {path, 0644}, {spare, 0777}})
        ::chmod(name.c_str(), mode);
    auto editAsNobody = [&] {
        if (::setuid(65534) != 0)
            std::_Exit(99);
        ::setenv("TMPDIR", spare.c_str(), 1);
        PaintAndExit(path, 9);
    };
    EXPECT_EXIT(editAsNobody(), testing::ExitedWithCode(EACCES), "doc.vsf: .*the edits are in ");
    EXPECT_EQ(ReadBytes(path), old);
    std::vector<std::string> kept = FolderNames(spare);
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_EQ(ReadBytes(spare + "/" + kept[0]), (std::vector<uint8_t>{2, 1, 0, 0, 0, 6, 9}));
    EXPECT_EQ(FolderNames(folder), std::vector<std::string>{"doc.vsf"});
}

}  // namespace
