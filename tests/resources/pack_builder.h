// Archives written byte by byte for the pack tests, independent of the code under test.
#pragma once

#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

struct RawRecord {
    std::string name;  // up to 12 bytes go into the name field as given
    int32_t offset;
};

// A directory of the given records and a terminator, padded with filler bytes to fileSize
// (never shorter than the directory).
inline std::vector<uint8_t> RawPak(const std::vector<RawRecord>& records, size_t fileSize, bool terminate = true)
{
    size_t directory = (records.size() + (terminate ? 1 : 0)) * 16;
    std::vector<uint8_t> bytes(fileSize > directory ? fileSize : directory, 0);
    for (size_t k = 0; k < records.size(); k++) {
        std::memcpy(&bytes[16 * k], records[k].name.data(), records[k].name.size() < 12 ? records[k].name.size() : 12);
        uint32_t offset = uint32_t(records[k].offset);
        for (int i = 0; i < 4; i++)
            bytes[16 * k + 12 + i] = uint8_t(offset >> (8 * i));
    }
    for (size_t i = directory; i < bytes.size(); i++)
        bytes[i] = uint8_t(i * 7 + 1);
    return bytes;
}

// A well-formed archive of the given subfiles, laid out in order after the directory.
inline std::vector<uint8_t> PakOf(const std::vector<std::pair<std::string, std::vector<uint8_t>>>& files)
{
    std::vector<RawRecord> records;
    size_t offset = (files.size() + 1) * 16;
    for (const auto& file : files) {
        records.push_back({file.first, int32_t(offset)});
        offset += file.second.size();
    }
    std::vector<uint8_t> bytes = RawPak(records, (files.size() + 1) * 16);
    for (const auto& file : files)
        bytes.insert(bytes.end(), file.second.begin(), file.second.end());
    return bytes;
}

inline std::vector<uint8_t> Bytes(std::initializer_list<int> values)
{
    std::vector<uint8_t> bytes;
    for (int v : values)
        bytes.push_back(uint8_t(v));
    return bytes;
}
