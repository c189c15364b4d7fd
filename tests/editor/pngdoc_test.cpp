// Sprite documents to and from PNG: koba --export and koba --import.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <memory>
#include <random>

#include "editor/pngdoc.h"
#include "resources/pak.h"
#include "tests/support/testutil.h"
#include "util/png.h"

using Bytes = std::vector<uint8_t>;

namespace {

const std::string EditorPack = std::string(GRAVLIN_BUILD_DIR) + "/editor/KOBA.VPK";

struct Palette {
    uint8_t bytes[PaletteSize] = {};
};

Palette EditorPalette()
{
    Palette palette;
    LoadPackPalette(EditorPack, palette.bytes);
    return palette;
}

Bytes Exported(const Bytes& sprite, const Palette& palette)
{
    auto document = std::make_unique<SpriteDocument>();
    EXPECT_TRUE(DecodeDocument(sprite.data(), sprite.size(), *document).ok());
    Bytes file;
    EXPECT_TRUE(EncodeDocumentPng(*document, palette.bytes, file).ok());
    return file;
}

// The document file an import makes of a PNG file image, and what it had to change.
Bytes Imported(const Bytes& png, const Palette& palette, PngImportNotes* notes = nullptr)
{
    auto document = std::make_unique<SpriteDocument>();
    PngImportNotes found;
    Result result = DecodeDocumentPng(png.data(), png.size(), palette.bytes, *document, found);
    EXPECT_TRUE(result.ok()) << result.reason;
    if (notes)
        *notes = found;
    return EncodeDocument(*document);
}

Bytes EncodedPng(const PngImageOut& image)
{
    Bytes file;
    EXPECT_TRUE(EncodePng(image, file).ok());
    return file;
}

PngImageOut Picture(uint32_t width, uint32_t height, PngColour colour, const Bytes& pixels)
{
    PngImageOut image;
    image.width = width;
    image.height = height;
    image.colour = colour;
    image.pixels = pixels.data();
    if (colour == PngColour::Indexed)
        image.palette.assign(3 * 256, 0);
    return image;
}

}  // namespace

// The editor's palette gives some colours to two indices (with different materials): only an
// import by index gets those cells back.
TEST(PngDocument, RoundTripsEveryIndexSizeOriginAndKeyColour)
{
    Palette palette = EditorPalette();
    std::map<std::vector<uint8_t>, int> colours;
    for (int i = 0; i < 256; i++)
        colours[Bytes(palette.bytes + 3 * i, palette.bytes + 3 * i + 3)]++;
    ASSERT_LT(colours.size(), 256u) << "the palette has no repeated colour to prove anything with";

    std::mt19937 random(12);
    const uint32_t sizes[][2] = {{1, 1}, {7, 3}, {63, 43}, {255, 255}};
    for (const auto& size : sizes) {
        uint32_t width = size[0], height = size[1];
        Bytes sprite = {uint8_t(width), uint8_t(height), uint8_t(random() % width), uint8_t(random() % height),
                        uint8_t(random())};
        for (uint32_t i = 0; i < width * height; i++)
            sprite.push_back(uint8_t(i + random() % 2));  // every index at 255x255
        EXPECT_EQ(Imported(Exported(sprite, palette), palette), sprite) << width;
    }
}

TEST(PngDocument, ExportsTheWidenedPaletteTheKeyAsItsOnlyTransparentEntryAndTheOrigin)
{
    Palette palette;
    palette.bytes[15] = 63;
    palette.bytes[16] = 32;
    palette.bytes[17] = 1;
    Bytes file = Exported({2, 1, 1, 0, 3, 5, 0}, palette);
    PngPicture picture;
    ASSERT_TRUE(DecodePng(file.data(), file.size(), PngIndices::Keep, picture).ok());
    EXPECT_EQ(picture.palette.size(), 768u);
    EXPECT_EQ(Bytes(&picture.palette[15], &picture.palette[18]), (Bytes{255, 130, 4}));
    EXPECT_EQ(picture.paletteAlpha, (Bytes{255, 255, 255, 0}));
    EXPECT_EQ(picture.pixels, (Bytes{5, 0}));
    EXPECT_TRUE(picture.hasGrab);
    EXPECT_EQ(std::vector<int32_t>({picture.grabX, picture.grabY}), std::vector<int32_t>({1, 0}));
}

// Indexed PNGs written by ImageMagick at 1, 4 and 8 bits, interlaced or not, with and without tRNS.
TEST(PngDocument, ImportsTheIndicesAnotherProgramStored)
{
    ScratchDir dir;
    struct Drawing {
        int depth;
        std::vector<std::string> args;
    } drawings[] = {
        {1, {"-size", "5x3", "xc:red", "-fill", "blue", "-draw", "point 1,1", "-define", "png:exclude-chunks=bKGD",
             "-define", "png:color-type=3", "-define", "png:bit-depth=1"}},
        {4, {"-size", "12x3", "gradient:red-blue", "-interlace", "PNG", "-define", "png:color-type=3", "-define",
             "png:bit-depth=4"}},
        {8, {"-size", "40x2", "gradient:red-blue", "-define", "png:color-type=3", "-define", "png:bit-depth=8"}},
        {8, {"-size", "6x40", "gradient:red-blue", "-alpha", "set", "-fill", "#ffffff00", "-draw", "color 2,1 point",
             "PNG8:"}},
    };
    Palette palette = EditorPalette();
    for (Drawing& drawing : drawings) {
        std::vector<std::string>& args = drawing.args;
        std::string prefix = args.back().back() == ':' ? args.back() : "";
        if (!prefix.empty())
            args.pop_back();
        args.push_back(prefix + (dir / "art.png"));
        if (!RunImageMagick(args))
            GTEST_SKIP() << "ImageMagick is not installed";
        Bytes png = ReadBytes(dir / "art.png");
        EXPECT_EQ(png[24], drawing.depth) << "ImageMagick chose another bit depth";
        PngPicture stored, rgba;
        ASSERT_TRUE(DecodePng(png.data(), png.size(), PngIndices::Keep, stored).ok());
        ASSERT_TRUE(DecodePng(png.data(), png.size(), PngIndices::Expand, rgba).ok());
        EXPECT_EQ(stored.paletteAlpha.empty(), prefix.empty());
        auto transparent = std::find(stored.paletteAlpha.begin(), stored.paletteAlpha.end(), 0);
        uint8_t key = transparent == stored.paletteAlpha.end() ? 0 : uint8_t(transparent - stored.paletteAlpha.begin());
        Bytes document = Imported(png, palette);
        EXPECT_EQ(Bytes(document.begin(), document.begin() + 5),
                  (Bytes{uint8_t(stored.width), uint8_t(stored.height), 0, 0, key}));
        // Each cell through the file's palette gives the pixel that libpng's own expansion gives.
        Bytes expanded;
        for (size_t i = 5; i < document.size(); i++) {
            size_t k = document[i];
            expanded.insert(expanded.end(), &stored.palette[3 * k], &stored.palette[3 * k + 3]);
            expanded.push_back(k < stored.paletteAlpha.size() ? stored.paletteAlpha[k] : 255);
        }
        EXPECT_EQ(expanded, rgba.pixels) << args[1];
    }
    // The key colour is the first fully transparent entry.
    Bytes cell = {3};
    PngImageOut image = Picture(1, 1, PngColour::Indexed, cell);
    image.paletteAlpha = {255, 128, 0, 0};
    EXPECT_EQ(Imported(EncodedPng(image), palette), (Bytes{1, 1, 0, 0, 2, 3}));
}

// Palette (6-bit): 1 red, 2 and 3 green, 4 dark grey (20 once widened), 5 red 73 and 6 red 65
// once widened, 7 up white; 0, the key colour, black.
TEST(PngDocument, ImportsOtherPicturesByTheNearestColourButNeverTheKeyColour)
{
    Palette palette;
    const uint8_t entries[][3] = {{0, 0, 0}, {63, 0, 0}, {0, 63, 0}, {0, 63, 0}, {5, 5, 5}, {18, 0, 0}, {16, 0, 0}};
    for (int i = 0; i < 256; i++)
        for (int c = 0; c < 3; c++)
            palette.bytes[3 * i + c] = i < 7 ? entries[i][c] : 63;
    struct Pixel {
        Bytes rgba;
        uint8_t index;
        bool exact;
    } pixels[] = {
        {{255, 0, 0, 255}, 1, true},     {{0, 255, 0, 128}, 2, true},    // the lower of two equal entries
        {{250, 9, 0, 255}, 1, false},    {{0, 0, 0, 255}, 4, false},     // black is the key colour's
        {{69, 0, 0, 200}, 5, false},     {{0, 255, 0, 127}, 0, true},    // a tie; alpha below 128
        {{255, 255, 255, 0}, 0, true},   {{20, 20, 20, 255}, 4, true},
    };
    Bytes rgba, rgb;
    Bytes expected = {uint8_t(std::size(pixels)), 1, 0, 0, 0};
    uint32_t approximated = 0;
    for (const Pixel& p : pixels) {
        rgba.insert(rgba.end(), p.rgba.begin(), p.rgba.end());
        expected.push_back(p.index);
        approximated += p.exact ? 0 : 1;
    }
    PngImportNotes notes;
    EXPECT_EQ(Imported(EncodedPng(Picture(uint32_t(std::size(pixels)), 1, PngColour::Rgba, rgba)), palette, &notes),
              expected);
    EXPECT_EQ(notes.approximated, approximated);
    // Without alpha every pixel is opaque.
    rgb = {0, 0, 0, 255, 0, 0};
    EXPECT_EQ(Imported(EncodedPng(Picture(2, 1, PngColour::Rgb, rgb)), palette), (Bytes{2, 1, 0, 0, 0, 4, 1}));
}

TEST(PngDocument, TakesTheOriginFromGrabClampedIntoThePicture)
{
    struct Case {
        bool hasGrab;
        int32_t x, y;
        uint8_t originX, originY;
        bool clamped;
    } cases[] = {
        {false, 0, 0, 0, 0, false},   {true, 9, 2, 9, 2, false},         {true, 10, -1, 9, 0, true},
        {true, -70000, 3, 0, 2, true}, {true, 2147483647, 0, 9, 0, true},
    };
    Bytes cells(30, 1);
    for (const Case& c : cases) {
        PngImageOut image = Picture(10, 3, PngColour::Indexed, cells);
        image.hasGrab = c.hasGrab;
        image.grabX = c.x;
        image.grabY = c.y;
        PngImportNotes notes;
        Bytes document = Imported(EncodedPng(image), Palette(), &notes);
        EXPECT_EQ(Bytes(document.begin(), document.begin() + 4), (Bytes{10, 3, c.originX, c.originY})) << c.x;
        EXPECT_EQ(notes.clamped, c.clamped) << c.x;
    }
}

// The program: nothing printed on success, a line for what the import had to change, refusals
// that leave everything as it was.
TEST(PngDocumentCommands, RoundTripQuietlyAndSayWhatTheImportChanged)
{
    ScratchDir dir;
    const std::string koba = BuiltProgram("koba");
    const Bytes sprite = {3, 2, 2, 1, 9, 12, 95, 12, 95, 9, 9};  // 12 and 95: the same colour
    WriteBytes(dir / "a.vsf", sprite);
    ProgramResult r = RunProgram({koba, "--export", "a.vsf", "a.png"}, dir.path);
    EXPECT_EQ(r.status, 0);
    r = RunProgram({koba, "--import", "a.png", "b.vsf"}, dir.path);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out + r.err, "");
    EXPECT_EQ(ReadBytes(dir / "b.vsf"), sprite);
    // Over a file with bytes after its cells (a hi-colour sprite's picture), the whole file is kept.
    const Bytes withPicture = {1, 1, 0, 0, 0, 7, 0xAB, 0xCD};
    WriteBytes(dir / "b.vhs", withPicture);
    r = RunProgram({koba, "--import", "a.png", "b.vhs"}, dir.path);
    EXPECT_EQ(r.err, "koba: b.vhs: the original file, with its bytes after the cells, is kept as b.vhs.orig\n");
    EXPECT_EQ(ReadBytes(dir / "b.vhs"), sprite);
    EXPECT_EQ(ReadBytes(dir / "b.vhs.orig"), withPicture);

    Bytes rgba = {1, 2, 3, 255, 0, 0, 0, 0};
    PngImageOut image = Picture(2, 1, PngColour::Rgba, rgba);
    image.hasGrab = true;
    image.grabX = 5;
    WriteBytes(dir / "rgba.png", EncodedPng(image));
    r = RunProgram({koba, "--import", "rgba.png", "c.vsf"}, dir.path);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "koba: rgba.png: 1 of 2 pixels took the nearest palette colour\n"
                     "koba: rgba.png: the grAb origin (5, 0) lies outside the 2x1 picture; it became (1, 0)\n");

    ProgramResult help = RunProgram({koba, "--help"});
    EXPECT_NE(help.out.find("koba --export SPRITE OUT.png\n"), std::string::npos);
    EXPECT_NE(help.out.find("koba --import IN.png SPRITE\n"), std::string::npos);
    EXPECT_EQ(RunProgram({koba, "--import", "a.png"}, dir.path).status, 2);
}

// Refusals, a pack the editor would not start with, a full disk: each leaves the output as it was.
TEST(PngDocumentCommands, RefuseOrFailLeavingTheOutputAsItWas)
{
    ScratchDir dir;
    std::filesystem::copy_file(BuiltProgram("koba"), dir / "koba");  // with a pack of our choice
    const std::string pack = dir / "KOBA.VPK";
    Bytes noPalette;
    ASSERT_TRUE(BuildPakImage({{"A.VSF", {1, 1, 0, 0, 0, 7}}}, noPalette).ok());
    Bytes big = {255, 255, 0, 0, 0};
    std::mt19937 random(5);
    for (int i = 0; i < 255 * 255; i++)
        big.push_back(uint8_t(random()));  // no compression brings it under the size limit
    Bytes good = EncodedPng(Picture(2, 2, PngColour::Rgb, Bytes(12, 0)));
    WriteBytes(dir / "big.vsf", big);
    WriteBytes(dir / "big.png", EncodedPng(Picture(255, 255, PngColour::Indexed, Bytes(big.begin() + 5, big.end()))));
    WriteBytes(dir / "short.vsf", {4, 4, 0, 0, 0, 1});
    WriteBytes(dir / "image.png", good);
    enum Pack { Editor, Missing, NoPalette };
    const std::string cannotOpenPack = "Can't open PAK file: \"" + pack + "\"!\n";
    struct Case {
        std::vector<std::string> args;
        Bytes input;  // in.png
        int status;
        std::string err, out;  // the start of both
        Pack pack = Editor;
        long sizeLimit = 0;
    } cases[] = {
        {{"--import", "in.png", "old"}, {'G', 'I', 'F'}, 1, "koba: in.png: not a PNG file\n", ""},
        {{"--import", "in.png", "old"}, Bytes(good.begin(), good.end() - 20), 1, "koba: in.png: the file is cut short\n",
         ""},
        {{"--import", "in.png", "old"}, EncodedPng(Picture(256, 1, PngColour::Rgb, Bytes(768, 0))), 1,
         "koba: in.png: the picture is 256x1 pixels; a sprite is 1 to 255 in each dimension\n", ""},
        {{"--import", "in.png", "old"}, EncodedPng(Picture(1, 256, PngColour::Indexed, Bytes(256, 0))), 1,
         "koba: in.png: the picture is 1x256 pixels;", ""},
        {{"--import", "missing.png", "old"}, {}, 2, "koba: missing.png: cannot open", "Runtime error 2 at"},
        // An image in the sprite's place (the arguments swapped, say) is never replaced.
        {{"--import", "in.png", "image.png"}, good, 1, "koba: image.png: a PNG image, not a sprite document: not replaced\n",
         ""},
        {{"--export", "missing.vsf", "old"}, {}, 2, "koba: missing.vsf: cannot open", "Runtime error 2 at"},
        {{"--export", "old", "./old"}, {}, 1, "koba: ./old: is the sprite itself: not replaced\n", ""},
        {{"--export", "short.vsf", "old"}, {}, 100, "koba: short.vsf: file ended early", "Runtime error 100 at"},
        {{"--export", "big.vsf", "old"}, {}, 1, "koba: " + pack + ": cannot open", cannotOpenPack, Missing},
        {{"--import", "in.png", "old"}, good, 1, "koba: " + pack + ": it holds no palette", cannotOpenPack, NoPalette},
        {{"--export", "big.vsf", "old"}, {}, 101, "koba: old: ", "Runtime error 101 at", Editor, 4096},
        {{"--import", "big.png", "old"}, {}, 101, "koba: old: ", "Runtime error 101 at", Editor, 4096},
    };
    for (const Case& c : cases) {
        const Bytes old = {1, 1, 0, 0, 0, 7};
        WriteBytes(dir / "old", old);
        WriteBytes(dir / "in.png", c.input);
        std::filesystem::remove(pack);
        if (c.pack != Missing)
            WriteBytes(pack, c.pack == Editor ? ReadBytes(EditorPack) : noPalette);
        const Bytes before = ReadBytes(dir / c.args[2]);
        std::vector<std::string> names = FolderNames(dir.path);
        std::vector<std::string> argv = {dir / "koba"};
        argv.insert(argv.end(), c.args.begin(), c.args.end());
        ProgramResult r = RunProgram(argv, dir.path, c.sizeLimit);
        EXPECT_EQ(r.status, c.status) << c.err;
        EXPECT_EQ(r.err.rfind(c.err, 0), 0u) << r.err;
        EXPECT_EQ(c.out.empty() ? r.out : r.out.substr(0, c.out.size()), c.out);
        EXPECT_EQ(ReadBytes(dir / c.args[2]), before) << c.err;
        EXPECT_EQ(FolderNames(dir.path), names);
    }
}
