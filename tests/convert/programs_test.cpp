#include "tests/convert/sgi_files.h"

TEST(Converters, PrintUsageAndHelp)
{
    const std::string notice = "Gravlin graphics tools, (c) the Gravlin tools authors\n";
    EXPECT_EQ(Said(Convert("tintpour", {}, "")) + Said(Convert("hueslab", {""}, "")),
              "0tintpour: convert SGI image files to Gravlin alpha blended sprites\n" + notice +
                  "0hueslab: convert SGI image files to Gravlin hi-color sprites\n" + notice);
    std::string help = Said(Convert("hueslab", {"--help"}, ""));
    EXPECT_TRUE(help.starts_with("0hueslab: convert") && help.find("Exit status:") != std::string::npos);
}

TEST(Converters, WriteTheWorkedExamples)
{
    Bytes maxOne = VerbatimSgi(3, 1, {255, 128, 0, 255, 0, 0, 255, 0, 7, 3, 7, 7}), ramp;
    maxOne[19] = 1;  // a maximum pixel value of 1 changes nothing
    for (int i = 1; i <= 15; i++)  // 5 x 3, the colour of pixel i (counted from 1) is i
        ramp.insert(ramp.end(), {0, 0, uint8_t(8 * i), 255});
    struct Case { const char* program; Bytes file, output; } cases[] = {
        {"tintpour", maxOne, {3, 0, 1, 0, 0x00, 0xFC, 0x1F, 0x1F, 0x00, 0x00, 0x00, 0x00, 0x00}},
        // Pure green over pure blue with half alpha; rows bottom first, a packet of each kind a plane.
        {"tintpour", RleSgi(1, 2, {{0x01, 0, 0}, {0x81, 0, 0}, {0x01, 0, 0}, {0x81, 255, 0x80},
                                   {0x01, 255, 0x00}, {0x81, 0, 0}, {0x01, 128, 0}, {0x81, 255, 0}}),
         {1, 0, 2, 0, 0xE0, 0x07, 0x1F, 0x1F, 0x00, 0x10}},
        // A blank 2 x 1 document, the top-left pixel, the top-left even-sized crop: 1 2 3 4 / 6 7 8 9.
        {"hueslab", VerbatimSgi(5, 3, ramp),
         {2, 1, 1, 0, 0, 0, 0, 1, 0, 1, 0, 2, 0, 3, 0, 4, 0, 6, 0, 7, 0, 8, 0, 9, 0}},
        {"hueslab", VerbatimSgi(1, 1, {0, 0, 8, 255}), {0, 0, 0, 0, 0, 1, 0}},
        {"hueslab", SgiHead(0, 5), {0, 2, 0, 1, 0, 0, 0}}, {"hueslab", SgiHead(3, 0), {1, 0, 0, 0, 0, 0, 0}},
    };
    ScratchDir dir;
    for (const Case& c : cases) {
        WriteBytes(dir / "in.sgi", c.file);
        EXPECT_EQ(Said(Convert(c.program, {"in.sgi"}, dir.path)), "0");
        EXPECT_EQ(ReadBytes(dir / ("in" + Extension(c.program))), c.output) << c.program;
    }
}

// Every reason for refusing a file, each through one of the programs; an old output is neither
// replaced nor joined by a partial one.
TEST(Converters, RejectFilesWithAReasonAndLeaveOutputsAlone)
{
    auto cut = [](const Bytes& file, size_t n) { return Bytes(file.begin(), file.end() - n); };
    Bytes rle = RleSgi(2, 1, {{2, 1, 0}, {2, 2, 0}, {2, 3, 0}, {0x81, 4, 1, 4, 0}}), outside = rle;
    PutBigEndian(outside, 512 + 8, 558, 4);  // the blue row starts at the end of the file
    Bytes tooLongAlpha = RleSgi(2, 1, {{2, 1, 0}, {2, 2, 0}, {2, 3, 0}, {3, 4, 0}});
    Bytes png = Png(4, 2, Pixels(4, 2)), badCrc = png;
    badCrc[png.size() - 20] ^= 0x40;  // inside the picture data
    const char* runsOff = "RLE row 0 of the alpha channel runs off the end of the file";
    const Names pngIn = {"ship.png"}, vasIn = {"--decode", "ship.vas"};
    // A reason of nullptr stands for libpng's own words.
    struct Case { const char* program; Bytes file; const char* reason; Names args = {"ship.sgi"}; };
    const Case cases[] = {
        {"tintpour", Bytes(511, 0), "the file is 511 bytes, shorter than the 512-byte SGI header"},
        // Each header breaks its test and every later one: the tests' order decides the reason.
        {"hueslab", Bytes(512, 2), "not an SGI image (magic number 514, 474 expected)"},
        {"tintpour", SgiHead(1, 1, 2, 3, 2, 2, 1),
         "2 bytes per channel; only 8-bit channels (1) are supported: write the SGI image with 8 "
         "(ImageMagick: -depth 8), or convert the PNG itself, which may have 16"},
        {"hueslab", SgiHead(1, 1, 2, 3, 1, 2, 1), "2 dimensions; an RGBA image has 3"},
        {"tintpour", SgiHead(1, 1, 2, 3, 1, 3, 1), "3 channels; an RGBA image with 4 is needed"},
        {"hueslab", SgiHead(1, 1, 2, 4, 1, 3, 1), "colour map id 1; only normal images (0) are supported"},
        {"tintpour", SgiHead(1, 1, 2), "storage kind 2; only verbatim (0) and RLE (1) are supported"},
        // The alpha plane is needed even by hueslab, which never reads it.
        {"hueslab", cut(VerbatimSgi(2, 2, Bytes(16, 9)), 1),
         "the file is 527 bytes; the verbatim data of 2 x 2 pixels needs 528"},
        {"tintpour", Bytes(rle.begin(), rle.begin() + 527),
         "the file is 527 bytes; the RLE row-start table (4 x 1 entries) needs 528"},
        {"hueslab", outside, "RLE row 0 of the blue channel starts at offset 558, outside the 558-byte file"},
        {"tintpour", tooLongAlpha, "RLE row 0 of the alpha channel decodes to more than 2 bytes"},
        {"hueslab", RleSgi(2, 1, {{2, 1, 0}, {0x83, 2, 0}, {2, 3, 0}, {2, 4, 0}}),
         "RLE row 0 of the green channel decodes to more than 2 bytes"},
        // The file ends before the end packet, before a repeat's byte, inside a literal.
        {"tintpour", cut(rle, 1), runsOff}, {"tintpour", cut(rle, 2), runsOff},
        {"tintpour", cut(rle, 4), runsOff},
        {"hueslab", RleSgi(600, 300, std::vector<Bytes>(4 * 300, Bytes{0})),
         "600 x 300 pixels; a hi-colour sprite holds at most 511 x 511"},
        {"tintpour", badCrc, nullptr, pngIn}, {"hueslab", cut(png, 20), nullptr, pngIn},
        {"tintpour", Png(65536, 1, Bytes(4 * 65536, 0)),
         "65536 x 1 pixels; an alpha-blended sprite holds at most 65535 x 65535", pngIn},
        {"tintpour", {1, 0, 1, 0, 1, 2}, "the file is 6 bytes; a .vas file of 1 x 1 pixels has 7", vasIn},
        {"tintpour", {1, 0}, "the file is 2 bytes, shorter than the 4-byte size of a .vas file", vasIn},
        {"tintpour", {1, 0, 1, 0, 1, 2, 32}, "pixel 0 has alpha 32; a .vas alpha is 0 to 31", vasIn},
        {"tintpour", {0, 0, 5, 0}, "the sprite is 0 x 5 pixels, and a PNG file cannot be empty", vasIn},
        {"hueslab", {1, 1, 0, 0, 0, 0, 0, 0, 1, 2, 3, 4, 5, 6, 7},
         "the file is 15 bytes; a .vhs file of 1 x 1 cells has 16", {"--decode", "ship.vhs"}},
    };
    for (const Case& c : cases) {
        ScratchDir dir;
        std::string input = c.args.back(), head = "1" + std::string(c.program) + ": " + input + ": ";
        std::string output = dir / ("ship" + (c.args.size() > 1 ? ".png" : Extension(c.program)));
        WriteBytes(dir / input, c.file);
        WriteBytes(output, {1, 2, 3});
        std::string all = Said(Convert(c.program, c.args, dir.path));
        bool oneLine = all.find('\n') == all.size() - 1;
        EXPECT_TRUE(c.reason ? all == head + c.reason + "\n" : all.starts_with(head) && oneLine) << all;
        EXPECT_TRUE(FolderNames(dir.path).size() == 2 && ReadBytes(output) == Bytes({1, 2, 3})) << input;
    }
    EXPECT_EQ(Read(tooLongAlpha, HiColour).size(), 4u);  // hueslab never reads alpha
}

// Nothing partial is left and the old output is untouched.
TEST(Converters, StopWithARunTimeErrorWhenTheOutputOrThePictureDoesNotFit)
{
    ScratchDir dir;
    // 30004 bytes under a 10000-byte limit.
    WriteBytes(dir / "ship.sgi", VerbatimSgi(100, 100, Bytes(4 * 100 * 100, 9)));
    WriteBytes(dir / "ship.vas", {7});
    ProgramResult limited = Convert("tintpour", {"ship.sgi"}, dir.path, 10000);
    EXPECT_TRUE(limited.status == 101 && limited.out.starts_with("Runtime error 101 at 0x"));
    EXPECT_TRUE(ReadBytes(dir / "ship.vas") == Bytes{7} && FolderNames(dir.path).size() == 2);
    // AddressSanitizer cannot start under a small address-space limit.
#if !defined(__SANITIZE_ADDRESS__)
    // 65535 x 65535 RLE: every row is the same 1035 bytes but the red one of the top row, which
    // is short. Its kept tail needs the whole picture decoded in the file's order: 12 GiB.
    Bytes file = SgiHead(65535, 65535, 1);
    uint32_t start = 512 + 16 * 65535;
    file.resize(start);
    for (size_t i = 0; i < 4 * 65535u; i++)
        PutBigEndian(file, 512 + 4 * i, i == 65534 ? start + 1035 : start, 4);
    for (int i = 0; i < 516; i++)
        file.insert(file.end(), {0x7F, 0x40});
    file.insert(file.end(), {0x03, 0x40, 0x00, 0x01, 0x40, 0x00});
    WriteBytes(dir / "huge.sgi", file);
    std::string run = "ulimit -v 2000000 && exec " + BuiltProgram("tintpour") + " huge.sgi";
    ProgramResult r = RunProgram({"/bin/bash", "-c", run}, dir.path);
    EXPECT_TRUE(r.status == 203 && r.out.starts_with("Runtime error 203") && !PathExists(dir / "huge.vas"));
#endif
}
