#include <gtest/gtest.h>

#include <memory>

#include "gfx/text.h"
#include "tests/support/canvas.h"

namespace {

using FontPtr = std::unique_ptr<Font, void (*)(Font*)>;
FontPtr Load(const char* prefix) { return FontPtr(LoadFont(prefix), FreeFont); }

}  // namespace

using TextTest = CanvasTest;

// Glyphs with a blank leftmost column and origin 0: a space 2 wide, an A 3 wide, an e-acute 5 wide. Missing
// glyphs fall back to the space; a prefix must match exactly, or there is not even a space.
TEST_F(TextTest, WidthIsTheSumOfTheGlyphWidthsLessOne)
{
    PlaceSprite("KOBA:20", {{0, 0}}, 0, 0, 0, 0, 0);
    PlaceSprite("KOBA:41", {{0, 255, 7}}, 0, 0, 0, 10, 20);
    PlaceSprite("KOBA:E9", {{0, 1, 1, 1, 1}}, 0, 0, 0, 40, 80);
    PlaceSprite("KOBAXY:41", {{1}}, 0, 0, 0, 30, 40);  // stored as "KOBAXY:4"
    PlaceSprite("WIDE:41", Rows(1, Row(255, 1)), 0, 0, 0, 0, 0);
    const std::pair<std::string, int> widths[] = {{"", 0}, {"A", 2}, {"A A", 7}, {"A?", 4}, {"\xE9\xFF", 6}};
    for (const auto& [text, width] : widths)
        EXPECT_EQ(TextWidth(text, Load("KOBA").get()), width) << text;
    for (const char* prefix : {"koba", "KOBAXY", "KOB"})
        EXPECT_EQ(TextWidth("AAA", Load(prefix).get()), -1) << prefix;
    EXPECT_EQ(TextWidth(std::string(255, 'A'), Load("WIDE").get()), 255 * 255 - 1);
}

// The pen starts two pixels left, so the ink after the blank column begins at x. Glyph ink 255 takes the
// colour, other indices keep theirs (the index-canvas text is checked in the editor's picture).
TEST_F(TextTest, LargeTextInkBeginsAtXInTheColour)
{
    PlaceSprite("KOBA:20", {{0, 0}}, 0, 0, 0, 0, 0);
    PlaceSprite("KOBA:41", {{0, 255, 7}}, 0, 0, 0, 10, 20);
    PaletteColours[255] = 0x1FF;  // the placed images show index 255 as 0x1FF
    DrawTextLarge(10, 5, "AA", Load("KOBA").get(), 0x4444);  // A at pen 8 covers 8..13, the next 14..19
    const Row ink = {0, 0, 0x4444, 0x4444, 0x107, 0x107, 0, 0, 0x4444, 0x4444, 0x107, 0x107, 0};
    EXPECT_EQ(Rows16(8, 5, 13, 3), (Rows{ink, ink, Row(13)}));
}
