// SGI files written out byte by byte for the converter tests.
#pragma once

#include <cstdint>
#include <vector>

// A 512-byte header; fields big-endian as in the file.
inline std::vector<uint8_t> SgiHeaderBytes(uint16_t x, uint16_t y, uint8_t storage = 0, uint16_t channels = 4,
                                           uint8_t bytesPerChannel = 1, uint16_t dimension = 3,
                                           uint32_t colourMap = 0)
{
    std::vector<uint8_t> h(512, 0);
    auto put16 = [&](size_t at, uint16_t v) { h[at] = uint8_t(v >> 8), h[at + 1] = uint8_t(v); };
    put16(0, 474);
    h[2] = storage;
    h[3] = bytesPerChannel;
    put16(4, dimension);
    put16(6, x);
    put16(8, y);
    put16(10, channels);
    h[19] = 255;  // maximum pixel value
    for (int i = 0; i < 4; i++)
        h[104 + i] = uint8_t(colourMap >> (24 - 8 * i));
    return h;
}

// Verbatim file from pixels given top row first as {r, g, b, a}; the file stores the bottom row first.
inline std::vector<uint8_t> VerbatimSgi(uint16_t x, uint16_t y, const std::vector<std::vector<uint8_t>>& rgba)
{
    std::vector<uint8_t> file = SgiHeaderBytes(x, y);
    for (int plane = 0; plane < 4; plane++)
        for (int row = y - 1; row >= 0; row--)
            for (int col = 0; col < x; col++)
                file.push_back(rgba[size_t(row) * x + col][plane]);
    return file;
}

// RLE file from compressed rows in file order (plane 0 rows 0..y-1, then plane 1, ...).
inline std::vector<uint8_t> RleSgi(uint16_t x, uint16_t y, const std::vector<std::vector<uint8_t>>& rows)
{
    std::vector<uint8_t> file = SgiHeaderBytes(x, y, 1);
    size_t tables = 512 + 2 * 4 * rows.size();
    file.resize(tables);
    for (size_t i = 0; i < rows.size(); i++) {
        uint32_t start = uint32_t(file.size());
        for (int b = 0; b < 4; b++) {
            file[512 + 4 * i + b] = uint8_t(start >> (24 - 8 * b));
            file[512 + 4 * rows.size() + 4 * i + b] = uint8_t(rows[i].size() >> (24 - 8 * b));
        }
        file.insert(file.end(), rows[i].begin(), rows[i].end());
    }
    return file;
}
