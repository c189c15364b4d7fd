#include "gfx/video.h"

#include <SDL.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "util/fatal.h"

bool WindowedVideo = true;
SDL_Surface* ScreenSurface = nullptr;
uint16_t* ScreenPixels = nullptr;
int32_t ScreenPitch = 0;

// With no display to reach, SDL quietly falls back to drawing into memory: the editor would run
// with a window nobody can see, to be ended only by a signal. Only a driver
// asked for by name (the tests' dummy driver, or a list that names this one) may show nothing.
static bool VideoGoesNowhere()
{
    char name[32] = "";
    if (!SDL_VideoDriverName(name, sizeof name))
        return false;
    const char* asked = std::getenv("SDL_VIDEODRIVER");
    return std::strcmp(name, "offscreen") == 0 && !(asked && std::strstr(asked, name));
}

void StartVideo()
{
    SetFatalCleanup(StopVideo);
    if (VideoGoesNowhere()) {
        std::fprintf(stderr, "%s: no display to open a window on (is DISPLAY set?)\n", ProgramName().c_str());
        FatalLine("Can't initialize SDL video, sorry.", 1);
    }
    // The compatibility layer would draw the window through OpenGL; without a GPU (a virtual or
    // remote display) that is Mesa's software rasteriser, whose threads cost an idle editor more
    // than all of its own work. SDL's plain framebuffer (shared memory with the X server, as
    // SDL 1.2 itself drew) shows the same pixels and is cheap everywhere. A user's choice wins.
    setenv("SDL_RENDER_DRIVER", "software", 0);
    setenv("SDL_FRAMEBUFFER_ACCELERATION", "0", 0);
    SDL_Surface* surface = SDL_SetVideoMode(ScreenWidth, ScreenHeight, 16, WindowedVideo ? 0 : SDL_FULLSCREEN);
    if (!surface)
        FatalLine("Can't initialize SDL video, sorry.", 1);
    AllocateCanvases();
    ScreenSurface = surface;
    ScreenPixels = static_cast<uint16_t*>(surface->pixels);
    ScreenPitch = ScreenWidth * 2;
}

void StopVideo()
{
    StopCanvases();
    if (ScreenSurface) {
        SDL_FreeSurface(ScreenSurface);
        ScreenSurface = nullptr;
        ScreenPixels = nullptr;
    }
}

static inline uint16_t* ScreenRow(int32_t y)
{
    return reinterpret_cast<uint16_t*>(reinterpret_cast<uint8_t*>(ScreenPixels) + size_t(y) * ScreenPitch);
}

// Converts one index row and writes it doubled into two target rows.
static inline void DoubleRow(const ColourIndex* source, int32_t w, uint16_t* top, uint16_t* bottom)
{
    for (int32_t i = 0; i < w; ++i) {
        uint32_t p = PaletteColours[source[i]];
        uint32_t pair = p | (p << 16);
        std::memcpy(top + 2 * i, &pair, 4);
        std::memcpy(bottom + 2 * i, &pair, 4);
    }
}

void PresentZoomed(int32_t sx, int32_t sy, int32_t dx, int32_t dy, int32_t w, int32_t h)
{
    if (!ScreenPixels)
        return;
    for (int32_t j = 0; j < h; ++j) {
        const ColourIndex* source = IndexCanvas + size_t(sy + j) * CanvasWidth + sx;
        DoubleRow(source, w, ScreenRow(dy + 2 * j) + dx, ScreenRow(dy + 2 * j + 1) + dx);
    }
    SDL_UpdateRect(ScreenSurface, 0, 0, 0, 0);
}

void PresentHiColour(int32_t sx, int32_t sy, int32_t dx, int32_t dy, int32_t w, int32_t h)
{
    if (!ScreenPixels)
        return;
    for (int32_t j = 0; j < h; ++j) {
        const Pixel* source = HiColourCanvas + size_t(sy + j) * CanvasWidth + sx;
        std::memcpy(ScreenRow(dy + j) + dx, source, size_t(w) * sizeof(Pixel));
    }
    SDL_UpdateRect(ScreenSurface, 0, 0, 0, 0);
}

void ZoomToHiColour(int32_t sx, int32_t sy, int32_t dx, int32_t dy, int32_t w, int32_t h)
{
    for (int32_t j = 0; j < h; ++j) {
        const ColourIndex* source = IndexCanvas + size_t(sy + j) * CanvasWidth + sx;
        Pixel* top = HiColourCanvas + size_t(dy + 2 * j) * CanvasWidth + dx;
        DoubleRow(source, w, top, top + CanvasWidth);
    }
}
