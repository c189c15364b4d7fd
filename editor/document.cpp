#include "editor/document.h"

#include <cerrno>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

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

Result DecodeDocument(const uint8_t* data, size_t size, SpriteDocument& document)
{
    if (size < size_t(DocumentHeaderSize))
        return Failed(RunErrorShortRead, "file ended early, inside the five header bytes");
    size_t width = data[0];
    size_t height = data[1];
    if (size - DocumentHeaderSize < width * height)
        return Failed(RunErrorShortRead, "file ended early, before the last cell");
    document.width = uint8_t(width);
    document.height = uint8_t(height);
    document.originX = data[2];
    document.originY = data[3];
    document.keyColour = data[4];
    const uint8_t* cell = data + DocumentHeaderSize;
    for (size_t y = 0; y < height; ++y, cell += width)
        std::memcpy(document.cells[y], cell, width);
    return {};
}

// Origins outside the sprite (a header not yet normalised) must still fit their byte.
static uint8_t PositionByte(int32_t position)
{
    return uint8_t(position & 0xFF);
}

// The header comes from one document, the cells from another's grid: a normalised copy of the
// header needs no copy of the cells.
static std::vector<uint8_t> Encode(const SpriteDocument& header, const uint8_t (*cells)[DocumentGrid])
{
    size_t width = header.width;
    size_t height = header.height;
    std::vector<uint8_t> image(DocumentHeaderSize + width * height);
    image[0] = header.width;
    image[1] = header.height;
    image[2] = PositionByte(header.originX);
    image[3] = PositionByte(header.originY);
    image[4] = header.keyColour;
    uint8_t* cell = image.data() + DocumentHeaderSize;
    for (size_t y = 0; y < height; ++y, cell += width)
        std::memcpy(cell, cells[y], width);
    return image;
}

std::vector<uint8_t> EncodeDocument(const SpriteDocument& document)
{
    return Encode(document, document.cells);
}

const char* ForeignImageKind(const uint8_t* data, size_t size)
{
    static const uint8_t png[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (size >= sizeof png && std::memcmp(data, png, sizeof png) == 0)
        return "a PNG image";
    // An SGI header alone is 512 bytes: a sprite of 1 x 218 cells starts with the same magic
    // number but is far shorter.
    if (size >= 512 && data[0] == 0x01 && data[1] == 0xDA && data[2] <= 1 && (data[3] == 1 || data[3] == 2))
        return "an SGI image";
    return nullptr;
}

static bool Writable(const std::string& path)
{
    return ::access(path.c_str(), W_OK) == 0;
}

Result ReadDocument(const std::string& path, SpriteDocument& document, DocumentSource* source)
{
    DocumentSource found;
    struct stat info;
    std::string folder = DirectoryPart(path, PathSeparators::Slash);
    if (::stat(path.c_str(), &info) != 0 && errno == ENOENT) {
        // A mistyped folder would only show when the edits cannot be saved at exit.
        if (::stat(folder.empty() ? "." : folder.c_str(), &info) != 0)
            return Failed(ENOENT, "cannot create: the folder " + folder + " does not exist");
        found.readOnly = !Writable(folder.empty() ? "." : folder);
        if (source)
            *source = std::move(found);
        return {};  // a new document: created at exit
    }
    std::vector<uint8_t> image;
    // Starting blank here would overwrite the user's sprite at exit.
    Result read = ReadWholeFile(path, image);
    if (!read.ok())
        return read;
    if (const char* kind = ForeignImageKind(image.data(), image.size()))
        return Rejected(std::string(kind) + ", not a sprite document (koba --import makes one from it)");
    found.existed = true;
    // No write permission at all is refused even to the superuser (see WriteDocument).
    found.readOnly = (info.st_mode & 0222) == 0 || !Writable(path) || !Writable(folder.empty() ? "." : folder);
    if (!image.empty()) {  // an empty file holds nothing to lose: a fresh document
        Result decoded = DecodeDocument(image.data(), image.size(), document);
        if (!decoded.ok())
            return decoded;
        if (image.size() > EncodeDocument(document).size())
            found.withExtraBytes = std::move(image);
    }
    if (source)
        *source = std::move(found);
    return {};
}

static int32_t Wrap(int32_t position, int32_t size)
{
    int32_t r = position % size;
    return r < 0 ? r + size : r;
}

void NormaliseHeader(SpriteDocument& document)
{
    if (document.width < 1)
        document.width = 1;
    if (document.height < 1)
        document.height = 1;
    document.originX = Wrap(document.originX, document.width);
    document.originY = Wrap(document.originY, document.height);
}

std::vector<uint8_t> EncodeNormalised(const SpriteDocument& document)
{
    SpriteDocument header;
    std::memcpy(&header, &document, offsetof(SpriteDocument, cells));
    NormaliseHeader(header);
    return Encode(header, document.cells);
}

Result WriteDocumentImage(const std::string& path, const std::vector<uint8_t>& image)
{
    struct stat info;
    // Replacing by rename would get past a file's missing write permission; honour it instead.
    if (::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && (info.st_mode & 0222) == 0)
        return Failed(EACCES, "cannot write: the file is read-only");
    return WriteFileAtomic(path, image);
}

Result WriteDocument(const std::string& path, const SpriteDocument& document)
{
    return WriteDocumentImage(path, EncodeDocument(document));
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
    std::vector<uint8_t> image = EncodeNormalised(document);
    for (const std::string& folder : folders) {
        std::string candidate = folder + name;
        if (WriteFileAtomic(candidate, image).ok())
            return candidate;
    }
    return "";
}
