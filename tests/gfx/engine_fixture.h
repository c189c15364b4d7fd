// Headless canvases around each test, and small helpers for writing and reading them.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

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
    static std::vector<std::vector<int>> Rows16(int x, int y, int w, int h)
    {
        std::vector<std::vector<int>> rows(h, std::vector<int>(w));
        for (int j = 0; j < h; ++j)
            for (int i = 0; i < w; ++i)
                rows[j][i] = Hi(x + i, y + j);
        return rows;
    }
};
