// Headless canvases around each test, and small helpers for writing and reading them.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include <cstring>
#include <string>

#include "gfx/sprites.h"
#include "gfx/video.h"

class CanvasTest : public testing::Test {
protected:
    void SetUp() override { StartCanvases(); }
    void TearDown() override { StopVideo(); }

    static ColourIndex& Index(int x, int y) { return IndexCanvas[y * CanvasWidth + x]; }
    static Pixel& Hi(int x, int y) { return HiColourCanvas[y * CanvasWidth + x]; }

    // Writes rows of values with their top-left corner at (x, y), and reads them back.
    template <typename T>
    static void PutRows(T* canvas, int x, int y, const std::vector<std::vector<int>>& rows)
    {
        for (size_t j = 0; j < rows.size(); ++j)
            for (size_t i = 0; i < rows[j].size(); ++i)
                canvas[(y + int(j)) * CanvasWidth + x + int(i)] = T(rows[j][i]);
    }
    template <typename T>
    static std::vector<std::vector<int>> RowsOf(const T* canvas, int x, int y, int w, int h)
    {
        std::vector<std::vector<int>> rows(h, std::vector<int>(w));
        for (int j = 0; j < h; ++j)
            for (int i = 0; i < w; ++i)
                rows[j][i] = canvas[(y + j) * CanvasWidth + x + i];
        return rows;
    }
    static void PutRows8(int x, int y, const std::vector<std::vector<int>>& rows) { PutRows(IndexCanvas, x, y, rows); }
    static void PutRows16(int x, int y, const std::vector<std::vector<int>>& rows)
    {
        PutRows(HiColourCanvas, x, y, rows);
    }
    static std::vector<std::vector<int>> Rows8(int x, int y, int w, int h) { return RowsOf(IndexCanvas, x, y, w, h); }
    static std::vector<std::vector<int>> Rows16(int x, int y, int w, int h)
    {
        return RowsOf(HiColourCanvas, x, y, w, h);
    }

    // A sprite put straight into the registry and the sheets, independent of registration:
    // index image at (indexX, 2600), its hi-colour image (each index i as Pixel 0x100 + i,
    // doubled) at (hiX, 2600).
    static uint16_t PlaceSprite(const std::string& name, const std::vector<std::vector<int>>& cells, int originX,
                                int originY, int key, int indexX = 0, int hiX = 0)
    {
        SpriteRecord& r = SpriteTable[SpriteCount];
        r = SpriteRecord{};
        r.nameLength = uint8_t(std::min<size_t>(name.size(), 8));
        std::memcpy(r.name, name.data(), r.nameLength);
        r.width = uint8_t(cells[0].size());
        r.height = uint8_t(cells.size());
        r.originX = uint8_t(originX);
        r.originY = uint8_t(originY);
        r.keyColour = ColourIndex(key);
        r.keyPixel = Pixel(0x100 + key);
        r.indexX = uint16_t(indexX);
        r.indexY = 2600;
        r.hiX = uint16_t(hiX);
        r.hiY = 2600;
        PutRows8(indexX, 2600, cells);
        for (int j = 0; j < r.height; ++j)
            for (int i = 0; i < r.width; ++i)
                for (int q = 0; q < 4; ++q)
                    Hi(hiX + 2 * i + q % 2, 2600 + 2 * j + q / 2) = Pixel(0x100 + cells[j][i]);
        return SpriteCount++;
    }
};
