#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "gfx/text.h"
#include "tests/support/canvas.h"

namespace {

using FontPtr = std::unique_ptr<Font, void (*)(Font*)>;
FontPtr Load(const char* prefix) { return FontPtr(LoadFont(prefix), FreeFont); }

class TextTest : public CanvasTest {
protected:
    uint16_t space = 0, letterA = 0;
    void SetUp() override
    {
        CanvasTest::SetUp();
        // Glyphs with a blank leftmost column and origin 0: a space 2 wide, an A 3 wide.
        space = PlaceSprite("KOBA:20", {{0, 0}}, 0, 0, 0, 0, 0);
        letterA = PlaceSprite("KOBA:41", {{0, 255, 7}}, 0, 0, 0, 10, 20);
    }
};

}  // namespace

TEST_F(TextTest, PrefixesMustMatchExactlyAndCharactersWithoutAGlyphDrawNothingAndTakeNoRoom)
{
    PlaceSprite("KOBAXY:41", {{1}}, 0, 0, 0, 30, 40);  // stored as "KOBAXY:4"
    for (const char* prefix : {"koba", "KOBAXY", "KOB"}) {
        FontPtr font = Load(prefix);
        EXPECT_EQ(std::count(font->glyph, font->glyph + 256, NoSprite), 256) << prefix;
        const std::vector<uint8_t> before(IndexCanvas, IndexCanvas + CanvasWidth * 100);
        DrawText(50, 50, "AAA", font.get(), 12);
        DrawTextLarge(50, 50, "AAA", font.get(), 12);
        EXPECT_TRUE(std::equal(before.begin(), before.end(), IndexCanvas) && Hi(50, 50) == 0) << prefix;
        EXPECT_EQ(TextWidth("AAA", font.get()), -1);
    }
}

// Missing glyphs fall back to the space.
TEST_F(TextTest, WidthIsTheSumOfTheGlyphWidthsLessOne)
{
    FontPtr font = Load("KOBA");
    for (int code = 0; code < 256; ++code)
        ASSERT_EQ(font->glyph[code], code == 65 ? letterA : space) << code;
    PlaceSprite("KOBA:E9", {{0, 1, 1, 1, 1}}, 0, 0, 0, 40, 80);
    font = Load("KOBA");
    const std::pair<std::string, int> widths[] = {{"", 0}, {"A", 2}, {"A A", 7}, {"A?", 4}, {"\xE9\xFF", 6}};
    for (const auto& [text, width] : widths)  // '?' is drawn as the space; codes from 0x80 are glyphs too
        EXPECT_EQ(TextWidth(text, font.get()), width) << text;
    // Long texts of wide glyphs are measured in full.
    PlaceSprite("WIDE:41", Rows(1, Row(255, 1)), 0, 0, 0, 0, 0);
    EXPECT_EQ(TextWidth(std::string(255, 'A'), Load("WIDE").get()), 255 * 255 - 1);
}

// The pen starts one pixel left (two in the large size), so the ink after the blank column
// begins at x. Glyph ink 255 takes the colour, other indices keep theirs.
TEST_F(TextTest, PenStartsLeftOfXSoInkBeginsAtX)
{
    FontPtr font = Load("KOBA");
    PutRows8(8, 5, {{1, 1, 1, 1, 1, 1, 1, 1, 1, 1}});
    DrawText(10, 5, "A A", font.get(), 12);  // A at pen 9, space at 12, A at 14
    DrawText(10, 6, "", font.get(), 12);
    EXPECT_EQ(Rows8(8, 5, 10, 2), (Rows{{1, 1, 12, 7, 1, 1, 1, 12, 7, 1}, Row(10)}));
    PaletteColours[255] = 0x1FF;  // the placed images show index 255 as 0x1FF
    DrawTextLarge(10, 5, "AA", font.get(), 0x4444);  // A at pen 8 covers 8..13, the next 14..19
    const Row ink = {0, 0, 0x4444, 0x4444, 0x107, 0x107, 0, 0, 0x4444, 0x4444, 0x107, 0x107, 0};
    EXPECT_EQ(Rows16(8, 5, 13, 3), (Rows{ink, ink, Row(13)}));
}
