#include <gtest/gtest.h>

#include <cerrno>
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

#include "convert/convrun.h"
#include "tests/convert/sgi_files.h"
#include "tests/support/testutil.h"

using Bytes = std::vector<uint8_t>;

static ProgramResult Convert(const std::string& program, const std::string& input, const std::string& dir,
                             long fileSizeLimit = 0)
{
    return RunProgram({BuiltProgram(program), input}, dir, fileSizeLimit);
}

static std::vector<std::string> FolderNames(const std::string& folder)
{
    std::vector<std::string> names;
    DIR* dir = opendir(folder.c_str());
    while (dirent* entry = readdir(dir))
        if (std::string(entry->d_name) != "." && std::string(entry->d_name) != "..")
            names.push_back(entry->d_name);
    closedir(dir);
    std::sort(names.begin(), names.end());
    return names;
}

TEST(Converters, PrintUsageForAMissingOrEmptyArgumentAndTouchNothing)
{
    ScratchDir dir;
    for (const char* program : {"tintpour", "hueslab"}) {
        std::string first = std::string(program) + (program[0] == 't' ? ": convert SGI image files to Gravlin alpha "
                                                                         "blended sprites\n"
                                                                       : ": convert SGI image files to Gravlin "
                                                                         "hi-color sprites\n");
        for (ProgramResult r : {RunProgram({BuiltProgram(program)}, dir.path), Convert(program, "", dir.path)}) {
            EXPECT_EQ(r.status, 0);
            EXPECT_EQ(r.out, first + "Gravlin graphics tools, (c) the Gravlin tools authors\n");
        }
        ProgramResult help = Convert(program, "--help", dir.path);
        EXPECT_EQ(help.status, 0);
        EXPECT_EQ(help.out.rfind(first, 0), 0u);
        EXPECT_NE(help.out.find("Exit status:"), std::string::npos);
        EXPECT_EQ(Convert(program, "--version", dir.path).out, std::string(program) + " 1.0.0\n");
    }
    EXPECT_TRUE(FolderNames(dir.path).empty());
}

TEST(Tintpour, WritesTheWorkedExamples)
{
    ScratchDir dir;
    WriteBytes(dir / "pair.sgi", VerbatimSgi(2, 1, {{255, 128, 0, 255}, {0, 0, 255, 0}}));
    ProgramResult r = Convert("tintpour", "pair.sgi", dir.path);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out + r.err, "");
    EXPECT_EQ(ReadBytes(dir / "pair.vas"), (Bytes{2, 0, 1, 0, 0x00, 0xFC, 0x1F, 0x1F, 0x00, 0x00}));

    WriteBytes(dir / "empty.sgi", SgiHeaderBytes(0, 5));
    EXPECT_EQ(Convert("tintpour", "empty.sgi", dir.path).status, 0);
    EXPECT_EQ(ReadBytes(dir / "empty.vas"), (Bytes{0, 0, 5, 0}));
}

TEST(Hueslab, WritesAHalfSizeDocumentThenTheCroppedPicture)
{
    ScratchDir dir;
    WriteBytes(dir / "red.sgi", VerbatimSgi(4, 2, std::vector<Bytes>(8, Bytes{255, 0, 0, 99})));
    EXPECT_EQ(Convert("hueslab", "red.sgi", dir.path).status, 0);
    Bytes expected = {2, 1, 1, 0, 0, 0, 0, 0x00, 0xF8};
    for (int i = 0; i < 8; i++)
        expected.insert(expected.end(), {0x00, 0xF8});
    EXPECT_EQ(ReadBytes(dir / "red.vhs"), expected);

    // 5 x 5: the top-left 4 x 4 crop, pixel (x, y) has blue 8 * (5 y + x), so its colour is 5 y + x.
    std::vector<Bytes> ramp;
    for (int i = 0; i < 25; i++)
        ramp.push_back({0, 0, uint8_t(8 * i), uint8_t(i)});
    WriteBytes(dir / "odd.sgi", VerbatimSgi(5, 5, ramp));
    EXPECT_EQ(Convert("hueslab", "odd.sgi", dir.path).status, 0);
    Bytes odd = {2, 2, 1, 1, 0, 0, 0, 0, 0, 0, 0};
    for (int y = 0; y < 4; y++)
        for (int x = 0; x < 4; x++)
            odd.insert(odd.end(), {uint8_t(5 * y + x), 0});
    EXPECT_EQ(ReadBytes(dir / "odd.vhs"), odd);

    WriteBytes(dir / "none.sgi", SgiHeaderBytes(0, 5));
    EXPECT_EQ(Convert("hueslab", "none.sgi", dir.path).status, 0);
    EXPECT_EQ(ReadBytes(dir / "none.vhs"), (Bytes{0, 2, 0, 1, 0, 0, 0}));
}

TEST(Converters, RejectImagesWithAReasonAndLeaveOutputsAlone)
{
    ScratchDir dir;
    Bytes threeChannels = SgiHeaderBytes(1, 1, 0, 3);
    threeChannels.resize(512 + 3);
    Bytes wide = SgiHeaderBytes(600, 300);
    wide.resize(512 + 4 * 600 * 300);
    struct Case {
        const char* program;
        Bytes file;
        const char* reason;
    } cases[] = {
        {"tintpour", threeChannels, "3 channels; an RGBA image with 4 is needed"},
        {"tintpour", RleSgi(2, 1, {{0x02, 1, 0}, {0x02, 2, 0}, {0x02, 3, 0}, {0x01}}),
         "RLE row 0 of the alpha channel runs off the end of the file"},
        {"hueslab", RleSgi(2, 1, {{0x02, 1, 0}, {0x83, 2, 0}, {0x02, 3, 0}, {0x02, 4, 0}}),
         "RLE row 0 of the green channel decodes to more than 2 bytes"},
        {"hueslab", wide, "600 x 300 pixels; a hi-colour sprite holds at most 511 x 511"},
    };
    for (const Case& c : cases) {
        WriteBytes(dir / "ship.sgi", c.file);
        std::string output = dir / (c.program[0] == 't' ? "ship.vas" : "ship.vhs");
        for (bool existing : {false, true}) {
            if (existing)
                WriteBytes(output, {1, 2, 3});
            ProgramResult r = Convert(c.program, "ship.sgi", dir.path);
            EXPECT_EQ(r.status, 1);
            EXPECT_EQ(r.out, "");
            EXPECT_EQ(r.err, std::string(c.program) + ": ship.sgi: " + c.reason + "\n");
            EXPECT_EQ(PathExists(output), existing) << c.reason;
            if (existing) {
                EXPECT_EQ(ReadBytes(output), (Bytes{1, 2, 3}));
            }
            ::unlink(output.c_str());
        }
    }
}

TEST(ConverterOutputName, KeepsTheDirectoryAndReplacesTheLastExtension)
{
    EXPECT_EQ(ConverterOutputName("art/ship.rgba", ".vas"), "art/ship.vas");
    EXPECT_EQ(ConverterOutputName("ship.big.sgi", ".vas"), "ship.big.vas");
    EXPECT_EQ(ConverterOutputName("dir.v2/image", ".vhs"), "dir.v2/image.vhs");
    EXPECT_EQ(ConverterOutputName("dir.v2\\image", ".vhs"), "dir.v2\\image.vhs");
    EXPECT_EQ(ConverterOutputName("a\\b.c/d.e\\f", ".vas"), "a\\b.c/d.e\\f.vas");
    EXPECT_EQ(ConverterOutputName("ship", ".vas"), "ship.vas");
    EXPECT_EQ(ConverterOutputName("./ship.sgi", ".vas"), "./ship.vas");
}

TEST(Converters, WriteBesideTheInputUnderLongNames)
{
    ScratchDir dir;
    ASSERT_EQ(::mkdir((dir / "dir.v2").c_str(), 0777), 0);
    Bytes image = VerbatimSgi(1, 1, {{1, 2, 3, 4}});
    WriteBytes(dir / "dir.v2/image", image);
    EXPECT_EQ(Convert("hueslab", "dir.v2/image", dir.path).status, 0);
    EXPECT_TRUE(PathExists(dir / "dir.v2/image.vhs"));

    std::string base(251, 'n');  // the output's name is 255 characters, the file system's limit
    WriteBytes(dir / (base + ".sgi"), image);
    ProgramResult r = Convert("tintpour", base + ".sgi", dir.path);
    EXPECT_EQ(r.status, 0) << r.out << r.err;
    EXPECT_EQ(ReadBytes(dir / (base + ".vas")).size(), 7u);
}

TEST(Converters, ReportFileFailuresAsRunTimeErrors)
{
    ScratchDir dir;
    ProgramResult missing = Convert("tintpour", "ship.sgi", dir.path);
    EXPECT_EQ(missing.status, 2);
    EXPECT_EQ(missing.out.rfind("Runtime error 2 at 0x", 0), 0u);
    EXPECT_EQ(missing.err, "tintpour: ship.sgi: cannot open: No such file or directory\n");

    std::vector<Bytes> pixels(100 * 100, Bytes{9, 9, 9, 9});
    WriteBytes(dir / "ship.sgi", VerbatimSgi(100, 100, pixels));
    ::chmod((dir / "ship.sgi").c_str(), 0444);
    ASSERT_EQ(Convert("tintpour", "ship.sgi", dir.path).status, 0);  // a read-only input converts
    Bytes complete = ReadBytes(dir / "ship.vas");
    ASSERT_EQ(complete.size(), 4u + 3 * 100 * 100);

    // 30004 bytes under a 10000-byte limit: nothing partial, the old output untouched.
    WriteBytes(dir / "ship.vas", {7});
    ProgramResult limited = Convert("tintpour", "ship.sgi", dir.path, 10000);
    EXPECT_EQ(limited.status, 101);
    EXPECT_EQ(limited.out.rfind("Runtime error 101 at 0x", 0), 0u);
    EXPECT_EQ(ReadBytes(dir / "ship.vas"), Bytes{7});
    EXPECT_EQ(FolderNames(dir.path), (std::vector<std::string>{"ship.sgi", "ship.vas"}));

    ::unlink((dir / "ship.vas").c_str());
    ASSERT_EQ(::mkdir((dir / "ship.vas").c_str(), 0777), 0);  // the output cannot be created
    EXPECT_EQ(Convert("tintpour", "ship.sgi", dir.path).status, EISDIR);

    // An image named like the output would be replaced by it: refused.
    WriteBytes(dir / "odd.vhs", VerbatimSgi(1, 1, {{1, 2, 3, 4}}));
    ProgramResult self = Convert("hueslab", "odd.vhs", dir.path);
    EXPECT_EQ(self.status, 1);
    EXPECT_EQ(ReadBytes(dir / "odd.vhs").size(), 516u);
}

TEST(Tintpour, StopsWithError203WhenThePictureDoesNotFitInMemory)
{
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "AddressSanitizer cannot start under a small address-space limit";
#endif
    // 65535 x 65535 RLE: every row is the same 1035 bytes but the red one of the top row, which
    // is short. Its kept tail needs the whole picture decoded in the file's order: 12 GiB.
    Bytes row;
    for (int i = 0; i < 516; i++)
        row.insert(row.end(), {0x7F, 0x40});
    row.insert(row.end(), {0x03, 0x40, 0x00});
    Bytes file = SgiHeaderBytes(65535, 65535, 1);
    uint32_t start = 512 + 16 * 65535;
    file.resize(start);
    for (size_t i = 0; i < 4 * 65535u; i++) {
        uint32_t at = i == 65534 ? start + uint32_t(row.size()) : start;
        for (int b = 0; b < 4; b++)
            file[512 + 4 * i + b] = uint8_t(at >> (24 - 8 * b));
    }
    file.insert(file.end(), row.begin(), row.end());
    file.insert(file.end(), {0x01, 0x40, 0x00});
    ScratchDir dir;
    WriteBytes(dir / "huge.sgi", file);
    ProgramResult r = RunProgram({"/bin/bash", "-c", "ulimit -v 2000000 && exec " + BuiltProgram("tintpour") +
                                                         " huge.sgi"},
                                 dir.path);
    EXPECT_EQ(r.status, 203);
    EXPECT_EQ(r.out.rfind("Runtime error 203 at 0x", 0), 0u);
    EXPECT_FALSE(PathExists(dir / "huge.vas"));
}
