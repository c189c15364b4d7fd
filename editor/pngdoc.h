// Sprite documents to and from PNG files, for drawing in other editors: `koba --export` and
// `koba --import`. Both run without a window; they need only the pack's palette.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "editor/document.h"
#include "resources/palette.h"
#include "util/result.h"

enum : uint32_t { LargestSpriteSide = 255 };

// The palette the editor ends up with from the pack at packPath: its last palette subfile. Does
// not return on a pack that cannot be opened, is malformed or holds no palette ("Can't open PAK
// file" as the editor stops, status 1) nor on a short palette (the editor's line, status 1).
void LoadPackPalette(const std::string& packPath, uint8_t palette[PaletteSize]);

// The PNG file image of a document whose header is normalised: 8-bit indexed, the cells' indices
// as they are, the palette's 256 colours widened to 8 bits, the key colour the one transparent
// entry (tRNS no longer than up to it), the origin in a grAb chunk.
Result EncodeDocumentPng(const SpriteDocument& document, const uint8_t palette[PaletteSize],
                         std::vector<uint8_t>& file);

// What an import had to change from the file's picture.
struct PngImportNotes {
    uint32_t approximated = 0;  // opaque pixels of a non-indexed picture without an exact colour
    bool clamped = false;       // the grAb origin lay outside the picture
    int32_t grabX = 0, grabY = 0;  // the grAb origin as the file gives it
};

// A document from a PNG file image of 1 to 255 pixels a side. Indexed pictures keep their indices
// (key colour: the first entry with tRNS alpha 0, else 0). Any other picture gets key colour 0
// for pixels with alpha below 128 and, for the rest, the index other than 0 whose widened colour
// is nearest in 8-bit RGB, ties to the lowest. The origin is the grAb chunk's, clamped into the
// picture, else (0, 0). A refused file (code 1) or 203 leave the document untouched.
Result DecodeDocumentPng(const uint8_t* data, size_t size, const uint8_t palette[PaletteSize],
                         SpriteDocument& document, PngImportNotes& notes);

// `koba --export SPRITE OUT.png` and `koba --import IN.png SPRITE`, with the pack beside the
// program. Returns the exit status (2 for wrong arguments); fatal failures stop the program.
bool IsPngDocumentCommand(const char* argument);
int RunPngDocumentCommand(int argc, char** argv);
