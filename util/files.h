// Whole-file reading and atomic whole-file writing, shared by the editor and the converters.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "util/result.h"

// A failure's code is the run-time error number to stop with: the OS error code, or 100 / 101
// for a short read / write, 203 when the file's image does not fit in memory.

// Reads the whole file, opened read-only. A directory is refused (EISDIR); a file that
// shrinks while it is read gives 100.
Result ReadWholeFile(const std::string& path, std::vector<uint8_t>& data);

// A file opened read-only to be read in pieces, closed when it goes out of scope.
struct InputFile {
    int fd = -1;
    uint64_t size = 0;  // the length when it was opened

    InputFile() = default;
    InputFile(InputFile&& other) noexcept;
    InputFile& operator=(InputFile&& other) noexcept;
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;
    ~InputFile();
};

// Opens the file with the refusals of ReadWholeFile (a directory gives EISDIR).
Result OpenInputFile(const std::string& path, InputFile& file);

// Reads size bytes from offset on. A file that ends before them, because another program
// shortened it since it was opened, gives 100: reading, unlike a mapping, cannot fault.
Result ReadInputFile(const InputFile& file, uint64_t offset, uint8_t* data, size_t size);

// Writes data to a temporary file in the target's folder and renames it over the target, so
// that a failure never leaves a partial file nor touches an existing one. The temporary name
// has a fixed length, so any target name the file system accepts works. An existing target's
// permission bits are kept; a new file gets 0666 less the umask. A short write gives 101.
// A symbolic link is followed: the file it names is replaced and the link stays.
// durable also flushes the data to the disk before the rename, so that not even a power cut
// leaves an empty file behind (worth it for hand-made work, not for regenerable outputs).
Result WriteFileAtomic(const std::string& path, const uint8_t* data, size_t size, bool durable = true);

inline Result WriteFileAtomic(const std::string& path, const std::vector<uint8_t>& data, bool durable = true)
{
    return WriteFileAtomic(path, data.data(), data.size(), durable);
}

// The same in steps, for outputs produced piece by piece: Begin, any number of chunks, Commit.
// A failed step has already removed the temporary file; one never committed is removed when the
// AtomicFile goes out of scope, or earlier by Abandon (which does nothing after a failed step or a
// commit).
struct AtomicFile {
    int fd = -1;
    std::string path;  // the target
    std::string temp;  // the temporary file beside it
    unsigned mode = 0;

    AtomicFile() = default;
    AtomicFile(AtomicFile&& other) noexcept;
    AtomicFile& operator=(AtomicFile&& other) noexcept;
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;
    ~AtomicFile();
};
Result BeginAtomicWrite(const std::string& path, AtomicFile& file);
Result WriteAtomicChunk(AtomicFile& file, const uint8_t* data, size_t size);
Result CommitAtomicWrite(AtomicFile& file, bool durable = true);
void AbandonAtomicWrite(AtomicFile& file);
