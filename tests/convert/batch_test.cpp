// The converters as an asset pipeline runs them: many inputs, output folders, decoding, shared folders.
#include "tests/convert/sgi_files.h"

// Every input is converted, each failure reported as a run with it alone reports it.
TEST(ConverterRuns, ConvertEveryInputIntoTheOutputFolderAndGiveTheFirstFailuresStatus)
{
    // Both separators end a folder; the last dot of the file name starts the extension.
    EXPECT_EQ(ConverterOutputName("a\\b.c/d.e\\f.g.h", ".vhs"), "a\\b.c/d.e\\f.g.vhs");
    ScratchDir dir;
    for (const char* folder : {"art", "out"})
        ASSERT_EQ(::mkdir((dir / folder).c_str(), 0777), 0);
    WriteBytes(dir / "art/a.b.sgi", VerbatimSgi(3, 2, Pixels(3, 2)));
    WriteBytes(dir / "bad", {1});
    WriteBytes(dir / "-v.png", Png(3, 2, Pixels(3, 2)));
    Names args = {"-v", "--verbose", "--output-dir", "out/", "art/a.b.sgi", "no.sgi", "bad", "--", "-v.png"};
    ProgramResult r = Convert("tintpour", args, dir.path);
    r.out.erase(r.out.find(" at 0x") + 6, 8);  // the address in the run-time error's line
    EXPECT_EQ(Said(r), "2art/a.b.sgi -> out/a.b.vas\nRuntime error 2 at 0x\n-v.png -> out/-v.vas\n"
                       "tintpour: no.sgi: cannot open: No such file or directory\n"
                       "tintpour: bad: the file is 1 bytes, shorter than the 512-byte SGI header\n");
    EXPECT_EQ(FolderNames(dir / "out"), (Names{"-v.vas", "a.b.vas"}));
}

TEST(ConverterRuns, RefuseCollisionsAndWrongCommandLinesBeforeWritingAnything)
{
    struct Case { Names args; std::string err; } cases[] = {
        {{"a.sgi", "./a.png"}, "a.sgi and ./a.png would both write ./a.vas"},
        {{"-o", "sub", "a.png", "sub/a.sgi"}, "a.png and sub/a.sgi would both write sub/a.vas"},
        {{"-o", "nowhere", "a.sgi"}, "nowhere: not an existing folder"},
        {{"-o", "a.sgi", "a.png"}, "a.sgi: not an existing folder"},
        {{"-q", "a.sgi"}, "unknown option -q; tintpour --help lists the options"},
        {{"a.sgi", "-o"}, "option -o needs a folder; tintpour --help lists the options"},
        {{"a.sgi", "b.png"}, "a.sgi would write over b.png, another input"},
        {{"a.vas"}, "a.vas: the output would replace the input itself; give the image another extension"},
    };
    ScratchDir dir;
    ASSERT_EQ(::mkdir((dir / "sub").c_str(), 0777), 0);
    WriteBytes(dir / "a.sgi", VerbatimSgi(1, 1, {1, 2, 3, 4}));
    WriteBytes(dir / "a.png", Png(1, 1, {1, 2, 3, 4}));
    WriteBytes(dir / "b.png", Png(1, 1, {1, 2, 3, 4}));
    ASSERT_EQ(::symlink("b.png", (dir / "a.vas").c_str()), 0);
    for (const Case& c : cases)
        EXPECT_EQ(Said(Convert("tintpour", c.args, dir.path)), "1tintpour: " + c.err + "\n");
    EXPECT_TRUE(FolderNames(dir.path).size() == 5 && FolderNames(dir / "sub").empty());
    EXPECT_EQ(ReadBytes(dir / "b.png"), Png(1, 1, {1, 2, 3, 4}));
}

// Odd sizes included: hueslab's crop and tintpour's 3-byte pixels leave no even row length.
TEST(ConverterRuns, DecodeOutputsToPngFilesThatConvertBackToTheSameBytes)
{
    struct Case { const char* program; uint16_t w, h; } cases[] = {
        {"tintpour", 1, 1}, {"tintpour", 7, 2}, {"hueslab", 7, 3}, {"hueslab", 2, 2}};
    ScratchDir dir;
    for (const Case& c : cases) {
        std::string output = dir / ("in" + Extension(c.program));
        WriteBytes(dir / "in.sgi", VerbatimSgi(c.w, c.h, Pixels(c.w, c.h)));
        ASSERT_EQ(Convert(c.program, {"in.sgi"}, dir.path).status, 0);
        Bytes converted = ReadBytes(output);
        ASSERT_EQ(Convert(c.program, {"--decode", output}, dir.path).status, 0);
        ::unlink(output.c_str());
        ASSERT_EQ(Convert(c.program, {"in.png"}, dir.path).status, 0);
        EXPECT_EQ(ReadBytes(output), converted) << c.program << " " << c.w << " x " << c.h;
    }
    // Each field widened by repeating its top bits: (255, 128, 0, 255) and (0, 0, 255, 0). Two
    // inputs that both convert end the run with 0.
    WriteBytes(dir / "two.vas", {2, 0, 1, 0, 0x00, 0xFC, 0x1F, 0x1F, 0x00, 0x00});
    ASSERT_EQ(Said(Convert("tintpour", {"--decode", "two.vas", "in.vas"}, dir.path)), "0");
    EXPECT_EQ(ReadBytes(dir / "two.png"), Png(2, 1, {255, 130, 0, 255, 0, 0, 255, 0}));
}

TEST(ConverterRunsDeathTest, RefuseToReplaceAnOutputTheUserMayNotWrite)
{
    ScratchDir dir;
    ASSERT_EQ(::chmod(dir.path.c_str(), 0777), 0);  // the folder would let the rename through
    WriteBytes(dir / "a.sgi", VerbatimSgi(1, 1, {1, 2, 3, 4}));
    WriteBytes(dir / "a.vas", {7});
    ASSERT_EQ(::chmod((dir / "a.vas").c_str(), 0444), 0);
    // Root may write anything: become nobody to meet a real refusal.
    EXPECT_EXIT((::geteuid() != 0 || (::setgid(65534) == 0 && ::setuid(65534) == 0)) &&
                    ::execl(BuiltProgram("tintpour").c_str(), "tintpour", (dir / "a.sgi").c_str(), nullptr),
                testing::ExitedWithCode(EACCES), "tintpour: .*/a.vas: cannot create: Permission denied");
    EXPECT_TRUE(ReadBytes(dir / "a.vas") == Bytes{7} && FolderNames(dir.path) == (Names{"a.sgi", "a.vas"}));
    // While root replaces it, as a truncating create would.
    EXPECT_TRUE(::geteuid() != 0 || (Said(Convert("tintpour", {"a.sgi"}, dir.path)) == "0" &&
                                     ReadBytes(dir / "a.vas").size() == 7u));
}

// Read in bands, verbatim or RLE, a file shortened after it was opened is a short read and leaves no output.
TEST(ConverterRuns, StopWithError100WhenTheInputIsShortenedWhileItIsRead)
{
    static const Converter sprite = {"tintpour", "", ".vas", "", AlphaSprite,
                                     [](uint32_t, uint32_t, PictureLayout&) { return Result(); }, nullptr};
    ScratchDir dir;
    std::vector<Bytes> rows(4 * 300, Bytes{0x7F, 9, 0x7F, 9, 0x7F, 9, 0x03, 9, 0});
    for (const Bytes& image : {VerbatimSgi(300, 300, Pixels(300, 300)), RleSgi(384, 300, rows)}) {
        WriteBytes(dir / "a.sgi", image);
        WriteBytes(dir / "a.vas", {7});
        InputFile file;
        ASSERT_TRUE(OpenInputFile(dir / "a.sgi", file).ok());
        ASSERT_EQ(::truncate((dir / "a.sgi").c_str(), off_t(image.size() - 100)), 0);
        std::string failed;
        Result r = ConvertOpenInput(sprite, file, dir / "a.sgi", dir / "a.vas", failed);
        EXPECT_EQ(std::to_string(r.code) + r.reason + failed, "100file ended early" + dir / "a.sgi");
        EXPECT_TRUE(FolderNames(dir.path).size() == 2 && ReadBytes(dir / "a.vas") == Bytes{7});
    }
}

// Images are read from the disk a band at a time (171 rows for tintpour, 256 for hueslab, which crops),
// RLE ones from the stretches their tables point at (ImageMagick, which nobody on the team wrote, lays
// its own out its own way): whatever the tables hold, the output is that of the whole file in memory. A
// short or bad row in a later band starts over in the file's order: the short row keeps the previous
// row's tail; of two bad rows the first in the file is reported, before an output that cannot be made.
TEST(ConverterRuns, ReadImagesFromTheDiskAsTheyDecodeWhole)
{
    const uint16_t w = 511, h = 511;
    std::vector<Bytes> rows;
    for (int i = 0; i < 4 * h; i++)
        rows.push_back({0x7F, uint8_t(i), 0x7F, uint8_t(i * 7), 0x7F, uint8_t(i * 13), 0x7F, 5, 3, 1, 0});
    Bytes good = RleSgi(w, h, rows), noLengths = good;
    std::fill(noLengths.begin() + 512 + 16 * h, noLengths.begin() + 512 + 32 * h, 0);
    std::vector<Bytes> shortRows = rows, badRows = rows;
    shortRows[h] = {0x05, 9, 0};  // the green plane's bottom row, in the last band
    // The alpha plane's top row and the red plane's bottom row, which comes first in the file.
    badRows[4 * h - 1] = badRows[0] = {0x7F, 1, 0x7F, 2, 0x7F, 3, 0x7F, 4, 4, 5, 0};
    ScratchDir dir;
    WriteBytes(dir / "pic.rgba", Pixels(w, h));
    std::vector<Bytes> images = {VerbatimSgi(w, h, Pixels(w, h)), good, noLengths, RleSgi(w, h, shortRows)};
    if (RunImageMagick({"-size", "511x511", "-depth", "8", "rgba:" + dir / "pic.rgba", "-compress", "RLE",
                        dir / "im.sgi"}))
        images.push_back(ReadBytes(dir / "im.sgi"));
    EXPECT_TRUE(images.size() == 4 || (images[4].at(2) == 1 && Read(images[4]) == Read(images[0])));
    auto run = [&](const char* program) { return Said(Convert(program, {"a.sgi"}, dir.path)); };
    for (const Bytes& image : images) {
        WriteBytes(dir / "a.sgi", image);
        Bytes vas = Read(image), hiColour = Read(image, HiColour), vhs = {255, 255, 127, 127, 0};
        vas.insert(vas.begin(), {0xFF, 1, 0xFF, 1});
        vhs.resize(5 + 255 * 255);  // the document's cells, then the top-left pixel and the crop
        vhs.insert(vhs.end(), hiColour.begin(), hiColour.begin() + 2);
        for (size_t r = 0; r < 510; r++)
            vhs.insert(vhs.end(), hiColour.begin() + 2 * w * r, hiColour.begin() + 2 * w * r + 1020);
        EXPECT_EQ(run("tintpour") + run("hueslab"), "00");
        EXPECT_TRUE(ReadBytes(dir / "a.vas") == vas && ReadBytes(dir / "a.vhs") == vhs);
    }
    WriteBytes(dir / "a.sgi", RleSgi(w, h, badRows));
    ::unlink((dir / "a.vas").c_str());
    ASSERT_EQ(::mkdir((dir / "a.vas").c_str(), 0777), 0);
    EXPECT_EQ(run("tintpour"),
              "1tintpour: a.sgi: RLE row 0 of the red channel decodes to more than 511 bytes\n");
}
