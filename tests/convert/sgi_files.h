// SGI and PNG files written out byte by byte, and what the converter tests share to read them
// back and to run the programs.
#pragma once

#include <gtest/gtest.h>

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

#include "convert/convrun.h"
#include "tests/support/testutil.h"
#include "util/files.h"
#include "util/png.h"

using Bytes = std::vector<uint8_t>;
using Names = std::vector<std::string>;

inline void PutBigEndian(Bytes& b, size_t at, uint32_t v, int bytes)
{
    for (int i = 0; i < bytes; i++)
        b[at + i] = uint8_t(v >> (8 * (bytes - 1 - i)));
}

inline Bytes SgiHead(uint16_t x, uint16_t y, uint8_t storage = 0, uint16_t channels = 4,
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

// Verbatim file from pixels given top row first as r, g, b, a; the file stores the bottom row first.
inline Bytes VerbatimSgi(uint16_t x, uint16_t y, const Bytes& rgba)
{
    Bytes file = SgiHead(x, y);
    for (int plane = 0; plane < 4; plane++)
        for (int row = y - 1; row >= 0; row--)
            for (int col = 0; col < x; col++)
                file.push_back(rgba.at(4 * (size_t(row) * x + col) + plane));
    return file;
}

// RLE file from compressed rows in file order (plane 0 rows 0..y-1, then plane 1, ...).
inline Bytes RleSgi(uint16_t x, uint16_t y, const std::vector<Bytes>& rows)
{
    Bytes file = SgiHead(x, y, 1);
    file.resize(512 + 2 * 4 * rows.size());
    for (size_t i = 0; i < rows.size(); i++) {
        PutBigEndian(file, 512 + 4 * i, uint32_t(file.size()), 4);
        PutBigEndian(file, 512 + 4 * (rows.size() + i), uint32_t(rows[i].size()), 4);
        file.insert(file.end(), rows[i].begin(), rows[i].end());
    }
    return file;
}

// w x h pixels as r, g, b, a, every channel different from pixel to pixel, every alpha somewhere.
inline Bytes Pixels(int w, int h)
{
    Bytes rgba;
    for (int i = 0; i < 4 * w * h; i++)
        rgba.push_back(uint8_t((37 + 54 * (i % 4)) * (i / 4) + 90 * (i % 4)));
    return rgba;
}

inline Bytes Png(uint32_t w, uint32_t h, const Bytes& rgba)
{
    PngImageOut image;
    image.width = w, image.height = h, image.pixels = rgba.data();
    Bytes file;
    EXPECT_TRUE(EncodePng(image, file).ok());
    return file;
}

// The whole-picture reader's pixels; none for a file it refuses, and then the caller's size is left alone.
inline Bytes Read(const Bytes& file, SgiPacking packing = AlphaSprite)
{
    uint16_t width = 7, height = 7;
    Bytes pixels;
    bool ok = ReadSgiImage(file.data(), file.size(), packing, width, height, pixels).ok();
    EXPECT_TRUE(ok || (width == 7 && height == 7 && pixels.empty()));
    return pixels;
}

inline ProgramResult Convert(const std::string& program, std::vector<std::string> args,
                             const std::string& dir, long fileSizeLimit = 0)
{
    args.insert(args.begin(), BuiltProgram(program));
    return RunProgram(args, dir, fileSizeLimit);
}

// The exit status and all that was printed, in one string.
inline std::string Said(const ProgramResult& r) { return std::to_string(r.status) + r.out + r.err; }
inline std::string Extension(const std::string& program) { return program == "tintpour" ? ".vas" : ".vhs"; }
