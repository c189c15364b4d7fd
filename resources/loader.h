// Loading a whole resource pack: palettes, interface sprites and font glyphs by extension.
#pragma once

#include <string>

#include "resources/pak.h"

// The base name of a directory entry (before its first '.') and its extension (at most three
// characters after that '.'; a name without '.' has an empty base and its first three
// characters as extension).
void SplitSubfileName(const std::string& name, std::string& baseName, std::string& extension);

// The pack path without its folders ('/' and '\' both separate) and cut before its first '.'.
std::string PackBaseName(const std::string& path);

// Walks the pack in directory order: "VPL" to ApplyPaletteData (a palette shorter than 768
// bytes is refused), "VSF" and "VFF" to RegisterSprite (glyphs under pack base name + ":" +
// base name); other extensions are skipped. Each subfile is fetched by its name, so of two
// entries with the same name both are processed with the first one's bytes.
// Requires StartVideo or StartCanvases. A pack that cannot be opened or breaks the format, and
// a refused palette or sprite, stop the program with the lines of OpenPak's front ends,
// ApplyPaletteData and RegisterSprite (the video is shut down first, by the fatal path).
void LoadResourcePack(const std::string& path);

// The same walk over an archive already in memory (the fuzzer uses it).
void LoadResourceArchive(const PakArchive& archive);
