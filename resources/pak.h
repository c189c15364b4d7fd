// PAK archives: a directory of 16-byte records (12-byte zero-ended name, little-endian offset),
// ended by a record whose offset is 0, followed by the subfiles' bytes. Sizes follow from
// consecutive offsets; the last subfile runs to the end of the file.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

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
    int32_t entryCount = 0;
    std::vector<PakEntry> entries;  // directory order
};

// Outcome of parsing an archive image without stopping the program.
enum class PakParse {
    Ok,
    ShortDirectory,  // the file ends before the terminator record: run-time error 100
    Malformed,  // breaks the data model: refused like a pack that cannot be opened
};

// Parses the directory of an archive image held in memory. reason says what is wrong.
PakParse ParsePakDirectory(const std::vector<uint8_t>& image, std::vector<PakEntry>& entries, std::string& reason);

// Index of the first entry named exactly name, or -1.
int32_t FindPakEntry(const PakArchive& archive, const std::string& name);

// The stop for a pack that cannot serve: after StopVideo, "<program>: path: reason" on standard
// error and "Can't open PAK file: \"path\"!" on standard output, exit status 1.
[[noreturn]] void RefusePak(const std::string& path, const std::string& reason);

// Opens the archive read-only. Does not return when it cannot be opened or is malformed:
// after StopVideo, "Can't open PAK file: \"path\"!" and exit status 1 (100 for a cut directory).
PakArchive* OpenPak(const std::string& path);

// The bytes of the first entry named name. Returns false (and prints nothing) when the archive
// has no entries at all; a name missing from a non-empty archive stops the program after
// StopVideo with "Can't find PAK subfile: \"name\"!" and exit status 1.
bool ReadPakSubfile(const PakArchive* archive, const std::string& name, std::vector<uint8_t>& data);

void ClosePak(PakArchive* archive);

// One subfile to be laid out in a new archive.
struct PakFile {
    std::string name;
    std::vector<uint8_t> data;
};

// Lays out an archive holding files in the given order. Refuses (false, reason naming the
// file) what a reader could not get back: an empty name, a name longer than 11 characters or
// holding a zero byte, a name used twice, more than 32768 files, more than 2 GiB in all.
bool BuildPakImage(const std::vector<PakFile>& files, std::vector<uint8_t>& image, std::string& reason);
