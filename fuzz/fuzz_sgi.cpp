// The SGI reader in both packings on arbitrary file images, the banded decoding that the
// converters stream with, which must give the same pixels as decoding the image whole, and the
// row check that must give the same verdict.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "convert/sgi.h"

static void CompareBands(const uint8_t* data, size_t size, const SgiHeader& header, SgiPacking packing,
                         const Result& whole, const std::vector<uint8_t>& pixels)
{
    size_t rowBytes = size_t(header.xSize) * SgiPixelBytes(packing);
    size_t bandRows = 1 + size % 7;
    std::vector<uint8_t> scratch(SgiBandScratchBytes(header));
    std::vector<uint8_t> band(bandRows * rowBytes + 1);
    for (size_t top = 0; top < header.ySize; top += bandRows) {
        size_t count = std::min<size_t>(bandRows, header.ySize - top);
        if (!DecodeSgiBand(data, size, header, packing, top, count, band.data(), scratch.data()))
            return;  // short or bad rows: the converters decode such an image whole
        // A refused image may still decode in its bands up to its bad row.
        if (whole.ok() && rowBytes && std::memcmp(band.data(), pixels.data() + top * rowBytes, count * rowBytes) != 0)
            __builtin_trap();
        if (header.storage != 1)
            continue;
        // As the converters read RLE images from the disk: only the stretches the tables name.
        SgiRleWindows windows;
        for (unsigned z = 0; z < 4; z++) {
            uint64_t start = 0, end = 0;
            SgiRleWindow(data, size, header, size, z, top, count, start, end);
            windows.data[z] = data + start;
            windows.start[z] = start;
            windows.length[z] = size_t(end - start);
        }
        if (DecodeSgiRleBand(data, header, packing, windows, top, count, band.data(), scratch.data()) && whole.ok() &&
            rowBytes && std::memcmp(band.data(), pixels.data() + top * rowBytes, count * rowBytes) != 0)
            __builtin_trap();
    }
    if (!whole.ok() && header.ySize > 0 && header.xSize > 0)
        __builtin_trap();  // every band decoded, yet the image was refused
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // Huge but valid images are legal and only cost memory; keep runs to sizes that fit.
    if (size >= 10) {
        uint32_t x = uint32_t(data[6]) << 8 | data[7];
        uint32_t y = uint32_t(data[8]) << 8 | data[9];
        if (uint64_t(x) * y > (1u << 22))
            return 0;
    }
    SgiHeader header;
    bool acceptable = CheckSgiImage(data, size, header).ok();
    for (SgiPacking packing : {AlphaSprite, HiColour}) {
        uint16_t width = 7, height = 9;
        std::vector<uint8_t> pixels;
        Result result = ReadSgiImage(data, size, packing, width, height, pixels);
        if (result.ok()) {
            if (!acceptable || pixels.size() < size_t(width) * height * SgiPixelBytes(packing))
                __builtin_trap();
        } else if (width != 7 || height != 9 || !pixels.empty()) {
            __builtin_trap();  // a rejection must leave the caller's values alone
        }
        if (acceptable) {
            CompareBands(data, size, header, packing, result, pixels);
            // The converters ask for the reason without the pixels when their output failed
            // first: it must be the very reason a whole read gives.
            Result checked = CheckSgiRows(data, size, header, packing);
            if (result.code != RunErrorOutOfMemory && (checked.code != result.code || checked.reason != result.reason))
                __builtin_trap();
        }
    }
    return 0;
}
