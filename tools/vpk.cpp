// vpk: lists, extracts, creates and previews resource packs (PAK archives).
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <new>
#include <string>
#include <sys/stat.h>
#include <vector>

#include "convert/rgb565.h"
#include "gfx/sprites.h"
#include "gfx/canvas.h"
#include "resources/loader.h"
#include "resources/pak.h"
#include "util/fatal.h"
#include "util/files.h"
#include "util/path.h"
#include "util/version.h"
#include "util/png.h"

static const char* const HelpText =
    "Usage: vpk COMMAND PACK [ARGUMENTS]\n"
    "Look into, unpack, build and preview Gravlin resource packs (PAK archives, such as the\n"
    "editor's KOBA.VPK).\n"
    "\n"
    "Commands:\n"
    "  vpk list PACK             one line per subfile, in directory order: name, offset and\n"
    "                            size in bytes (sizes follow from consecutive offsets)\n"
    "  vpk extract PACK DIR      write every subfile into DIR (created when missing) under its\n"
    "                            own name; a name used twice is written once, with the bytes\n"
    "                            that the loader reads (the first entry's)\n"
    "  vpk create PACK FILE...   make PACK from the FILEs, in the order given, each named by its\n"
    "                            file name without folders (1 to 11 characters, each name once)\n"
    "  vpk preview PACK OUT.png  load PACK the way the editor does and write the enlarged,\n"
    "                            smoothed sprites and glyphs as an 8-bit RGB PNG: the hi-colour\n"
    "                            sheet, 1024 pixels wide, from its top row (canvas row 2560)\n"
    "                            down to the lowest row an image reaches\n"
    "  vpk --help                this text\n"
    "  vpk --version             the version\n"
    "\n"
    "What the loader does with a subfile depends on the three characters after the first '.'\n"
    "of its name, case-sensitive: \"VPL\" is a palette (768 bytes, 6-bit red, green, blue for\n"
    "each of 256 colours), \"VSF\" a sprite registered under the part before the '.', \"VFF\" a\n"
    "font glyph registered as PACKNAME:BASE (PACKNAME is the pack's file name up to its first\n"
    "'.'; the editor's font finds glyphs named KOBA:41 for 'A', so they are 41.VFF in\n"
    "KOBA.VPK). Anything else is skipped. Sprites and glyphs take their colours from the\n"
    "palette loaded before them, so a pack lists its palette first.\n"
    "A sprite or glyph is 5 bytes (width, height, origin x, origin y, key colour) followed by\n"
    "width x height colour indices, row by row; glyph ink is colour 255.\n"
    "\n"
    "Exit status: 0 done, 1 a refused or broken pack or input, 2 a usage error; a failed\n"
    "file operation exits with the system's error number (100 for a file that ends early).\n";

static int Usage()
{
    std::fprintf(stderr, "Usage: vpk list|extract|create|preview PACK ...; vpk --help explains them\n");
    return 2;
}

static void OpenOrStop(const std::string& packPath, PakArchive& archive)
{
    StopOnFailure(OpenPak(packPath, archive), packPath, PakRefusedLine(packPath));
}

static int ListPack(const std::string& packPath)
{
    PakArchive archive;
    OpenOrStop(packPath, archive);
    for (const PakEntry& entry : archive.entries)
        std::printf("%-11s %10d %10d\n", entry.name.c_str(), entry.offset, entry.size);
    return 0;
}

// A name that would leave DIR, or that no file can have, is not written.
static bool SafeFileName(const std::string& name)
{
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos;
}

static int ExtractPack(const std::string& packPath, const std::string& folder)
{
    PakArchive archive;
    OpenOrStop(packPath, archive);
    if (::mkdir(folder.c_str(), 0777) != 0 && errno != EEXIST)
        RunErrorFromErrno(errno, folder, "cannot create the folder");
    int status = 0;
    std::vector<uint8_t> data;
    for (int32_t k = 0; k < int32_t(archive.entries.size()); k++) {
        const std::string& name = archive.entries[size_t(k)].name;
        if (!SafeFileName(name)) {
            std::fprintf(stderr, "vpk: %s: entry %d, \"%s\", cannot be a file name; not extracted\n",
                         packPath.c_str(), k, name.c_str());
            status = 1;
            continue;
        }
        if (FindPakEntry(archive, name) != k) {
            std::fprintf(stderr, "vpk: %s: entry %d repeats the name \"%s\", which only ever reads the first\n",
                         packPath.c_str(), k, name.c_str());
            continue;
        }
        StopOnFailure(ReadPakSubfile(archive, name, data), "", PakMissingLine(name));
        const std::string path = folder + "/" + name;
        StopOnFailure(WriteFileAtomic(path, data), path);
    }
    return status;
}

static int CreatePack(const std::string& packPath, const std::vector<std::string>& inputs)
{
    std::vector<PakFile> files;
    for (const std::string& input : inputs) {
        PakFile file;
        file.name = FileNamePart(input, PathSeparators::Slash);
        if (file.name.size() > size_t(PakMaxNameLength))
            FatalReject(input, "the name \"" + file.name + "\" is longer than 11 characters, which a pack cannot hold");
        StopOnFailure(ReadWholeFile(input, file.data), input);
        files.push_back(std::move(file));
    }
    std::vector<uint8_t> image;
    StopOnFailure(BuildPakImage(files, image), packPath);
    StopOnFailure(WriteFileAtomic(packPath, image), packPath);
    return 0;
}

// The first row below every enlarged image, at least one row under the top of the sheet.
static int32_t HiSheetBottom()
{
    int32_t bottom = SheetTop + 1;
    for (uint16_t k = 0; k < SpriteCount; k++)
        bottom = std::max(bottom, int32_t(SpriteTable[k].hiY) + 2 * int32_t(SpriteTable[k].height));
    return std::min(bottom, int32_t(HiColourCanvasHeight));
}

// Rows top..bottom-1 of the hi-colour canvas as 8-bit RGB, each 5-6-5 pixel widened by
// repeating its top bits.
static void WidenSheet(int32_t top, int32_t bottom, std::vector<uint8_t>& rgb)
{
    rgb.resize(size_t(bottom - top) * CanvasWidth * 3);
    uint8_t* out = rgb.data();
    for (size_t i = size_t(top) * CanvasWidth; i < size_t(bottom) * CanvasWidth; i++, out += 3)
        WidenRgb565(HiColourCanvas[i], out);
}

static int PreviewPack(const std::string& packPath, const std::string& pngPath)
{
    StartCanvases();
    LoadResourcePack(packPath);
    int32_t bottom = HiSheetBottom();
    std::vector<uint8_t> rgb;
    try {
        WidenSheet(SheetTop, bottom, rgb);
    } catch (const std::bad_alloc&) {
        FatalOutOfMemory("the PNG image");
    }
    PngImageOut image;
    image.width = uint32_t(CanvasWidth);
    image.height = uint32_t(bottom - SheetTop);
    image.colour = PngColour::Rgb;
    image.pixels = rgb.data();
    std::vector<uint8_t> file;
    Result encoded = EncodePng(image, file);
    StopCanvases();
    StopOnFailure(encoded, pngPath);
    StopOnFailure(WriteFileAtomic(pngPath, file), pngPath);
    return 0;
}

int main(int argc, char** argv)
{
    SetProgramName("vpk");
    if (argc < 2)
        return Usage();
    std::string command = argv[1];
    if (command == "--version") {
        PrintVersion();
        return 0;
    }
    if (command == "--help" || command == "-h" || command == "help") {
        std::fputs(HelpText, stdout);
        return 0;
    }
    if (command == "list" && argc == 3)
        return ListPack(argv[2]);
    if (command == "extract" && argc == 4)
        return ExtractPack(argv[2], argv[3]);
    if (command == "create" && argc >= 3)
        return CreatePack(argv[2], std::vector<std::string>(argv + 3, argv + argc));
    if (command == "preview" && argc == 4)
        return PreviewPack(argv[2], argv[3]);
    return Usage();
}
