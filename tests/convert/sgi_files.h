// SGI files written out byte by byte, and what the converter tests share to read them back.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "convert/sgi.h"

using Bytes = std::vector<uint8_t>;

inline Bytes SgiHeaderBytes(uint16_t x, uint16_t y, uint8_t storage = 0, uint16_t channels = 4,
                            uint8_t bytesPerChannel = 1, uint16_t dimension = 3, uint32_t colourMap = 0)
{
    Bytes h(512, 0);
    const uint16_t shorts[] = {474, 0, dimension, x, y, channels};  // big-endian, offsets 0 to 11
    for (size_t i = 0; i < 6; i++)
        h[2 * i] = uint8_t(shorts[i] >> 8), h[2 * i + 1] = uint8_t(shorts[i]);
    h[2] = storage;
    h[3] = bytesPerChannel;
    h[19] = 255;  // maximum pixel value
    for (int i = 0; i < 4; i++)
        h[104 + i] = uint8_t(colourMap >> (24 - 8 * i));
    return h;
}

// Verbatim file from pixels given top row first as {r, g, b, a}; the file stores the bottom row first.
inline Bytes VerbatimSgi(uint16_t x, uint16_t y, const std::vector<Bytes>& rgba)
{
    Bytes file = SgiHeaderBytes(x, y);
    for (int plane = 0; plane < 4; plane++)
        for (int row = y - 1; row >= 0; row--)
            for (int col = 0; col < x; col++)
                file.push_back(rgba[size_t(row) * x + col][plane]);
    return file;
}

// RLE file from compressed rows in file order (plane 0 rows 0..y-1, then plane 1, ...).
inline Bytes RleSgi(uint16_t x, uint16_t y, const std::vector<Bytes>& rows)
{
    Bytes file = SgiHeaderBytes(x, y, 1);
    file.resize(512 + 2 * 4 * rows.size());
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

struct Decoded {
    Result result;
    uint16_t width = 7777, height = 7777;  // the reader must leave these alone on failure
    Bytes pixels;
};

inline Decoded Read(const Bytes& file, SgiPacking packing = AlphaSprite)
{
    Decoded d;
    d.result = ReadSgiImage(file.data(), file.size(), packing, d.width, d.height, d.pixels);
    return d;
}
