#include "resources/pak.h"

#include <cstdio>
#include <cstring>
#include <limits>
#include <set>

#include "util/files.h"

static int32_t ReadInt32(const uint8_t* bytes)
{
    uint32_t value = uint32_t(bytes[0]) | uint32_t(bytes[1]) << 8 | uint32_t(bytes[2]) << 16 | uint32_t(bytes[3]) << 24;
    return int32_t(value);
}

static void WriteInt32(uint8_t* bytes, int32_t value)
{
    uint32_t bits = uint32_t(value);
    for (int i = 0; i < 4; i++)
        bytes[i] = uint8_t(bits >> (8 * i));
}

Result ParsePakDirectory(const std::vector<uint8_t>& image, std::vector<PakEntry>& entries)
{
    entries.clear();
    size_t fileSize = image.size();

    // Counting pass: find the terminator before trusting any record.
    size_t count = 0;
    for (;;) {
        size_t at = count * PakRecordSize;
        if (fileSize < at + PakRecordSize)
            return Failed(RunErrorShortRead, "the file ends inside the directory (no terminator record)");
        if (ReadInt32(&image[at + PakNameField]) == 0)
            break;
        if (++count > size_t(PakMaxEntries))
            return Rejected("more than " + std::to_string(int(PakMaxEntries)) + " directory entries");
    }

    size_t directoryEnd = (count + 1) * PakRecordSize;
    std::vector<PakEntry> parsed(count);
    for (size_t k = 0; k < count; k++) {
        const uint8_t* record = &image[k * PakRecordSize];
        const void* zero = std::memchr(record, 0, PakNameField);
        if (!zero)
            return Rejected("entry " + std::to_string(k) + " has a name without an ending zero byte");
        parsed[k].name.assign(reinterpret_cast<const char*>(record), static_cast<const uint8_t*>(zero) - record);
        int32_t offset = ReadInt32(record + PakNameField);
        // Negative offsets fail this test as well.
        if (offset < 0 || size_t(offset) < directoryEnd)
            return Rejected("entry \"" + parsed[k].name + "\" starts inside the directory (offset " +
                            std::to_string(offset) + ")");
        if (size_t(offset) > fileSize)
            return Rejected("entry \"" + parsed[k].name + "\" starts beyond the end of the file (offset " +
                            std::to_string(offset) + ", file size " + std::to_string(fileSize) + ")");
        if (k > 0 && offset < parsed[k - 1].offset)
            return Rejected("entry \"" + parsed[k].name + "\" starts before the entry ahead of it (offset " +
                            std::to_string(offset) + " after " + std::to_string(parsed[k - 1].offset) + ")");
        parsed[k].offset = offset;
        if (k > 0)
            parsed[k - 1].size = offset - parsed[k - 1].offset;
    }
    // The last subfile runs to the end of the file, which must stay within the offset range.
    if (count > 0) {
        if (fileSize > size_t(std::numeric_limits<int32_t>::max()))
            return Rejected("the file is larger than 2 GiB");
        parsed[count - 1].size = int32_t(fileSize) - parsed[count - 1].offset;
    }
    entries = std::move(parsed);
    return {};
}

int32_t FindPakEntry(const PakArchive& archive, const std::string& name)
{
    for (size_t k = 0; k < archive.entries.size(); k++)
        if (archive.entries[k].name == name)
            return int32_t(k);
    return -1;
}

Result OpenPak(const std::string& path, PakArchive& archive)
{
    archive = PakArchive();
    archive.path = path;
    Result read = ReadWholeFile(path, archive.image);
    if (read.ok())
        read = ParsePakDirectory(archive.image, archive.entries);
    // A pack that cannot be opened is refused as one that breaks the format; only a file that
    // ends early or does not fit in memory is a run-time error.
    if (!read.ok() && read.code != RunErrorShortRead && read.code != RunErrorOutOfMemory)
        read = Rejected(read.reason);
    return read;
}

std::string PakRefusedLine(const std::string& path)
{
    return "Can't open PAK file: \"" + path + "\"!";
}

Result ReadPakSubfile(const PakArchive& archive, const std::string& name, std::vector<uint8_t>& data)
{
    data.clear();
    if (archive.entries.empty())
        return {};
    int32_t k = FindPakEntry(archive, name);
    if (k < 0)
        return Rejected("no subfile is named \"" + name + "\"");
    const PakEntry& entry = archive.entries[size_t(k)];
    // The directory was checked against the image when it was parsed.
    auto first = archive.image.begin() + entry.offset;
    data.assign(first, first + entry.size);
    return {};
}

std::string PakMissingLine(const std::string& name)
{
    return "Can't find PAK subfile: \"" + name + "\"!";
}

Result BuildPakImage(const std::vector<PakFile>& files, std::vector<uint8_t>& image)
{
    image.clear();
    if (files.size() > size_t(PakMaxEntries))
        return Rejected("more than " + std::to_string(int(PakMaxEntries)) + " files");
    std::set<std::string> seen;
    size_t total = (files.size() + 1) * PakRecordSize;
    for (const PakFile& file : files) {
        if (file.name.empty() || file.name.size() > size_t(PakMaxNameLength))
            return Rejected("\"" + file.name + "\": a subfile name must have 1 to " +
                            std::to_string(int(PakMaxNameLength)) + " characters");
        if (file.name.find('\0') != std::string::npos)
            return Rejected("\"" + file.name + "\": a subfile name cannot hold a zero byte");
        if (!seen.insert(file.name).second)
            return Rejected("\"" + file.name + "\": the name is given twice, and only the first could ever be read");
        total += file.data.size();
        if (total > size_t(std::numeric_limits<int32_t>::max()))
            return Rejected("the pack would be larger than 2 GiB");
    }
    image.assign(total, 0);
    size_t offset = (files.size() + 1) * PakRecordSize;
    for (size_t k = 0; k < files.size(); k++) {
        uint8_t* record = &image[k * PakRecordSize];
        std::memcpy(record, files[k].name.data(), files[k].name.size());
        WriteInt32(record + PakNameField, int32_t(offset));
        if (!files[k].data.empty())
            std::memcpy(&image[offset], files[k].data.data(), files[k].data.size());
        offset += files[k].data.size();
    }
    return {};
}
