// The pack tool, and the editor's own pack as the build makes it from its readable sources.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <sys/stat.h>
#include <tuple>
#include <unistd.h>
#include <vector>

#include "gfx/text.h"
#include "helpers.h"
#include "resources/loader.h"
#include "resources/pak.h"
#include "util/numfmt.h"
#include "util/png.h"

namespace {

ProgramResult Vpk(std::vector<std::string> args)
{
    args.insert(args.begin(), BuiltProgram("vpk"));
    return RunProgram(args);
}

ProgramResult MakePack(const std::string& folder, const std::string& palette, const std::string& font)
{
    WriteBytes(folder + "/p.txt", Bytes(palette.begin(), palette.end()));
    WriteBytes(folder + "/f.txt", Bytes(font.begin(), font.end()));
    return RunProgram({BuiltProgram("makepack"), folder + "/OUT.VPK", folder + "/p.txt", folder + "/f.txt"});
}

// The subfiles of a pack file, in directory order.
Files Subfiles(const std::string& path)
{
    Bytes image = ReadBytes(path);
    std::vector<PakEntry> entries;
    EXPECT_TRUE(ParsePakDirectory(image, entries).ok()) << path;
    Files files;
    for (const PakEntry& e : entries)
        files.push_back({e.name, Bytes(image.begin() + e.offset, image.begin() + e.offset + e.size)});
    return files;
}

}  // namespace

TEST(Vpk, CreateListAndExtractRoundTripAndWhatCreateRefuses)
{
    ScratchDir dir;
    ASSERT_EQ(::mkdir((dir / "src").c_str(), 0777), 0);
    const Files files = {{"KOBA.VPL", Bytes(768, 7)}, {"20.VFF", {1, 1, 0, 0, 0, 0}}, {"EMPTY", {}},
                         {"ELEVENCHARS", {9, 8}}};
    std::vector<std::string> create = {"create", dir / "T.VPK"};
    for (const auto& [name, bytes] : files) {
        WriteBytes(dir / ("src/" + name), bytes);
        create.push_back(dir / ("src/" + name));
    }
    ProgramResult result = Vpk(create);
    ASSERT_EQ(result.status, 0) << result.err;
    // Entries in the given order, named without their folders, each right after the one before.
    EXPECT_EQ(ReadBytes(dir / "T.VPK"), PakOf(files));
    result = Vpk({"list", dir / "T.VPK"});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, "KOBA.VPL            80        768\n20.VFF             848          6\n"
                          "EMPTY              854          0\nELEVENCHARS        854          2\n");
    result = Vpk({"extract", dir / "T.VPK", dir / "out"});
    EXPECT_EQ(result.status, 0) << result.err;
    for (const auto& [name, bytes] : files)
        EXPECT_TRUE(PathExists(dir / ("out/" + name)) && ReadBytes(dir / ("out/" + name)) == bytes) << name;

    // A name longer than 11 characters, a name twice, a missing file (ENOENT): no pack is left.
    WriteBytes(dir / "src/TWELVECHARSX", {1});
    for (const auto& [name, status] : {std::pair("TWELVECHARSX", 1), {"EMPTY", 1}, {"NONE", 2}}) {
        result = Vpk({"create", dir / "R.VPK", dir / "src/EMPTY", dir / (std::string("src/") + name)});
        EXPECT_EQ(result.status, status) << name;
        EXPECT_NE(result.err.find(name), std::string::npos) << result.err;
        EXPECT_FALSE(PathExists(dir / "R.VPK")) << name;
    }
}

TEST(Vpk, ExtractStaysInsideTheFolderAndBrokenPacksGiveTheEditorsLineAndUsage)
{
    ScratchDir dir;
    std::string pack = dir / "T.VPK";
    WriteBytes(pack, PakOf({{"../ESCAPE", {1}}, {"A.VSF", {2}}, {"A.VSF", {3}}}));
    ASSERT_EQ(::mkdir((dir / "in").c_str(), 0777), 0);
    ProgramResult result = Vpk({"extract", pack, dir / "in/out"});
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.err.find("../ESCAPE"), std::string::npos) << result.err;
    EXPECT_FALSE(PathExists(dir / "in/ESCAPE"));
    EXPECT_EQ(ReadBytes(dir / "in/out/A.VSF"), Bytes{2});  // what the loader reads

    WriteBytes(pack, RawPak({{"A", 48}, {"B", 500}}, 100));
    using Command = std::vector<std::string>;
    for (const Command& command : {Command{"list", pack}, {"preview", pack, dir / "o.png"}}) {
        result = Vpk(command);
        EXPECT_EQ(result.status, 1) << command[0];
        EXPECT_EQ(result.out, "Can't open PAK file: \"" + pack + "\"!\n") << command[0];
        EXPECT_NE(result.err.find("beyond the end"), std::string::npos) << result.err;
    }
    EXPECT_FALSE(PathExists(dir / "o.png"));
    result = Vpk({"--help"});
    EXPECT_TRUE(result.status == 0 && result.out.find("preview PACK") != std::string::npos) << result.out;
    EXPECT_EQ(Vpk({"unpack", "X.VPK"}).status, 2);
}

TEST(Vpk, PreviewShowsTheEnlargedSheetDownToItsLowestImage)
{
    ScratchDir dir;
    Bytes palette = PaletteWith(5, 63, 0, 0);  // 5 is solid: the lowest green bit is set
    palette[3 * 255 + 1] = 63;
    std::string pack = dir / "P.VPK", png = dir / "P.png";
    WriteBytes(pack, PakOf({{"P.VPL", palette}, {"DOT.VSF", SpriteFile(1, 1, 5)},
                            {"41.VFF", {2, 3, 0, 0, 0, 0, 255, 0, 255, 0, 255}}}));
    ASSERT_EQ(Vpk({"preview", pack, png}).status, 0);
    auto read = [&] {
        Bytes file = ReadBytes(png);
        PngPicture picture;
        EXPECT_TRUE(DecodePng(file.data(), file.size(), PngIndices::Expand, picture).ok());
        return picture;
    };
    PngPicture sheet = read();
    ASSERT_EQ(sheet.width * 100 + sheet.height, 1024u * 100 + 6);  // the 2x3 glyph doubled: six rows
    auto at = [&](int x, int y) {
        auto p = &sheet.pixels[4 * (y * 1024 + x)];
        return Bytes(p, p + 3);; };
    // The dot is 0xF820 widened by bit replication; the glyph's ink, 0x07E0 | 0x0020 flag, unblended.
    for (auto [x, y, rgb] : {std::tuple(0, 0, Bytes{255, 4, 0}), {1, 1, {255, 4, 0}}, {4, 0, {0, 255, 0}},
                             {5, 5, {0, 255, 0}}, {100, 3, {0, 0, 0}}})
        EXPECT_EQ(at(x, y), rgb) << x << "," << y;
    WriteBytes(pack, Bytes(16, 0));  // an empty pack still gives one row
    ASSERT_EQ(Vpk({"preview", pack, png}).status, 0);
    EXPECT_EQ(read().height, 1u);
}

// The pack the build makes: its palette first, then a glyph with ink for every printable
// character (the space blank), in code order; makepack itself refuses malformed glyphs. Loaded
// as the editor loads it, the legend labels fit from column 9 of a panel 128 pixels wide; the
// size read-out ends before the position read-out 70 pixels on, which ends at the panel's right
// edge 59 pixels further.
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

TEST(MakePack, RampsRunEvenlyGlyphsFollowInCodeOrderAndMistakesAreRefusedWithTheirLine)
{
    ScratchDir dir;
    ProgramResult result = MakePack(dir.path, "# ramp\n0-2 0 0 0 10 21 63 # comment\n3 63 1 2\n4-255 0 0 0 0 0 0\n",
                                    "height 2\nglyph 41 A\n.#\n.#\n\nglyph 20\n..\n..\n");
    ASSERT_EQ(result.status, 0) << result.err;
    Files files = Subfiles(dir / "OUT.VPK");
    ASSERT_EQ(files.size(), 3u);
    EXPECT_EQ(Bytes(files[0].second.begin(), files[0].second.begin() + 12),
              (Bytes{0, 0, 0, 5, 11, 32, 10, 21, 63, 63, 1, 2}));
    EXPECT_EQ(files[1].first, "20.VFF");
    EXPECT_EQ(files[2], Files::value_type("41.VFF", {2, 2, 0, 0, 0, 0, 255, 0, 255}));

    const char* const black = "0-255 0 0 0 0 0 0\n";
    const char* const blank = "height 2\nglyph 20 space\n..\n..\n";
    const char* const cases[][3] = {
        {"0-254 0 0 0 0 0 0\n", blank, "index 255 has no colour"},
        {"0-255 0 0 0 0 0 0\n7 1 1 1\n", blank, "line 2: index 7 is given twice"},
        {"0-255 0 0 0 0 0 64\n", blank, "line 1: components"},
        {black, "height 2\nglyph 41\n#.\n.#\n", "line 3: glyph 41: the leftmost column"},
        {black, "height 2\nglyph 41\n.#\n.##\n", "line 4: glyph 41: every row"},
        {black, "height 3\nglyph 41\n.#\n.#\n", "line 2: glyph 41 needs 3 rows"},
        {black, "height 1\nglyph 41\n.#\nglyph 41\n.#\n", "glyph 41 is given twice"},
    };
    for (const auto& [palette, font, message] : cases) {
        ::unlink((dir / "OUT.VPK").c_str());
        result = MakePack(dir.path, palette, font);
        EXPECT_EQ(result.status, 1) << message;
        EXPECT_NE(result.err.find(message), std::string::npos) << result.err;
        EXPECT_FALSE(PathExists(dir / "OUT.VPK")) << message;
    }
}
