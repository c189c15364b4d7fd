#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine_death.h"
#include "gfx/video.h"
#include "pack_builder.h"
#include "resources/pak.h"
#include "tests/support/testutil.h"
#include "util/fatal.h"

namespace {

PakParse Parse(const std::vector<uint8_t>& image, std::vector<PakEntry>& entries)
{
    std::string reason;
    return ParsePakDirectory(image, entries, reason);
}

}  // namespace

TEST(PakDirectory, SizesFollowFromConsecutiveOffsetsAndTheFileSize)
{
    std::vector<PakEntry> entries;
    ASSERT_EQ(Parse(RawPak({{"A.VSF", 48}, {"B.VPL", 53}}, 821), entries), PakParse::Ok);
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].name, "A.VSF");
    EXPECT_EQ(entries[0].offset, 48);
    EXPECT_EQ(entries[0].size, 5);
    EXPECT_EQ(entries[1].name, "B.VPL");
    EXPECT_EQ(entries[1].size, 768);

    // Equal offsets make an empty subfile, and so does a last one that starts at the very end.
    ASSERT_EQ(Parse(RawPak({{"A", 64}, {"B", 64}, {"C", 76}}, 76), entries), PakParse::Ok);
    EXPECT_EQ(entries[0].size, 0);
    EXPECT_EQ(entries[1].size, 12);
    EXPECT_EQ(entries[2].size, 0);
}

TEST(PakDirectory, NamesEndAtTheirFirstZeroByte)
{
    std::vector<uint8_t> image = RawPak({{"ELEVENCHARS", 32}}, 40);
    image[5] = 0;  // "ELEVE" then junk that must be ignored
    std::vector<PakEntry> entries;
    ASSERT_EQ(Parse(image, entries), PakParse::Ok);
    EXPECT_EQ(entries[0].name, "ELEVE");
    // Eleven characters and the zero byte fill the field exactly.
    ASSERT_EQ(Parse(RawPak({{"ELEVENCHARS", 32}}, 40), entries), PakParse::Ok);
    EXPECT_EQ(entries[0].name, "ELEVENCHARS");
}

TEST(PakDirectory, ArchivesThatBreakTheDataModelAreMalformedOrShort)
{
    std::vector<RawRecord> tooMany(PakMaxEntries + 1, RawRecord{"X", 1 << 20});
    std::vector<uint8_t> cut = RawPak({{"A", 32}}, 32);
    cut.resize(24);  // a record cut in the middle
    struct Case {
        const char* what;
        std::vector<uint8_t> image;
        PakParse expected;
    } cases[] = {
        {"decreasing offsets", RawPak({{"A", 64}, {"B", 80}, {"C", 70}}, 100), PakParse::Malformed},
        {"offset beyond the end", RawPak({{"A", 48}, {"B", 101}}, 100), PakParse::Malformed},
        {"offset inside the directory", RawPak({{"A", 16}}, 100), PakParse::Malformed},
        {"negative offset", RawPak({{"A", -5}}, 100), PakParse::Malformed},
        {"name without a zero byte", RawPak({{"TWELVECHARSX", 32}}, 40), PakParse::Malformed},
        {"more than 32768 entries", RawPak(tooMany, 0), PakParse::Malformed},
        {"no terminator", RawPak({{"A", 48}, {"B", 50}}, 0, false), PakParse::ShortDirectory},
        {"an empty file", {}, PakParse::ShortDirectory},
        {"a cut terminator", std::vector<uint8_t>(15, 0), PakParse::ShortDirectory},
        {"a cut record", cut, PakParse::ShortDirectory},
    };
    for (const Case& c : cases) {
        std::vector<PakEntry> entries;
        std::string reason;
        EXPECT_EQ(ParsePakDirectory(c.image, entries, reason), c.expected) << c.what;
        EXPECT_FALSE(reason.empty()) << c.what;
        EXPECT_TRUE(entries.empty()) << c.what;
    }
    // Exactly 32768 entries is the limit, not beyond it.
    std::vector<RawRecord> most(PakMaxEntries, RawRecord{"X", (PakMaxEntries + 1) * 16});
    std::vector<PakEntry> entries;
    EXPECT_EQ(Parse(RawPak(most, 0), entries), PakParse::Ok);
    EXPECT_EQ(entries.size(), size_t(PakMaxEntries));
}

TEST(PakReader, ReadsExactSubfileBytesAndTheFirstOfDuplicates)
{
    ScratchDir dir;
    std::string path = dir / "T.VPK";
    WriteBytes(path, PakOf({{"A.VSF", Bytes({1, 2, 3})}, {"DUP", Bytes({7})}, {"DUP", Bytes({8, 9})}, {"E", {}}}));
    PakArchive* archive = OpenPak(path);
    EXPECT_EQ(archive->path, path);
    ASSERT_EQ(archive->entryCount, 4);
    std::vector<uint8_t> data;
    ASSERT_TRUE(ReadPakSubfile(archive, "A.VSF", data));
    EXPECT_EQ(data, Bytes({1, 2, 3}));
    ASSERT_TRUE(ReadPakSubfile(archive, "DUP", data));
    EXPECT_EQ(data, Bytes({7}));
    ASSERT_TRUE(ReadPakSubfile(archive, "E", data));
    EXPECT_TRUE(data.empty());
    EXPECT_EQ(FindPakEntry(*archive, "DUP"), 1);
    EXPECT_EQ(FindPakEntry(*archive, "A.VS"), -1);
    ClosePak(archive);
}

TEST(PakReader, AnEmptyArchiveFindsNothingAndSaysNothing)
{
    ScratchDir dir;
    WriteBytes(dir / "E.VPK", std::vector<uint8_t>(16, 0));
    PakArchive* archive = OpenPak(dir / "E.VPK");
    EXPECT_EQ(archive->entryCount, 0);
    std::vector<uint8_t> data = {1};
    testing::internal::CaptureStdout();
    EXPECT_FALSE(ReadPakSubfile(archive, "ANY.VPL", data));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_TRUE(data.empty());
    ClosePak(archive);
}

TEST(PakReaderDeathTest, AMissingNameStopsWithTheExactLine)
{
    ScratchDir dir;
    WriteBytes(dir / "T.VPK", RawPak({{"A.VSF", 48}, {"B.VPL", 53}}, 821));
    PakArchive* archive = OpenPak(dir / "T.VPK");
    std::vector<uint8_t> data;
    // Names are compared case-sensitively.
    EXPECT_EXIT(
        {
            StdoutToStderr();
            ReadPakSubfile(archive, "a.vsf", data);
        },
        testing::ExitedWithCode(1), "^Can't find PAK subfile: \"a.vsf\"!\n$");
    ClosePak(archive);
}

static void ReportCanvases()
{
    std::fprintf(stderr, "canvases %s\n", IndexCanvas ? "open" : "closed");
}

TEST(PakReaderDeathTest, AMissingPackStopsAfterTheVideoIsDown)
{
    // Death tests run the test again in a child, so the path must not depend on a scratch folder.
    std::string path = "/nonexistent-gravlin-folder/NONE.VPK";
    EXPECT_EXIT(
        {
            StdoutToStderr();
            StartCanvases();
            SetFatalCleanup(ReportCanvases);
            OpenPak(path);
        },
        testing::ExitedWithCode(1), "No such file.*\ncanvases closed\nCan't open PAK file: \"" + path + "\"!\n$");
}

// A malformed pack gives the same line through vpk (vpk_test.cpp); a folder is refused alike.
TEST(PakReaderDeathTest, AFolderIsRefusedLikeAMissingPack)
{
    ScratchDir dir;
    EXPECT_EXIT(
        {
            StdoutToStderr();
            OpenPak(dir.path);
        },
        testing::ExitedWithCode(1), "directory\nCan't open PAK file: \"[^\"]*/gravlin-test-[^/\"]*\"!\n$");
}

TEST(PakReaderDeathTest, ACutDirectoryEndsWithRunTimeError100)
{
    ScratchDir dir;
    WriteBytes(dir / "CUT.VPK", RawPak({{"A", 48}, {"B", 50}}, 0, false));
    EXPECT_EXIT(
        {
            StdoutToStderr();
            OpenPak(dir / "CUT.VPK");
        },
        testing::ExitedWithCode(100), "^Runtime error 100 at 0x[0-9A-F]{8}\n.*CUT.VPK: .*terminator");
}

TEST(PakWriter, LaysOutWhatTheReaderReadsBack)
{
    std::vector<PakFile> files = {{"KOBA.VPL", Bytes({1, 2})}, {"20.VFF", {}}, {"ELEVENCHARS", Bytes({3})}};
    std::vector<uint8_t> image;
    std::string reason;
    ASSERT_TRUE(BuildPakImage(files, image, reason)) << reason;
    EXPECT_EQ(image, PakOf({{"KOBA.VPL", Bytes({1, 2})}, {"20.VFF", {}}, {"ELEVENCHARS", Bytes({3})}}));

    ASSERT_TRUE(BuildPakImage({}, image, reason));
    EXPECT_EQ(image, std::vector<uint8_t>(16, 0));
}

TEST(PakWriter, RefusesWhatCouldNotBeReadBack)
{
    const std::vector<PakFile> refused[] = {
        {{"TWELVECHARSX", {}}},
        {{"", {}}},
        {{std::string("A\0B", 3), {}}},
        {{"SAME", {}}, {"OTHER", {}}, {"SAME", {}}},
    };
    for (const std::vector<PakFile>& files : refused) {
        std::vector<uint8_t> image;
        std::string reason;
        EXPECT_FALSE(BuildPakImage(files, image, reason)) << files[0].name;
        EXPECT_FALSE(reason.empty());
    }
}
