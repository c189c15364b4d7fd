// SGI files written out byte by byte, and what the converter tests share to read them back and
// to run the programs.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "convert/sgi.h"
#include "tests/support/testutil.h"

using Bytes = std::vector<uint8_t>;

inline void PutBigEndian(Bytes& b, size_t at, uint32_t v, int bytes)
{
    for (int i = 0; i < bytes; i++)
        b[at + i] = uint8_t(v >> (8 * (bytes - 1 - i)));
}

inline Bytes SgiHeaderBytes(uint16_t x, uint16_t y, uint8_t storage = 0, uint16_t channels = 4,
                            uint8_t bytesPerChannel = 1, uint16_t dimension = 3, uint32_t colourMap = 0)
{
    Bytes h(512, 0);
    const uint16_t shorts[] = {474, uint16_t(storage << 8 | bytesPerChannel), dimension, x, y, channels};
    for (size_t i = 0; i < 6; i++)
        PutBigEndian(h, 2 * i, shorts[i], 2);
    h[19] = 255;  // maximum pixel value
    PutBigEndian(h, 104, colourMap, 4);
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
        PutBigEndian(file, 512 + 4 * i, uint32_t(file.size()), 4);
        PutBigEndian(file, 512 + 4 * (rows.size() + i), uint32_t(rows[i].size()), 4);
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

inline ProgramResult Convert(const std::string& program, std::vector<std::string> args, const std::string& dir,
                             long fileSizeLimit = 0)
{
    args.insert(args.begin(), BuiltProgram(program));
    return RunProgram(args, dir, fileSizeLimit);
}

inline std::string Extension(const std::string& program)
{
    return program == "tintpour" ? ".vas" : ".vhs";
}
