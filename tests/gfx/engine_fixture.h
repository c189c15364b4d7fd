// Headless canvases around each test, and small helpers for writing and reading them.
#pragma once

#include <gtest/gtest.h>

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

    // Writes rows of index values with their top-left corner at (x, y).
    static void PutRows8(int x, int y, const std::vector<std::vector<int>>& rows)
    {
        for (size_t j = 0; j < rows.size(); ++j)
            for (size_t i = 0; i < rows[j].size(); ++i)
                Index(x + int(i), y + int(j)) = ColourIndex(rows[j][i]);
    }
    static std::vector<std::vector<int>> Rows8(int x, int y, int w, int h)
    {
        std::vector<std::vector<int>> rows(h, std::vector<int>(w));
        for (int j = 0; j < h; ++j)
            for (int i = 0; i < w; ++i)
                rows[j][i] = Index(x + i, y + j);
        return rows;
    }
    static void PutRows16(int x, int y, const std::vector<std::vector<int>>& rows)
    {
        for (size_t j = 0; j < rows.size(); ++j)
            for (size_t i = 0; i < rows[j].size(); ++i)
                Hi(x + int(i), y + int(j)) = Pixel(rows[j][i]);
    }
    // A sprite put straight into the registry and the sheets, independent of registration:
    // index image at (indexX, 2600), its hi-colour image (each index i as Pixel 0x100 + i,
    // doubled) at (hiX, 2600).
    static uint16_t PlaceSprite(const std::string& name, const std::vector<std::vector<int>>& cells, int originX,
                                int originY, int key, int indexX = 0, int hiX = 0)
    {
        SpriteRecord& r = SpriteTable[SpriteCount];
        r = SpriteRecord{};
        std::memcpy(r.name, name.data(), name.size());
        r.nameLength = uint8_t(name.size());
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
    static std::vector<std::vector<int>> Rows16(int x, int y, int w, int h)
    {
        std::vector<std::vector<int>> rows(h, std::vector<int>(w));
        for (int j = 0; j < h; ++j)
            for (int i = 0; i < w; ++i)
                rows[j][i] = Hi(x + i, y + j);
        return rows;
    }
};
