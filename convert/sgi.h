// The SGI image reader shared by both converters.
//
// Accepts one kind of SGI image: four 8-bit channels (red, green, blue, alpha), verbatim or
// RLE, no colour map. It works on a whole file already in memory, never trusts the header
// (every size, row offset and packet is checked against the file's length) and never exits:
// a rejected file comes back with a reason a person can act on, so that the converters can
// word their message and a fuzzer can call it freely.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "util/result.h"

// How the decoded pixels are laid out, top row first, row-major, no padding:
//  AlphaSprite: 3 bytes a pixel, RGB565 little-endian then alpha >> 3 (0..31);
//  HiColour:    2 bytes a pixel, RGB565 little-endian; the alpha channel is not read.
enum SgiPacking { AlphaSprite, HiColour };

// The 512-byte header as it lies in the file; multi-byte fields are big-endian there.
struct SgiHeader {
    uint16_t magic;
    uint8_t storage;          // 0 verbatim, 1 RLE
    uint8_t bytesPerChannel;
    uint16_t dimension;
    uint16_t xSize;
    uint16_t ySize;
    uint16_t zSize;           // channel count
    uint32_t minimum;
    uint32_t maximum;
    uint8_t reserved1[4];
    char imageName[80];
    uint32_t colourMap;
    uint8_t reserved2[404];
};
static_assert(sizeof(SgiHeader) == 512, "the SGI header is 512 bytes");

enum { SgiMagic = 474, SgiHeaderSize = 512 };

// Outcome of decoding one compressed row.
enum class RleRow { Done, TooLong, RunsOff };

uint16_t ByteSwap16(uint16_t value);
uint32_t ByteSwap32(uint32_t value);

// Converts the big-endian fields (the 16-bit and 32-bit numbers) of a header copy to host order.
void SgiHeaderToHost(SgiHeader& header);

// Bytes a pixel takes in the packing.
size_t SgiPixelBytes(SgiPacking packing);

// Decodes the compressed row at source (available bytes up to the end of the file) into the
// first rowWidth bytes of rowBuffer, up to the end-of-row packet (a control byte whose low
// seven bits are 0). A row shorter than rowWidth leaves the rest of rowBuffer as it was.
// TooLong: the row would pass rowWidth bytes; RunsOff: the file ends inside the row. On Done,
// length (when given) receives the number of bytes the row decoded to.
RleRow DecodeRleRow(const uint8_t* source, size_t available, uint8_t* rowBuffer, size_t rowWidth,
                    size_t* length = nullptr);

// Reads the header of the file image into header (host order) and checks that the image is
// one this reader converts and that the file is long enough for the header, the verbatim
// data of all four planes or the RLE row-start table, and that every row start lies inside
// the file. Packets are checked while decoding. Of fileImage only the header and (RLE) the
// row-start table are read: the rest of a file of fileLength bytes may stay on the disk.
Result CheckSgiImage(const uint8_t* fileImage, size_t fileLength, SgiHeader& header);

// Size of the pixel buffer of an image, computed without overflow; false when it cannot be
// addressed in this process's memory.
bool SgiPixelBufferSize(const SgiHeader& header, SgiPacking packing, size_t& bytes);

// Decodes a file that CheckSgiImage accepted into pixels, which has room for
// SgiPixelBufferSize bytes. Every pixel is written. Rejected on a bad compressed row;
// out of memory (203) when the row buffer cannot be had.
Result DecodeSgiImage(const uint8_t* fileImage, size_t fileLength, const SgiHeader& header,
                         SgiPacking packing, uint8_t* pixels);

// Decodes every row that the packing needs, in the file's order, only to find the first bad
// one: what DecodeSgiImage would reject, without room for the picture. Ok for verbatim files.
Result CheckSgiRows(const uint8_t* fileImage, size_t fileLength, const SgiHeader& header, SgiPacking packing);

// Packs one row of width pixels, given as its channel rows (alpha is not read for HiColour).
void PackSgiRow(const uint8_t* red, const uint8_t* green, const uint8_t* blue, const uint8_t* alpha, size_t width,
                SgiPacking packing, uint8_t* pixels);

// Packs one row of width pixels given as 8-bit red, green, blue, alpha one pixel after the
// other, by the same rules: the same pixels give the same bytes whatever file they came from.
void PackRgbaRow(const uint8_t* rgba, size_t width, SgiPacking packing, uint8_t* pixels);

// Decodes count rows of a file that CheckSgiImage accepted, starting top rows below the top
// (top + count <= ySize), into pixels, one row after the other without padding: what a caller
// that streams the picture in bands needs. rows is scratch room for SgiBandScratchBytes bytes.
// False when an RLE row is bad or does not fill the width: such a file is decoded right only
// by DecodeSgiImage, in the file's own order (a short row keeps the tail of the row decoded
// before it, and a bad row is reported as the first one in that order).
size_t SgiBandScratchBytes(const SgiHeader& header);
bool DecodeSgiBand(const uint8_t* fileImage, size_t fileLength, const SgiHeader& header, SgiPacking packing,
                   size_t top, size_t count, uint8_t* pixels, uint8_t* rows);

// An RLE image whose rows are read from the disk a band at a time: for each plane, the stretch
// of the file from offset start[z] on, length[z] bytes, is at data[z].
struct SgiRleWindows {
    const uint8_t* data[4] = {};
    uint64_t start[4] = {};
    size_t length[4] = {};
};

// The stretch of the file, from start to end, that holds the compressed rows of plane plane
// for count rows from top on, as the row-start and row-length tables say. tables holds the
// file's first tablesLength bytes, the header and the row-start table at least (the row-length
// table where the file has it). The lengths are only a hint: a row that runs past the stretch
// does not decode from it.
void SgiRleWindow(const uint8_t* tables, size_t tablesLength, const SgiHeader& header, uint64_t fileLength,
                  unsigned plane, size_t top, size_t count, uint64_t& start, uint64_t& end);

// DecodeSgiBand for an RLE image that CheckSgiImage accepted, its rows read from windows (tables
// as for SgiRleWindow). False also when a row does not lie inside its plane's window.
bool DecodeSgiRleBand(const uint8_t* tables, const SgiHeader& header, SgiPacking packing, const SgiRleWindows& windows,
                      size_t top, size_t count, uint8_t* pixels, uint8_t* rows);

// Both steps in one: on success pixels holds the image and imageWidth/imageHeight its size;
// otherwise pixels is empty and imageWidth/imageHeight keep the caller's values.
Result ReadSgiImage(const uint8_t* fileImage, size_t fileLength, SgiPacking packing, uint16_t& imageWidth,
                       uint16_t& imageHeight, std::vector<uint8_t>& pixels);
