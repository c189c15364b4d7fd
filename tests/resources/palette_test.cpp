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
    struct Case {
        int index, r, g, b;
        Pixel expected;
    } cases[] = {
        {5, 63, 63, 63, 0xFFFE},  // neither diggable nor air: solid
        {160, 63, 63, 63, 0xFFDF},  // air only
        {1, 63, 63, 63, 0xFFDF},  // air and diggable
        {12, 63, 63, 63, 0xFFDE},  // diggable only
        {0, 0, 0, 0, 0x0020},
        {1, 0, 0, 0, 0x0001},
        {5, 10, 20, 30, 0x2AAE},
        // Components above six bits are clamped instead of spilling into the next field.
        {5, 64, 200, 255, 0xFFFE},
        {5, 0, 64, 0, 0x07E0},
    };
    for (const Case& c : cases) {
        ApplyPalette(Palette(c.index, uint8_t(c.r), uint8_t(c.g), uint8_t(c.b)).data());
        EXPECT_EQ(PaletteColours[c.index], c.expected) << c.index << ": " << c.r << "," << c.g << "," << c.b;
    }
}

TEST(Palette, IsKeptAsTheCurrentPaletteAndMayBeAppliedInPlace)
{
    std::vector<uint8_t> palette(PaletteSize);
    for (size_t i = 0; i < PaletteSize; ++i)
        palette[i] = uint8_t((i * 7) % 64);
    ApplyPalette(palette.data());
    EXPECT_EQ(std::memcmp(CurrentPalette, palette.data(), PaletteSize), 0);
    Pixel before[256];
    std::memcpy(before, PaletteColours, sizeof before);
    // Entries 4 (solid) and 12 (diggable) swapped, as cycling does: colours move, flags do not.
    for (int c = 0; c < 3; ++c)
        std::swap(CurrentPalette[3 * 4 + c], CurrentPalette[3 * 12 + c]);
    ApplyPalette(CurrentPalette);
    EXPECT_EQ(PaletteColours[4], Pixel((before[12] & 0xFFDE) | 0x0020));
    EXPECT_EQ(PaletteColours[12], Pixel(before[4] & 0xFFDE));
    EXPECT_EQ(PaletteColours[5], before[5]);
}

TEST(PaletteDeathTest, ShortPaletteDataIsRefusedWithALineNamingIt)
{
    std::vector<uint8_t> palette(PaletteSize - 1, 0);
    EXPECT_NE(PaletteRefusal(PaletteSize - 1), nullptr);
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
