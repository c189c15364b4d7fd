// The editor under long random use, and saves that fail part way.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <algorithm>
#include <random>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include "editor/frametimer.h"
#include "editor/keys.h"
#include "tests/editor/editor_fixture.h"
#include "tests/support/testutil.h"

namespace {

class EditorReliabilityTest : public EditorFixture {
protected:
    ScratchDir dir;

    // A frame without waiting for the timer: the stress run would otherwise take 30 ms a frame.
    void QuickFrame()
    {
        tickFlag = 1;
        Frame();
    }
};

int StressEvents()
{
    const char* text = std::getenv("GRAVLIN_STRESS_EVENTS");
    return text ? std::atoi(text) : 100000;
}

TEST_F(EditorReliabilityTest, AHundredThousandRandomKeysLeaveAConsistentDocumentThatSavesExactly)
{
    std::string path = dir / "stress.vsf";
    Start(path);
    std::mt19937 random(4242);
    const int keys[] = {KeyLeft, KeyRight, KeyUp,     KeyDown,     KeyHome, KeyEnd, KeyPageUp,
                        KeyPageDown, KeySpace, KeySpace, KeyTab, KeyH,    KeyV};
    const int modifiers[] = {KeyLeftShift, KeyRightCtrl, KeyLeftAlt};
    int pushed = 0;
    const int target = StressEvents();
    while (pushed < target) {
        // One chord: some modifiers, a key, then everything up again, in the order a person
        // would press them; frames run while the events arrive, so chords overlap frames.
        std::vector<std::pair<int, bool>> events;
        for (int m : modifiers)
            if (random() % 4 == 0)
                events.push_back({m, true});
        int key = keys[random() % std::size(keys)];
        events.push_back({key, true});
        size_t downs = events.size();
        events.push_back({key, false});
        for (size_t i = 0; i + 1 < downs; ++i)
            events.push_back({events[i].first, false});
        for (auto [symbol, down] : events)
            PushKeyEvent(symbol, down);
        pushed += int(events.size());
        for (size_t f = 0; f < events.size() / 2 + 1; ++f)
            QuickFrame();
        ASSERT_GE(Document.width, 1);
        ASSERT_GE(Document.height, 1);
        ASSERT_TRUE(cursorX >= 0 && cursorX < Document.width) << cursorX;
        ASSERT_TRUE(cursorY >= 0 && cursorY < Document.height) << cursorY;
        ASSERT_TRUE(Document.originX >= 0 && Document.originX < Document.width) << Document.originX;
        ASSERT_TRUE(Document.originY >= 0 && Document.originY < Document.height) << Document.originY;
    }
    for (int f = 0; f < 4; ++f)
        QuickFrame();
    std::vector<uint8_t> expected = EncodeDocument(Document);
    ASSERT_EQ(Stop(), 0);
    std::vector<uint8_t> saved = ReadBytes(path);
    EXPECT_EQ(saved, expected);

    SpriteDocument reread;
    ResetDocument(reread);
    ASSERT_EQ(DecodeDocument(saved.data(), saved.size(), reread), nullptr);
    EXPECT_EQ(EncodeDocument(reread), saved);
}

std::vector<std::string> FolderNames(const std::string& folder)
{
    std::vector<std::string> names;
    for (auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

TEST_F(EditorReliabilityTest, ASaveCutShortByAFileSizeLimitKeepsTheOldFileAndLeavesNoPart)
{
    std::string path = dir / "big.vsf";
    std::vector<uint8_t> old = {2, 1, 0, 0, 0, 6, 6};
    WriteBytes(path, old);
    GTEST_FLAG_SET(death_test_style, "fast");
    auto growAndSave = [&] {
        Start(path);
        Document.width = 200;
        Document.height = 200;
        Frame();
        struct rlimit limit;
        limit.rlim_cur = limit.rlim_max = 1000;
        setrlimit(RLIMIT_FSIZE, &limit);
        Stop();
        std::_Exit(0);
    };
    EXPECT_EXIT(growAndSave(), testing::ExitedWithCode(101), "big.vsf: ");
    EXPECT_EQ(ReadBytes(path), old);
    // The recovery file is as large as the document, so the same limit stops it too: whatever
    // was started of it is gone again.
    EXPECT_EQ(FolderNames(dir.path), std::vector<std::string>{"big.vsf"});
}

TEST_F(EditorReliabilityTest, AFolderThatMayNotBeWrittenSendsTheEditsToTheTemporaryFolder)
{
    const uid_t nobody = 65534;
    std::string folder = dir / "locked";
    std::string spare = dir / "spare";
    std::filesystem::create_directories(folder);
    std::filesystem::create_directories(spare);
    std::string path = folder + "/doc.vsf";
    std::vector<uint8_t> old = {1, 1, 0, 0, 0, 3};
    WriteBytes(path, old);
    // Others may read the document and pass through the folders, but write only in spare.
    ::chmod(dir.path.c_str(), 0755);
    ::chmod(folder.c_str(), 0755);
    ::chmod(path.c_str(), 0644);
    ::chmod(spare.c_str(), 0777);
    GTEST_FLAG_SET(death_test_style, "fast");
    auto editAsAnotherUser = [&] {
        if (::geteuid() == 0 && ::setuid(nobody) != 0)
            std::_Exit(99);
        ::setenv("TMPDIR", spare.c_str(), 1);
        Start(path);
        currentColour = 9;
        Press(KeySpace);
        Stop();
        std::_Exit(0);
    };
    if (::geteuid() != 0 && ::access(folder.c_str(), W_OK) == 0)
        GTEST_SKIP() << "this user owns the folder, so it cannot be made unwritable for them";
    if (::geteuid() != 0) {
        ::chmod(folder.c_str(), 0555);
        ::chmod(path.c_str(), 0444);
    }
    EXPECT_EXIT(editAsAnotherUser(), testing::ExitedWithCode(EACCES), "doc.vsf: .*the edits are in ");
    EXPECT_EQ(ReadBytes(path), old);
    std::vector<std::string> kept = FolderNames(spare);
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_EQ(ReadBytes(spare + "/" + kept[0]), (std::vector<uint8_t>{1, 1, 0, 0, 0, 9}));
    EXPECT_EQ(FolderNames(folder), std::vector<std::string>{"doc.vsf"});
}

}  // namespace
