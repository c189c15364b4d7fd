// Palette cycling over frames; the drawn views themselves are checked pixel for pixel in
// picture_reference_test.cpp.
#include <gtest/gtest.h>

#include <cstring>

#include "editor/views.h"
#include "gfx/video.h"
#include "resources/palette.h"

TEST(PaletteCycle, HoldsStillForTwoFramesThenRotatesAllFourRangesOneStep)
{
    StartCanvases();
    ResetPaletteCycle();
    uint8_t palette[PaletteSize];
    for (int i = 0; i < 256; ++i) {
        palette[3 * i] = uint8_t(i % 64);
        palette[3 * i + 1] = uint8_t((i / 64) * 16);
        palette[3 * i + 2] = uint8_t(63 - i % 64);
    }
    ApplyPalette(palette);
    Pixel colours[256];
    std::memcpy(colours, PaletteColours, sizeof colours);
    for (int still = 0; still < 2; ++still) {
        CyclePalette();
        EXPECT_EQ(std::memcmp(CurrentPalette, palette, PaletteSize), 0) << still;
        EXPECT_EQ(std::memcmp(colours, PaletteColours, sizeof colours), 0) << still;
    }
    CyclePalette();
    const int ranges[][2] = {{129, 132}, {133, 136}, {152, 159}, {168, 171}};
    for (auto [first, last] : ranges)
        for (int i = first; i <= last; ++i) {
            int from = i == last ? first : i + 1;
            EXPECT_EQ(std::memcmp(CurrentPalette + 3 * i, palette + 3 * from, 3), 0) << i;
        }
    // The screen colours follow; the material flags stay with their index.
    EXPECT_NE(PaletteColours[129], colours[129]);
    EXPECT_EQ(PaletteColours[129] & 0x21, colours[129] & 0x21);
    for (int i : {0, 128, 137, 151, 160, 167, 172, 255})
        EXPECT_EQ(PaletteColours[i], colours[i]) << i;
    // And so on: still, still, step.
    std::memcpy(colours, PaletteColours, sizeof colours);
    CyclePalette();
    CyclePalette();
    EXPECT_EQ(std::memcmp(colours, PaletteColours, sizeof colours), 0);
    CyclePalette();
    EXPECT_NE(std::memcmp(colours, PaletteColours, sizeof colours), 0);
    StopVideo();
}
