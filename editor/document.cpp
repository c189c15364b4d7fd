#include "editor/document.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

#include "util/fatal.h"
#include "util/path.h"

void ResetDocument(SpriteDocument& document)
{
    document.width = FreshDocumentSize;
    document.height = FreshDocumentSize;
    document.originX = 0;
    document.originY = 0;
    document.keyColour = 0;
    std::memset(document.cells, 0, sizeof document.cells);
}

const char* DecodeDocument(const uint8_t* data, size_t size, SpriteDocument& document)
{
    if (size < size_t(DocumentHeaderSize))
        return "file ended early, inside the five header bytes";
    size_t width = data[0];
    size_t height = data[1];
    if (size - DocumentHeaderSize < width * height)
        return "file ended early, before the last cell";
    document.width = uint8_t(width);
    document.height = uint8_t(height);
    document.originX = data[2];
    document.originY = data[3];
    document.keyColour = data[4];
    const uint8_t* cell = data + DocumentHeaderSize;
    for (size_t y = 0; y < height; ++y, cell += width)
        std::memcpy(document.cells[y], cell, width);
    return nullptr;
}

// Origins outside the sprite (a header not yet normalised) must still fit their byte.
static uint8_t PositionByte(int32_t position)
{
    return uint8_t(position & 0xFF);
}

std::vector<uint8_t> EncodeDocument(const SpriteDocument& document)
{
    size_t width = document.width;
    size_t height = document.height;
    std::vector<uint8_t> image(DocumentHeaderSize + width * height);
    image[0] = document.width;
    image[1] = document.height;
    image[2] = PositionByte(document.originX);
    image[3] = PositionByte(document.originY);
    image[4] = document.keyColour;
    uint8_t* cell = image.data() + DocumentHeaderSize;
    for (size_t y = 0; y < height; ++y, cell += width)
        std::memcpy(cell, document.cells[y], width);
    return image;
}

void ReadDocument(const std::string& path, SpriteDocument& document)
{
    struct stat info;
    if (::stat(path.c_str(), &info) != 0 && errno == ENOENT)
        return;  // a new document: created at exit
    std::vector<uint8_t> image;
    // Starting blank here would overwrite the user's sprite at exit.
    StopOnFailure(ReadWholeFile(path, image), path);
    if (const char* reason = DecodeDocument(image.data(), image.size(), document))
        RunError(RunErrorShortRead, path, reason);
}

Result WriteDocument(const std::string& path, const SpriteDocument& document)
{
    struct stat info;
    // Replacing by rename would get past a file's missing write permission; honour it instead.
    if (::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && (info.st_mode & 0222) == 0)
        return Failed(EACCES, "cannot write: the file is read-only");
    return WriteFileAtomic(path, EncodeDocument(document));
}

std::string WriteRecoveryFile(const std::string& path, const SpriteDocument& document)
{
    // Bounded, so that the longest name the file system takes still leaves room for the suffix.
    std::string name = FileNamePart(path, PathSeparators::Slash).substr(0, 200);
    if (name.empty())
        name = "sprite";
    name += ".recovered-" + std::to_string(::getpid());
    std::vector<std::string> folders;
    folders.push_back(DirectoryPart(path, PathSeparators::Slash));
    const char* temp = std::getenv("TMPDIR");
    folders.push_back(std::string(temp && *temp ? temp : "/tmp") + "/");
    std::vector<uint8_t> image = EncodeDocument(document);
    for (const std::string& folder : folders) {
        std::string candidate = folder + name;
        if (WriteFileAtomic(candidate, image).ok())
            return candidate;
    }
    return "";
}

void SaveDocument(const std::string& path, const SpriteDocument& document)
{
    Result status = WriteDocument(path, document);
    if (status.ok())
        return;
    std::string recovery = WriteRecoveryFile(path, document);
    status.reason += recovery.empty() ? "; the edits could not be kept anywhere"
                                      : "; the file is unchanged and the edits are in " + recovery;
    StopOnFailure(status, path);
}
