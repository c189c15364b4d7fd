// The programs around the packs.
#include <gtest/gtest.h>

#include <regex>
#include <sys/stat.h>
#include <tuple>

#include "helpers.h"
#include "resources/pak.h"
#include "util/png.h"

static ProgramResult Vpk(std::vector<std::string> args)
{
    args.insert(args.begin(), BuiltProgram("vpk"));
    return RunProgram(args);
}

// The commands, then what they refuse; standard output whole, as a pattern. Entries go in the given
// order, named without folders, each right after the one before. The editor's pack as the build
// makes it holds its palette, then a glyph for each printable character; an empty pack previews as
// one row. Nothing half made is left behind; extract writes what it safely can (the first of a name
// used twice, names that differ only in case apart).
TEST(Vpk, CommandsPrintExactlyTheirOutputAndRefusalsLeaveNothingHalfMade)
{
    ScratchDir dir;
    const Files files = {{"KOBA.VPL", Bytes(768, 7)}, {"20.VFF", {1, 1, 0, 0, 0, 0}}, {"EMPTY", {}},
                         {"ELEVENCHARS", {9, 8}}, {"TWELVECHARSX", {1}}};
    for (const auto& [name, bytes] : files)
        WriteBytes(dir / name, bytes);
    const std::string broken = dir / "B.VPK", cantOpen = "Can't open PAK file: \"" + broken + "\"!\n";
    WriteBytes(broken, RawPak({{"A", 48}, {"B", 500}}, 100));
    WriteBytes(dir / "C.VPK", RawPak({{"A", 48}, {"B", 50}}, 0, false));
    WriteBytes(dir / "0.VPK", Bytes(16, 0));
    WriteBytes(dir / "E.VPK", PakOf({{"../ESCAPE", {1}}, {"A.VSF", {2}}, {"A.VSF", {3}}, {"a.vsf", {4}}}));
    const std::string koba = std::string(GRAVLIN_BUILD_DIR) + "/editor/KOBA.VPK";
    const std::string pack = dir / "T.VPK", runError = "Runtime error [0-9]+ at 0x[0-9A-F]{8}\n";
    const struct { std::vector<std::string> args; int status; std::string out, err; } runs[] = {
        {{"create", pack, dir / "KOBA.VPL", dir / "20.VFF", dir / "EMPTY", dir / "ELEVENCHARS"}, 0, "", ""},
        {{"list", pack}, 0, "KOBA.VPL            80        768\n20.VFF             848          6\n"
                            "EMPTY              854          0\nELEVENCHARS        854          2\n", ""},
        {{"extract", pack, dir / "out"}, 0, "", ""},
        {{"--help"}, 0, "Usage: vpk COMMAND PACK [\\s\\S]*preview PACK[\\s\\S]*", ""},
        {{"--version"}, 0, "vpk " GRAVLIN_PROJECT_VERSION "\n", ""},
        {{"preview", dir / "0.VPK", dir / "0.png"}, 0, "", ""},
        {{"list", koba}, 0, "KOBA\\.VPL +1552 +768\n(?:[2-7][0-9A-F]\\.VFF +[0-9]+ +[0-9]+\n){95}", ""},
        {{"create", dir / "R.VPK", dir / "EMPTY", dir / "TWELVECHARSX"}, 1, "", "\"TWELVECHARSX\" is longer"},
        {{"create", dir / "R.VPK", dir / "EMPTY", dir / "EMPTY"}, 1, "", "\"EMPTY\": the name is given"},
        {{"create", dir / "R.VPK", dir / "EMPTY", dir / "NONE"}, 2, runError, dir / "NONE"},
        {{"list", broken}, 1, cantOpen, "beyond the end"},
        {{"preview", broken, dir / "o.png"}, 1, cantOpen, "beyond the end"},
        {{"list", dir / "C.VPK"}, 100, runError, "no terminator"},
        {{"extract", dir / "E.VPK", dir / "e"}, 1, "", "\"../ESCAPE\", cannot be a file name"},
        {{"unpack", "X.VPK"}, 2, "", "Usage: vpk"},
    };
    for (const auto& r : runs) {
        ProgramResult result = Vpk(r.args);
        EXPECT_TRUE(result.status == r.status && std::regex_match(result.out, std::regex(r.out)))
            << r.args[0] << " " << r.err << ": " << result.status << "\n" << result.out;
        EXPECT_NE(result.err.find(r.err), std::string::npos) << result.err;
    }
    const Files packed(files.begin(), files.end() - 1);
    EXPECT_EQ(ReadBytes(pack), PakOf(packed));
    for (const auto& [name, bytes] : packed)
        EXPECT_TRUE(PathExists(dir / ("out/" + name)) && ReadBytes(dir / ("out/" + name)) == bytes) << name;
    EXPECT_FALSE(PathExists(dir / "R.VPK") || PathExists(dir / "o.png") || PathExists(dir / "ESCAPE"));
    EXPECT_TRUE(ReadBytes(dir / "e/A.VSF") == Bytes{2} && ReadBytes(dir / "e/a.vsf") == Bytes{4});
}

// The dot is 0xF820 widened by bit replication. The glyph's ink, 0x07E0 | 0x0020 flag, is not
// blended with its red neighbour (the ':' of PREVIEWS:41 lies beyond the eight characters a name
// keeps) and reaches down the glyph's six rows.
TEST(Vpk, PreviewShowsTheEnlargedSheetDownToItsLowestImage)
{
    ScratchDir dir;
    Bytes palette = PaletteWith(5, 63, 0, 0);  // 5 is solid: the lowest green bit is set
    palette[3 * 255 + 1] = 63;
    const std::string pack = dir / "PREVIEWS.VPK", png = dir / "P.png";
    WriteBytes(pack, PakOf({{"P.VPL", palette}, {"DOT.VSF", SpriteFile(1, 1, 5)},
                            {"41.VFF", {2, 3, 0, 0, 0, 5, 255, 0, 255, 0, 255}}}));
    ASSERT_EQ(Vpk({"preview", pack, png}).status, 0);
    const Bytes file = ReadBytes(png);
    PngPicture sheet;
    ASSERT_TRUE(DecodePng(file.data(), file.size(), PngIndices::Expand, sheet).ok());
    ASSERT_EQ(sheet.width * 100 + sheet.height, 1024u * 100 + 6);
    for (auto [x, y, rgb] :
         {std::tuple(0, 0, Bytes{255, 4, 0}), {4, 0, {0, 255, 0}}, {5, 5, {0, 255, 0}}, {100, 3, {0, 0, 0}}})
        EXPECT_EQ(Bytes(&sheet.pixels[4 * (y * 1024 + x)], &sheet.pixels[4 * (y * 1024 + x) + 3]), rgb) << x;
}

// One source mistake per message: refused with the line it is on, and no pack left behind. The
// last sources are sound: ramps run evenly, and the glyphs follow the palette in code order.
TEST(MakePack, MistakesAreRefusedWithTheirLineAndSoundSourcesMakeThePack)
{
    ScratchDir dir;
    const std::string out = dir / "OUT.VPK";
    const std::string black = "0-255 0 0 0 0 0 0\n", blank = "height 2\nglyph 20 space\n..\n..\n";
    const std::string cases[][3] = {
        {"0-254 0 0 0 0 0 0\n", blank, "index 255 has no colour"},
        {black + "7 1 1 1\n", blank, "line 2: index 7 is given twice"},
        {"0-255 0 0 0 0 0 64\n", blank, "line 1: components"},
        {black, "height 2\nglyph 41\n#.\n.#\n", "line 3: glyph 41: the leftmost column"},
        {black, "height 2\nglyph 41\n.#\n.##\n", "line 4: glyph 41: every row"},
        {black, "height 3\nglyph 41\n.#\n.#\n", "line 2: glyph 41 needs 3 rows"},
        {black, "height 1\nglyph 41\n.#\nglyph 41\n.#\n", "glyph 41 is given twice"},
        {"# ramp\n0-2 0 0 0 10 21 63 # comment\n3 63 1 2\n4-255 0 0 0 0 0 0\n",
         "height 2\nglyph 41 A\n.#\n.#\n\nglyph 20\n..\n..\n", ""},
    };
    for (const auto& [palette, font, message] : cases) {
        WriteBytes(dir / "p.txt", Bytes(palette.begin(), palette.end()));
        WriteBytes(dir / "f.txt", Bytes(font.begin(), font.end()));
        ProgramResult r = RunProgram({BuiltProgram("makepack"), out, dir / "p.txt", dir / "f.txt"});
        EXPECT_TRUE(r.status == !message.empty() && r.err.find(message) != std::string::npos) << r.err;
        EXPECT_EQ(PathExists(out), message.empty()) << message;
    }
    Bytes palette = {0, 0, 0, 5, 11, 32, 10, 21, 63, 63, 1, 2};
    palette.resize(768);
    EXPECT_EQ(ReadBytes(out), PakOf({{"KOBA.VPL", palette}, {"20.VFF", {2, 2, 0, 0, 0, 0, 0, 0, 0}},
                                     {"41.VFF", {2, 2, 0, 0, 0, 0, 255, 0, 255}}}));
}
