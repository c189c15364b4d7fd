#include "resources/loader.h"

#include <vector>

#include "resources/palette.h"
#include "resources/register.h"
#include "util/fatal.h"
#include "util/path.h"

void SplitSubfileName(const std::string& name, std::string& baseName, std::string& extension)
{
    size_t dot = name.find('.');
    if (dot == std::string::npos) {
        baseName.clear();
        extension = name.substr(0, 3);
        return;
    }
    baseName = name.substr(0, dot);
    extension = name.substr(dot + 1, 3);
}

std::string PackBaseName(const std::string& path)
{
    // Folders end at '/' as well as '\': with '\' alone an installed pack's glyph names would be
    // built from its whole path and the editor would never find its font.
    std::string fileName = FileNamePart(path, PathSeparators::SlashOrBackslash);
    size_t dot = fileName.find('.');
    // A file name without '.' gives an empty base name, as packs have always been named.
    if (dot == std::string::npos)
        return std::string();
    return fileName.substr(0, dot);
}

void LoadResourceArchive(const PakArchive& archive)
{
    const std::string packBase = PackBaseName(archive.path);
    std::vector<uint8_t> data;
    std::string baseName;
    std::string extension;
    for (const PakEntry& entry : archive.entries) {
        SplitSubfileName(entry.name, baseName, extension);
        if (extension != "VPL" && extension != "VSF" && extension != "VFF")
            continue;
        StopOnFailure(ReadPakSubfile(archive, entry.name, data), "", PakMissingLine(entry.name));
        if (extension == "VPL")
            ApplyPaletteData(data.data(), data.size(), entry.name);
        else
            RegisterSprite(data.data(), data.size(), extension == "VSF" ? baseName : packBase + ":" + baseName);
    }
}

void LoadResourcePack(const std::string& path)
{
    PakArchive archive;
    StopOnFailure(OpenPak(path, archive), path, PakRefusedLine(path));
    LoadResourceArchive(archive);
}
