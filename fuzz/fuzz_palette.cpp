// Palette application on arbitrary palette subfiles.
#include <cstddef>
#include <cstdint>

#include "fuzz/harness.h"
#include "gfx/video.h"
#include "resources/palette.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    CatchFatalStops();
    try {
        ApplyPaletteData(data, size, "FUZZ.VPL");
    } catch (const FatalStop&) {
        if (size >= PaletteSize)
            __builtin_trap();  // a full palette must never be refused
        return 0;
    }
    if (size < PaletteSize)
        __builtin_trap();
    // Components above 63 are clamped, so red never spills: 0xFFFF can only come from flags.
    for (int i = 0; i < 256; ++i)
        if ((PaletteColours[i] & 0x0021) == 0x0021)
            __builtin_trap();  // solid and air at once
    return 0;
}
