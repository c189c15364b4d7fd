// The sprite document file, to and from PNG (koba --export, --import); what koba refuses to open;
// where the editor finds its resource pack.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <iterator>
#include <regex>

#include "editor/document.h"
#include "editor/packpath.h"
#include "editor/pngdoc.h"
#include "resources/pak.h"
#include "tests/support/testutil.h"
#include "util/png.h"

using Bytes = std::vector<uint8_t>;
using Palette = std::array<uint8_t, PaletteSize>;
using enum PngColour;

namespace {

Bytes Imported(const Bytes& png, const Palette& palette)
{
    auto document = std::make_unique<SpriteDocument>();
    PngImportNotes notes;
    Result result = DecodeDocumentPng(png.data(), png.size(), palette.data(), *document, notes);
    EXPECT_TRUE(result.ok()) << result.reason;
    return EncodeDocument(*document);
}

// A PNG file image; indexed pictures get an all-black palette.
Bytes Png(uint32_t width, uint32_t height, PngColour colour, const Bytes& pixels, const Bytes& alpha = {},
          const std::vector<int32_t>& grab = {})
{
    const Bytes palette(colour == PngColour::Indexed ? size_t(PaletteSize) : 0, 0);
    const PngImageOut image = {width, height, colour, pixels.data(), palette, alpha, !grab.empty(),
                               grab.empty() ? 0 : grab[0], grab.empty() ? 0 : grab[1]};
    Bytes file;
    EXPECT_TRUE(EncodePng(image, file).ok());
    return file;
}

std::vector<std::string> Words(const std::string& text)
{
    std::istringstream in(text);
    return {std::istream_iterator<std::string>(in), std::istream_iterator<std::string>()};
}

}  // namespace

// ImageMagick's 4-bit PNG with tRNS, interlaced or not: the same cells, each the pixel libpng expands.
TEST(PngDocument, ImportsTheIndicesAnotherProgramStored)
{
    ScratchDir dir;
    const std::string art = "-size 12x3 gradient:red-blue -alpha set -region 1x1+2+1 -alpha transparent "
                            "+region -define png:bit-depth=4 PNG8:";
    if (!RunImageMagick(Words(art + dir / "a.png")) ||
        !RunImageMagick(Words("-interlace PNG " + art + dir / "b.png")))
        GTEST_SKIP() << "ImageMagick is not installed";
    Bytes png = ReadBytes(dir / "b.png"), document = Imported(png, Palette{}), expanded;
    PngPicture kept, rgba;
    ASSERT_TRUE(DecodePng(png.data(), png.size(), PngIndices::Keep, kept).ok());
    ASSERT_TRUE(DecodePng(png.data(), png.size(), PngIndices::Expand, rgba).ok());
    ASSERT_EQ((Bytes{png[24], png[28], !kept.paletteAlpha.empty()}), (Bytes{4, 1, 1}))
        << "ImageMagick wrote another kind of file (depth, interlace, tRNS)";
    EXPECT_EQ(Imported(ReadBytes(dir / "a.png"), Palette{}), document);
    for (size_t i = 5; i < document.size(); i++) {
        expanded.insert(expanded.end(), &kept.palette[3 * document[i]], &kept.palette[3 * document[i] + 3]);
        expanded.push_back(document[i] < kept.paletteAlpha.size() ? kept.paletteAlpha[document[i]] : 255);
    }
    EXPECT_EQ(expanded, rgba.pixels);
}

// Palette (6-bit): 1 red, 2 and 3 green, 4 dark grey (20 once widened), 5 red 73 and 6 red 65
// once widened, the rest white; 0, the key colour, black.
TEST(PngDocument, ImportsByIndexOrNearestColourNeverTheKeyColourWithTheOriginClamped)
{
    Palette palette;
    palette.fill(63);
    const Bytes entries = {0, 0, 0, 63, 0, 0, 0, 63, 0, 0, 63, 0, 5, 5, 5, 18, 0, 0, 16, 0, 0};
    std::copy(entries.begin(), entries.end(), palette.begin());
    // The picture's colour type, pixels, tRNS entries and grAb origin; the document, of its size.
    const std::tuple<PngColour, Bytes, Bytes, std::vector<int32_t>, Bytes> cases[] = {
        // Exact; lower of two equal entries; nearest; black, not the key; a tie; alpha < 128, 0; exact.
        {Rgba, {255, 0, 0, 255, 0, 255, 0, 128, 250, 9, 0, 255, 0, 0, 0, 255, 69, 0, 0, 200, 0, 255, 0, 127,
                255, 255, 255, 0, 20, 20, 20, 255}, {}, {}, {8, 1, 0, 0, 0, 1, 2, 1, 4, 5, 0, 0, 4}},
        {Rgb, {0, 0, 0, 255, 0, 0}, {}, {1, 0}, {2, 1, 1, 0, 0, 4, 1}},
        // The key colour is the first fully transparent entry.
        {Indexed, {3}, {255, 128, 0, 0}, {}, {1, 1, 0, 0, 2, 3}},
        {Indexed, Bytes(6, 1), {}, {2147483647, -1}, {3, 2, 2, 0, 0, 1, 1, 1, 1, 1, 1}},
        {Indexed, Bytes(6, 1), {}, {-70000, 2}, {3, 2, 0, 1, 0, 1, 1, 1, 1, 1, 1}},
    };
    for (const auto& [colour, pixels, alpha, grab, document] : cases)
        EXPECT_EQ(Imported(Png(document[0], document[1], colour, pixels, alpha, grab), palette), document);
}

// Nothing printed on success, a line for what the import had to change; refusals, a pack the
// editor would not start with, a full disk: each leaves the output as it was.
TEST(KobaProgram, RunsQuietlySaysWhatTheImportChangedOrLeavesTheOutputAsItWas)
{
    ScratchDir dir;
    std::filesystem::copy_file(BuiltProgram("koba"), dir / "koba");  // with a pack of our choice
    const Bytes editorPack = ReadBytes(std::string(GRAVLIN_BUILD_DIR) + "/editor/KOBA.VPK");
    // "status:" and the lines printed (standard error first) but the stop line, the folder as ".".
    auto koba = [&](const std::string& args, long sizeLimit = 0) {
        ProgramResult r = RunProgram(Words(dir / "koba " + args), dir.path, sizeLimit);
        std::string text = std::regex_replace(r.err + r.out, std::regex("Runtime error \\d+ at \\w+\n"), "");
        return std::to_string(r.status) + ":" + std::regex_replace(text, std::regex(dir.path), ".");
    };
    WriteBytes(dir / "KOBA.VPK", editorPack);
    // Every index comes back, 12 and 95 too (both 16 10 5 in 6 bits): the import goes by index.
    Bytes sprite = {255, 2, 200, 1, 141}, exported;
    for (int i = 0; i < 510; i++)
        sprite.push_back(uint8_t(i * 7));
    WriteBytes(dir / "a.vsf", sprite);
    EXPECT_EQ(koba("--export a.vsf a.png"), "0:");
    PngPicture png;
    exported = ReadBytes(dir / "a.png");
    ASSERT_TRUE(DecodePng(exported.data(), exported.size(), PngIndices::Keep, png).ok());
    EXPECT_EQ(Bytes(&png.palette[36], &png.palette[39]), (Bytes{65, 40, 20}));  // widened to 8 bits
    // Over a file with bytes after its cells (a hi-colour sprite's picture) the whole file is kept.
    const Bytes withPicture = {1, 1, 0, 0, 0, 7, 0xAB, 0xCD};
    WriteBytes(dir / "b.vhs", withPicture);
    EXPECT_EQ(koba("--import a.png b.vhs"),
              "0:koba: b.vhs: the original file, with its bytes after the cells, is kept as b.vhs.orig\n");
    EXPECT_EQ(ReadBytes(dir / "b.vhs"), sprite);
    EXPECT_EQ(ReadBytes(dir / "b.vhs.orig"), withPicture);
    // Not counted: the transparent pixel, the exact colour of index 12.
    WriteBytes(dir / "rgba.png", Png(3, 1, Rgba, {1, 2, 3, 255, 0, 0, 0, 0, 65, 40, 20, 255}, {}, {5, 0}));
    EXPECT_EQ(koba("--import rgba.png c.vsf"),
              "0:koba: rgba.png: 1 of 3 pixels took the nearest palette colour\n"
              "koba: rgba.png: the grAb origin (5, 0) lies outside the 3x1 picture; it became (2, 0)\n");
    EXPECT_NE(koba("--help").find("--export SPRITE OUT.png\n       koba --import IN"), std::string::npos);
    EXPECT_EQ(koba("--import a.png"), "2:Usage: koba --import IN.png SPRITE\n");

    const Bytes good = Png(2, 2, Rgb, Bytes(12, 0));
    Bytes noPalette, sgi = {1, 0xDA, 0, 2}, rle = {1, 0xDA, 1, 1};  // SGI headers: 16-bit verbatim, 8-bit RLE
    sgi.resize(512), rle.resize(600);
    ASSERT_TRUE(BuildPakImage({{"A.VSF", sprite}}, noPalette).ok());
    WriteBytes(dir / "short.vsf", {4, 4, 0, 0, 0, 1});
    const std::string image = " image, not a sprite document (koba --import makes one from it)\n";
    const std::string large = " pixels; a sprite is 1 to 255 in each dimension\n";
    const struct {
        std::string args;
        Bytes input;  // the file "in"
        std::string printed;
        long sizeLimit = 0;
        bool noPalette = false;
    } cases[] = {
        {"a.png", {}, "1:koba: a.png: a PNG" + image},
        {"in", sgi, "1:koba: in: an SGI" + image},
        {"in", rle, "1:koba: in: an SGI" + image},
        {"typo/a.vsf", {}, "2:koba: typo/a.vsf: cannot create: the folder typo/ does not exist\n"},
        {"--import in old", Bytes(good.begin(), good.end() - 20), "1:koba: in: the file is cut short\n"},
        {"--import in old", Png(256, 1, Rgb, Bytes(768, 0)), "1:koba: in: the picture is 256x1" + large},
        {"--import in old", Png(1, 256, Indexed, Bytes(256, 0)), "1:koba: in: the picture is 1x256" + large},
        // An image in the sprite's place (the arguments swapped, say) is never replaced.
        {"--import in a.png", good, "1:koba: a.png: a PNG image, not a sprite document: not replaced\n"},
        {"--export missing.vsf old", {}, "2:koba: missing.vsf: cannot open: No such file or directory\n"},
        {"--import missing.png old", {}, "2:koba: missing.png: cannot open: No such file or directory\n"},
        {"--export old ./old", {}, "1:koba: ./old: is the sprite itself: not replaced\n"},
        {"--export short.vsf old", {}, "100:koba: short.vsf: file ended early, before the last cell\n"},
        {"--export a.vsf old", {}, "101:koba: old: short write: File too large\n", 500},
        {"--import in old", good, "1:koba: ./KOBA.VPK: it holds no palette (a .VPL subfile)\n"
                                  "Can't open PAK file: \"./KOBA.VPK\"!\n", 0, true},
    };
    for (const auto& c : cases) {
        WriteBytes(dir / "old", {1, 1, 0, 0, 0, 7});
        WriteBytes(dir / "in", c.input);
        WriteBytes(dir / "KOBA.VPK", c.noPalette ? noPalette : editorPack);
        const std::string output = dir / Words(c.args).back();
        const Bytes before = ReadBytes(output);
        const std::vector<std::string> names = FolderNames(dir.path);
        EXPECT_EQ(koba(c.args, c.sizeLimit), c.printed);
        EXPECT_EQ(ReadBytes(output), before) << c.args;
        EXPECT_EQ(FolderNames(dir.path), names);
    }
}

TEST(DocumentTest, ReadsTheCellsItsHeaderAsksForRowByRowAndRefusesAShortFileWithoutChangingAnything)
{
    SpriteDocument document;
    ResetDocument(document);
    const std::vector<uint8_t> fresh = EncodeDocument(document);
    const std::pair<std::vector<uint8_t>, bool> cases[] = {
        {{2, 2, 0, 0, 0, 1, 2, 3}, false}, {{1, 1, 0, 0}, false}, {{2, 2, 200, 9, 7, 1, 2, 3, 4}, true}};
    for (const auto& [file, read] : cases) {
        SCOPED_TRACE(testing::PrintToString(file));
        ResetDocument(document);
        EXPECT_EQ(DecodeDocument(file.data(), file.size(), document).ok(), read);
        EXPECT_EQ(EncodeDocument(document), read ? file : fresh);  // what the next save writes
    }
    // Origins unsigned, the cells beyond the sprite untouched.
    EXPECT_TRUE(document.originX == 200 && document.cells[1][0] == 3 && document.cells[2][0] == 0);
}

// A save goes through a link whose target does not exist yet, found from the link's folder: the
// target gets the sprite and the link stays a link. The recovery file's name adds to the
// document's: the longest name still gets one.
TEST(DocumentTest, SavesGoThroughLinksAndTheLongestNameStillGetsARecoveryFile)
{
    ScratchDir dir;
    const std::vector<uint8_t> bytes = {2, 1, 1, 0, 9, 4, 5};
    SpriteDocument document;
    ASSERT_TRUE(DecodeDocument(bytes.data(), bytes.size(), document).ok());
    std::filesystem::create_directory(dir / "real");
    std::filesystem::create_symlink("real/new.vsf", dir / "link.vsf");
    ASSERT_TRUE(WriteDocument(dir / "link.vsf", document).ok());
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "link.vsf"));
    EXPECT_EQ(ReadBytes(dir / "real/new.vsf"), bytes);
    std::string recovery = WriteRecoveryFile(dir / std::string(255, 'w'), document);
    ASSERT_FALSE(recovery.empty());
    EXPECT_EQ(ReadBytes(recovery), bytes);
}

TEST(ResourcePackPath, IsTheUpperCaseNameBesideTheProgramThenInTheInstalledLayout)
{
    ScratchDir dir;
    std::filesystem::create_directories(dir / "bin");
    EXPECT_EQ(ResourcePackPathFor(dir / "bin/koba"), dir / "bin/KOBA.VPK");  // neither exists: the first
    std::filesystem::create_directories(dir / "share/koba");
    WriteBytes(dir / "share/koba/KOBA.VPK", {0});
    EXPECT_EQ(ResourcePackPathFor(dir / "bin/koba"), dir / "bin/../share/koba/KOBA.VPK");
    WriteBytes(dir / "bin/KOBA.VPK", {0});
    EXPECT_EQ(ResourcePackPathFor(dir / "bin/koba.exe"), dir / "bin/KOBA.VPK");
    EXPECT_EQ(ResourcePackPathFor(dir / "my.koba.exe"), dir / "MY.KOBA.VPK");  // the last extension only
}
