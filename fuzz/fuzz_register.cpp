// Sprite registration and enlargement on arbitrary sprite data, in both modes.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/harness.h"
#include "gfx/sprites.h"
#include "gfx/video.h"
#include "resources/register.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static bool started = false;
    static int runs = 0;
    if (!started) {
        StartCanvases();
        CatchFatalStops();
        started = true;
    }
    // Let the sheets fill up over many runs, so that shelves near the last rows are reached,
    // then start again.
    if (++runs % 200 == 0)
        ResetSpriteRegistry();
    std::string name = size > 0 && (data[0] & 1) ? "KOBA:41" : "SPRITE";
    try {
        RegisterSprite(data, size, name);
    } catch (const FatalStop&) {
        if (CheckSprite(data, size).ok())
            __builtin_trap();  // stopped although the sprite was acceptable
    }
    return 0;
}
