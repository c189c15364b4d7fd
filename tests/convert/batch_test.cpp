// The converters as an asset pipeline runs them: PNG input, many inputs, an output folder,
// decoding back to PNG, and the faults a shared folder brings (an output not ours to write, an
// input shortened while it is read).
#include <gtest/gtest.h>

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

#include "convert/convrun.h"
#include "tests/convert/sgi_files.h"
#include "util/files.h"
#include "util/png.h"

// w x h pixels, every channel different from pixel to pixel, every alpha from 0 to 255 somewhere.
static std::vector<Bytes> Pixels(int w, int h)
{
    std::vector<Bytes> rgba;
    for (int i = 0; i < w * h; i++)
        rgba.push_back({uint8_t(37 * i + 11), uint8_t(91 * i + 3), uint8_t(53 * i + 200), uint8_t(29 * i)});
    return rgba;
}

static Bytes Png(int w, int h, const std::vector<Bytes>& rgba)
{
    Bytes pixels, file;
    for (const Bytes& p : rgba)
        pixels.insert(pixels.end(), p.begin(), p.end());
    PngImageOut image;
    image.width = uint32_t(w), image.height = uint32_t(h), image.pixels = pixels.data();
    EXPECT_TRUE(EncodePng(image, file).ok());
    return file;
}

TEST(ConverterRuns, ConvertEveryInputBesideItOrIntoAFolderAndGiveTheFirstFailuresStatus)
{
    ScratchDir dir;
    WriteBytes(dir / "a.sgi", VerbatimSgi(3, 2, Pixels(3, 2)));
    Bytes damaged = Png(3, 2, Pixels(3, 2));
    damaged[30] ^= 1;  // inside IHDR: its CRC no longer matches
    WriteBytes(dir / "bad.png", damaged);
    WriteBytes(dir / "c.png", Png(3, 2, Pixels(3, 2)));
    ProgramResult r = Convert("tintpour", {"-v", "a.sgi", "missing.sgi", "bad.png", "c.png"}, dir.path);
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out.substr(0, r.out.find("Runtime error")), "a.sgi -> a.vas\n");
    EXPECT_NE(r.out.find("\nc.png -> c.vas\n"), std::string::npos);
    EXPECT_EQ(r.err.substr(0, r.err.find("bad.png")),
              "tintpour: missing.sgi: cannot open: No such file or directory\ntintpour: ");
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 2);
    // The same pixels from a PNG and an SGI image give the same bytes.
    EXPECT_EQ(ReadBytes(dir / "c.vas"), ReadBytes(dir / "a.vas"));
    EXPECT_EQ(FolderNames(dir.path), (std::vector<std::string>{"a.sgi", "a.vas", "bad.png", "c.png", "c.vas"}));

    // Into an output folder, under the input's file name; everything after -- is an input.
    for (const char* folder : {"art", "out"})
        ASSERT_EQ(::mkdir((dir / folder).c_str(), 0777), 0);
    ASSERT_EQ(::rename((dir / "a.sgi").c_str(), (dir / "art/ship.big.sgi").c_str()), 0);
    ASSERT_EQ(::rename((dir / "c.png").c_str(), (dir / "-v.png").c_str()), 0);
    r = Convert("hueslab", {"--verbose", "--output-dir", "out/", "art/ship.big.sgi", "--", "-v.png"}, dir.path);
    EXPECT_EQ(std::to_string(r.status) + r.out + r.err, "0art/ship.big.sgi -> out/ship.big.vhs\n-v.png -> out/-v.vhs\n");
    EXPECT_EQ(FolderNames(dir / "out"), (std::vector<std::string>{"-v.vhs", "ship.big.vhs"}));
}

TEST(ConverterRuns, RefuseCollisionsAndMissingFoldersBeforeWritingAnything)
{
    struct Case {
        std::vector<std::string> args;
        std::string err;
    } cases[] = {
        {{"a.sgi", "a.png"}, "tintpour: a.sgi and a.png would both write a.vas\n"},
        {{"a.sgi", "a.sgi"}, "tintpour: a.sgi and a.sgi would both write a.vas\n"},
        {{"a.sgi", "./a.png"}, "tintpour: a.sgi and ./a.png would both write ./a.vas\n"},
        {{"-o", "sub", "a.png", "sub/a.sgi"}, "tintpour: a.png and sub/a.sgi would both write sub/a.vas\n"},
        {{"-o", "nowhere", "a.sgi"}, "tintpour: nowhere: not an existing folder\n"},
        {{"-o", "a.sgi", "a.png"}, "tintpour: a.sgi: not an existing folder\n"},
        {{"-q", "a.sgi"}, "tintpour: unknown option -q; tintpour --help lists the options\n"},
    };
    ScratchDir dir;
    ASSERT_EQ(::mkdir((dir / "sub").c_str(), 0777), 0);
    WriteBytes(dir / "a.sgi", VerbatimSgi(1, 1, {{1, 2, 3, 4}}));
    WriteBytes(dir / "sub/a.sgi", VerbatimSgi(1, 1, {{1, 2, 3, 4}}));
    WriteBytes(dir / "a.png", Png(1, 1, {{1, 2, 3, 4}}));
    for (const Case& c : cases) {
        ProgramResult r = Convert("tintpour", c.args, dir.path);
        EXPECT_EQ(std::to_string(r.status) + r.out + r.err, "1" + c.err);
    }
    EXPECT_EQ(FolderNames(dir.path), (std::vector<std::string>{"a.png", "a.sgi", "sub"}));
    EXPECT_EQ(FolderNames(dir / "sub"), (std::vector<std::string>{"a.sgi"}));
}

// Odd sizes included: hueslab's crop and tintpour's 3-byte pixels leave no even row length.
TEST(ConverterRuns, DecodeOutputsToPngFilesThatConvertBackToTheSameBytes)
{
    ScratchDir dir;
    for (std::string program : {"tintpour", "hueslab"}) {
        std::string output = dir / ("in" + Extension(program));
        for (auto [w, h] : {std::pair{1, 1}, {3, 5}, {7, 2}, {2, 3}}) {
            if (program == "hueslab" && (w < 2 || h < 2))
                continue;  // no cells: the PNG would be empty
            WriteBytes(dir / "in.sgi", VerbatimSgi(uint16_t(w), uint16_t(h), Pixels(w, h)));
            ASSERT_EQ(Convert(program, {"in.sgi"}, dir.path).status, 0);
            Bytes converted = ReadBytes(output);
            ASSERT_EQ(Convert(program, {"--decode", output}, dir.path).status, 0);
            ::unlink(output.c_str());
            ASSERT_EQ(Convert(program, {"in.png"}, dir.path).status, 0);
            EXPECT_EQ(ReadBytes(output), converted) << program << " " << w << " x " << h;
        }
    }
    // Each field widened by repeating its top bits: (255, 128, 0, 255) and (0, 0, 255, 0).
    WriteBytes(dir / "two.vas", {2, 0, 1, 0, 0x00, 0xFC, 0x1F, 0x1F, 0x00, 0x00});
    ASSERT_EQ(Convert("tintpour", {"--decode", "two.vas"}, dir.path).status, 0);
    Bytes png = ReadBytes(dir / "two.png");
    PngPicture picture;
    ASSERT_TRUE(DecodePng(png.data(), png.size(), PngIndices::Expand, picture).ok());
    EXPECT_EQ(picture.pixels, (Bytes{255, 130, 0, 255, 0, 0, 255, 0}));
}

TEST(ConverterRuns, RefuseDamagedPngAndWrongLengthFilesWritingNothing)
{
    Bytes good = Png(4, 2, Pixels(4, 2));
    Bytes badCrc = good, cut(good.begin(), good.end() - 20);
    badCrc[good.size() - 20] ^= 0x40;  // inside the picture data
    struct Case {
        const char* program;
        std::vector<std::string> args;
        std::string name;
        Bytes file;
        const char* reason;  // nullptr: libpng's own words
    } cases[] = {
        {"tintpour", {}, "a.png", badCrc, nullptr},
        {"hueslab", {}, "a.png", cut, nullptr},
        {"hueslab", {}, "a.png", Png(512, 1, Pixels(512, 1)), "512 x 1 pixels; a hi-colour sprite holds at most 511 x 511"},
        {"tintpour", {}, "a.png", Png(65536, 1, std::vector<Bytes>(65536, {0, 0, 0, 0})),
         "65536 x 1 pixels; an alpha-blended sprite holds at most 65535 x 65535"},
        {"tintpour", {"--decode"}, "a.vas", {1, 0, 1, 0, 1, 2},
         "the file is 6 bytes; a .vas file of 1 x 1 pixels has 7"},
        {"tintpour", {"--decode"}, "a.vas", {1, 0}, "the file is 2 bytes, shorter than the 4-byte size of a .vas file"},
        {"tintpour", {"--decode"}, "a.vas", {1, 0, 1, 0, 1, 2, 32}, "pixel 0 has alpha 32; a .vas alpha is 0 to 31"},
        {"tintpour", {"--decode"}, "a.vas", {0, 0, 5, 0}, "the sprite is 0 x 5 pixels, and a PNG file cannot be empty"},
        {"hueslab", {"--decode"}, "a.vhs", Bytes(5 + 1 + 2 + 8 + 1, 0),
         "the file is 17 bytes; a .vhs file of 0 x 0 cells has 7"},
        {"hueslab", {"--decode"}, "a.vhs", {1, 1, 0, 0, 0, 0, 0, 0, 1, 2, 3, 4, 5, 6, 7},
         "the file is 15 bytes; a .vhs file of 1 x 1 cells has 16"},
    };
    for (const Case& c : cases) {
        ScratchDir dir;
        WriteBytes(dir / c.name, c.file);
        std::vector<std::string> args = c.args;
        args.push_back(c.name);
        ProgramResult r = Convert(c.program, args, dir.path);
        std::string head = "1" + std::string(c.program) + ": " + c.name + ": ", all = std::to_string(r.status) + r.out + r.err;
        if (c.reason)
            EXPECT_EQ(all, head + c.reason + "\n");
        else
            EXPECT_TRUE(all.starts_with(head) && all.find('\n') == all.size() - 1) << all;
        EXPECT_EQ(FolderNames(dir.path), std::vector<std::string>{c.name});
    }
}

TEST(ConverterRunsDeathTest, RefuseToReplaceAnOutputTheUserMayNotWrite)
{
    ScratchDir dir;
    ASSERT_EQ(::chmod(dir.path.c_str(), 0777), 0);  // the folder would let the rename through
    WriteBytes(dir / "a.sgi", VerbatimSgi(1, 1, {{1, 2, 3, 4}}));
    WriteBytes(dir / "a.vas", {7});
    ASSERT_EQ(::chmod((dir / "a.vas").c_str(), 0444), 0);
    // Root may write anything: become nobody to meet a real refusal.
    EXPECT_EXIT((::geteuid() != 0 || (::setgid(65534) == 0 && ::setuid(65534) == 0)) &&
                    ::execl(BuiltProgram("tintpour").c_str(), "tintpour", (dir / "a.sgi").c_str(), nullptr),
                testing::ExitedWithCode(EACCES), "tintpour: .*/a.vas: cannot create: Permission denied");
    EXPECT_EQ(ReadBytes(dir / "a.vas"), Bytes{7});
    EXPECT_EQ(FolderNames(dir.path), (std::vector<std::string>{"a.sgi", "a.vas"}));
    if (::geteuid() == 0) {  // while root replaces it, as a truncating create would
        EXPECT_EQ(Convert("tintpour", {"a.sgi"}, dir.path).status, 0);
        EXPECT_EQ(ReadBytes(dir / "a.vas").size(), 7u);
    }
}

// Read in bands (verbatim) or whole (RLE): either way a file shortened after it was opened is
// a short read, not a bus error, and leaves no output.
TEST(ConverterRuns, StopWithError100WhenTheInputIsShortenedWhileItIsRead)
{
    static const Converter sprite = {"tintpour", "", ".vas", "", AlphaSprite, [](uint32_t w, uint32_t h, PictureLayout& l) {
                                         l.rows = h, l.rowBytes = 3 * size_t(w);
                                         return Result();
                                     }, nullptr};
    ScratchDir dir;
    std::vector<Bytes> rows(4 * 300, Bytes{0x7F, 9, 0x7F, 9, 0x7F, 9, 0x03, 9, 0});
    for (const Bytes& image : {VerbatimSgi(300, 300, Pixels(300, 300)), RleSgi(384, 300, rows)}) {
        WriteBytes(dir / "a.sgi", image);
        WriteBytes(dir / "a.vas", {7});
        InputFile file;
        ASSERT_TRUE(OpenInputFile(dir / "a.sgi", file).ok());
        ASSERT_EQ(::truncate((dir / "a.sgi").c_str(), off_t(image.size() - 100)), 0);
        std::string failedFile;
        Result result = ConvertOpenInput(sprite, file, dir / "a.sgi", dir / "a.vas", failedFile);
        EXPECT_EQ(std::to_string(result.code) + result.reason + failedFile, "100file ended early" + dir / "a.sgi");
        EXPECT_EQ(ReadBytes(dir / "a.vas"), Bytes{7});
        EXPECT_EQ(FolderNames(dir.path).size(), 2u);
    }
}

// An RLE image is read from the disk a band of rows at a time, from the stretches its tables
// point at; whatever those tables hold, the output is that of the whole file in memory. A row
// found short or bad in a later band starts over in the file's order: the short one keeps the
// tail of the row before it in the file, of two bad ones the first in the file is reported, and
// before an output that cannot be made.
TEST(ConverterRuns, ReadRleImagesFromTheDiskAsTheyDecodeWhole)
{
    const uint16_t w = 300, h = 700;  // three bands of tintpour's, the top one first
    std::vector<Bytes> rows;
    for (int i = 0; i < 4 * h; i++)
        rows.push_back({0x7F, uint8_t(i), 0x7F, uint8_t(i * 7), 0x2E, uint8_t(i * 13), 0});
    Bytes good = RleSgi(w, h, rows), noLengths = good;
    std::fill(noLengths.begin() + 512 + 16 * h, noLengths.begin() + 512 + 32 * h, 0);
    std::vector<Bytes> shortRows = rows, badRows = rows;
    shortRows[h] = {0x05, 9, 0};  // the green plane's bottom row, in the last band
    badRows[4 * h - 1] = {0x7F, 1, 0x7F, 2, 0x2F, 3, 0};  // the alpha plane's top row, in the first band
    badRows[0] = {0x7F, 1, 0x7F, 2, 0x2F, 3, 0};          // the red plane's bottom row, in the last band
    ScratchDir dir;
    for (const Bytes& image : {good, noLengths, RleSgi(w, h, shortRows), RleSgi(w, h, badRows)}) {
        WriteBytes(dir / "a.sgi", image);
        ::unlink((dir / "a.vas").c_str());
        ProgramResult r = Convert("tintpour", {"a.sgi"}, dir.path);
        Decoded whole = Read(image);
        if (!whole.result.ok()) {
            std::string refusal = "1tintpour: a.sgi: RLE row 0 of the red channel decodes to more than 300 bytes\n";
            EXPECT_EQ(std::to_string(r.status) + r.err, refusal);
            EXPECT_FALSE(PathExists(dir / "a.vas"));
            ASSERT_EQ(::mkdir((dir / "a.vas").c_str(), 0777), 0);
            r = Convert("tintpour", {"a.sgi"}, dir.path);
            EXPECT_EQ(std::to_string(r.status) + r.err, refusal);
            continue;
        }
        whole.pixels.insert(whole.pixels.begin(), {uint8_t(w), uint8_t(w >> 8), uint8_t(h), uint8_t(h >> 8)});
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_TRUE(ReadBytes(dir / "a.vas") == whole.pixels);
    }
}
