#include "editor/pngdoc.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <sys/stat.h>

#include "editor/packpath.h"
#include "resources/loader.h"
#include "resources/pak.h"
#include "util/fatal.h"
#include "util/files.h"
#include "util/png.h"

void LoadPackPalette(const std::string& packPath, uint8_t palette[PaletteSize])
{
    PakArchive archive;
    StopOnFailure(OpenPak(packPath, archive), packPath, PakRefusedLine(packPath));
    bool found = false;
    std::vector<uint8_t> data;
    std::string baseName;
    std::string extension;
    // Every palette is applied in turn, as the editor's loader does, so that the same subfile wins
    // and a short one is refused with the same line.
    for (const PakEntry& entry : archive.entries) {
        SplitSubfileName(entry.name, baseName, extension);
        if (extension != "VPL")
            continue;
        StopOnFailure(ReadPakSubfile(archive, entry.name, data), "", PakMissingLine(entry.name));
        ApplyPaletteData(data.data(), data.size(), entry.name);
        found = true;
    }
    if (!found)
        StopOnFailure(Rejected("it holds no palette (a .VPL subfile)"), packPath, PakRefusedLine(packPath));
    std::memcpy(palette, CurrentPalette, PaletteSize);
}

// A 6-bit component as 8 bits, its top bits repeated below (63 gives 255). Components above 63
// count as 63, as on the screen.
static uint8_t Widen(uint8_t component)
{
    uint32_t c = std::min<uint32_t>(component, 63);
    return uint8_t(c << 2 | c >> 4);
}

Result EncodeDocumentPng(const SpriteDocument& document, const uint8_t palette[PaletteSize],
                         std::vector<uint8_t>& file)
{
    size_t width = document.width;
    size_t height = document.height;
    std::vector<uint8_t> indices(width * height);
    for (size_t y = 0; y < height; y++)
        std::memcpy(&indices[y * width], document.cells[y], width);
    PngImageOut image;
    image.width = uint32_t(width);
    image.height = uint32_t(height);
    image.colour = PngColour::Indexed;
    image.pixels = indices.data();
    image.palette.resize(PaletteSize);
    for (size_t i = 0; i < PaletteSize; i++)
        image.palette[i] = Widen(palette[i]);
    image.paletteAlpha.assign(size_t(document.keyColour) + 1, 255);
    image.paletteAlpha[document.keyColour] = 0;
    image.hasGrab = true;
    image.grabX = document.originX;
    image.grabY = document.originY;
    return EncodePng(image, file);
}

// The index other than the key colour 0 nearest to an 8-bit colour; exact tells whether it is
// that colour.
static uint8_t NearestIndex(const uint8_t widened[PaletteSize], const uint8_t* rgb, bool& exact)
{
    uint32_t best = 0xFFFFFFFF;
    uint8_t bestIndex = 1;
    for (size_t i = 1; i < 256 && best != 0; i++) {
        int32_t dr = int32_t(rgb[0]) - widened[3 * i];
        int32_t dg = int32_t(rgb[1]) - widened[3 * i + 1];
        int32_t db = int32_t(rgb[2]) - widened[3 * i + 2];
        uint32_t distance = uint32_t(dr * dr + dg * dg + db * db);
        if (distance < best) {  // strictly: a tie keeps the lower index
            best = distance;
            bestIndex = uint8_t(i);
        }
    }
    exact = best == 0;
    return bestIndex;
}

static int32_t Clamp(int32_t value, uint32_t size, bool& clamped)
{
    int32_t inside = std::clamp<int32_t>(value, 0, int32_t(size) - 1);
    clamped = clamped || inside != value;
    return inside;
}

Result DecodeDocumentPng(const uint8_t* data, size_t size, const uint8_t palette[PaletteSize],
                         SpriteDocument& document, PngImportNotes& notes)
{
    notes = PngImportNotes();
    uint32_t width = 0;
    uint32_t height = 0;
    Result result = ReadPngSize(data, size, width, height);
    if (!result.ok())
        return result;
    if (width > LargestSpriteSide || height > LargestSpriteSide)
        return Rejected("the picture is " + std::to_string(width) + "x" + std::to_string(height) +
                        " pixels; a sprite is 1 to 255 in each dimension");
    PngPicture picture;
    result = DecodePng(data, size, PngIndices::Keep, picture);
    if (!result.ok())
        return result;

    uint8_t key = 0;
    std::vector<uint8_t> indices;
    if (picture.indexed) {
        auto transparent = std::find(picture.paletteAlpha.begin(), picture.paletteAlpha.end(), 0);
        if (transparent != picture.paletteAlpha.end())
            key = uint8_t(transparent - picture.paletteAlpha.begin());
        indices = std::move(picture.pixels);
    } else {
        uint8_t widened[PaletteSize];
        for (size_t i = 0; i < PaletteSize; i++)
            widened[i] = Widen(palette[i]);
        indices.resize(size_t(width) * height);
        for (size_t p = 0; p < indices.size(); p++) {
            const uint8_t* rgba = &picture.pixels[4 * p];
            if (rgba[3] < 128)
                continue;  // the key colour 0
            bool exact = false;
            indices[p] = NearestIndex(widened, rgba, exact);
            notes.approximated += exact ? 0 : 1;
        }
    }

    ResetDocument(document);
    document.width = uint8_t(width);
    document.height = uint8_t(height);
    document.keyColour = key;
    for (size_t y = 0; y < height; y++)
        std::memcpy(document.cells[y], &indices[y * width], width);
    if (picture.hasGrab) {
        notes.grabX = picture.grabX;
        notes.grabY = picture.grabY;
        document.originX = Clamp(picture.grabX, width, notes.clamped);
        document.originY = Clamp(picture.grabY, height, notes.clamped);
    }
    return Result();
}

static void Note(const std::string& file, const std::string& line)
{
    std::fprintf(stderr, "%s: %s: %s\n", ProgramName().c_str(), file.c_str(), line.c_str());
}

// Written as the editor saves: atomically, and never over a file that has no write permission.
static void WriteOrStop(const std::string& path, const std::vector<uint8_t>& bytes)
{
    StopOnFailure(WriteDocumentImage(path, bytes), path);
}

static int ExportDocumentCommand(const std::string& spritePath, const std::string& pngPath, const std::string& packPath)
{
    struct stat info;
    // The editor starts a missing document fresh; there is nothing here to export.
    if (::stat(spritePath.c_str(), &info) != 0 && errno == ENOENT)
        StopOnFailure(FailedFromErrno(ENOENT, "cannot open"), spritePath);
    auto document = std::make_unique<SpriteDocument>();
    ResetDocument(*document);
    StopOnFailure(ReadDocument(spritePath, *document), spritePath);
    NormaliseHeader(*document);  // as the editor shows and saves it
    struct stat output;
    if (::stat(spritePath.c_str(), &info) == 0 && ::stat(pngPath.c_str(), &output) == 0 &&
        output.st_dev == info.st_dev && output.st_ino == info.st_ino)
        FatalReject(pngPath, "is the sprite itself: not replaced");
    uint8_t palette[PaletteSize];
    LoadPackPalette(packPath, palette);
    std::vector<uint8_t> file;
    StopOnFailure(EncodeDocumentPng(*document, palette, file), pngPath);
    WriteOrStop(pngPath, file);
    return 0;
}

static int ImportDocumentCommand(const std::string& pngPath, const std::string& spritePath, const std::string& packPath)
{
    std::vector<uint8_t> data;
    StopOnFailure(ReadWholeFile(pngPath, data), pngPath);
    uint8_t palette[PaletteSize];
    LoadPackPalette(packPath, palette);
    auto document = std::make_unique<SpriteDocument>();
    PngImportNotes notes;
    StopOnFailure(DecodeDocumentPng(data.data(), data.size(), palette, *document, notes), pngPath);

    // Arguments the wrong way round, or IN.png given twice, must not cost the picture.
    std::vector<uint8_t> existing;
    struct stat info;
    if (::stat(spritePath.c_str(), &info) == 0 && S_ISREG(info.st_mode) && ReadWholeFile(spritePath, existing).ok())
        if (const char* kind = ForeignImageKind(existing.data(), existing.size()))
            FatalReject(spritePath, std::string(kind) + ", not a sprite document: not replaced");
    // Bytes after the cells are someone's work too (a hi-colour picture): kept as the editor
    // keeps them before its first save.
    auto old = std::make_unique<SpriteDocument>();
    bool keepOriginal = !existing.empty() && DecodeDocument(existing.data(), existing.size(), *old).ok() &&
                        existing.size() > EncodeDocument(*old).size();
    if (keepOriginal) {
        Result kept = WriteFileAtomic(spritePath + ".orig", existing);
        if (!kept.ok())
            kept.reason = "cannot keep the original as " + spritePath + ".orig: " + kept.reason;
        StopOnFailure(kept, spritePath);
    }

    WriteOrStop(spritePath, EncodeDocument(*document));
    if (keepOriginal)
        Note(spritePath, "the original file, with its bytes after the cells, is kept as " + spritePath + ".orig");
    if (notes.approximated > 0)
        Note(pngPath, std::to_string(notes.approximated) + " of " +
                          std::to_string(uint32_t(document->width) * document->height) +
                          " pixels took the nearest palette colour");
    if (notes.clamped)
        Note(pngPath, "the grAb origin (" + std::to_string(notes.grabX) + ", " + std::to_string(notes.grabY) +
                          ") lies outside the " + std::to_string(document->width) + "x" +
                          std::to_string(document->height) + " picture; it became (" +
                          std::to_string(document->originX) + ", " + std::to_string(document->originY) + ")");
    return 0;
}

bool IsPngDocumentCommand(const char* argument)
{
    return std::strcmp(argument, "--export") == 0 || std::strcmp(argument, "--import") == 0;
}

int RunPngDocumentCommand(int argc, char** argv)
{
    bool exporting = std::strcmp(argv[1], "--export") == 0;
    if (argc != 4) {
        std::fprintf(stderr, "Usage: koba %s\n", exporting ? "--export SPRITE OUT.png" : "--import IN.png SPRITE");
        return 2;
    }
    std::string packPath = ResourcePackPath(argv[0] ? argv[0] : "");
    return exporting ? ExportDocumentCommand(argv[2], argv[3], packPath)
                     : ImportDocumentCommand(argv[2], argv[3], packPath);
}
