#include "convert/sgi.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <limits>
#include <memory>
#include <new>

#include "convert/rgb565.h"
#include "util/numfmt.h"

static const char* const planeNames[4] = {"red", "green", "blue", "alpha"};

uint16_t ByteSwap16(uint16_t value)
{
    return uint16_t((value >> 8) | (value << 8));
}

uint32_t ByteSwap32(uint32_t value)
{
    return (value >> 24) | ((value >> 8) & 0x0000FF00u) | ((value << 8) & 0x00FF0000u) | (value << 24);
}

static uint16_t BigToHost16(uint16_t value)
{
    return std::endian::native == std::endian::little ? ByteSwap16(value) : value;
}

static uint32_t BigToHost32(uint32_t value)
{
    return std::endian::native == std::endian::little ? ByteSwap32(value) : value;
}

void SgiHeaderToHost(SgiHeader& header)
{
    header.magic = BigToHost16(header.magic);
    header.dimension = BigToHost16(header.dimension);
    header.xSize = BigToHost16(header.xSize);
    header.ySize = BigToHost16(header.ySize);
    header.zSize = BigToHost16(header.zSize);
    header.minimum = BigToHost32(header.minimum);
    header.maximum = BigToHost32(header.maximum);
    header.colourMap = BigToHost32(header.colourMap);
}

size_t SgiPixelBytes(SgiPacking packing)
{
    return packing == AlphaSprite ? 3 : 2;
}

// The row-start entry of row y of plane z; the table follows the header.
static uint32_t RowStart(const uint8_t* fileImage, const SgiHeader& header, unsigned z, unsigned y)
{
    uint32_t entry;
    std::memcpy(&entry, fileImage + SgiHeaderSize + 4 * (size_t(z) * header.ySize + y), 4);
    return BigToHost32(entry);
}

// Decimal text of a count that may pass 32 bits (a file length, a data size).
static std::string CountText(uint64_t value)
{
    std::string digits;
    do {
        digits.insert(digits.begin(), char('0' + value % 10));
        value /= 10;
    } while (value != 0);
    return digits;
}

RleRow DecodeRleRow(const uint8_t* source, size_t available, uint8_t* rowBuffer, size_t rowWidth, size_t* length)
{
    size_t in = 0;
    size_t out = 0;
    for (;;) {
        if (in >= available)
            return RleRow::RunsOff;
        uint8_t control = source[in++];
        size_t count = control & 0x7F;
        if (count == 0) {
            if (length)
                *length = out;
            return RleRow::Done;
        }
        if (count > rowWidth - out)
            return RleRow::TooLong;
        if (control & 0x80) {
            if (count > available - in)
                return RleRow::RunsOff;
            std::memcpy(rowBuffer + out, source + in, count);
            in += count;
        } else {
            if (in >= available)
                return RleRow::RunsOff;
            std::memset(rowBuffer + out, source[in++], count);
        }
        out += count;
    }
}

Result CheckSgiImage(const uint8_t* fileImage, size_t fileLength, SgiHeader& header)
{
    if (fileLength < SgiHeaderSize)
        return Rejected("the file is " + CountText(fileLength) + " bytes, shorter than the 512-byte SGI header");
    std::memcpy(&header, fileImage, SgiHeaderSize);
    SgiHeaderToHost(header);

    if (header.magic != SgiMagic)
        return Rejected("not an SGI image (magic number " + IntToStr(header.magic) + ", 474 expected)");
    if (header.bytesPerChannel == 2)
        return Rejected("2 bytes per channel; only 8-bit channels (1) are supported: write the SGI image with 8 "
                        "(ImageMagick: -depth 8), or convert the PNG itself, which may have 16");
    if (header.bytesPerChannel != 1)
        return Rejected(IntToStr(header.bytesPerChannel) + " bytes per channel; only 8-bit channels (1) are supported");
    if (header.dimension != 3)
        return Rejected(IntToStr(header.dimension) + " dimensions; an RGBA image has 3");
    if (header.zSize != 4)
        return Rejected(IntToStr(header.zSize) + " channels; an RGBA image with 4 is needed");
    if (header.colourMap != 0)
        return Rejected("colour map id " + CountText(header.colourMap) + "; only normal images (0) are supported");
    if (header.storage > 1)
        return Rejected("storage kind " + IntToStr(header.storage) + "; only verbatim (0) and RLE (1) are supported");

    // Sizes in 64 bits: 4 * 65535 * 65535 does not fit in 32.
    uint64_t width = header.xSize;
    uint64_t height = header.ySize;
    if (header.storage == 0) {
        uint64_t needed = SgiHeaderSize + 4 * width * height;
        if (fileLength < needed)
            return Rejected("the file is " + CountText(fileLength) + " bytes; the verbatim data of " +
                          CountText(width) + " x " + CountText(height) + " pixels needs " + CountText(needed));
        return {};
    }

    uint64_t tableEnd = SgiHeaderSize + 16 * height;
    if (fileLength < tableEnd)
        return Rejected("the file is " + CountText(fileLength) + " bytes; the RLE row-start table (4 x " +
                      CountText(height) + " entries) needs " + CountText(tableEnd));
    for (unsigned z = 0; z < 4; z++)
        for (unsigned y = 0; y < header.ySize; y++) {
            uint32_t start = RowStart(fileImage, header, z, y);
            if (start >= fileLength)
                return Rejected("RLE row " + IntToStr(int32_t(y)) + " of the " + planeNames[z] +
                              " channel starts at offset " + CountText(start) + ", outside the " +
                              CountText(fileLength) + "-byte file");
        }
    return {};
}

bool SgiPixelBufferSize(const SgiHeader& header, SgiPacking packing, size_t& bytes)
{
    uint64_t size = uint64_t(header.xSize) * header.ySize * SgiPixelBytes(packing);
    if (size > uint64_t(std::numeric_limits<ptrdiff_t>::max()))
        return false;
    bytes = size_t(size);
    return true;
}

// The plane rules on one row of channel bytes, plane after plane: the red store sets the whole
// colour word, green and blue are merged in, alpha is reduced to five bits.
static void ApplyPlaneRow(unsigned plane, const uint8_t* values, size_t width, uint8_t* pixel, size_t step)
{
    for (size_t x = 0; x < width; x++, pixel += step) {
        if (plane == 3) {
            pixel[2] = PackAlpha5(values[x]);
            continue;
        }
        uint8_t channels[3] = {0, 0, 0};
        channels[plane] = values[x];
        unsigned colour = plane == 0 ? 0u : unsigned(pixel[0] | pixel[1] << 8);
        colour |= PackRgb565(channels[0], channels[1], channels[2]);
        pixel[0] = uint8_t(colour);
        pixel[1] = uint8_t(colour >> 8);
    }
}

static uint32_t LoadWord(const uint8_t* bytes)
{
    uint32_t word;
    std::memcpy(&word, bytes, 4);
    return word;
}

static void StoreWord(uint8_t* bytes, uint32_t word)
{
    std::memcpy(bytes, &word, 4);
}

// Four AlphaSprite pixels at once, a byte lane per pixel, on a little-endian host: PackRgb565's
// low and high bytes and PackAlpha5 of each lane, then the 12 bytes as three words. The compiler
// makes poor code (byte stores) of the 3-byte interleave written pixel by pixel; this is about
// three times as fast on a band that is in the cache. The tests hold it to the pixel-wise rule.
static void PackFourSprites(const uint8_t* red, const uint8_t* green, const uint8_t* blue, const uint8_t* alpha,
                            uint8_t* pixel)
{
    uint32_t r = LoadWord(red), g = LoadWord(green), b = LoadWord(blue), a = LoadWord(alpha);
    uint32_t lo = ((g << 3) & 0xE0E0E0E0u) | ((b >> 3) & 0x1F1F1F1Fu);
    uint32_t hi = (r & 0xF8F8F8F8u) | ((g >> 5) & 0x07070707u);
    uint32_t al = (a >> 3) & 0x1F1F1F1Fu;
    StoreWord(pixel, (lo & 0xFFu) | (hi & 0xFFu) << 8 | (al & 0xFFu) << 16 | (lo & 0xFF00u) << 16);
    StoreWord(pixel + 4, (hi >> 8 & 0xFFu) | (al & 0xFF00u) | (lo & 0xFF0000u) | (hi & 0xFF0000u) << 8);
    StoreWord(pixel + 8, (al >> 16 & 0xFFu) | (lo >> 16 & 0xFF00u) | (hi >> 8 & 0xFF0000u) | (al & 0xFF000000u));
}

static void StorePixel(uint8_t red, uint8_t green, uint8_t blue, uint8_t alpha, SgiPacking packing, uint8_t* pixel)
{
    uint16_t colour = PackRgb565(red, green, blue);
    pixel[0] = uint8_t(colour);
    pixel[1] = uint8_t(colour >> 8);
    if (packing == AlphaSprite)
        pixel[2] = PackAlpha5(alpha);
}

void PackSgiRow(const uint8_t* red, const uint8_t* green, const uint8_t* blue, const uint8_t* alpha, size_t width,
                SgiPacking packing, uint8_t* pixel)
{
    size_t x = 0;
    if constexpr (std::endian::native == std::endian::little)
        if (packing == AlphaSprite)
            for (; x + 4 <= width; x += 4, pixel += 12)
                PackFourSprites(red + x, green + x, blue + x, alpha + x, pixel);
    size_t step = SgiPixelBytes(packing);
    for (; x < width; x++, pixel += step)
        StorePixel(red[x], green[x], blue[x], packing == AlphaSprite ? alpha[x] : 0, packing, pixel);
}

void PackRgbaRow(const uint8_t* rgba, size_t width, SgiPacking packing, uint8_t* pixel)
{
    size_t step = SgiPixelBytes(packing);
    for (size_t x = 0; x < width; x++, rgba += 4, pixel += step)
        StorePixel(rgba[0], rgba[1], rgba[2], rgba[3], packing, pixel);
}

// Output row r, counted from the top, is file row height - 1 - r: the file stores the bottom row first.
static void DecodeVerbatimBand(const uint8_t* fileImage, const SgiHeader& header, SgiPacking packing, size_t top,
                               size_t count, uint8_t* pixels)
{
    size_t width = header.xSize;
    size_t height = header.ySize;
    size_t planeSize = width * height;
    size_t rowBytes = width * SgiPixelBytes(packing);
    const uint8_t* red = fileImage + SgiHeaderSize;
    for (size_t r = 0; r < count; r++) {
        const uint8_t* row = red + (height - 1 - top - r) * width;
        PackSgiRow(row, row + planeSize, row + 2 * planeSize, row + 3 * planeSize, width, packing, pixels + r * rowBytes);
    }
}

enum { CopyBlock = 16 };

size_t SgiBandScratchBytes(const SgiHeader& header)
{
    return 4 * size_t(header.xSize) + CopyBlock;
}

// DecodeRleRow for rows that must fill the width, with packets copied in whole blocks: a row
// may write up to CopyBlock - 1 bytes past its end, where the next plane's row or the scratch
// room's slack lies, and reads past a packet only where the file goes on. Most packets are a
// few dozen bytes, too short for a memcpy or memset call to pay. True when the row decoded to
// exactly width bytes; any other outcome is left to DecodeRleRow.
static bool DecodeFullRleRow(const uint8_t* source, size_t available, uint8_t* row, size_t width)
{
    size_t in = 0;
    size_t out = 0;
    while (in < available) {
        uint8_t control = source[in++];
        size_t count = control & 0x7F;
        if (count == 0)
            return out == width;
        if (count > width - out || in >= available)
            return false;
        if (control & 0x80) {
            if (count > available - in)
                return false;
            if (available - in >= count + CopyBlock)
                for (size_t i = 0; i < count; i += CopyBlock)
                    std::memcpy(row + out + i, source + in + i, CopyBlock);
            else
                std::memcpy(row + out, source + in, count);
            in += count;
        } else {
            uint8_t block[CopyBlock];
            std::memset(block, source[in++], CopyBlock);
            for (size_t i = 0; i < count; i += CopyBlock)
                std::memcpy(row + out + i, block, CopyBlock);
        }
        out += count;
    }
    return false;
}

// Well-formed files fill every row. Then the planes of a row can be decoded side by side and
// packed in one pass, as verbatim data is. False at the first row that does not decode to
// exactly the width from its plane's window.
bool DecodeSgiRleBand(const uint8_t* tables, const SgiHeader& header, SgiPacking packing, const SgiRleWindows& windows,
                      size_t top, size_t count, uint8_t* pixels, uint8_t* rows)
{
    size_t width = header.xSize;
    size_t height = header.ySize;
    size_t rowBytes = width * SgiPixelBytes(packing);
    unsigned planes = packing == AlphaSprite ? 4 : 3;
    for (size_t r = 0; r < count; r++) {
        unsigned y = unsigned(height - 1 - top - r);
        for (unsigned z = 0; z < planes; z++) {
            uint64_t start = RowStart(tables, header, z, y);
            if (start < windows.start[z] || start - windows.start[z] >= windows.length[z])
                return false;
            size_t at = size_t(start - windows.start[z]);
            if (!DecodeFullRleRow(windows.data[z] + at, windows.length[z] - at, rows + z * width, width))
                return false;
        }
        PackSgiRow(rows, rows + width, rows + 2 * width, rows + 3 * width, width, packing, pixels + r * rowBytes);
    }
    return true;
}

static bool DecodeRleBand(const uint8_t* fileImage, size_t fileLength, const SgiHeader& header, SgiPacking packing,
                          size_t top, size_t count, uint8_t* pixels, uint8_t* rows)
{
    SgiRleWindows whole;
    for (unsigned z = 0; z < 4; z++) {
        whole.data[z] = fileImage;
        whole.start[z] = 0;
        whole.length[z] = fileLength;
    }
    return DecodeSgiRleBand(fileImage, header, packing, whole, top, count, pixels, rows);
}

void SgiRleWindow(const uint8_t* tables, size_t tablesLength, const SgiHeader& header, uint64_t fileLength,
                  unsigned plane, size_t top, size_t count, uint64_t& start, uint64_t& end)
{
    size_t height = header.ySize;
    size_t lengths = SgiHeaderSize + 16 * height;
    start = fileLength;
    end = 0;
    for (size_t y = height - top - count; y < height - top; y++) {
        uint64_t row = RowStart(tables, header, plane, unsigned(y));
        size_t entry = lengths + 4 * (plane * height + y);
        uint32_t length = 1;
        if (entry + 4 <= tablesLength) {
            std::memcpy(&length, tables + entry, 4);
            length = std::max<uint32_t>(BigToHost32(length), 1);
        }
        start = std::min(start, row);
        end = std::max(end, row + length);
    }
    end = std::min(end, fileLength);
    start = std::min(start, end);
}

bool DecodeSgiBand(const uint8_t* fileImage, size_t fileLength, const SgiHeader& header, SgiPacking packing,
                   size_t top, size_t count, uint8_t* pixels, uint8_t* rows)
{
    if (header.storage == 0) {
        DecodeVerbatimBand(fileImage, header, packing, top, count, pixels);
        return true;
    }
    return DecodeRleBand(fileImage, fileLength, header, packing, top, count, pixels, rows);
}

// The file's own order, one row buffer for all: a short row keeps the tail of the row decoded
// before it (the row below, or the last row of the previous plane), and a bad row is reported
// as the first one in the file's order. Without pixels the rows are only checked.
static Result DecodeRleByPlanes(const uint8_t* fileImage, size_t fileLength, const SgiHeader& header,
                                   SgiPacking packing, uint8_t* pixels, uint8_t* row)
{
    size_t width = header.xSize;
    size_t height = header.ySize;
    size_t step = SgiPixelBytes(packing);
    std::memset(row, 0, width);
    unsigned planes = packing == AlphaSprite ? 4 : 3;
    for (unsigned z = 0; z < planes; z++)
        for (size_t y = 0; y < height; y++) {
            uint32_t start = RowStart(fileImage, header, z, unsigned(y));
            RleRow outcome = DecodeRleRow(fileImage + start, fileLength - start, row, width);
            if (outcome != RleRow::Done) {
                std::string where = "RLE row " + IntToStr(int32_t(y)) + " of the " + planeNames[z] + " channel";
                if (outcome == RleRow::TooLong)
                    return Rejected(where + " decodes to more than " + IntToStr(header.xSize) + " bytes");
                return Rejected(where + " runs off the end of the file");
            }
            if (pixels)
                ApplyPlaneRow(z, row, width, pixels + (height - 1 - y) * width * step, step);
        }
    return {};
}

Result CheckSgiRows(const uint8_t* fileImage, size_t fileLength, const SgiHeader& header, SgiPacking packing)
{
    if (header.storage == 0)
        return {};
    std::unique_ptr<uint8_t[]> row;
    try {
        row = std::make_unique_for_overwrite<uint8_t[]>(size_t(header.xSize) + 1);
    } catch (const std::bad_alloc&) {
        return Failed(RunErrorOutOfMemory, "out of memory for the RLE row buffer");
    }
    return DecodeRleByPlanes(fileImage, fileLength, header, packing, nullptr, row.get());
}

Result DecodeSgiImage(const uint8_t* fileImage, size_t fileLength, const SgiHeader& header,
                         SgiPacking packing, uint8_t* pixels)
{
    if (header.storage == 0) {
        DecodeVerbatimBand(fileImage, header, packing, 0, header.ySize, pixels);
        return {};
    }
    std::unique_ptr<uint8_t[]> rows;
    try {
        rows = std::make_unique_for_overwrite<uint8_t[]>(SgiBandScratchBytes(header));
    } catch (const std::bad_alloc&) {
        return Failed(RunErrorOutOfMemory, "out of memory for the RLE row buffers");
    }
    if (DecodeRleBand(fileImage, fileLength, header, packing, 0, header.ySize, pixels, rows.get()))
        return {};
    return DecodeRleByPlanes(fileImage, fileLength, header, packing, pixels, rows.get());
}

Result ReadSgiImage(const uint8_t* fileImage, size_t fileLength, SgiPacking packing, uint16_t& imageWidth,
                       uint16_t& imageHeight, std::vector<uint8_t>& pixels)
{
    pixels.clear();
    SgiHeader header;
    Result result = CheckSgiImage(fileImage, fileLength, header);
    if (!result.ok())
        return result;
    size_t bytes = 0;
    if (!SgiPixelBufferSize(header, packing, bytes))
        return Failed(RunErrorOutOfMemory, "out of memory for the pixel buffer");
    try {
        pixels.resize(bytes);
    } catch (const std::exception&) {
        return Failed(RunErrorOutOfMemory, "out of memory for the pixel buffer");
    }
    result = DecodeSgiImage(fileImage, fileLength, header, packing, pixels.data());
    if (!result.ok()) {
        pixels.clear();
        return result;
    }
    imageWidth = header.xSize;
    imageHeight = header.ySize;
    return {};
}
