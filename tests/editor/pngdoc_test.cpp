// koba from the command line: sprite documents to and from PNG (--export, --import), and the
// documents the editor refuses before its window opens.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <memory>
#include <regex>
#include <sstream>

#include "editor/pngdoc.h"
#include "resources/pak.h"
#include "tests/support/testutil.h"
#include "util/png.h"

using Bytes = std::vector<uint8_t>;
using Palette = std::array<uint8_t, PaletteSize>;

namespace {

// The document file an import makes of a PNG file image.
Bytes Imported(const Bytes& png, const Palette& palette, PngImportNotes* notes = nullptr)
{
    auto document = std::make_unique<SpriteDocument>();
    PngImportNotes found;
    Result result = DecodeDocumentPng(png.data(), png.size(), palette.data(), *document, notes ? *notes : found);
    EXPECT_TRUE(result.ok()) << result.reason;
    return EncodeDocument(*document);
}

// A PNG file image of the pixels, with tRNS alphas and a grAb origin {x, y} when given (indexed
// pictures get an all-black palette).
Bytes Png(uint32_t width, uint32_t height, PngColour colour, const Bytes& pixels, const Bytes& alpha = {},
          const std::vector<int32_t>& grab = {})
{
    const std::vector<int32_t> origin = grab.empty() ? std::vector<int32_t>{0, 0} : grab;
    const Bytes palette(colour == PngColour::Indexed ? size_t(PaletteSize) : 0, 0);
    const PngImageOut image = {width, height,        colour,    pixels.data(), palette,
                               alpha, !grab.empty(), origin[0], origin[1]};
    Bytes file;
    EXPECT_TRUE(EncodePng(image, file).ok());
    return file;
}

std::vector<std::string> Words(const std::string& text)
{
    std::istringstream in(text);
    std::vector<std::string> words;
    for (std::string word; in >> word;)
        words.push_back(word);
    return words;
}

}  // namespace

// All indices but one share a colour (in the editor's palette some pairs do, with different
// materials): only an import by index gets the cells back. The file's palette is widened to 8 bits.
TEST(PngDocument, RoundTripsEveryIndexOriginAndKeyColour)
{
    Palette palette{};
    Bytes widened(PaletteSize, 0), sprite = {255, 255, 200, 7, 141}, png;
    std::copy_n(Bytes{63, 32, 1}.begin(), 3, &palette[15]);
    std::copy_n(Bytes{255, 130, 4}.begin(), 3, &widened[15]);
    for (uint32_t i = 0; i < 255 * 255; i++)
        sprite.push_back(uint8_t(i * 7 + i / 5));
    auto document = std::make_unique<SpriteDocument>();
    PngPicture file;
    ASSERT_TRUE(DecodeDocument(sprite.data(), sprite.size(), *document).ok());
    ASSERT_TRUE(EncodeDocumentPng(*document, palette.data(), png).ok());
    EXPECT_EQ(Imported(png, palette), sprite);
    ASSERT_TRUE(DecodePng(png.data(), png.size(), PngIndices::Keep, file).ok());
    EXPECT_EQ(file.palette, widened);
}

// Palette (6-bit): 1 red, 2 and 3 green, 4 dark grey (20 once widened), 5 red 73 and 6 red 65
// once widened, the rest white; 0, the key colour, black.
TEST(PngDocument, ImportsByIndexOrNearestColourNeverTheKeyColourWithTheOriginClamped)
{
    Palette palette;
    palette.fill(63);
    const Bytes entries = {0, 0, 0, 63, 0, 0, 0, 63, 0, 0, 63, 0, 5, 5, 5, 18, 0, 0, 16, 0, 0};
    std::copy(entries.begin(), entries.end(), palette.begin());
    const struct {
        PngColour colour;
        Bytes pixels, alpha;  // alpha: the tRNS entries
        std::vector<int32_t> grab;
        Bytes document;  // its size is the picture's
        uint32_t approximated;
        bool clamped;
    } cases[] = {
        // Exact; the lower of two equal entries; nearest; black, but not the key colour; a tie; alpha
        // below 128 and 0; exact. No grAb.
        {PngColour::Rgba, {255, 0, 0, 255, 0, 255, 0, 128, 250, 9, 0, 255, 0, 0, 0, 255, 69, 0, 0, 200, 0, 255, 0, 127,
                           255, 255, 255, 0, 20, 20, 20, 255},
         {}, {}, {8, 1, 0, 0, 0, 1, 2, 1, 4, 5, 0, 0, 4}, 3, false},
        // Without alpha every pixel is opaque.
        {PngColour::Rgb, {0, 0, 0, 255, 0, 0}, {}, {1, 0}, {2, 1, 1, 0, 0, 4, 1}, 1, false},
        // The key colour is the first fully transparent entry.
        {PngColour::Indexed, {3}, {255, 128, 0, 0}, {}, {1, 1, 0, 0, 2, 3}, 0, false},
        {PngColour::Indexed, Bytes(6, 1), {}, {2147483647, -1}, {3, 2, 2, 0, 0, 1, 1, 1, 1, 1, 1}, 0, true},
        {PngColour::Indexed, Bytes(6, 1), {}, {-70000, 2}, {3, 2, 0, 1, 0, 1, 1, 1, 1, 1, 1}, 0, true},
    };
    for (const auto& c : cases) {
        PngImportNotes notes;
        Bytes png = Png(c.document[0], c.document[1], c.colour, c.pixels, c.alpha, c.grab);
        EXPECT_EQ(Imported(png, palette, &notes), c.document);
        EXPECT_EQ(std::pair(notes.approximated, notes.clamped), std::pair(c.approximated, c.clamped));
    }
}

// Nothing printed on success, a line for what the import had to change; refusals, a pack the
// editor would not start with, a full disk: each leaves the output as it was.
TEST(KobaProgram, RunsQuietlySaysWhatTheImportChangedOrLeavesTheOutputAsItWas)
{
    ScratchDir dir;
    std::filesystem::copy_file(BuiltProgram("koba"), dir / "koba");  // with a pack of our choice
    const Bytes editorPack = ReadBytes(std::string(GRAVLIN_BUILD_DIR) + "/editor/KOBA.VPK");
    // "status:" and what koba printed (standard error first), the folder written "." and the
    // address of a run-time error left out.
    auto koba = [&](const std::string& args, long sizeLimit = 0) {
        ProgramResult r = RunProgram(Words(dir / "koba " + args), dir.path, sizeLimit);
        std::string printed = std::regex_replace(r.err + r.out, std::regex(" at 0x[0-9A-F]{8}"), "");
        return std::to_string(r.status) + ":" + std::regex_replace(printed, std::regex(dir.path), ".");
    };
    WriteBytes(dir / "KOBA.VPK", editorPack);
    const Bytes sprite = {3, 2, 2, 1, 9, 12, 95, 12, 95, 9, 9};  // 12 and 95: the same colour
    WriteBytes(dir / "a.vsf", sprite);
    EXPECT_EQ(koba("--export a.vsf a.png"), "0:");
    EXPECT_EQ(koba("--import a.png b.vsf"), "0:");
    EXPECT_EQ(ReadBytes(dir / "b.vsf"), sprite);
    // Over a file with bytes after its cells (a hi-colour sprite's picture), the whole file is kept.
    const Bytes withPicture = {1, 1, 0, 0, 0, 7, 0xAB, 0xCD};
    WriteBytes(dir / "b.vhs", withPicture);
    EXPECT_EQ(koba("--import a.png b.vhs"),
              "0:koba: b.vhs: the original file, with its bytes after the cells, is kept as b.vhs.orig\n");
    EXPECT_EQ(ReadBytes(dir / "b.vhs"), sprite);
    EXPECT_EQ(ReadBytes(dir / "b.vhs.orig"), withPicture);
    WriteBytes(dir / "rgba.png", Png(2, 1, PngColour::Rgba, {1, 2, 3, 255, 0, 0, 0, 0}, {}, {5, 0}));
    EXPECT_EQ(koba("--import rgba.png c.vsf"),
              "0:koba: rgba.png: 1 of 2 pixels took the nearest palette colour\n"
              "koba: rgba.png: the grAb origin (5, 0) lies outside the 2x1 picture; it became (1, 0)\n");
    const std::string usage = "koba --export SPRITE OUT.png\n       koba --import IN.png SPRITE\n";
    EXPECT_NE(koba("--help").find(usage), std::string::npos);
    EXPECT_EQ(koba("--import a.png"), "2:Usage: koba --import IN.png SPRITE\n");

    const Bytes good = Png(2, 2, PngColour::Rgb, Bytes(12, 0));
    Bytes noPalette, sgi = {1, 0xDA, 0, 2};  // an SGI header: 16-bit, verbatim
    sgi.resize(512);
    ASSERT_TRUE(BuildPakImage({{"A.VSF", sprite}}, noPalette).ok());
    WriteBytes(dir / "short.vsf", {4, 4, 0, 0, 0, 1});
    const std::string image = " image, not a sprite document (koba --import makes one from it)\n";
    auto tooLarge = [](const std::string& size) {
        return "1:koba: in: the picture is " + size + " pixels; a sprite is 1 to 255 in each dimension\n";
    };
    const struct {
        std::string args;
        Bytes input;  // the file "in"
        std::string printed;
        long sizeLimit = 0;
        bool noPalette = false;
    } cases[] = {
        {"a.png", {}, "1:koba: a.png: a PNG" + image},
        {"in", sgi, "1:koba: in: an SGI" + image},
        {"short.vsf", {}, "100:koba: short.vsf: file ended early, before the last cell\nRuntime error 100\n"},
        {"typo/a.vsf", {}, "2:koba: typo/a.vsf: cannot create: the folder typo/ does not exist\nRuntime error 2\n"},
        {"--import in old", Bytes(good.begin(), good.end() - 20), "1:koba: in: the file is cut short\n"},
        {"--import in old", Png(256, 1, PngColour::Rgb, Bytes(768, 0)), tooLarge("256x1")},
        {"--import in old", Png(1, 256, PngColour::Indexed, Bytes(256, 0)), tooLarge("1x256")},
        // An image in the sprite's place (the arguments swapped, say) is never replaced.
        {"--import in a.png", good, "1:koba: a.png: a PNG image, not a sprite document: not replaced\n"},
        {"--export missing.vsf old", {}, "2:koba: missing.vsf: cannot open: No such file or directory\nRuntime error 2\n"},
        {"--export old ./old", {}, "1:koba: ./old: is the sprite itself: not replaced\n"},
        {"--export short.vsf old", {}, "100:koba: short.vsf: file ended early, before the last cell\nRuntime error 100\n"},
        {"--export a.vsf old", {}, "101:koba: old: short write: File too large\nRuntime error 101\n", 500},
        {"--import in old", good, "1:koba: ./KOBA.VPK: it holds no palette (a .VPL subfile)\nCan't open PAK file: \"./KOBA.VPK\"!\n",
         0, true},
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
