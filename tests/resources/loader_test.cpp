#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "gfx/sprites.h"
#include "gfx/video.h"
#include "pack_builder.h"
#include "resources/loader.h"
#include "resources/palette.h"
#include "tests/support/testutil.h"

namespace {

std::vector<uint8_t> OnePixelSprite(uint8_t colour)
{
    return {1, 1, 0, 0, 0, colour};
}

std::vector<uint8_t> PaletteWith(int index, uint8_t r, uint8_t g, uint8_t b)
{
    std::vector<uint8_t> palette(PaletteSize, 0);
    palette[3 * index] = r;
    palette[3 * index + 1] = g;
    palette[3 * index + 2] = b;
    return palette;
}

Pixel HiPixel(uint16_t sprite, int dx, int dy)
{
    const SpriteRecord& record = SpriteTable[sprite];
    return HiColourCanvas[(record.hiY + dy) * CanvasWidth + record.hiX + dx];
}

class LoaderTest : public testing::Test {
protected:
    void SetUp() override { StartCanvases(); }
    void TearDown() override { StopVideo(); }

    // Writes the pack under name into a scratch folder and loads it.
    void Load(const std::string& name, const std::vector<uint8_t>& pack)
    {
        WriteBytes(dir / name, pack);
        LoadResourcePack(dir / name);
    }

    ScratchDir dir;
};

}  // namespace

TEST(SubfileName, BaseNameAndThreeCharacterExtension)
{
    struct Case {
        const char* name;
        const char* base;
        const char* extension;
    } cases[] = {
        {"CURSOR.VSF", "CURSOR", "VSF"},
        {"A.VSFX", "A", "VSF"},  // only three characters count
        {"A.B.VSF", "A", "B.V"},
        {"VPL", "", "VPL"},  // no '.': the first three characters are the extension
        {"PALETTE", "", "PAL"},
        {"x.vsf", "x", "vsf"},
        {"A.", "A", ""},
        {".VFF", "", "VFF"},
    };
    for (const Case& c : cases) {
        std::string base = "junk";
        std::string extension = "junk";
        SplitSubfileName(c.name, base, extension);
        EXPECT_EQ(base, c.base) << c.name;
        EXPECT_EQ(extension, c.extension) << c.name;
    }
}

TEST(PackBaseName, FoldersGoAndTheNameIsCutAtItsFirstDot)
{
    EXPECT_EQ(PackBaseName("D:\\GAMES\\KOBA.VPK"), "KOBA");
    EXPECT_EQ(PackBaseName("/opt/games/koba-1.0/KOBA.VPK"), "KOBA");
    EXPECT_EQ(PackBaseName("KOBA.VPK"), "KOBA");
    EXPECT_EQ(PackBaseName("koba.VPK"), "koba");  // case is kept
    EXPECT_EQ(PackBaseName("a/b\\c.x.y"), "c");
    // A file name without '.' gives an empty base name, even when a folder has one.
    EXPECT_EQ(PackBaseName("KOBA"), "");
    EXPECT_EQ(PackBaseName("games.d/KOBA"), "");
}

TEST_F(LoaderTest, EachExtensionGoesToItsLoaderUnderItsName)
{
    Load("T.VPK", PakOf({{"VPL", PaletteWith(5, 63, 0, 0)},
                         {"CURSOR.VSF", OnePixelSprite(5)},
                         {"41.VFF", OnePixelSprite(255)},
                         {"A.VSFX", OnePixelSprite(6)},
                         {"A.B.VSF", OnePixelSprite(7)},
                         {"x.vsf", OnePixelSprite(8)},
                         {"NOTE.TXT", {'h', 'i'}}}));
    EXPECT_EQ(CurrentPalette[15], 63);  // "VPL" without a '.' is a palette
    ASSERT_EQ(SpriteCount, 3);
    EXPECT_EQ(FindSprite("CURSOR"), 0);
    EXPECT_EQ(FindSprite("T:41"), 1);
    EXPECT_EQ(FindSprite("A"), 2);
    // Colours are taken from the palette loaded ahead of the sprite.
    EXPECT_EQ(HiPixel(0, 1, 1), PaletteColours[5]);
}

TEST_F(LoaderTest, DuplicatesAreRegisteredTwiceFromTheFirstEntrysBytes)
{
    Load("D.VPK", PakOf({{"S.VSF", OnePixelSprite(9)}, {"S.VSF", OnePixelSprite(10)}}));
    ASSERT_EQ(SpriteCount, 2);
    for (uint16_t k = 0; k < 2; k++) {
        const SpriteRecord& record = SpriteTable[k];
        EXPECT_EQ(IndexCanvas[record.indexY * CanvasWidth + record.indexX], 9) << k;
    }
}

TEST_F(LoaderTest, ASpriteAheadOfThePaletteKeepsTheColoursOfItsTime)
{
    std::vector<uint8_t> before = PaletteWith(5, 0, 0, 40);
    ApplyPalette(before.data());
    Pixel old = PaletteColours[5];
    Load("O.VPK", PakOf({{"EARLY.VSF", OnePixelSprite(5)},
                         {"P.VPL", PaletteWith(5, 40, 40, 0)},
                         {"LATE.VSF", OnePixelSprite(5)}}));
    ASSERT_NE(old, PaletteColours[5]);
    for (int q = 0; q < 4; q++) {
        EXPECT_EQ(HiPixel(0, q % 2, q / 2), old) << q;
        EXPECT_EQ(HiPixel(1, q % 2, q / 2), PaletteColours[5]) << q;
    }
    // The index images are the same: only the enlarged copies were coloured at registration.
    for (uint16_t k = 0; k < 2; k++)
        EXPECT_EQ(IndexCanvas[SpriteTable[k].indexY * CanvasWidth + SpriteTable[k].indexX], 5);
}
