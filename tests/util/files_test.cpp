#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include "tests/support/testutil.h"
#include "util/files.h"

static std::vector<std::string> FolderNames(const std::string& folder)
{
    std::vector<std::string> names;
    DIR* dir = opendir(folder.c_str());
    while (dirent* entry = readdir(dir)) {
        std::string name = entry->d_name;
        if (name != "." && name != "..")
            names.push_back(name);
    }
    closedir(dir);
    return names;
}

TEST(ReadWholeFile, ReadsEveryByteOfReadOnlyFilesAndReportsMissingFilesAndFolders)
{
    ScratchDir dir;
    std::vector<uint8_t> bytes = {1, 2, 3, 0, 255};
    WriteBytes(dir / "a", bytes);
    chmod((dir / "a").c_str(), 0444);
    std::vector<uint8_t> data;
    ASSERT_TRUE(ReadWholeFile(dir / "a", data).ok());
    EXPECT_EQ(data, bytes);

    FileStatus missing = ReadWholeFile(dir / "nothing", data);
    EXPECT_EQ(missing.code, ENOENT);
    EXPECT_NE(missing.reason.find("No such file"), std::string::npos);
    EXPECT_EQ(ReadWholeFile(dir.path, data).code, EISDIR);
}

TEST(WriteFileAtomic, ReplacesTheTargetAndKeepsItsPermissions)
{
    ScratchDir dir;
    WriteBytes(dir / "doc", {9, 9, 9, 9});
    chmod((dir / "doc").c_str(), 0640);
    ASSERT_TRUE(WriteFileAtomic(dir / "doc", std::vector<uint8_t>{1, 2}).ok());
    EXPECT_EQ(ReadBytes(dir / "doc"), (std::vector<uint8_t>{1, 2}));
    struct stat info;
    stat((dir / "doc").c_str(), &info);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
    EXPECT_EQ(FolderNames(dir.path), std::vector<std::string>{"doc"});
}

TEST(WriteFileAtomic, LongestFileNamesStillWork)
{
    ScratchDir dir;
    std::string name(255, 'n');
    ASSERT_TRUE(WriteFileAtomic(dir / name, std::vector<uint8_t>{5}).ok());
    EXPECT_EQ(ReadBytes(dir / name), std::vector<uint8_t>{5});
}

TEST(WriteFileAtomic, FailuresLeaveTheOldFileAndNoLitter)
{
    ScratchDir dir;
    EXPECT_EQ(WriteFileAtomic(dir / "no/such/folder/x", std::vector<uint8_t>{1}).code, ENOENT);
    EXPECT_EQ(WriteFileAtomic(dir.path, std::vector<uint8_t>{1}).code, EISDIR);
    if (geteuid() != 0) {
        WriteBytes(dir / "keep", {4, 4});
        chmod(dir.path.c_str(), 0555);
        EXPECT_EQ(WriteFileAtomic(dir / "keep", std::vector<uint8_t>{1}).code, EACCES);
        chmod(dir.path.c_str(), 0755);
        EXPECT_EQ(ReadBytes(dir / "keep"), (std::vector<uint8_t>{4, 4}));
    }
    EXPECT_LE(FolderNames(dir.path).size(), 1u);
}

TEST(WriteFileAtomicDeathTest, AFileSizeLimitIsAShortWriteThatKeepsTheOldFile)
{
    ScratchDir dir;
    WriteBytes(dir / "doc", {1, 2, 3});
    auto writeUnderLimit = [&] {
        struct rlimit limit;
        limit.rlim_cur = limit.rlim_max = 10;
        setrlimit(RLIMIT_FSIZE, &limit);
        std::vector<uint8_t> big(100, 7);
        _exit(WriteFileAtomic(dir / "doc", big).code);
    };
    EXPECT_EXIT(writeUnderLimit(), testing::ExitedWithCode(101), "");
    EXPECT_EQ(ReadBytes(dir / "doc"), (std::vector<uint8_t>{1, 2, 3}));
    EXPECT_EQ(FolderNames(dir.path), std::vector<std::string>{"doc"});
}

TEST(MapWholeFile, MapsEveryByteAndRefusesWhatReadWholeFileRefuses)
{
    ScratchDir dir;
    std::vector<uint8_t> bytes(10000);
    for (size_t i = 0; i < bytes.size(); i++)
        bytes[i] = uint8_t(i * 7);
    WriteBytes(dir / "a", bytes);
    chmod((dir / "a").c_str(), 0444);  // read-only files map too
    MappedFile file;
    ASSERT_TRUE(MapWholeFile(dir / "a", file).ok());
    ASSERT_EQ(file.size, bytes.size());
    EXPECT_TRUE(std::equal(bytes.begin(), bytes.end(), file.data));
    UnmapFile(file);
    EXPECT_EQ(file.data, nullptr);
    EXPECT_EQ(file.size, 0u);

    WriteBytes(dir / "empty", {});
    ASSERT_TRUE(MapWholeFile(dir / "empty", file).ok());
    EXPECT_EQ(file.size, 0u);
    UnmapFile(file);

    FileStatus missing = MapWholeFile(dir / "nothing", file);
    EXPECT_EQ(missing.code, ENOENT);
    EXPECT_NE(missing.reason.find("No such file"), std::string::npos);
    FileStatus folder = MapWholeFile(dir.path, file);
    EXPECT_EQ(folder.code, EISDIR);
    EXPECT_EQ(folder.reason, "cannot read: Is a directory");
    EXPECT_EQ(file.data, nullptr);
}
