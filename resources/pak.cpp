#include "resources/pak.h"

#include <cstdio>
#include <cstring>
#include <limits>
#include <set>

#include "gfx/video.h"
#include "util/fatal.h"
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

PakParse ParsePakDirectory(const std::vector<uint8_t>& image, std::vector<PakEntry>& entries, std::string& reason)
{
    entries.clear();
    size_t fileSize = image.size();

    // Counting pass: find the terminator before trusting any record.
    size_t count = 0;
    for (;;) {
        size_t at = count * PakRecordSize;
        if (fileSize < at + PakRecordSize) {
            reason = "the file ends inside the directory (no terminator record)";
            return PakParse::ShortDirectory;
        }
        if (ReadInt32(&image[at + PakNameField]) == 0)
            break;
        if (++count > size_t(PakMaxEntries)) {
            reason = "more than " + std::to_string(int(PakMaxEntries)) + " directory entries";
            return PakParse::Malformed;
        }
    }

    size_t directoryEnd = (count + 1) * PakRecordSize;
    std::vector<PakEntry> parsed(count);
    for (size_t k = 0; k < count; k++) {
        const uint8_t* record = &image[k * PakRecordSize];
        const void* zero = std::memchr(record, 0, PakNameField);
        if (!zero) {
            reason = "entry " + std::to_string(k) + " has a name without an ending zero byte";
            return PakParse::Malformed;
        }
        parsed[k].name.assign(reinterpret_cast<const char*>(record), static_cast<const uint8_t*>(zero) - record);
        int32_t offset = ReadInt32(record + PakNameField);
        // Negative offsets fail this test as well.
        if (offset < 0 || size_t(offset) < directoryEnd) {
            reason = "entry \"" + parsed[k].name + "\" starts inside the directory (offset " + std::to_string(offset) +
                     ")";
            return PakParse::Malformed;
        }
        if (size_t(offset) > fileSize) {
            reason = "entry \"" + parsed[k].name + "\" starts beyond the end of the file (offset " +
                     std::to_string(offset) + ", file size " + std::to_string(fileSize) + ")";
            return PakParse::Malformed;
        }
        if (k > 0 && offset < parsed[k - 1].offset) {
            reason = "entry \"" + parsed[k].name + "\" starts before the entry ahead of it (offset " +
                     std::to_string(offset) + " after " + std::to_string(parsed[k - 1].offset) + ")";
            return PakParse::Malformed;
        }
        parsed[k].offset = offset;
        if (k > 0)
            parsed[k - 1].size = offset - parsed[k - 1].offset;
    }
    // The last subfile runs to the end of the file, which must stay within the offset range.
    if (count > 0) {
        if (fileSize > size_t(std::numeric_limits<int32_t>::max())) {
            reason = "the file is larger than 2 GiB";
            return PakParse::Malformed;
        }
        parsed[count - 1].size = int32_t(fileSize) - parsed[count - 1].offset;
    }
    entries = std::move(parsed);
    return PakParse::Ok;
}

int32_t FindPakEntry(const PakArchive& archive, const std::string& name)
{
    for (int32_t k = 0; k < archive.entryCount; k++)
        if (archive.entries[size_t(k)].name == name)
            return k;
    return -1;
}

// The reason goes to standard error once the video is down, ahead of the worded line.
[[noreturn]] void RefusePak(const std::string& path, const std::string& reason)
{
    StopVideo();
    std::fprintf(stderr, "%s: %s: %s\n", ProgramName().c_str(), path.c_str(), reason.c_str());
    FatalLine("Can't open PAK file: \"" + path + "\"!", 1);
}

PakArchive* OpenPak(const std::string& path)
{
    PakArchive* archive = new PakArchive;
    archive->path = path;
    Result status = ReadWholeFile(path, archive->image);
    if (!status.ok()) {
        delete archive;
        if (status.code == RunErrorOutOfMemory || status.code == RunErrorShortRead)
            RunError(status.code, path, status.reason);
        RefusePak(path, status.reason);
    }
    std::string reason;
    switch (ParsePakDirectory(archive->image, archive->entries, reason)) {
    case PakParse::Ok:
        break;
    case PakParse::ShortDirectory:
        delete archive;
        RunError(RunErrorShortRead, path, reason);
    case PakParse::Malformed:
        delete archive;
        RefusePak(path, reason);
    }
    archive->entryCount = int32_t(archive->entries.size());
    return archive;
}

bool ReadPakSubfile(const PakArchive* archive, const std::string& name, std::vector<uint8_t>& data)
{
    data.clear();
    if (archive->entryCount == 0)
        return false;
    int32_t k = FindPakEntry(*archive, name);
    if (k < 0)
        FatalLine("Can't find PAK subfile: \"" + name + "\"!", 1);
    const PakEntry& entry = archive->entries[size_t(k)];
    // The directory was checked against the image when it was parsed.
    auto first = archive->image.begin() + entry.offset;
    data.assign(first, first + entry.size);
    return true;
}

void ClosePak(PakArchive* archive)
{
    delete archive;
}

bool BuildPakImage(const std::vector<PakFile>& files, std::vector<uint8_t>& image, std::string& reason)
{
    image.clear();
    if (files.size() > size_t(PakMaxEntries)) {
        reason = "more than " + std::to_string(int(PakMaxEntries)) + " files";
        return false;
    }
    std::set<std::string> seen;
    size_t total = (files.size() + 1) * PakRecordSize;
    for (const PakFile& file : files) {
        if (file.name.empty() || file.name.size() > size_t(PakMaxNameLength)) {
            reason = "\"" + file.name + "\": a subfile name must have 1 to " + std::to_string(int(PakMaxNameLength)) +
                     " characters";
            return false;
        }
        if (file.name.find('\0') != std::string::npos) {
            reason = "\"" + file.name + "\": a subfile name cannot hold a zero byte";
            return false;
        }
        if (!seen.insert(file.name).second) {
            reason = "\"" + file.name + "\": the name is given twice, and only the first could ever be read";
            return false;
        }
        total += file.data.size();
        if (total > size_t(std::numeric_limits<int32_t>::max())) {
            reason = "the pack would be larger than 2 GiB";
            return false;
        }
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
    return true;
}
