#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <numeric>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include "tests/support/testutil.h"
#include "util/files.h"

using Bytes = std::vector<uint8_t>;
using Names = std::vector<std::string>;

// The temporary name has a fixed length, so the longest name a folder takes works too. A failure
// leaves the old file and no litter, and so does a caller that gives up without a word.
TEST(Files, ReadWholeAndReplacedAtomicallyKeepingPermissionsOrLeftAsTheyWere)
{
    ScratchDir dir;
    const std::string longest(255, 'n');
    Bytes bytes(10000), data;
    std::iota(bytes.begin(), bytes.end(), uint8_t(7));
    WriteBytes(dir / "doc", {9, 9, 9, 9});
    chmod((dir / "doc").c_str(), 0640);
    ASSERT_TRUE(WriteFileAtomic(dir / "doc", bytes).ok());
    ASSERT_TRUE(WriteFileAtomic(dir / longest, Bytes{5}).ok());
    struct stat info;
    stat((dir / "doc").c_str(), &info);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
    EXPECT_EQ(WriteFileAtomic(dir / "no/such/folder/x", Bytes{1}).code, ENOENT);
    {
        AtomicFile unfinished;
        ASSERT_TRUE(BeginAtomicWrite(dir / "doc", unfinished).ok());
        ASSERT_TRUE(WriteAtomicChunk(unfinished, Bytes{1}.data(), 1).ok());
    }
    EXPECT_TRUE(FolderNames(dir.path) == (Names{"doc", longest}) && ReadBytes(dir / longest) == Bytes{5});
    chmod((dir / "doc").c_str(), 0444);
    ASSERT_TRUE(ReadWholeFile(dir / "doc", data).ok());
    EXPECT_EQ(data, bytes);
    EXPECT_EQ(ReadWholeFile(dir / "nothing", data).code, ENOENT);
    Result folder = ReadWholeFile(dir.path, data);
    EXPECT_TRUE(folder.code == EISDIR && folder.reason == "cannot read: Is a directory") << folder.reason;
}

// A death test runs in a fresh process with its own folder: the child tells by its status what it found.
TEST(WriteFileAtomicDeathTest, AFileSizeLimitIsAShortWriteThatKeepsTheOldFile)
{
    auto writeUnderLimit = [] {
        ScratchDir dir;
        WriteBytes(dir / "doc", {1, 2, 3});
        const rlimit limit = {10, 10};
        setrlimit(RLIMIT_FSIZE, &limit);
        const int code = WriteFileAtomic(dir / "doc", Bytes(100, 7)).code;
        const bool kept = ReadBytes(dir / "doc") == Bytes{1, 2, 3} && FolderNames(dir.path).size() == 1;
        std::filesystem::remove_all(dir.path);
        _exit(kept ? code : 1);
    };
    EXPECT_EXIT(writeUnderLimit(), testing::ExitedWithCode(101), "");
}
