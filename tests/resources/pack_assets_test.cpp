#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "gfx/sprites.h"
#include "gfx/text.h"
#include "gfx/video.h"
#include "resources/loader.h"
#include "resources/pak.h"
#include "tests/support/testutil.h"
#include "util/numfmt.h"

namespace {

const std::string KobaPack = std::string(GRAVLIN_BUILD_DIR) + "/editor/KOBA.VPK";

std::vector<uint8_t> Subfile(const std::vector<uint8_t>& image, const PakEntry& entry)
{
    return std::vector<uint8_t>(image.begin() + entry.offset, image.begin() + entry.offset + entry.size);
}

int Brightness(const std::vector<uint8_t>& palette, int index)
{
    return palette[size_t(3 * index)] + palette[size_t(3 * index + 1)] + palette[size_t(3 * index + 2)];
}

ProgramResult MakePack(const std::string& folder, const std::string& palette, const std::string& font)
{
    WriteBytes(folder + "/p.txt", std::vector<uint8_t>(palette.begin(), palette.end()));
    WriteBytes(folder + "/f.txt", std::vector<uint8_t>(font.begin(), font.end()));
    return RunProgram({BuiltProgram("makepack"), folder + "/OUT.VPK", folder + "/p.txt", folder + "/f.txt"});
}

const char* const AllBlack = "0-255 0 0 0 0 0 0\n";
const char* const OneGlyph = "height 2\nglyph 20 space\n..\n..\n";

}  // namespace

TEST(KobaPack, PaletteFirstThenAGlyphForEveryPrintableCharacter)
{
    std::vector<uint8_t> image = ReadBytes(KobaPack);
    std::vector<PakEntry> entries;
    std::string reason;
    ASSERT_EQ(ParsePakDirectory(image, entries, reason), PakParse::Ok) << KobaPack << ": " << reason;
    ASSERT_EQ(entries.size(), 1u + 95);
    EXPECT_EQ(entries[0].name, "KOBA.VPL");
    std::vector<uint8_t> palette = Subfile(image, entries[0]);
    ASSERT_EQ(palette.size(), 768u);
    for (uint8_t component : palette)
        ASSERT_LE(component, 63);

    int height = -1;
    for (int code = 0x20; code <= 0x7E; code++) {
        const PakEntry& entry = entries[size_t(code - 0x20 + 1)];
        ASSERT_EQ(entry.name, HexByte(uint32_t(code)) + ".VFF");
        std::vector<uint8_t> glyph = Subfile(image, entry);
        ASSERT_GE(glyph.size(), 5u);
        int width = glyph[0];
        if (height < 0)
            height = glyph[1];
        EXPECT_EQ(glyph[1], height) << entry.name;
        EXPECT_EQ(glyph[2], 0) << entry.name;  // origin at the top-left corner
        EXPECT_EQ(glyph[3], 0) << entry.name;
        EXPECT_EQ(glyph[4], 0) << entry.name;  // key colour
        ASSERT_EQ(glyph.size(), size_t(5 + width * height)) << entry.name;
        int ink = 0;
        for (int y = 0; y < height; y++) {
            EXPECT_EQ(glyph[size_t(5 + y * width)], 0) << entry.name << " row " << y;
            for (int x = 0; x < width; x++) {
                uint8_t cell = glyph[size_t(5 + y * width + x)];
                EXPECT_TRUE(cell == 0 || cell == 255) << entry.name;
                ink += cell == 255;
            }
        }
        EXPECT_EQ(ink > 0, code != 0x20) << entry.name;
    }
    // Readable at 320x200 and still fitting the editor's rows of eight pixels.
    EXPECT_GE(height, 7);
    EXPECT_LE(height, 9);

    // The interface colours: a dark background, bright frames, two close checker greys,
    // read-outs that stand out and a dim "clear" state.
    EXPECT_LT(Brightness(palette, 0), 30);
    EXPECT_GT(Brightness(palette, 241), 150);
    EXPECT_NE(Brightness(palette, 64), Brightness(palette, 65));
    EXPECT_LE(std::abs(Brightness(palette, 64) - Brightness(palette, 65)), 24);
    EXPECT_GT(Brightness(palette, 69), Brightness(palette, 0) + 100);
    EXPECT_GT(Brightness(palette, 70), Brightness(palette, 0));
    EXPECT_LT(Brightness(palette, 70), Brightness(palette, 241) - 80);
}

TEST(KobaPack, LabelsAndReadOutsFitTheEditorsPanel)
{
    StartCanvases();
    LoadResourcePack(KobaPack);
    Font* font = LoadFont("KOBA");
    for (int code = 0x21; code <= 0x7E; code++)
        EXPECT_NE(font->glyph[code], font->glyph[0x20]) << "character " << code;
    // Legend labels start at column 9 of a panel 128 pixels wide.
    for (const char* label : {"Water", "Air", "Worms collide", "Projectiles collide", "Diggable"})
        EXPECT_LE(TextWidth(label, font), 128 - 9) << label;
    // The size read-out starts 70 pixels left of the position read-out, which ends at the
    // panel's right edge 59 pixels further on.
    EXPECT_LT(TextWidth("Size: (255,255)", font), 70);
    EXPECT_LE(TextWidth("Pos: (254,254)", font), 59);
    FreeFont(font);
    StopVideo();
}

TEST(MakePack, RampsRunEvenlyBetweenTheirEnds)
{
    ScratchDir dir;
    ProgramResult result = MakePack(dir.path, "# ramp\n0-2 0 0 0 10 21 63 # comment\n3 63 1 2\n4-255 0 0 0 0 0 0\n",
                                    "height 2\nglyph 41 A\n.#\n.#\n\nglyph 20\n..\n..\n");
    ASSERT_EQ(result.status, 0) << result.err;
    std::vector<uint8_t> image = ReadBytes(dir / "OUT.VPK");
    std::vector<PakEntry> entries;
    std::string reason;
    ASSERT_EQ(ParsePakDirectory(image, entries, reason), PakParse::Ok);
    ASSERT_EQ(entries.size(), 3u);
    std::vector<uint8_t> palette = Subfile(image, entries[0]);
    EXPECT_EQ(std::vector<uint8_t>(palette.begin(), palette.begin() + 12),
              std::vector<uint8_t>({0, 0, 0, 5, 11, 32, 10, 21, 63, 63, 1, 2}));
    // Glyphs follow in code order, whatever order the text gives.
    EXPECT_EQ(entries[1].name, "20.VFF");
    EXPECT_EQ(entries[2].name, "41.VFF");
    EXPECT_EQ(Subfile(image, entries[2]), std::vector<uint8_t>({2, 2, 0, 0, 0, 0, 255, 0, 255}));
}

TEST(MakePack, SourceMistakesAreRefusedWithTheirLine)
{
    ScratchDir dir;
    struct Case {
        const char* palette;
        const char* font;
        const char* message;
    } cases[] = {
        {"0-254 0 0 0 0 0 0\n", OneGlyph, "index 255 has no colour"},
        {"0-255 0 0 0 0 0 0\n7 1 1 1\n", OneGlyph, "line 2: index 7 is given twice"},
        {"0-255 0 0 0 0 0 64\n", OneGlyph, "line 1: components"},
        {AllBlack, "height 2\nglyph 41\n#.\n.#\n", "line 3: glyph 41: the leftmost column"},
        {AllBlack, "height 2\nglyph 41\n.#\n.##\n", "line 4: glyph 41: every row"},
        {AllBlack, "height 3\nglyph 41\n.#\n.#\n", "line 2: glyph 41 needs 3 rows"},
        {AllBlack, "height 1\nglyph 41\n.#\nglyph 41\n.#\n", "glyph 41 is given twice"},
    };
    for (const Case& c : cases) {
        ProgramResult result = MakePack(dir.path, c.palette, c.font);
        EXPECT_EQ(result.status, 1) << c.message;
        EXPECT_NE(result.err.find(c.message), std::string::npos) << result.err;
        EXPECT_FALSE(PathExists(dir / "OUT.VPK"));
    }
}
