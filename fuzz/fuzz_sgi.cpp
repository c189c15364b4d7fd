// The SGI reader in both packings on arbitrary file images.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "convert/sgi.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // Huge but valid images are legal and only cost memory; keep runs to sizes that fit.
    if (size >= 10) {
        uint32_t x = uint32_t(data[6]) << 8 | data[7];
        uint32_t y = uint32_t(data[8]) << 8 | data[9];
        if (uint64_t(x) * y > (1u << 22))
            return 0;
    }
    for (SgiPacking packing : {AlphaSprite, HiColour}) {
        // The reader converts the row-start table in place, so each packing gets its own copy.
        std::vector<uint8_t> image(data, data + size);
        uint16_t width = 7, height = 9;
        std::vector<uint8_t> pixels;
        SgiResult result = ReadSgiImage(image.data(), image.size(), packing, width, height, pixels);
        if (result.ok()) {
            size_t expected = size_t(width) * height * SgiPixelBytes(packing);
            if (pixels.size() < expected)
                __builtin_trap();
        } else if (width != 7 || height != 9 || !pixels.empty()) {
            __builtin_trap();  // a rejection must leave the caller's values alone
        }
    }
    return 0;
}
