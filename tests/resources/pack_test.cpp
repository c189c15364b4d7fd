// Packs: the archive reader, loading by extension and palettes. A pack that cannot be opened
// stops the loader as it stops vpk preview (tools_test.cpp).
#include <gtest/gtest.h>

#include <sys/stat.h>

#include "gfx/sprites.h"
#include "helpers.h"
#include "resources/loader.h"
#include "resources/pak.h"
#include "resources/palette.h"
#include "util/fatal.h"

// "name@offset+size " per entry, or how the directory is refused (and then no entries).
static std::string Directory(const Bytes& image)
{
    std::vector<PakEntry> entries;
    const Result parse = ParsePakDirectory(image, entries);
    const char* const how = parse.rejected() ? "malformed" : parse.code == RunErrorShortRead ? "short" : "?";
    std::string text = parse.ok() ? "" : how;
    for (const PakEntry& e : entries)
        text += e.name + "@" + std::to_string(e.offset) + "+" + std::to_string(e.size) + " ";
    return text;
}

// Sizes follow from consecutive offsets (the last runs to the end of the file); a name ends at its
// first zero byte. The usual packs are listed by vpk in tools_test.cpp.
TEST(PakDirectory, EntriesOfWellFormedArchivesAndHowBrokenOnesAreRefused)
{
    const std::pair<std::string, Bytes> cases[] = {
        {"A@64+0 B@64+12 C@76+0 ", RawPak({{"A", 64}, {"B", 64}, {"C", 76}}, 76)},
        {"ELEVE@32+8 ", RawPak({{std::string("ELEVE\0CHARS", 11), 32}}, 40)},
        {"malformed", RawPak({{"A", 64}, {"B", 80}, {"C", 70}}, 100)},  // decreasing offsets
        {"malformed", RawPak({{"A", 48}, {"B", 101}}, 100)},  // beyond the end
        {"malformed", RawPak({{"A", 16}}, 100)}, {"malformed", RawPak({{"A", -5}}, 100)},  // in the directory
        {"malformed", RawPak({{"TWELVECHARSX", 32}}, 40)},  // a name without a zero byte
        {"malformed", RawPak(std::vector<RawRecord>(32769, RawRecord{"X", 32770 * 16}), 0)},
        {"short", {}}, {"short", Bytes(15, 0)},
        {"short", RawPak({{"A", 48}, {"B", 50}}, 0, false)},  // no terminator
    };
    for (const auto& [expected, image] : cases)
        EXPECT_EQ(Directory(image), expected);
    const std::vector<RawRecord> most(32768, RawRecord{"X", 32769 * 16});  // the limit itself is allowed
    EXPECT_EQ(Directory(RawPak(most, 0)).size(), 32768 * std::string("X@524304+0 ").size());
    PakArchive empty;  // no entries: any name reads as nothing, without a failure
    Bytes data = {1};
    EXPECT_TRUE(ReadPakSubfile(empty, "ANY.VPL", data).ok() && data.empty());
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
    ASSERT_NE(old, now);
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
