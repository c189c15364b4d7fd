// PNG files in memory, through libpng: whole pictures decoded to palette indices or 8-bit RGBA,
// and indexed, RGB or RGBA pictures encoded. Nothing here prints; failures come back as results.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "util/result.h"

// The eight bytes every PNG file starts with.
bool HasPngSignature(const uint8_t* data, size_t size);

struct PngPicture {
    uint32_t width = 0, height = 0;
    // The pixels are palette indices: only for an indexed file decoded with PngIndices::Keep.
    bool indexed = false;
    // Indexed: width * height indices, one byte each whatever the file's bit depth (an index may
    // lie beyond the palette: files are not checked for that). Otherwise width * height RGBA.
    std::vector<uint8_t> pixels;
    std::vector<uint8_t> palette;       // indexed: the PLTE entries as stored, 3 bytes each
    std::vector<uint8_t> paletteAlpha;  // indexed: the tRNS alphas as stored (may be shorter, or none)
    // A grAb chunk (the sprite offset of Doom-engine tools): two big-endian signed 32-bit integers.
    bool hasGrab = false;
    int32_t grabX = 0, grabY = 0;
};

// What becomes of an indexed file's pixels: kept as indices, or expanded to RGBA like any other.
enum class PngIndices { Keep, Expand };

// Decodes a whole PNG file image. Expanded pictures are 8-bit RGBA without any gamma or colour
// space conversion: 16-bit samples give their high byte, grey of 1, 2 or 4 bits is widened by
// bit replication, grey gives red = green = blue. A picture without alpha is opaque except where
// tRNS says otherwise: the entry's alpha for indexed pictures (255 beyond tRNS), alpha 0 for the
// grey or RGB pixels equal to the tRNS colour at the file's own bit depth. Interlaced files
// decode as well. A damaged file (bad CRC in any chunk, cut short, anything libpng refuses, a
// grAb chunk that is not 8 bytes) is rejected: code 1, reason libpng's message or ours.
// Out of memory gives 203. picture is reset first.
Result DecodePng(const uint8_t* data, size_t size, PngIndices indices, PngPicture& picture);

// The picture's size from the file's header alone, refused like DecodePng refuses a bad header
// (the rest of the file is not looked at): for refusing a picture before taking memory for it.
Result ReadPngSize(const uint8_t* data, size_t size, uint32_t& width, uint32_t& height);

enum class PngColour { Indexed, Rgb, Rgba };

struct PngImageOut {
    uint32_t width = 0, height = 0;
    PngColour colour = PngColour::Rgba;
    // height rows of width pixels, without padding: 1 byte an index, 3 RGB, 4 RGBA.
    const uint8_t* pixels = nullptr;
    // Indexed only: 1 to 256 PLTE entries of 3 bytes, and the tRNS alphas (written when not
    // empty; at most one for each palette entry).
    std::vector<uint8_t> palette;
    std::vector<uint8_t> paletteAlpha;
    // A grAb chunk, written before the image data.
    bool hasGrab = false;
    int32_t grabX = 0, grabY = 0;
};

// Encodes an 8-bit, non-interlaced PNG file with libpng's default compression. An image that no
// PNG can hold (size 0 or above 2^31 - 1, a wrong palette) gives code 1; out of memory 203.
Result EncodePng(const PngImageOut& image, std::vector<uint8_t>& file);
