#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "engine_death.h"
#include "gfx/video.h"
#include "resources/palette.h"

namespace {

std::vector<uint8_t> Palette(int entry, uint8_t r, uint8_t g, uint8_t b)
{
    std::vector<uint8_t> palette(PaletteSize, 0);
    palette[3 * entry] = r;
    palette[3 * entry + 1] = g;
    palette[3 * entry + 2] = b;
    return palette;
}

}  // namespace

TEST(Palette, WorkedValuesCarryTheSolidAndAirFlags)
{
    // Index 5 is neither diggable nor air: solid.
    ApplyPalette(Palette(5, 63, 63, 63).data());
    EXPECT_EQ(PaletteColours[5], 0xFFFE);
    // 160 is air only, 1 is air and diggable, 12 is diggable only.
    for (int index : {160, 1}) {
        ApplyPalette(Palette(index, 63, 63, 63).data());
        EXPECT_EQ(PaletteColours[index], 0xFFDF) << index;
    }
    ApplyPalette(Palette(12, 63, 63, 63).data());
    EXPECT_EQ(PaletteColours[12], 0xFFDE);
    EXPECT_EQ(PaletteColours[0], 0x0020);
    EXPECT_EQ(PaletteColours[1], 0x0001);
    ApplyPalette(Palette(5, 10, 20, 30).data());
    EXPECT_EQ(PaletteColours[5], 0x2AAE);
}

TEST(Palette, ComponentsAboveSixBitsAreClampedInsteadOfSpillingOver)
{
    ApplyPalette(Palette(5, 64, 200, 255).data());
    EXPECT_EQ(PaletteColours[5], 0xFFFE);
    ApplyPalette(Palette(5, 0, 64, 0).data());
    EXPECT_EQ(PaletteColours[5], 0x07E0);
}

TEST(Palette, IsKeptAsTheCurrentPaletteAndFlagsStayWithTheIndex)
{
    std::vector<uint8_t> palette(PaletteSize);
    for (size_t i = 0; i < PaletteSize; ++i)
        palette[i] = uint8_t((i * 7) % 64);
    ApplyPalette(palette.data());
    EXPECT_EQ(std::memcmp(CurrentPalette, palette.data(), PaletteSize), 0);
    Pixel before[256];
    std::memcpy(before, PaletteColours, sizeof before);

    // Rotate entries 160 (air) to 163 by one, as palette cycling does, and apply it in place.
    uint8_t first[3];
    std::memcpy(first, CurrentPalette + 3 * 160, 3);
    std::memmove(CurrentPalette + 3 * 160, CurrentPalette + 3 * 161, 9);
    std::memcpy(CurrentPalette + 3 * 163, first, 3);
    // 4 (solid) and 12 (diggable) swapped: their colours move, their flags do not.
    for (int c = 0; c < 3; ++c)
        std::swap(CurrentPalette[3 * 4 + c], CurrentPalette[3 * 12 + c]);
    ApplyPalette(CurrentPalette);

    for (int i = 0; i < 256; ++i) {
        if ((i >= 160 && i <= 163) || i == 4 || i == 12)
            continue;
        ASSERT_EQ(PaletteColours[i], before[i]) << i;
    }
    for (int i = 160; i <= 163; ++i)
        EXPECT_EQ(PaletteColours[i], before[i == 163 ? 160 : i + 1]) << i;
    EXPECT_EQ(PaletteColours[4], Pixel((before[12] & 0xFFDE) | 0x0020));
    EXPECT_EQ(PaletteColours[12], Pixel(before[4] & 0xFFDE));
}

TEST(PaletteDeathTest, ShortPaletteDataIsRefusedWithALineNamingIt)
{
    std::vector<uint8_t> palette(PaletteSize - 1, 0);
    EXPECT_EQ(PaletteRefusal(PaletteSize - 1) != nullptr, true);
    EXPECT_EQ(PaletteRefusal(PaletteSize), nullptr);
    EXPECT_EXIT(
        {
            StdoutToStderr();
            ApplyPaletteData(palette.data(), palette.size(), "GAME.VPL");
        },
        testing::ExitedWithCode(1), "^Can't use palette \"GAME.VPL\": shorter than 768 bytes!\n$");
    // Long enough: applied, extra bytes ignored.
    std::vector<uint8_t> longer = Palette(5, 10, 20, 30);
    longer.resize(1000, 63);
    ApplyPaletteData(longer.data(), longer.size(), "GAME.VPL");
    EXPECT_EQ(PaletteColours[5], 0x2AAE);
}
