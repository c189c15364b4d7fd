// The editor's present: 320x200 indices doubled into the 640x400 top of the screen.
#include <benchmark/benchmark.h>

#include <SDL.h>
#include <cstdlib>

#include "gfx/video.h"

static void BM_PresentZoomedBand(benchmark::State& state)
{
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    SDL_Init(SDL_INIT_VIDEO);
    StartVideo();
    for (int i = 0; i < 256; ++i)
        PaletteColours[i] = Pixel(i * 0x0101);
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 320; ++x)
            IndexCanvas[(1000 + y) * CanvasWidth + x] = ColourIndex(x ^ y);
    for (auto _ : state) {
        PresentZoomed(0, 1000, 0, 0, 320, 200);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * 640 * 400 * 2);
    StopVideo();
    SDL_Quit();
}
BENCHMARK(BM_PresentZoomedBand)->Unit(benchmark::kMicrosecond);

// The conversion alone, without handing the screen to SDL: the same work into the hi-colour canvas.
static void BM_ZoomBandToHiColour(benchmark::State& state)
{
    StartCanvases();
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 320; ++x)
            IndexCanvas[(1000 + y) * CanvasWidth + x] = ColourIndex(x ^ y);
    for (auto _ : state) {
        ZoomToHiColour(0, 1000, 0, 0, 320, 200);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * 640 * 400 * 2);
    StopVideo();
}
BENCHMARK(BM_ZoomBandToHiColour)->Unit(benchmark::kMicrosecond);
