// The pack reader and the whole loader (palettes, sprites, glyphs) on arbitrary archives.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz/harness.h"
#include "gfx/sprites.h"
#include "gfx/video.h"
#include "resources/loader.h"
#include "resources/pak.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static bool started = false;
    if (!started) {
        StartCanvases();
        CatchFatalStops();
        started = true;
    }
    ResetSpriteRegistry();
    PakArchive archive;
    archive.path = "/packs/KOBA.VPK";
    archive.image.assign(data, data + size);
    if (!ParsePakDirectory(archive.image, archive.entries).ok())
        return 0;
    for (const PakEntry& entry : archive.entries) {
        if (entry.offset < 0 || entry.size < 0 || size_t(entry.offset) + size_t(entry.size) > size)
            __builtin_trap();  // the parser promised entries inside the image
    }
    try {
        LoadResourceArchive(archive);
    } catch (const FatalStop&) {
        // A refused sprite or palette stops the load, as it stops the editor.
    }
    return 0;
}
