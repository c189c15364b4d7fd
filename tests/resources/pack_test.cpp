// Packs: the archive reader, loading by extension, palettes, and the programs that make and read packs.
#include <gtest/gtest.h>

#include <regex>
#include <sys/stat.h>
#include <tuple>

#include "gfx/sprites.h"
#include "helpers.h"
#include "resources/loader.h"
#include "resources/pak.h"
#include "resources/palette.h"
#include "util/fatal.h"
#include "util/png.h"

// "name@offset+size " per entry, or how the directory is refused (and then no entries).
static std::string Directory(const Bytes& image)
{
    std::vector<PakEntry> entries;
    const Result parse = ParsePakDirectory(image, entries);
    std::string text = parse.rejected() ? "malformed" : parse.code == RunErrorShortRead ? "short" : "";
    for (const PakEntry& e : entries)
        text += e.name + "@" + std::to_string(e.offset) + "+" + std::to_string(e.size) + " ";
    return text;
}

// A name ends at its first zero byte (sizes are in the vpk listing below).
TEST(PakDirectory, EntriesOfWellFormedArchivesAndHowBrokenOnesAreRefused)
{
    const std::pair<std::string, Bytes> cases[] = {
        {"ELEVE@32+8 ", RawPak({{std::string("ELEVE\0CHARS", 11), 32}}, 40)},
        {"malformed", RawPak({{"A", 64}, {"B", 80}, {"C", 70}}, 100)},  // decreasing offsets
        {"malformed", RawPak({{"A", 48}, {"B", 101}}, 100)},  // beyond the end
        {"malformed", RawPak({{"A", 16}}, 100)}, {"malformed", RawPak({{"A", -5}}, 100)},  // in the directory
        {"malformed", RawPak({{"TWELVECHARSX", 32}}, 40)},  // a name without a zero byte
        {"malformed", RawPak(std::vector<RawRecord>(32769, RawRecord{"X", 32770 * 16}), 0)},
        {"short", {}}, {"short", Bytes(15, 0)}, {"short", RawPak({{"A", 48}, {"B", 50}}, 0, false)},
    };
    for (const auto& [expected, image] : cases)
        EXPECT_EQ(Directory(image), expected);
    const std::vector<RawRecord> most(32768, RawRecord{"X", 32769 * 16});  // the limit itself is allowed
    EXPECT_EQ(Directory(RawPak(most, 0)).size(), 32768 * std::string("X@524304+0 ").size());
    Bytes data = {1};  // an archive without entries reads any name as nothing, without a failure
    EXPECT_TRUE(ReadPakSubfile(PakArchive(), "ANY.VPL", data).ok() && data.empty());
}

// Only the enlarged copies are coloured at registration: a sprite ahead of the palette keeps the
// colours of its time. Of two entries with one name, both register the first one's bytes.
TEST_F(CanvasTest, EachExtensionGoesToItsLoaderUnderItsNameWithThePaletteOfItsTime)
{
    ScratchDir dir;
    ApplyPalette(PaletteWith(5, 0, 0, 40).data());
    const Pixel old = PaletteColours[5];
    WriteBytes(dir / "T.VPK", PakOf({{"EARLY.VSF", SpriteFile(1, 1, 5)}, {"VPL", PaletteWith(5, 63, 0, 0)},
                                     {"CURSOR.VSF", SpriteFile(1, 1, 5)}, {"41.VFF", SpriteFile(1, 1, 255)},
                                     {"A.VSFX", SpriteFile(1, 1, 6)}, {"A.B.VSF", SpriteFile(1, 1, 7)},
                                     {"x.vsf", SpriteFile(1, 1, 8)}, {"NOTE.TXT", {'h', 'i'}},
                                     {"S.VSF", SpriteFile(1, 1, 9)}, {"S.VSF", SpriteFile(1, 1, 10)}}));
    ASSERT_EQ(::chmod((dir / "T.VPK").c_str(), 0444), 0);  // packs are installed read-only
    LoadResourcePack(dir / "T.VPK");
    EXPECT_EQ(CurrentPalette[15], 63);  // "VPL" without a '.' is a palette
    std::string registered;
    for (uint16_t k = 0; k < SpriteCount; k++)
        registered += std::string(SpriteTable[k].name, SpriteTable[k].nameLength) + "=" +
                      std::to_string(Index(SpriteTable[k].indexX, SpriteTable[k].indexY)) + " ";
    EXPECT_EQ(registered, "EARLY=5 CURSOR=5 T:41=255 A=6 S=9 S=9 ");
    const Pixel now = PaletteColours[5];
    EXPECT_EQ(Rows16(SpriteTable[0].hiX, SpriteTable[0].hiY, 4, 2), Rows(2, Row({old, old, now, now})));
    // Glyph names take the pack's name: folders end at either separator, the name at its first dot.
    EXPECT_EQ(PackBaseName("D:\\GAMES/koba-1.0\\KOBA.x.VPK"), "KOBA");
    EXPECT_EQ(PackBaseName("games.d/KOBA"), "");  // no '.' in the file name: no base name
}

// 5 is solid, 160 air, 1 air and diggable, 12 diggable; components above six bits are clamped
// instead of spilling into the next field. Bytes beyond 768 are ignored; a shorter palette stops.
TEST(PaletteDeathTest, WorkedValuesCarryTheSolidAndAirFlagsAndAShortPaletteStops)
{
    const int cases[][5] = {{5, 63, 63, 63, 0xFFFE}, {160, 63, 63, 63, 0xFFDF}, {1, 63, 63, 63, 0xFFDF},
                            {12, 63, 63, 63, 0xFFDE}, {5, 10, 20, 30, 0x2AAE}, {5, 64, 200, 255, 0xFFFE}};
    for (const auto& [index, r, g, b, pixel] : cases) {
        Bytes palette = PaletteWith(index, r, g, b);
        palette.resize(1000, 63);
        ApplyPaletteData(palette.data(), palette.size(), "GAME.VPL");
        ApplyPalette(CurrentPalette);  // palette cycling applies the current palette in place
        EXPECT_EQ(PaletteColours[index], pixel) << index << ": " << r << "," << g << "," << b;
    }
    EXPECT_EXIT({ StdoutToStderr(); ApplyPaletteData(CurrentPalette, PaletteSize - 1, "GAME.VPL"); },
                testing::ExitedWithCode(1), "^Can't use palette \"GAME.VPL\": shorter than 768 bytes!\n$");
}

// Standard output whole, as a pattern. The editor's pack as built holds its palette, then a glyph per
// printable character. Nothing half made is left behind; extract writes what it safely can.
// The preview's dot is 0xF820 widened by bit replication; the glyph's ink 0x07E0 | 0x0020 is not blended
// with its red neighbour (the ':' of PREVIEWS:41 lies beyond the 8 characters kept), down to its sixth row.
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
    Bytes palette = PaletteWith(5, 63, 0, 0);  // 5 is solid: the lowest green bit is set
    palette[3 * 255 + 1] = 63;
    WriteBytes(dir / "PREVIEWS.VPK", PakOf({{"P.VPL", palette}, {"DOT.VSF", SpriteFile(1, 1, 5)},
                                            {"41.VFF", {2, 3, 0, 0, 0, 5, 255, 0, 255, 0, 255}}}));
    const std::string vpk = BuiltProgram("vpk"), koba = std::string(GRAVLIN_BUILD_DIR) + "/editor/KOBA.VPK";
    const std::string pack = dir / "T.VPK", no = dir / "R.VPK", e = dir / "EMPTY";
    const std::string runError = "Runtime error [0-9]+ at 0x[0-9A-F]{8}\n";
    const struct { std::vector<std::string> args; int status; std::string out, err; } runs[] = {
        {{vpk, "create", pack, dir / "KOBA.VPL", dir / "20.VFF", e, dir / "ELEVENCHARS"}, 0, "", ""},
        {{vpk, "list", pack}, 0, "KOBA.VPL            80        768\n20.VFF             848          6\n"
                            "EMPTY              854          0\nELEVENCHARS        854          2\n", ""},
        {{vpk, "extract", pack, dir / "out"}, 0, "", ""},
        {{vpk, "--help"}, 0, "Usage: vpk COMMAND PACK [\\s\\S]*preview PACK[\\s\\S]*", ""},
        {{vpk, "--version"}, 0, "vpk " GRAVLIN_PROJECT_VERSION "\n", ""},
        {{vpk, "preview", dir / "0.VPK", dir / "0.png"}, 0, "", ""},
        {{vpk, "preview", dir / "PREVIEWS.VPK", dir / "P.png"}, 0, "", ""},
        {{vpk, "list", koba}, 0, "KOBA\\.VPL +1552 +768\n(?:[2-7][0-9A-F]\\.VFF +[0-9]+ +[0-9]+\n){95}", ""},
        {{vpk, "create", no, e, dir / "TWELVECHARSX"}, 1, "", "\"TWELVECHARSX\" is longer"},
        {{vpk, "create", no, e, dir / "EMPTY"}, 1, "", "\"EMPTY\": the name is given"},
        {{vpk, "create", no, e, dir / "NONE"}, 2, runError, dir / "NONE"},
        {{vpk, "list", broken}, 1, cantOpen, "beyond the end"},
        {{vpk, "preview", broken, dir / "o.png"}, 1, cantOpen, "beyond the end"},
        {{vpk, "list", dir / "C.VPK"}, 100, runError, "no terminator"},
        {{vpk, "extract", dir / "E.VPK", dir / "e"}, 1, "", "\"../ESCAPE\", cannot be a file name"},
        {{vpk, "unpack", "X.VPK"}, 2, "", "Usage: vpk"},
    };
    for (const auto& r : runs) {
        ProgramResult result = RunProgram(r.args);
        EXPECT_TRUE(result.status == r.status && std::regex_match(result.out, std::regex(r.out)))
            << r.args[1] << " " << r.err << ": " << result.status << "\n" << result.out;
        EXPECT_NE(result.err.find(r.err), std::string::npos) << result.err;
    }
    const Files packed(files.begin(), files.end() - 1);
    EXPECT_EQ(ReadBytes(pack), PakOf(packed));
    for (const auto& [name, bytes] : packed)
        EXPECT_TRUE(PathExists(dir / ("out/" + name)) && ReadBytes(dir / ("out/" + name)) == bytes) << name;
    EXPECT_FALSE(PathExists(no) || PathExists(dir / "o.png") || PathExists(dir / "ESCAPE"));
    EXPECT_TRUE(ReadBytes(dir / "e/A.VSF") == Bytes{2} && ReadBytes(dir / "e/a.vsf") == Bytes{4});
    const Bytes file = ReadBytes(dir / "P.png");
    PngPicture sheet;
    ASSERT_TRUE(DecodePng(file.data(), file.size(), PngIndices::Expand, sheet).ok());
    ASSERT_EQ(sheet.width * 100 + sheet.height, 1024u * 100 + 6);
    for (auto [x, y, rgb] :
         {std::tuple(0, 0, Bytes{255, 4, 0}), {4, 0, {0, 255, 0}}, {5, 5, {0, 255, 0}}, {100, 3, {0, 0, 0}}})
        EXPECT_EQ(Bytes(&sheet.pixels[4 * (y * 1024 + x)], &sheet.pixels[4 * (y * 1024 + x) + 3]), rgb) << x;
}

// One source mistake per message, refused with its line and no pack; then sound sources, whole.
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
