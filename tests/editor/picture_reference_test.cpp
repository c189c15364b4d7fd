// The editor's whole 320x200 picture against a plain rendering of its layout rules, pixel by pixel.
#include <algorithm>
#include <random>

#include "gfx/material.h"
#include "gfx/sprites.h"
#include "tests/editor/editor_fixture.h"

namespace {

// A canvas of its own, as wide as the engine's, for the work area and the band.
struct Picture {
    std::vector<uint8_t> pixels = std::vector<uint8_t>(size_t(CanvasWidth) * 1200, 0);
    uint8_t& at(int x, int y) { return pixels[size_t(y) * CanvasWidth + x]; }
    // Paints c, or copies from (sx, sy) when c is negative.
    void fill(int x, int y, int w, int h, int c, int sx = 0, int sy = 0)
    {
        for (int j = 0; j < h; ++j)
            for (int i = 0; i < w; ++i)
                at(x + i, y + j) = uint8_t(c >= 0 ? c : at(sx + i, sy + j));
    }
    // Glyphs come from the sprite sheet the editor registered; index 255 is the ink.
    void text(int x, int y, const std::string& s, uint8_t colour)
    {
        int pen = x - 1;
        for (unsigned char c : s) {
            const SpriteRecord& r = SpriteTable[EditorFont->glyph[c]];
            for (int j = 0; j < r.height; ++j)
                for (int i = 0; i < r.width; ++i) {
                    uint8_t v = IndexCanvas[(r.indexY + j) * CanvasWidth + r.indexX + i];
                    if (v != r.keyColour)
                        at(pen - r.originX + i, y - r.originY + j) = v == 255 ? colour : v;
                }
            pen += r.width;
        }
    }
};

// The outline of a view's frame, every pixel whose x + y is even.
void Dots(Picture& p, int right, int bottom)
{
    for (int y = 0; y <= bottom; ++y)
        for (int x = 0; x <= right; ++x)
            if ((x == 0 || y == 0 || x == right || y == bottom) && (x + y) % 2 == 0)
                p.at(x, y) = 241;
}

// The marks of the five flags on a 7x7 swatch, side by side in the material table's order.
const char* const MarkShapes[7] = {
    "XX.XXX. XX...XX ....... ....... ....XXX",
    "X...X.. X.....X .X...X. ....... ....XXX",
    "....... ....... ....... ..X.X.. .....XX",
    "....... ....... ....... ...X... .......",
    "....... ....... ....... ..X.X.. .......",
    "....... X.....X .X...X. ....... .......",
    "....... XX...XX ....... ....... .......",
};

// A swatch (the key colour's a checker) with the marks of the flags of index n, or of row ~n.
void Swatch(Picture& p, int c, int x, int y, int n)
{
    for (int j = 0; j < 7; ++j)
        for (int i = 0; i < 7; ++i) {
            bool marked = false;
            for (int m = 0; m < 5; ++m)
                marked |= (n < 0 ? m == ~n : MaterialTable[m].flags[n]) && MarkShapes[j][8 * m + i] == 'X';
            p.at(x + i, y + j) = uint8_t(marked ? 0 : c != Document.keyColour ? c : 64 + (i + j) % 2);
        }
}

// The first column or row of a view that follows the cursor c, as the view moved last frame.
int Follow(int first, int c, int size, int w)
{
    return size <= w ? 0 : std::clamp(std::max(std::min(first, c - 3), c - w + 4), 0, size - w);
}

struct Scroll { int fx = 0, fy = 0, px = 0, py = 0; };

// highlight: 0, or 1 + the material row whose cells the zoomed view shows.
Picture Expected(Scroll& s, int highlight)
{
    Picture p;
    const int w = Document.width, h = Document.height, key = Document.keyColour;
    s = {Follow(s.fx, cursorX, w, 63), Follow(s.fy, cursorY, h, 43), Follow(s.px, cursorX, w, 189),
         Follow(s.py, cursorY, h, 66)};
    // Each view drawn whole, then its window copied out.
    p.fill(0, 0, std::max(256, 3 * w + 2), std::max(256, 3 * h + 2), 0);
    Dots(p, 3 * w + 1, 3 * h + 1);
    for (int y = 0; y < 3 * h; ++y)
        for (int x = 0; x < 3 * w; ++x) {
            const uint8_t v = Document.cells[y / 3][x / 3];
            const bool blank = highlight && !MaterialTable[highlight - 1].flags[v];
            if (x % 3 && y % 3)
                p.at(x, y) = uint8_t(v == key ? 64 + (x % 3 + y % 3) % 2 : blank ? 0 : v);
        }
    int ox = Document.originX, oy = Document.originY, cx = cursorX, cy = cursorY;
    for (int k = 1; k <= 3; ++k)  // the origin's three dots, the cursor's L
        p.at(3 * cx + k, 3 * cy + 3) = p.at(3 * cx + 3, 3 * cy + k) = p.at(3 * ox + 3, 3 * oy + 3) =
            p.at(3 * ox + 1, 3 * oy + 3) = p.at(3 * ox + 3, 3 * oy + 1) = 241;
    p.fill(0, 1000, 190, 130, -1, 3 * s.fx, 3 * s.fy);
    p.fill(0, 1130, 190, 3, 0);  // rows no view draws are kept clear
    p.fill(0, 0, 256, 256, 0);
    Dots(p, w + 1, h + 1);
    for (int x = 1; x <= w; ++x)
        for (int y = 1; y <= h; ++y)
            if (Document.cells[y - 1][x - 1] != key)
                p.at(x, y) = Document.cells[y - 1][x - 1];
    p.fill(0, 1133, 190, 67, -1, s.px, s.py);
    p.fill(0, 0, 1024, 300, 0);
    for (int i = 0; i < 256; ++i)
        Swatch(p, i, 8 * (i % 16), 8 * (i / 16), i);
    for (int row = 0; row < 5; ++row) {
        uint8_t state = MaterialTable[row].flags[currentColour] ? 241 : 70;
        Swatch(p, state, 0, 133 + 8 * row, ~row);
        p.text(9, 134 + 8 * row, MaterialTable[row].label, state);
    }
    p.fill(200, 10, 128, 200, -1, 0, 0);
    int sx = 200 + 8 * (currentColour % 16), sy = 10 + 8 * (currentColour / 16);
    for (int k = 0; k <= 4; ++k)
        p.at(sx + 2 * k - 1, sy - 1) = p.at(sx - 1, sy + 2 * k - 1) = p.at(sx + 2 * k - 1, sy + 7) =
            p.at(sx + 7, sy + 2 * k - 1) = 241;
    p.text(200, 190, "Size: (" + std::to_string(w) + "," + std::to_string(h) + ")", 69);
    p.text(270, 190, "Pos: (" + std::to_string(cx) + "," + std::to_string(cy) + ")", 69);
    p.fill(190, 1000, 130, 200, -1, 199, 9);
    return p;
}

class PictureReferenceTest : public EditorFixture {};

TEST_F(PictureReferenceTest, EveryPixelOfTheBandFollowsTheLayoutRules)
{
    Start("", true);
    std::mt19937 random(77);
    const int sizes[][2] = {{16, 16}, {1, 1}, {63, 43}, {64, 44}, {255, 255}, {2, 200}, {190, 3}, {7, 66}};
    Scroll scroll;  // a fresh 16x16 document: nothing scrolled
    for (int round = 0; round < 40; ++round) {
        const int w = sizes[round % 8][0], h = sizes[round % 8][1];
        Document.width = uint8_t(w), Document.height = uint8_t(h);
        Document.keyColour = uint8_t(round % 3 == 0 ? 241 : random() % 256);
        for (auto& row : Document.cells)
            for (uint8_t& cell : row)
                cell = random() % 4 == 0 ? Document.keyColour : uint8_t(random());
        Document.originX = int32_t(random() % w), Document.originY = int32_t(random() % h);
        cursorX = round % 4 == 0 ? Document.originX : int32_t(random() % w);
        cursorY = round % 4 == 0 ? Document.originY : int32_t(random() % h);
        currentColour = uint8_t(random());
        HighlightFlag = round < 24 ? 0 : round % 6;  // later rounds highlight each flag in turn
        QuickFrame();
        Picture expected = Expected(scroll, HighlightFlag);
        for (int y = 0; y < 200; ++y)
            for (int x = 0; x < 320; ++x)
                ASSERT_EQ(BandPixel(x, y), expected.at(x, 1000 + y)) << round << ": " << x << "," << y;
    }
}

}  // namespace
