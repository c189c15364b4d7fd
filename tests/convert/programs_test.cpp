#include <gtest/gtest.h>

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

#include "convert/convrun.h"
#include "tests/convert/sgi_files.h"

TEST(Converters, PrintUsageHelpAndVersionAndTouchNothing)
{
    ScratchDir dir;
    for (std::string program : {"tintpour", "hueslab"}) {
        std::string first = program + ": convert SGI image files to Gravlin " +
                            (program == "tintpour" ? "alpha blended" : "hi-color") + " sprites\n";
        for (ProgramResult r : {Convert(program, {}, dir.path), Convert(program, {""}, dir.path)})
            EXPECT_EQ(std::to_string(r.status) + r.out, "0" + first + "Gravlin graphics tools, (c) the Gravlin tools authors\n");
        ProgramResult help = Convert(program, {"--help"}, dir.path);
        EXPECT_TRUE(help.status == 0 && help.out.starts_with(first) && help.out.find("Exit status:") != std::string::npos);
        EXPECT_EQ(Convert(program, {"--version"}, dir.path).out, program + " 1.0.0\n");
    }
    EXPECT_TRUE(FolderNames(dir.path).empty());
}

TEST(Converters, WriteTheWorkedExamples)
{
    // hueslab's 4 x 2 red image: a blank 2 x 1 document, the top-left pixel, then the picture.
    const Bytes red = {2, 1, 1, 0, 0, 0, 0, 0x00, 0xF8, 0x00, 0xF8, 0x00, 0xF8, 0x00, 0xF8, 0x00, 0xF8,
                       0x00, 0xF8, 0x00, 0xF8, 0x00, 0xF8, 0x00, 0xF8};
    // 3 x 3, pixel (x, y) with blue 8 * (3 y + x), so that its colour is 3 y + x.
    std::vector<Bytes> ramp;
    for (int i = 0; i < 9; i++)
        ramp.push_back({0, 0, uint8_t(8 * i), uint8_t(i)});
    Bytes maxOne = VerbatimSgi(3, 1, {{255, 128, 0, 255}, {0, 0, 255, 0}, {7, 3, 7, 7}});
    maxOne[19] = 1;  // a maximum pixel value of 1 changes nothing
    // Top pixel pure green, bottom pixel pure blue with half alpha, in both storages; the RLE
    // file's rows bottom first, red, green, blue, alpha planes with one packet form each.
    const Bytes greenOverBlue = {1, 0, 2, 0, 0xE0, 0x07, 0x1F, 0x1F, 0x00, 0x10};
    struct Case {
        const char* program;
        Bytes file, output;
    } cases[] = {
        {"tintpour", maxOne, {3, 0, 1, 0, 0x00, 0xFC, 0x1F, 0x1F, 0x00, 0x00, 0x00, 0x00, 0x00}},
        {"tintpour", VerbatimSgi(1, 2, {{0, 255, 0, 255}, {0, 0, 255, 128}}), greenOverBlue},
        {"tintpour", RleSgi(1, 2, {{0x01, 0, 0}, {0x81, 0, 0}, {0x01, 0, 0}, {0x81, 255, 0x80}, {0x01, 255, 0x00},
                                   {0x81, 0, 0}, {0x01, 128, 0}, {0x81, 255, 0}}), greenOverBlue},
        {"tintpour", SgiHeaderBytes(0, 5), {0, 0, 5, 0}},
        {"hueslab", VerbatimSgi(4, 2, std::vector<Bytes>(8, Bytes{255, 0, 0, 99})), red},
        {"hueslab", RleSgi(4, 2, {{4, 255, 0}, {4, 255, 0}, {4, 0, 0}, {4, 0, 0}, {4, 0, 0}, {4, 0, 0}, {4, 99, 0},
                                  {0x84, 1, 2, 3, 4, 0}}), red},
        // An odd size keeps the top-left even-sized crop: pixels 0 1 / 3 4.
        {"hueslab", VerbatimSgi(3, 3, ramp), {1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 3, 0, 4, 0}},
        {"hueslab", SgiHeaderBytes(0, 5), {0, 2, 0, 1, 0, 0, 0}},
    };
    ScratchDir dir;
    for (const Case& c : cases) {
        WriteBytes(dir / "in.sgi", c.file);
        ProgramResult r = Convert(c.program, {"in.sgi"}, dir.path);
        EXPECT_EQ(std::to_string(r.status) + r.out + r.err, "0");
        EXPECT_EQ(ReadBytes(dir / ("in" + Extension(c.program))), c.output) << c.program;
    }
}

// Both through the reader (which must leave the caller's size alone) and through the programs.
TEST(Converters, RejectImagesWithAReasonAndLeaveOutputsAlone)
{
    Bytes badMagic = SgiHeaderBytes(1, 1, 2, 3, 2, 2, 1);
    Bytes verbatim = VerbatimSgi(2, 2, std::vector<Bytes>(4, {1, 2, 3, 4}));
    badMagic[1] = 0xDB;
    verbatim.pop_back();  // the alpha plane is needed even by hueslab, which never reads it
    Bytes rle = RleSgi(2, 1, {{0x02, 1, 0}, {0x02, 2, 0}, {0x02, 3, 0}, {0x02, 4, 0}}), outside = rle;
    PutBigEndian(outside, 512 + 8, 556, 4);  // the blue row starts at the end of the file
    Bytes tooLongAlpha = RleSgi(2, 1, {{0x02, 1, 0}, {0x02, 2, 0}, {0x02, 3, 0}, {0x03, 4, 0}});
    Bytes wide = SgiHeaderBytes(600, 300);
    wide.resize(512 + 4 * 600 * 300);
    struct Case {
        const char* program;
        Bytes file;
        const char* reason;
        bool byReader = true;
    } cases[] = {
        {"tintpour", Bytes(511, 0), "the file is 511 bytes, shorter than the 512-byte SGI header"},
        // Each header breaks its test and every later one: the tests' order decides the reason.
        {"hueslab", badMagic, "not an SGI image (magic number 475, 474 expected)"},
        {"tintpour", SgiHeaderBytes(1, 1, 2, 3, 2, 2, 1), "2 bytes per channel; only 8-bit channels (1) are supported: write the SGI image with 8 (ImageMagick: "
         "-depth 8), or convert the PNG itself, which may have 16"},
        {"hueslab", SgiHeaderBytes(1, 1, 2, 3, 1, 2, 1), "2 dimensions; an RGBA image has 3"},
        {"tintpour", SgiHeaderBytes(1, 1, 2, 3, 1, 3, 1), "3 channels; an RGBA image with 4 is needed"},
        {"hueslab", SgiHeaderBytes(1, 1, 2, 4, 1, 3, 1), "colour map id 1; only normal images (0) are supported"},
        {"tintpour", SgiHeaderBytes(1, 1, 2), "storage kind 2; only verbatim (0) and RLE (1) are supported"},
        {"hueslab", verbatim, "the file is 527 bytes; the verbatim data of 2 x 2 pixels needs 528"},
        {"tintpour", Bytes(rle.begin(), rle.begin() + 527),
         "the file is 527 bytes; the RLE row-start table (4 x 1 entries) needs 528"},
        {"hueslab", outside, "RLE row 0 of the blue channel starts at offset 556, outside the 556-byte file"},
        {"tintpour", tooLongAlpha, "RLE row 0 of the alpha channel decodes to more than 2 bytes"},
        {"hueslab", RleSgi(2, 1, {{0x02, 1, 0}, {0x83, 2, 0}, {0x02, 3, 0}, {0x02, 4, 0}}),
         "RLE row 0 of the green channel decodes to more than 2 bytes"},
        {"tintpour", Bytes(rle.begin(), rle.end() - 1), "RLE row 0 of the alpha channel runs off the end of the file"},
        {"hueslab", wide, "600 x 300 pixels; a hi-colour sprite holds at most 511 x 511", false},
    };
    ScratchDir dir;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.reason);
        std::string program = c.program, output = dir / ("ship" + Extension(program));
        if (c.byReader) {
            Decoded d = Read(c.file, program == "tintpour" ? AlphaSprite : HiColour);
            EXPECT_EQ(d.result.rejected() ? d.result.reason : "accepted", c.reason);
            EXPECT_TRUE(d.width == 7777 && d.height == 7777 && d.pixels.empty());
        }
        WriteBytes(dir / "ship.sgi", c.file);
        WriteBytes(output, {1, 2, 3});  // an old output: neither replaced nor joined by a partial one
        ProgramResult r = Convert(program, {"ship.sgi"}, dir.path);
        EXPECT_EQ(std::to_string(r.status) + r.out + r.err, "1" + program + ": ship.sgi: " + c.reason + "\n");
        EXPECT_EQ(FolderNames(dir.path).size(), 2u);
        EXPECT_EQ(ReadBytes(output), (Bytes{1, 2, 3}));
        ::unlink(output.c_str());
    }
    EXPECT_TRUE(Read(tooLongAlpha, HiColour).result.ok());  // hueslab never reads alpha
}

TEST(Converters, WriteBesideTheInputUnderItsNameWithTheExtensionReplaced)
{
    // Splitting is the path helpers'; here the rule: both separators end a folder, the last dot.
    EXPECT_EQ(ConverterOutputName("ship.big.sgi", ".vas"), "ship.big.vas");
    EXPECT_EQ(ConverterOutputName("a\\b.c/d.e\\f", ".vhs"), "a\\b.c/d.e\\f.vhs");
    ScratchDir dir;
    ASSERT_EQ(::mkdir((dir / "dir.v2").c_str(), 0777), 0);
    Bytes image = VerbatimSgi(1, 1, {{1, 2, 3, 4}});
    WriteBytes(dir / "dir.v2/image", image);
    EXPECT_EQ(Convert("hueslab", {"dir.v2/image"}, dir.path).status, 0);
    EXPECT_TRUE(PathExists(dir / "dir.v2/image.vhs"));
    std::string base(251, 'n');  // the output's name is 255 characters, the file system's limit
    WriteBytes(dir / (base + ".sgi"), image);
    EXPECT_EQ(Convert("tintpour", {base + ".sgi"}, dir.path).status, 0);
    EXPECT_EQ(ReadBytes(dir / (base + ".vas")).size(), 7u);
}

TEST(Converters, ReportFileFailuresAsRunTimeErrors)
{
    ScratchDir dir;
    ProgramResult missing = Convert("tintpour", {"ship.sgi"}, dir.path);
    EXPECT_EQ(missing.status, 2);
    EXPECT_TRUE(missing.out.starts_with("Runtime error 2 at 0x"));
    EXPECT_EQ(missing.err, "tintpour: ship.sgi: cannot open: No such file or directory\n");

    WriteBytes(dir / "ship.sgi", VerbatimSgi(100, 100, std::vector<Bytes>(100 * 100, {9, 9, 9, 9})));
    ::chmod((dir / "ship.sgi").c_str(), 0444);
    ASSERT_EQ(Convert("tintpour", {"ship.sgi"}, dir.path).status, 0);  // a read-only input converts
    ASSERT_EQ(ReadBytes(dir / "ship.vas").size(), 4u + 3 * 100 * 100);

    // 30004 bytes under a 10000-byte limit: nothing partial, the old output untouched.
    WriteBytes(dir / "ship.vas", {7});
    ProgramResult limited = Convert("tintpour", {"ship.sgi"}, dir.path, 10000);
    EXPECT_EQ(limited.status, 101);
    EXPECT_TRUE(limited.out.starts_with("Runtime error 101 at 0x"));
    EXPECT_EQ(ReadBytes(dir / "ship.vas"), Bytes{7});
    EXPECT_EQ(FolderNames(dir.path), (std::vector<std::string>{"ship.sgi", "ship.vas"}));

    ::unlink((dir / "ship.vas").c_str());
    ASSERT_EQ(::mkdir((dir / "ship.vas").c_str(), 0777), 0);  // the output cannot be created
    EXPECT_EQ(Convert("tintpour", {"ship.sgi"}, dir.path).status, EISDIR);

    // An image named like the output would be replaced by it: refused.
    WriteBytes(dir / "odd.vhs", VerbatimSgi(1, 1, {{1, 2, 3, 4}}));
    EXPECT_EQ(Convert("hueslab", {"odd.vhs"}, dir.path).status, 1);
    EXPECT_EQ(ReadBytes(dir / "odd.vhs").size(), 516u);
}

TEST(Tintpour, StopsWithError203WhenThePictureDoesNotFitInMemory)
{
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "AddressSanitizer cannot start under a small address-space limit";
#endif
    // 65535 x 65535 RLE: every row is the same 1035 bytes but the red one of the top row, which
    // is short. Its kept tail needs the whole picture decoded in the file's order: 12 GiB.
    Bytes file = SgiHeaderBytes(65535, 65535, 1);
    uint32_t start = 512 + 16 * 65535;
    file.resize(start);
    for (size_t i = 0; i < 4 * 65535u; i++)
        PutBigEndian(file, 512 + 4 * i, i == 65534 ? start + 1035 : start, 4);
    for (int i = 0; i < 516; i++)
        file.insert(file.end(), {0x7F, 0x40});
    file.insert(file.end(), {0x03, 0x40, 0x00, 0x01, 0x40, 0x00});
    ScratchDir dir;
    WriteBytes(dir / "huge.sgi", file);
    ProgramResult r = RunProgram({"/bin/bash", "-c", "ulimit -v 2000000 && exec " + BuiltProgram("tintpour") + " huge.sgi"},
                                 dir.path);
    EXPECT_EQ(r.status, 203);
    EXPECT_TRUE(r.out.starts_with("Runtime error 203 at 0x"));
    EXPECT_FALSE(PathExists(dir / "huge.vas"));
}
