// PAK archives: a directory of 16-byte records (12-byte zero-ended name, little-endian offset),
// ended by a record whose offset is 0, followed by the subfiles' bytes. Sizes follow from
// consecutive offsets; the last subfile runs to the end of the file.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "util/result.h"

enum : int32_t {
    PakRecordSize = 16,
    PakNameField = 12,
    PakMaxNameLength = 11,
    PakMaxEntries = 32768,
};

struct PakEntry {
    std::string name;
    int32_t offset;
    int32_t size;
};

struct PakArchive {
    std::string path;
    std::vector<uint8_t> image;  // the whole archive file
    std::vector<PakEntry> entries;  // directory order, each inside image
};

// Parses the directory of an archive image held in memory, leaving entries empty on failure:
// run-time error 100 when the file ends before the terminator record, a rejection when the
// directory breaks the data model (a reader refuses such a pack like one it cannot open).
Result ParsePakDirectory(const std::vector<uint8_t>& image, std::vector<PakEntry>& entries);

// Index of the first entry named exactly name, or -1.
int32_t FindPakEntry(const PakArchive& archive, const std::string& name);

// Reads the archive read-only and parses its directory. A pack that cannot be read or that
// breaks the data model is rejected; one that ends early or does not fit in memory is the
// run-time error 100 or 203. Front ends stop with PakRefusedLine for a rejection.
Result OpenPak(const std::string& path, PakArchive& archive);

// The line a front end stops with when OpenPak rejects the pack: "Can't open PAK file: "path"!".
std::string PakRefusedLine(const std::string& path);

// The bytes of the first entry named name. An archive without entries gives no bytes and no
// failure; a name missing from a non-empty archive is rejected, and front ends stop with
// PakMissingLine.
Result ReadPakSubfile(const PakArchive& archive, const std::string& name, std::vector<uint8_t>& data);

// The line a front end stops with when a subfile is missing: "Can't find PAK subfile: "name"!".
std::string PakMissingLine(const std::string& name);

// One subfile to be laid out in a new archive.
struct PakFile {
    std::string name;
    std::vector<uint8_t> data;
};

// Lays out an archive holding files in the given order. Rejects (the reason naming the file)
// what a reader could not get back: an empty name, a name longer than 11 characters or holding
// a zero byte, a name used twice, more than 32768 files, more than 2 GiB in all.
Result BuildPakImage(const std::vector<PakFile>& files, std::vector<uint8_t>& image);
