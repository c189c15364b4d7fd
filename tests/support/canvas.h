// Headless canvases around a test, and small helpers for writing and reading them.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "gfx/sprites.h"
#include "gfx/video.h"

using Row = std::vector<int>;
using Rows = std::vector<Row>;

struct CanvasTest : testing::Test {
    void SetUp() override { StartCanvases(); }
    void TearDown() override { StopVideo(); }
};

inline ColourIndex& Index(int x, int y) { return IndexCanvas[y * CanvasWidth + x]; }
inline Pixel& Hi(int x, int y) { return HiColourCanvas[y * CanvasWidth + x]; }

// Rows of values with their top-left corner at (x, y) of the index (hi false) or hi-colour canvas.
inline void PutRows(bool hi, int x, int y, const Rows& rows)
{
    for (int j = 0; j < int(rows.size()); ++j)
        for (int i = 0; i < int(rows[j].size()); ++i)
            hi ? void(Hi(x + i, y + j) = Pixel(rows[j][i])) : void(Index(x + i, y + j) = ColourIndex(rows[j][i]));
}
// The w x h values from (x, y) of a picture whose rows are stride pixels apart.
template <typename T>
Rows RowsOf(const T* pixels, int stride, int x, int y, int w, int h)
{
    Rows rows(h);
    for (int j = 0; j < h; ++j)
        rows[j].assign(pixels + (y + j) * stride + x, pixels + (y + j) * stride + x + w);
    return rows;
}
inline Rows Rows8(int x, int y, int w, int h) { return RowsOf(IndexCanvas, CanvasWidth, x, y, w, h); }
inline Rows Rows16(int x, int y, int w, int h) { return RowsOf(HiColourCanvas, CanvasWidth, x, y, w, h); }
// Puts rows at (0, 0) of either canvas (the target row, then any source rows beneath), draws, and
// reads the target row back; the rows beneath must stay as they were.
inline Row RowAfter(bool hi, const Rows& before, const std::function<void()>& draw)
{
    PutRows(hi, 0, 0, before);
    draw();
    const int w = int(before[0].size()), h = int(before.size());
    const Rows after = hi ? Rows16(0, 0, w, h) : Rows8(0, 0, w, h);
    EXPECT_EQ(Rows(after.begin() + 1, after.end()), Rows(before.begin() + 1, before.end())) << "rows beneath";
    return after[0];
}

// A sprite put straight into the registry and the sheets, independent of registration: index image at
// (indexX, 2600), its hi-colour image (each index i as Pixel 0x100 + i, doubled) at (hiX, 2600).
inline uint16_t PlaceSprite(const std::string& name, const Rows& cells, int originX, int originY, int key,
                            int indexX = 0, int hiX = 0)
{
    SpriteRecord& r = SpriteTable[SpriteCount] = {
        .name = {}, .nameLength = uint8_t(name.size() < 8 ? name.size() : 8), .indexX = uint16_t(indexX),
        .indexY = 2600, .hiX = uint16_t(hiX), .hiY = 2600, .keyPixel = Pixel(0x100 + key),
        .width = uint8_t(cells[0].size()), .height = uint8_t(cells.size()), .originX = uint8_t(originX),
        .originY = uint8_t(originY), .keyColour = ColourIndex(key)};
    std::memcpy(r.name, name.data(), r.nameLength);
    PutRows(false, indexX, 2600, cells);
    for (int j = 0; j < 2 * r.height; ++j)
        for (int i = 0; i < 2 * r.width; ++i)
            Hi(hiX + i, 2600 + j) = Pixel(0x100 + cells[j / 2][i / 2]);
    return SpriteCount++;
}
