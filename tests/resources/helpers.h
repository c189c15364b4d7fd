// Archives, sprite files and palettes written byte by byte, independent of the code under test.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/canvas.h"
#include "tests/support/testutil.h"

inline std::vector<uint8_t> Bytes(std::initializer_list<int> values)
{
    return std::vector<uint8_t>(values.begin(), values.end());
}

struct RawRecord {
    std::string name;  // up to 12 bytes go into the name field as given
    int32_t offset;
};

// The records and (unless told otherwise) a terminator, padded with filler bytes to fileSize.
inline std::vector<uint8_t> RawPak(const std::vector<RawRecord>& records, size_t fileSize, bool terminate = true)
{
    size_t directory = (records.size() + (terminate ? 1 : 0)) * 16;
    std::vector<uint8_t> bytes(fileSize > directory ? fileSize : directory, 0);
    for (size_t k = 0; k < records.size(); k++) {
        std::memcpy(&bytes[16 * k], records[k].name.data(), records[k].name.size() < 12 ? records[k].name.size() : 12);
        for (int i = 0; i < 4; i++)
            bytes[16 * k + 12 + i] = uint8_t(uint32_t(records[k].offset) >> (8 * i));
    }
    for (size_t i = directory; i < bytes.size(); i++)
        bytes[i] = uint8_t(i * 7 + 1);
    return bytes;
}

using Files = std::vector<std::pair<std::string, std::vector<uint8_t>>>;

// A well-formed archive of the given subfiles, laid out in order after the directory.
inline std::vector<uint8_t> PakOf(const Files& files)
{
    std::vector<RawRecord> records;
    std::vector<uint8_t> data;
    for (const auto& [name, bytes] : files) {
        records.push_back({name, int32_t((files.size() + 1) * 16 + data.size())});
        data.insert(data.end(), bytes.begin(), bytes.end());
    }
    std::vector<uint8_t> pack = RawPak(records, 0);
    pack.insert(pack.end(), data.begin(), data.end());
    return pack;
}

// A sprite file of width x height cells of one colour, origin 0 and key colour 0.
inline std::vector<uint8_t> SpriteFile(int width, int height, int fill)
{
    std::vector<uint8_t> data = {uint8_t(width), uint8_t(height), 0, 0, 0};
    data.resize(5 + size_t(width) * height, uint8_t(fill));
    return data;
}

// A black palette but for one entry.
inline std::vector<uint8_t> PaletteWith(int index, int r, int g, int b)
{
    std::vector<uint8_t> palette(768, 0);
    palette[3 * index] = uint8_t(r), palette[3 * index + 1] = uint8_t(g), palette[3 * index + 2] = uint8_t(b);
    return palette;
}
