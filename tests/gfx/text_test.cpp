#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "engine_fixture.h"
#include "gfx/text.h"

namespace {

using Rows = std::vector<std::vector<int>>;

struct FontDeleter {
    void operator()(Font* font) const { FreeFont(font); }
};
using FontPtr = std::unique_ptr<Font, FontDeleter>;

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

TEST_F(TextTest, MissingGlyphsFallBackToTheSpace)
{
    FontPtr font(LoadFont("KOBA"));
    for (int code = 0; code < 256; ++code)
        ASSERT_EQ(font->glyph[code], code == 65 ? letterA : space) << code;
}

TEST_F(TextTest, PrefixesMustMatchExactlyAndFitTheEightCharacterNames)
{
    PlaceSprite("KOBAXY:41", {{1}}, 0, 0, 0, 30, 40);  // stored as "KOBAXY:4"
    for (const char* prefix : {"koba", "KOBAXY", "KOB"}) {
        FontPtr font(LoadFont(prefix));
        for (int code = 0; code < 256; ++code)
            ASSERT_EQ(font->glyph[code], NoSprite) << prefix << " " << code;
        // Characters without any glyph draw nothing and take no room.
        const std::vector<uint8_t> before(IndexCanvas, IndexCanvas + CanvasWidth * 100);
        DrawText(50, 50, "AAA", font.get(), 12);
        DrawTextLarge(50, 50, "AAA", font.get(), 12);
        EXPECT_TRUE(std::equal(before.begin(), before.end(), IndexCanvas));
        EXPECT_EQ(Hi(50, 50), 0);
        EXPECT_EQ(TextWidth("AAA", font.get()), -1);
    }
}

TEST_F(TextTest, WidthIsTheSumOfTheGlyphWidthsLessOne)
{
    FontPtr font(LoadFont("KOBA"));
    EXPECT_EQ(TextWidth("", font.get()), 0);
    EXPECT_EQ(TextWidth("A", font.get()), 2);
    EXPECT_EQ(TextWidth("A A", font.get()), 7);
    EXPECT_EQ(TextWidth("A?", font.get()), 4);  // '?' is drawn as the space
    // Long texts of wide glyphs are measured in full.
    PlaceSprite("WIDE:41", std::vector<std::vector<int>>(1, std::vector<int>(255, 1)), 0, 0, 0, 0, 0);
    FontPtr wide(LoadFont("WIDE"));
    EXPECT_EQ(TextWidth(std::string(255, 'A'), wide.get()), 255 * 255 - 1);
}

TEST_F(TextTest, PenStartsOnePixelLeftSoInkBeginsAtX)
{
    FontPtr font(LoadFont("KOBA"));
    PutRows8(8, 5, {{1, 1, 1, 1, 1, 1, 1, 1, 1, 1}});
    DrawText(10, 5, "A A", font.get(), 12);
    // A at pen 9, space at 12, A at 14; glyph ink 255 takes the colour, 7 keeps its index.
    EXPECT_EQ(Rows8(8, 5, 10, 1), (Rows{{1, 1, 12, 7, 1, 1, 1, 12, 7, 1}}));
    DrawText(10, 6, "", font.get(), 12);
    EXPECT_EQ(Rows8(8, 6, 10, 1), (Rows{{0, 0, 0, 0, 0, 0, 0, 0, 0, 0}}));
}

TEST_F(TextTest, LargeTextStartsTwoPixelsLeftAndAdvancesDoubleWidths)
{
    FontPtr font(LoadFont("KOBA"));
    PaletteColours[255] = 0x1FF;  // the placed images show index 255 as 0x1FF
    DrawTextLarge(10, 5, "AA", font.get(), 0x4444);
    // First A at pen 8 covers 8..13, the second at 14 covers 14..19.
    EXPECT_EQ(Rows16(8, 5, 13, 1),
              (Rows{{0, 0, 0x4444, 0x4444, 0x107, 0x107, 0, 0, 0x4444, 0x4444, 0x107, 0x107, 0}}));
    EXPECT_EQ(Hi(10, 6), 0x4444);
    EXPECT_EQ(Hi(10, 7), 0);
}
