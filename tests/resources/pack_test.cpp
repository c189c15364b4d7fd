// Packs: the archive reader, loading by extension and palettes.
#include <gtest/gtest.h>

#include <string>
#include <sys/stat.h>
#include <utility>
#include <vector>

#include "gfx/sprites.h"
#include "helpers.h"
#include "resources/loader.h"
#include "resources/pak.h"
#include "resources/palette.h"
#include "util/fatal.h"

namespace {

// "name@offset+size " per entry, or how the directory is refused (with a reason and no entries).
std::string Directory(const Bytes& image)
{
    std::vector<PakEntry> entries;
    std::string text;
    Result parse = ParsePakDirectory(image, entries);
    if (!parse.ok())
        return std::string(parse.rejected() ? "malformed" : parse.code == RunErrorShortRead ? "short" : "?") +
               (parse.reason.empty() || !entries.empty() ? " without a reason or with entries" : "");
    for (const PakEntry& e : entries)
        text += e.name + "@" + std::to_string(e.offset) + "+" + std::to_string(e.size) + " ";
    return text;
}

Pixel HiPixel(uint16_t k, int q) { return Hi(SpriteTable[k].hiX + q % 2, SpriteTable[k].hiY + q / 2); }
ColourIndex IndexPixel(uint16_t k) { return Index(SpriteTable[k].indexX, SpriteTable[k].indexY); }

class LoaderTest : public CanvasTest {
protected:
    // Packs are installed read-only, so every pack here is loaded that way.
    void Load(const Bytes& pack)
    {
        WriteBytes(dir / "T.VPK", pack);
        ASSERT_EQ(::chmod((dir / "T.VPK").c_str(), 0444), 0);
        LoadResourcePack(dir / "T.VPK");
    }
    ScratchDir dir;
};

}  // namespace

TEST(PakDirectory, SizesFollowFromConsecutiveOffsetsAndNamesEndAtTheirZeroByte)
{
    EXPECT_EQ(Directory(RawPak({{"A.VSF", 48}, {"B.VPL", 53}}, 821)), "A.VSF@48+5 B.VPL@53+768 ");
    // Equal offsets make an empty subfile, and so does a last one that starts at the very end.
    EXPECT_EQ(Directory(RawPak({{"A", 64}, {"B", 64}, {"C", 76}}, 76)), "A@64+0 B@64+12 C@76+0 ");
    // Eleven characters and the zero byte fill the field exactly; what follows a zero byte is junk.
    Bytes image = RawPak({{"ELEVENCHARS", 32}}, 40);
    EXPECT_EQ(Directory(image), "ELEVENCHARS@32+8 ");
    image[5] = 0;
    EXPECT_EQ(Directory(image), "ELEVE@32+8 ");
    // Exactly 32768 entries is the limit, not beyond it (every subfile empty, at the end of the file).
    std::vector<RawRecord> most(32768, RawRecord{"X", 32769 * 16});
    EXPECT_EQ(Directory(RawPak(most, 0)).size(), 32768 * std::string("X@524304+0 ").size());
    std::vector<RawRecord> tooMany(32769, RawRecord{"X", 32770 * 16});
    EXPECT_EQ(Directory(RawPak(tooMany, 0)), "malformed");
}

TEST(PakDirectory, ArchivesThatBreakTheDataModelAreMalformedOrShort)
{
    const std::pair<const char*, Bytes> cases[] = {
        {"malformed", RawPak({{"A", 64}, {"B", 80}, {"C", 70}}, 100)},  // decreasing offsets
        {"malformed", RawPak({{"A", 48}, {"B", 101}}, 100)},  // beyond the end
        {"malformed", RawPak({{"A", 16}}, 100)},  // inside the directory
        {"malformed", RawPak({{"A", -5}}, 100)},
        {"malformed", RawPak({{"TWELVECHARSX", 32}}, 40)},  // a name without a zero byte
        {"short", RawPak({{"A", 48}, {"B", 50}}, 0, false)},  // no terminator
        {"short", {}},
        {"short", Bytes(15, 0)},  // a cut terminator
        {"short", RawPak({{"A", 32}}, 24, false)},  // the second record cut
    };
    for (size_t n = 0; n < std::size(cases); n++)
        EXPECT_EQ(Directory(cases[n].second), cases[n].first) << "case " << n;
}

TEST(PakReader, ReadsExactBytesTheFirstOfDuplicatesAndNothingFromAnEmptyArchive)
{
    ScratchDir dir;
    WriteBytes(dir / "T.VPK", PakOf({{"A.VSF", {1, 2, 3}}, {"DUP", {7}}, {"DUP", {8, 9}}, {"E", {}}}));
    WriteBytes(dir / "EMPTY.VPK", Bytes(16, 0));
    WriteBytes(dir / "CUT.VPK", RawPak({{"A", 48}, {"B", 50}}, 0, false));
    PakArchive archive;
    ASSERT_TRUE(OpenPak(dir / "T.VPK", archive).ok());
    ASSERT_EQ(archive.entries.size(), 4u);
    Bytes data;
    for (const auto& [name, bytes] : Files{{"A.VSF", {1, 2, 3}}, {"DUP", {7}}, {"E", {}}}) {
        ASSERT_TRUE(ReadPakSubfile(archive, name, data).ok()) << name;
        EXPECT_EQ(data, bytes) << name;
    }
    EXPECT_EQ(FindPakEntry(archive, "A.VS"), -1);
    EXPECT_TRUE(ReadPakSubfile(archive, "a.vsf", data).rejected());  // names are case-sensitive
    ASSERT_TRUE(OpenPak(dir / "EMPTY.VPK", archive).ok());
    EXPECT_TRUE(ReadPakSubfile(archive, "ANY.VPL", data).ok() && data.empty());
    // A file that ends early is a run-time error, not a refusal.
    EXPECT_EQ(OpenPak(dir / "CUT.VPK", archive).code, RunErrorShortRead);
    EXPECT_EQ(PakMissingLine("a.vsf"), "Can't find PAK subfile: \"a.vsf\"!");
}

// A sprite ahead of the palette keeps the colours of its time: only the enlarged copies are
// coloured at registration.
TEST_F(LoaderTest, EachExtensionGoesToItsLoaderUnderItsNameWithThePaletteOfItsTime)
{
    ApplyPalette(PaletteWith(5, 0, 0, 40).data());
    const Pixel old = PaletteColours[5];
    Load(PakOf({{"EARLY.VSF", SpriteFile(1, 1, 5)}, {"VPL", PaletteWith(5, 63, 0, 0)},
                {"CURSOR.VSF", SpriteFile(1, 1, 5)}, {"41.VFF", SpriteFile(1, 1, 255)}, {"A.VSFX", SpriteFile(1, 1, 6)},
                {"A.B.VSF", SpriteFile(1, 1, 7)}, {"x.vsf", SpriteFile(1, 1, 8)}, {"NOTE.TXT", {'h', 'i'}},
                {"S.VSF", SpriteFile(1, 1, 9)}, {"S.VSF", SpriteFile(1, 1, 10)}}));
    EXPECT_EQ(CurrentPalette[15], 63);  // "VPL" without a '.' is a palette
    ASSERT_EQ(SpriteCount, 6);
    EXPECT_EQ(std::vector<int>({FindSprite("EARLY"), FindSprite("CURSOR"), FindSprite("T:41"), FindSprite("A"),
                                FindSprite("S")}),
              std::vector<int>({0, 1, 2, 3, 4}));
    ASSERT_NE(old, PaletteColours[5]);
    for (int q = 0; q < 4; q++)
        EXPECT_EQ(std::make_pair(int(HiPixel(0, q)), int(HiPixel(1, q))),
                  std::make_pair(int(old), int(PaletteColours[5])))
            << q;
    // Of two entries with one name, both are registered, with the first one's bytes.
    EXPECT_EQ(std::vector<int>({IndexPixel(0), IndexPixel(1), IndexPixel(4), IndexPixel(5)}),
              std::vector<int>({5, 5, 9, 9}));
    // Glyph names take the pack's name: folders end at either separator, the name at its first dot.
    EXPECT_EQ(PackBaseName("D:\\GAMES/koba-1.0\\KOBA.x.VPK"), "KOBA");
    EXPECT_EQ(PackBaseName("games.d/KOBA"), "");  // no '.' in the file name: no base name
}

TEST(Palette, WorkedValuesCarryTheSolidAndAirFlags)
{
    const int cases[][5] = {
        // index, r, g, b, pixel: 5 is solid, 160 air, 1 air and diggable, 12 diggable.
        {5, 63, 63, 63, 0xFFFE}, {160, 63, 63, 63, 0xFFDF}, {1, 63, 63, 63, 0xFFDF}, {12, 63, 63, 63, 0xFFDE},
        {0, 0, 0, 0, 0x0020},    {1, 0, 0, 0, 0x0001},      {5, 10, 20, 30, 0x2AAE},
        // Components above six bits are clamped instead of spilling into the next field.
        {5, 64, 200, 255, 0xFFFE}, {5, 0, 64, 0, 0x07E0},
    };
    for (const auto& [index, r, g, b, pixel] : cases) {
        ApplyPalette(PaletteWith(index, r, g, b).data());
        EXPECT_EQ(PaletteColours[index], pixel) << index << ": " << r << "," << g << "," << b;
        ApplyPalette(CurrentPalette);  // palette cycling applies the current palette in place
        EXPECT_EQ(PaletteColours[index], pixel) << index;
    }
}

// A malformed pack gives the "Can't open" line too (through vpk, in tools_test.cpp).
TEST(LoaderDeathTest, PacksThatCannotBeReadAndShortPalettesStopWithTheExactLines)
{
    const std::string missing = "/nonexistent-gravlin-folder/NONE.VPK";
    EXPECT_EXIT({ StdoutToStderr(); StartCanvases(); LoadResourcePack(missing); }, testing::ExitedWithCode(1),
                "No such file.*\nCan't open PAK file: \"" + missing + "\"!\n$");
    EXPECT_EXIT({ StdoutToStderr(); LoadResourcePack("/"); }, testing::ExitedWithCode(1),
                "directory\nCan't open PAK file: \"/\"!\n$");
    Bytes palette = PaletteWith(5, 10, 20, 30);
    EXPECT_EXIT({ StdoutToStderr(); ApplyPaletteData(palette.data(), PaletteSize - 1, "GAME.VPL"); },
                testing::ExitedWithCode(1), "^Can't use palette \"GAME.VPL\": shorter than 768 bytes!\n$");
    palette.resize(1000, 63);  // long enough: applied, extra bytes ignored
    ApplyPaletteData(palette.data(), palette.size(), "GAME.VPL");
    EXPECT_EQ(PaletteColours[5], 0x2AAE);
}
