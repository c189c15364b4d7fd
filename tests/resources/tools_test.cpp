// The pack tool, and the editor's own pack as the build makes it from its readable sources.
#include <gtest/gtest.h>

#include <algorithm>
#include <sys/stat.h>
#include <tuple>
#include <unistd.h>

#include "gfx/text.h"
#include "helpers.h"
#include "resources/loader.h"
#include "resources/pak.h"
#include "util/numfmt.h"
#include "util/png.h"

static ProgramResult Vpk(std::vector<std::string> args)
{
    args.insert(args.begin(), BuiltProgram("vpk"));
    return RunProgram(args);
}

// The subfiles of a pack file, in directory order.
static Files Subfiles(const std::string& path)
{
    PakArchive pack;
    EXPECT_TRUE(OpenPak(path, pack).ok()) << path;
    Files files;
    for (const PakEntry& e : pack.entries)
        files.push_back({e.name, Bytes(pack.image.begin() + e.offset, pack.image.begin() + e.offset + e.size)});
    return files;
}

TEST(Vpk, CreateListAndExtractGiveBackTheFilesInTheirOrder)
{
    ScratchDir dir;
    const Files files = {{"KOBA.VPL", Bytes(768, 7)}, {"20.VFF", {1, 1, 0, 0, 0, 0}}, {"EMPTY", {}},
                         {"ELEVENCHARS", {9, 8}}};
    std::vector<std::string> create = {"create", dir / "T.VPK"};
    for (const auto& [name, bytes] : files) {
        WriteBytes(dir / name, bytes);
        create.push_back(dir / name);
    }
    ProgramResult result = Vpk(create);
    ASSERT_EQ(result.status, 0) << result.err;
    // Entries in the given order, named without their folders, each right after the one before.
    EXPECT_EQ(ReadBytes(dir / "T.VPK"), PakOf(files));
    result = Vpk({"list", dir / "T.VPK"});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, "KOBA.VPL            80        768\n20.VFF             848          6\n"
                          "EMPTY              854          0\nELEVENCHARS        854          2\n");
    EXPECT_EQ(Vpk({"extract", dir / "T.VPK", dir / "out"}).status, 0);
    for (const auto& [name, bytes] : files)
        EXPECT_TRUE(PathExists(dir / ("out/" + name)) && ReadBytes(dir / ("out/" + name)) == bytes) << name;
}

// Nothing half made is left behind. Extract writes what it safely can: the first of a name used
// twice, names that differ only in case apart; a pack that ends early is run-time error 100.
TEST(Vpk, RefusalsNameTheFileOrTheReasonAndLeaveNothingBehind)
{
    ScratchDir dir;
    const std::string broken = dir / "B.VPK", cantOpen = "Can't open PAK file: \"" + broken + "\"!\n";
    ASSERT_EQ(::mkdir((dir / "in").c_str(), 0777), 0);
    WriteBytes(dir / "EMPTY", {});
    WriteBytes(dir / "TWELVECHARSX", {1});
    WriteBytes(broken, RawPak({{"A", 48}, {"B", 500}}, 100));
    WriteBytes(dir / "C.VPK", RawPak({{"A", 48}, {"B", 50}}, 0, false));
    WriteBytes(dir / "E.VPK", PakOf({{"../ESCAPE", {1}}, {"A.VSF", {2}}, {"A.VSF", {3}}, {"a.vsf", {4}}}));
    const struct { std::vector<std::string> args; int status; std::string out, err; } cases[] = {
        {{"create", dir / "R.VPK", dir / "EMPTY", dir / "TWELVECHARSX"}, 1, "", "\"TWELVECHARSX\" is longer"},
        {{"create", dir / "R.VPK", dir / "EMPTY", dir / "EMPTY"}, 1, "", "\"EMPTY\": the name is given"},
        {{"create", dir / "R.VPK", dir / "EMPTY", dir / "NONE"}, 2, "", dir / "NONE"},
        {{"list", broken}, 1, cantOpen, "beyond the end"},
        {{"preview", broken, dir / "o.png"}, 1, cantOpen, "beyond the end"},
        {{"list", dir / "C.VPK"}, 100, "Runtime error 100", "no terminator"},
        {{"extract", dir / "E.VPK", dir / "in/out"}, 1, "", "\"../ESCAPE\", cannot be a file name"},
        {{"unpack", "X.VPK"}, 2, "", "Usage: vpk"},
    };
    for (const auto& c : cases) {
        ProgramResult result = Vpk(c.args);
        EXPECT_TRUE(result.status == c.status && result.out.find(c.out) == 0) << c.err << ": " << result.status;
        EXPECT_NE(result.err.find(c.err), std::string::npos) << result.err;
    }
    EXPECT_FALSE(PathExists(dir / "R.VPK") || PathExists(dir / "o.png") || PathExists(dir / "in/ESCAPE"));
    EXPECT_TRUE(ReadBytes(dir / "in/out/A.VSF") == Bytes{2} && ReadBytes(dir / "in/out/a.vsf") == Bytes{4});
    ProgramResult help = Vpk({"--help"});
    EXPECT_TRUE(help.status == 0 && help.out.find("preview PACK") != std::string::npos) << help.out;
}

// The dot is 0xF820 widened by bit replication; the glyph's ink, 0x07E0 | 0x0020 flag, unblended,
// down to the last of its six rows. An empty pack still gives one row.
TEST(Vpk, PreviewShowsTheEnlargedSheetDownToItsLowestImage)
{
    ScratchDir dir;
    Bytes palette = PaletteWith(5, 63, 0, 0);  // 5 is solid: the lowest green bit is set
    palette[3 * 255 + 1] = 63;
    const std::string pack = dir / "P.VPK", png = dir / "P.png";
    WriteBytes(pack, PakOf({{"P.VPL", palette}, {"DOT.VSF", SpriteFile(1, 1, 5)},
                            {"41.VFF", {2, 3, 0, 0, 0, 0, 255, 0, 255, 0, 255}}}));
    auto preview = [&] {
        EXPECT_EQ(Vpk({"preview", pack, png}).status, 0);
        Bytes file = ReadBytes(png);
        PngPicture picture;
        EXPECT_TRUE(DecodePng(file.data(), file.size(), PngIndices::Expand, picture).ok());
        return picture;
    };
    PngPicture sheet = preview();
    ASSERT_EQ(sheet.width * 100 + sheet.height, 1024u * 100 + 6);
    for (auto [x, y, rgb] : {std::tuple(0, 0, Bytes{255, 4, 0}), {5, 5, {0, 255, 0}}, {100, 3, {0, 0, 0}}})
        EXPECT_EQ(Bytes(&sheet.pixels[4 * (y * 1024 + x)], &sheet.pixels[4 * (y * 1024 + x) + 3]), rgb) << x;
    WriteBytes(pack, Bytes(16, 0));
    EXPECT_EQ(preview().height, 1u);
}

// The pack the build makes: its palette first, then a glyph with ink for every printable
// character (the space blank), in code order. Loaded as the editor loads it, the legend labels
// fit from column 9 of a panel 128 pixels wide; the size read-out ends before the position
// read-out 70 pixels on, which ends at the panel's right edge 59 pixels further.
TEST_F(CanvasTest, KobaPackHasThePaletteThenAGlyphForEveryPrintableCharacterAndLabelsThatFit)
{
    const std::string kobaPack = std::string(GRAVLIN_BUILD_DIR) + "/editor/KOBA.VPK";
    Files files = Subfiles(kobaPack);
    ASSERT_EQ(files.size(), 1u + 95);
    EXPECT_TRUE(files[0].first == "KOBA.VPL" && files[0].second.size() == 768u);
    for (int code = 0x20; code <= 0x7E; code++) {
        const auto& [name, glyph] = files[size_t(code - 0x20 + 1)];
        ASSERT_EQ(name, HexByte(uint32_t(code)) + ".VFF");
        EXPECT_EQ(std::count(glyph.begin() + 5, glyph.end(), 255) > 0, code != 0x20) << name;
    }
    LoadResourcePack(kobaPack);
    Font* font = LoadFont("KOBA");
    for (const char* label : {"Water", "Air", "Worms collide", "Projectiles collide", "Diggable"})
        EXPECT_LE(TextWidth(label, font), 128 - 9) << label;
    EXPECT_LT(TextWidth("Size: (255,255)", font), 70);
    EXPECT_LE(TextWidth("Pos: (254,254)", font), 59);
    FreeFont(font);
}

// One source mistake per message: the line it is on, and no pack left behind.
TEST(MakePack, RampsRunEvenlyGlyphsFollowInCodeOrderAndMistakesAreRefusedWithTheirLine)
{
    ScratchDir dir;
    auto makePack = [&](const std::string& palette, const std::string& font) {
        WriteBytes(dir / "p.txt", Bytes(palette.begin(), palette.end()));
        WriteBytes(dir / "f.txt", Bytes(font.begin(), font.end()));
        return RunProgram({BuiltProgram("makepack"), dir / "OUT.VPK", dir / "p.txt", dir / "f.txt"});
    };
    ASSERT_EQ(makePack("# ramp\n0-2 0 0 0 10 21 63 # comment\n3 63 1 2\n4-255 0 0 0 0 0 0\n",
                       "height 2\nglyph 41 A\n.#\n.#\n\nglyph 20\n..\n..\n").status, 0);
    Files files = Subfiles(dir / "OUT.VPK");
    ASSERT_EQ(files.size(), 3u);
    files[0].second.resize(12);
    EXPECT_EQ(files, (Files{{"KOBA.VPL", {0, 0, 0, 5, 11, 32, 10, 21, 63, 63, 1, 2}}, {"20.VFF", files[1].second},
                            {"41.VFF", {2, 2, 0, 0, 0, 0, 255, 0, 255}}}));
    const std::string black = "0-255 0 0 0 0 0 0\n", blank = "height 2\nglyph 20 space\n..\n..\n";
    const std::string cases[][3] = {
        {"0-254 0 0 0 0 0 0\n", blank, "index 255 has no colour"},
        {black + "7 1 1 1\n", blank, "line 2: index 7 is given twice"},
        {"0-255 0 0 0 0 0 64\n", blank, "line 1: components"},
        {black, "height 2\nglyph 41\n#.\n.#\n", "line 3: glyph 41: the leftmost column"},
        {black, "height 2\nglyph 41\n.#\n.##\n", "line 4: glyph 41: every row"},
        {black, "height 3\nglyph 41\n.#\n.#\n", "line 2: glyph 41 needs 3 rows"},
        {black, "height 1\nglyph 41\n.#\nglyph 41\n.#\n", "glyph 41 is given twice"},
    };
    for (const auto& [palette, font, message] : cases) {
        ::unlink((dir / "OUT.VPK").c_str());
        ProgramResult result = makePack(palette, font);
        EXPECT_TRUE(result.status == 1 && result.err.find(message) != std::string::npos) << result.err;
        EXPECT_FALSE(PathExists(dir / "OUT.VPK")) << message;
    }
}
