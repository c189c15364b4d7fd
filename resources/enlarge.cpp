#include "resources/enlarge.h"

#include <cstddef>
#include <vector>

const uint16_t BlendWeights[4][9] = {
    {2, 4, 1, 4, 24, 1, 1, 1, 1},  // top-left
    {1, 2, 2, 2, 24, 16, 2, 2, 1},  // top-right
    {1, 2, 2, 2, 24, 2, 2, 16, 1},  // bottom-left
    {1, 1, 2, 1, 24, 8, 2, 8, 4},  // bottom-right
};

namespace {

// Quarters in the order of BlendWeights: column (0 left, 1 right), row (0 top, 1 bottom) and
// the bit of a CornerTable entry.
struct Quarter {
    int sx, sy;
    uint8_t bit;
};
constexpr Quarter Quarters[4] = {{0, 0, 8}, {1, 0, 2}, {0, 1, 4}, {1, 1, 1}};

constexpr bool KeyAt(unsigned pattern, int dx, int dy)
{
    return (pattern >> ((dx + 1) * 3 + (dy + 1))) & 1;
}

// The corner rule: a quarter turns to the opposite state of its pixel when the three
// neighbours around its corner all differ from the pixel and the far sides do not make the
// corner part of a straight edge. This cuts the outer corners of opaque areas and fills the
// inner corners of transparent ones alike.
constexpr uint8_t CornerEntry(unsigned pattern)
{
    const bool self = KeyAt(pattern, 0, 0);
    auto differs = [pattern, self](int dx, int dy) { return KeyAt(pattern, dx, dy) != self; };
    uint8_t entry = 0;
    for (const Quarter& q : Quarters) {
        const int ex = 2 * q.sx - 1, ey = 2 * q.sy - 1;
        bool flips = false;
        if (differs(ex, 0) && differs(0, ey) && differs(ex, ey)) {
            const bool openFarSides = !differs(-ex, 0) && !differs(0, -ey);
            const bool alongRow = differs(0, -ey) && differs(ex, -ey) && differs(-ex, -ey) && !differs(-ex, 0) &&
                                  !differs(-ex, ey);
            const bool alongColumn = differs(-ex, 0) && differs(-ex, ey) && differs(-ex, -ey) && !differs(0, -ey) &&
                                     !differs(ex, -ey);
            flips = openFarSides || alongRow || alongColumn;
        }
        if (self != flips)
            entry |= q.bit;
    }
    return entry;
}

struct Corners {
    uint8_t entry[512];
};

constexpr Corners BuildCorners()
{
    Corners corners{};
    for (unsigned pattern = 0; pattern < 512; ++pattern)
        corners.entry[pattern] = CornerEntry(pattern);
    return corners;
}

constexpr Corners corners = BuildCorners();

// Division of a channel sum by a weight sum, as a multiply and shift: weight sums are at most
// 52 and channel sums at most 31 x 52, a range in which this reciprocal is exact.
constexpr int ReciprocalShift = 20;
struct Reciprocals {
    uint32_t of[53];
};

constexpr Reciprocals BuildReciprocals()
{
    Reciprocals r{};
    for (uint32_t w = 1; w <= 52; ++w)
        r.of[w] = ((1u << ReciprocalShift) + w - 1) / w;
    return r;
}

constexpr Reciprocals reciprocals = BuildReciprocals();

constexpr bool ReciprocalsExact()
{
    for (uint32_t w = 1; w <= 52; ++w)
        for (uint32_t x = 0; x <= 31 * 52; ++x)
            if (((x * reciprocals.of[w]) >> ReciprocalShift) != x / w)
                return false;
    return true;
}
static_assert(ReciprocalsExact());

constexpr uint64_t ChannelMask = 0xFFFF;

// A neighbour's red, green, blue and a weight count of 1 in four 16-bit lanes, so that one
// multiply-add by a weight sums all four at once; a key neighbour is all zero.
inline uint64_t Lanes(Pixel q)
{
    return uint64_t(q >> 11) | (uint64_t((q >> 6) & 31) << 16) | (uint64_t(q & 31) << 32) | (uint64_t(1) << 48);
}

// The index under a linear canvas address; addresses before or after the canvas read as the
// zeroed canvas would if it went on.
inline ColourIndex IndexAt(ptrdiff_t address)
{
    constexpr ptrdiff_t end = ptrdiff_t(CanvasWidth) * IndexCanvasHeight;
    return address >= 0 && address < end ? IndexCanvas[address] : 0;
}

}  // namespace

const uint8_t* const CornerTable = corners.entry;

namespace {

// One cell of the sprite's rectangle widened by one on every side, converted once: each cell
// is a neighbour of up to nine pixels.
struct Cell {
    uint64_t lanes;  // zero for key cells
    Pixel flags;  // zero for key cells
    Pixel own;  // PaletteColours of the cell's index
    uint8_t key;
};

std::vector<Cell> cells;

}  // namespace

void EnlargeSprite(uint16_t indexX, uint16_t indexY, uint16_t hiX, uint16_t hiY, uint16_t width, uint16_t height,
                   ColourIndex keyColour, bool fontGlyph)
{
    const Pixel keyPixel = PaletteColours[keyColour];
    const int span = width + 2;
    cells.resize(size_t(span) * (height + 2));
    for (int j = -1; j <= height; ++j) {
        const ptrdiff_t row = (ptrdiff_t(indexY) + j) * CanvasWidth + indexX;
        Cell* out = &cells[size_t(j + 1) * span];
        for (int i = -1; i <= width; ++i, ++out) {
            const ColourIndex v = IndexAt(row + i);
            const Pixel q = PaletteColours[v];
            const bool key = v == keyColour;
            *out = {key ? 0 : Lanes(q), Pixel(key ? 0 : q & PixelFlags), q, uint8_t(key)};
        }
    }

    for (int j = 0; j < height; ++j) {
        Pixel* topLeft = HiColourCanvas + (ptrdiff_t(hiY) + 2 * j) * CanvasWidth + hiX;
        for (int i = 0; i < width; ++i, topLeft += 2) {
            // Neighbours by row * 3 + column, as BlendWeights lays them out.
            uint64_t lanes[9];
            unsigned pattern = 0;
            Pixel f = 0;
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx) {
                    const Cell& c = cells[size_t(j + 1 + dy) * span + (i + 1 + dx)];
                    lanes[(dy + 1) * 3 + (dx + 1)] = c.lanes;
                    pattern |= unsigned(c.key) << ((dx + 1) * 3 + (dy + 1));
                    f |= c.flags;
                }
            const uint8_t transparent = CornerTable[pattern];
            const Pixel own = cells[size_t(j + 1) * span + (i + 1)].own;
#pragma GCC unroll 4
            for (int quarter = 0; quarter < 4; ++quarter) {
                const Quarter& q = Quarters[quarter];
                Pixel out;
                if (transparent & q.bit) {
                    out = keyPixel;
                } else if (fontGlyph) {
                    // Red, green, blue and flags of the pixel itself put back together.
                    out = own;
                } else {
                    uint64_t sums = 0;
#pragma GCC unroll 9
                    for (int k = 0; k < 9; ++k)
                        sums += BlendWeights[quarter][k] * lanes[k];
                    const uint32_t weight = uint32_t(sums >> 48);
                    if (weight == 0) {
                        out = 0;
                    } else {
                        const uint32_t reciprocal = reciprocals.of[weight];
                        const uint32_t r = (uint32_t(sums & ChannelMask) * reciprocal) >> ReciprocalShift;
                        const uint32_t g = (uint32_t((sums >> 16) & ChannelMask) * reciprocal) >> ReciprocalShift;
                        const uint32_t b = (uint32_t((sums >> 32) & ChannelMask) * reciprocal) >> ReciprocalShift;
                        out = Pixel((r << 11) | (g << 6) | b | f);
                    }
                }
                topLeft[q.sy * CanvasWidth + q.sx] = out;
            }
        }
    }
}
