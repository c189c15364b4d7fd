#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "editor/panel.h"
#include "editor/state.h"
#include "editor/views.h"
#include "gfx/primitives.h"
#include "gfx/sprites.h"
#include "gfx/text.h"
#include "resources/register.h"
#include "tests/editor/editor_fixture.h"

typedef std::set<std::pair<int, int>> MarkSet;

static const MarkSet Water = {{0, 0}, {0, 1}, {1, 0}, {3, 0}, {4, 0}, {4, 1}, {5, 0}};
static const MarkSet Air = {{0, 0}, {1, 0}, {0, 1}, {6, 0}, {5, 0}, {6, 1},
                            {0, 6}, {1, 6}, {0, 5}, {6, 6}, {5, 6}, {6, 5}};
static const MarkSet Worms = {{1, 1}, {5, 1}, {1, 5}, {5, 5}};
static const MarkSet Projectiles = {{3, 3}, {2, 2}, {4, 2}, {2, 4}, {4, 4}};
static const MarkSet Diggable = {{6, 0}, {6, 1}, {6, 2}, {5, 0}, {5, 1}, {5, 2}, {4, 0}, {4, 1}};

static MarkSet Union(std::initializer_list<const MarkSet*> sets)
{
    MarkSet all;
    for (const MarkSet* s : sets)
        all.insert(s->begin(), s->end());
    return all;
}

class PanelTest : public testing::Test {
protected:
    void SetUp() override
    {
        StartCanvases();
        ResetEditorState();
        Document.keyColour = 250;  // out of the way of the swatches under test
    }
    void TearDown() override
    {
        FreeFont(EditorFont);
        EditorFont = nullptr;
        StopVideo();
    }

    // The 7x7 block at band (x, y): fill where no mark is, index 0 on the marks.
    static void ExpectSwatch(int x, int y, ColourIndex fill, const MarkSet& marks, const std::string& what)
    {
        for (int r = 0; r < 7; ++r)
            for (int c = 0; c < 7; ++c)
                EXPECT_EQ(BandPixel(x + c, y + r), marks.count({c, r}) ? 0 : fill)
                    << what << " at (" << c << "," << r << ")";
    }
    static void ExpectPaletteSwatch(int index, const MarkSet& marks)
    {
        ExpectSwatch(191 + 8 * (index % 16), 1 + 8 * (index / 16), ColourIndex(index), marks,
                     "swatch " + std::to_string(index));
    }
    static void ExpectCheckerSwatch(int x, int y, const MarkSet& marks, const std::string& what)
    {
        for (int r = 0; r < 7; ++r)
            for (int c = 0; c < 7; ++c)
                EXPECT_EQ(BandPixel(x + c, y + r),
                          marks.count({c, r}) ? 0 : (c + r) % 2 == 0 ? CheckerColourA : CheckerColourB)
                    << what << " at (" << c << "," << r << ")";
    }
};

TEST_F(PanelTest, SwatchesSitInA16By16GridWithTheirMaterialMarks)
{
    DrawPalettePanel();
    ExpectPaletteSwatch(130, {});
    ExpectPaletteSwatch(1, Union({&Air, &Projectiles, &Diggable}));
    ExpectPaletteSwatch(192, Water);
    ExpectPaletteSwatch(195, Union({&Worms, &Projectiles, &Diggable}));
    ExpectPaletteSwatch(160, Air);
    ExpectPaletteSwatch(168, Worms);
    ExpectPaletteSwatch(255, Worms);
    // The one-pixel gaps between swatches stay background.
    EXPECT_EQ(BandPixel(191 + 7, 1), 0);
    EXPECT_EQ(BandPixel(191, 1 + 7 + 8), 0);
}

TEST_F(PanelTest, TheKeyColourSwatchShowsTheCheckerUnderItsMarks)
{
    Document.keyColour = 0;
    DrawPalettePanel();
    ExpectCheckerSwatch(191, 1, {}, "key colour 0");
    // After the key colour changes, the checker moves with it and the marks stay on top.
    Document.keyColour = 1;
    DrawPalettePanel();
    ExpectCheckerSwatch(199, 1, Union({&Air, &Projectiles, &Diggable}), "key colour 1");
    ExpectPaletteSwatch(0, {});
}

TEST_F(PanelTest, TheSelectionFrameDotsASquareOnePixelOutsideTheCurrentSwatch)
{
    currentColour = 17;  // swatch at band (199, 9)
    DrawPalettePanel();
    for (int k = 0; k <= 4; ++k) {
        int d = 2 * k - 1;
        EXPECT_EQ(BandPixel(199 + d, 8), FrameColour) << k;
        EXPECT_EQ(BandPixel(198, 9 + d), FrameColour) << k;
        EXPECT_EQ(BandPixel(199 + d, 16), FrameColour) << k;
        EXPECT_EQ(BandPixel(206, 9 + d), FrameColour) << k;
    }
    EXPECT_EQ(BandPixel(199, 8), 0);
    EXPECT_EQ(BandPixel(198, 9), 0);
    // Index 0's frame starts at the band's first panel column and row.
    currentColour = 0;
    DrawPalettePanel();
    EXPECT_EQ(BandPixel(190, 0), FrameColour);
    EXPECT_EQ(BandPixel(198, 0), FrameColour);
    EXPECT_EQ(BandPixel(190, 8), FrameColour);
    EXPECT_EQ(BandPixel(198, 8), FrameColour);
    EXPECT_EQ(BandPixel(199 + 1, 8), 0);
}

TEST_F(PanelTest, TheLegendShowsTheFlagsOfTheCurrentColour)
{
    struct Case {
        int colour;
        ColourIndex water, air, worms, projectiles, diggable;
    };
    const ColourIndex on = FrameColour;
    const ColourIndex off = FlagClearColour;
    for (Case c : {Case{192, on, off, off, off, off}, Case{1, off, on, off, on, on}, Case{0, off, off, off, off, off},
                   Case{195, off, off, on, on, on}, Case{160, off, on, off, off, off},
                   Case{168, off, off, on, off, off}}) {
        currentColour = ColourIndex(c.colour);
        DrawPalettePanel();
        std::string what = "colour " + std::to_string(c.colour);
        ExpectSwatch(191, 134, c.water, Water, what + " Water");
        ExpectSwatch(191, 142, c.air, Air, what + " Air");
        ExpectSwatch(191, 150, c.worms, Worms, what + " Worms collide");
        ExpectSwatch(191, 158, c.projectiles, Projectiles, what + " Projectiles collide");
        ExpectSwatch(191, 166, c.diggable, Diggable, what + " Diggable");
    }
}

TEST_F(PanelTest, AKeyColourOfALegendStateShowsTheCheckerInThoseRows)
{
    Document.keyColour = FlagClearColour;
    currentColour = 192;
    DrawPalettePanel();
    ExpectSwatch(191, 134, FrameColour, Water, "Water, set");
    ExpectCheckerSwatch(191, 142, Air, "Air, clear");
    ExpectCheckerSwatch(191, 166, Diggable, "Diggable, clear");
}

// A font whose glyph for code c is 5 pixels wide (first column blank) with the bits of c as
// ink, so that texts of different characters draw differently.
static void RegisterTestFont()
{
    for (int c = 32; c < 127; ++c) {
        std::vector<uint8_t> glyph = {5, 6, 0, 0, 0};
        glyph.resize(5 + 30, 0);
        for (int j = 0; j < 2; ++j)
            for (int i = 0; i < 4; ++i)
                if (c >> (i + 4 * j) & 1)
                    glyph[5 + j * 5 + 1 + i] = 255;
        char name[8];
        std::snprintf(name, sizeof name, "KOBA:%02X", c);
        RegisterSprite(glyph.data(), glyph.size(), name);
    }
    EditorFont = LoadFont("KOBA");
}

TEST_F(PanelTest, TheReadOutsShowSizeAndCursorInIndex69WithoutBlanks)
{
    RegisterTestFont();
    for (auto [w, h, x, y] : {std::array{16, 16, 8, 8}, std::array{255, 3, 200, 0}}) {
        Document.width = uint8_t(w);
        Document.height = uint8_t(h);
        cursorX = x;
        cursorY = y;
        DrawPalettePanel();
        std::vector<ColourIndex> band;
        bool inked = false;
        for (int by = 181; by < 200; ++by)
            for (int bx = 191; bx < 320; ++bx) {
                band.push_back(BandPixel(bx, by));
                inked |= band.back() == ReadoutColour;
            }
        EXPECT_TRUE(inked);
        // The same texts drawn alone where the panel draws them, then compared.
        FillBox8(0, 0, CanvasWidth, 300, 0);
        std::string size = "Size: (" + std::to_string(w) + "," + std::to_string(h) + ")";
        std::string position = "Pos: (" + std::to_string(x) + "," + std::to_string(y) + ")";
        DrawText(200, 190, size, EditorFont, ReadoutColour);
        DrawText(270, 190, position, EditorFont, ReadoutColour);
        size_t i = 0;
        for (int wy = 190; wy < 209; ++wy)
            for (int wx = 200; wx < 329; ++wx, ++i)
                ASSERT_EQ(band[i], GetPixel8(wx, wy)) << size << " " << position << " at " << wx << "," << wy;
    }
}

TEST_F(PanelTest, LegendLabelsAreDrawnInTheRowState)
{
    RegisterTestFont();
    currentColour = 192;
    DrawPalettePanel();
    // "Water" at band (200, 135) in 241, "Air" at (200, 143) in 70.
    std::set<int> waterInk, airInk;
    for (int by = 135; by < 141; ++by)
        for (int bx = 199; bx < 319; ++bx) {
            waterInk.insert(BandPixel(bx, by));
            airInk.insert(BandPixel(bx, by + 8));
        }
    EXPECT_EQ(waterInk, (std::set<int>{0, FrameColour}));
    EXPECT_EQ(airInk, (std::set<int>{0, FlagClearColour}));
}
