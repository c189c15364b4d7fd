// Archives, sprite files and palettes written byte by byte, independent of the code under test.
#pragma once

#include <utility>

#include "tests/support/canvas.h"
#include "tests/support/testutil.h"

using Bytes = std::vector<uint8_t>;
using Files = std::vector<std::pair<std::string, Bytes>>;
struct RawRecord { std::string name; int32_t offset; };  // up to 12 bytes of the name go in as given

// The records and (unless told otherwise) a terminator, padded with filler bytes to fileSize.
inline Bytes RawPak(const std::vector<RawRecord>& records, size_t fileSize, bool terminate = true)
{
    const size_t directory = (records.size() + terminate) * 16;
    Bytes bytes(std::max(fileSize, directory), 0);
    for (size_t k = 0; k < records.size(); k++) {
        records[k].name.copy(reinterpret_cast<char*>(&bytes[16 * k]), 12);
        for (int i = 0; i < 4; i++)
            bytes[16 * k + 12 + i] = uint8_t(uint32_t(records[k].offset) >> (8 * i));
    }
    for (size_t i = directory; i < bytes.size(); i++)
        bytes[i] = uint8_t(i * 7 + 1);
    return bytes;
}

// A well-formed archive of the given subfiles, laid out in order after the directory.
inline Bytes PakOf(const Files& files)
{
    std::vector<RawRecord> records;
    size_t end = (files.size() + 1) * 16;
    for (const auto& [name, bytes] : files)
        records.push_back({name, int32_t(std::exchange(end, end + bytes.size()))});
    Bytes pack = RawPak(records, 0);
    for (const auto& file : files)
        pack.insert(pack.end(), file.second.begin(), file.second.end());
    return pack;
}

inline Bytes SpriteFile(int width, int height, int fill)  // origin 0, key colour 0
{
    Bytes data = {uint8_t(width), uint8_t(height), 0, 0, 0};
    data.resize(5 + size_t(width) * height, uint8_t(fill));
    return data;
}

inline Bytes PaletteWith(int index, int r, int g, int b)
{
    Bytes palette(768, 0);
    palette[3 * index] = uint8_t(r), palette[3 * index + 1] = uint8_t(g), palette[3 * index + 2] = uint8_t(b);
    return palette;
}
