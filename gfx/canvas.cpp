#include "gfx/canvas.h"

#include <cstdlib>

#include "gfx/sprites.h"
#include "util/fatal.h"

ColourIndex* IndexCanvas = nullptr;
Pixel* HiColourCanvas = nullptr;
Pixel PaletteColours[256];

void AllocateCanvases()
{
    // A second start must not leak the first canvases.
    std::free(IndexCanvas);
    std::free(HiColourCanvas);
    ResetSpriteRegistry();
    // Zeroed, so that pictures and the enlargement of sprites at the sheet edges are repeatable.
    IndexCanvas = static_cast<ColourIndex*>(std::calloc(size_t(CanvasWidth) * IndexCanvasHeight, 1));
    if (!IndexCanvas)
        FatalOutOfMemory("the index canvas");
    HiColourCanvas = static_cast<Pixel*>(std::calloc(size_t(CanvasWidth) * HiColourCanvasHeight, sizeof(Pixel)));
    if (!HiColourCanvas)
        FatalOutOfMemory("the hi-colour canvas");
}

void StartCanvases()
{
    SetFatalCleanup(StopCanvases);
    AllocateCanvases();
}

void StopCanvases()
{
    std::free(IndexCanvas);
    IndexCanvas = nullptr;
    std::free(HiColourCanvas);
    HiColourCanvas = nullptr;
}
