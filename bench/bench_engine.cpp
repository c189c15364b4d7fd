// The engine's inner loops: keyed box copies, double-size sprite drawing, and registering
// sprites with their smoothed enlargement.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "gfx/primitives.h"
#include "gfx/sprites.h"
#include "gfx/video.h"
#include "resources/register.h"

namespace {

// A sheet-like source: a third of the pixels key, the rest colours, in an irregular pattern.
void FillSource(int w, int h)
{
    uint32_t seed = 1;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            seed = seed * 1664525u + 1013904223u;
            const uint32_t v = seed >> 24;
            IndexCanvas[(2560 + y) * CanvasWidth + x] = ColourIndex(v % 3 == 0 ? 0 : v);
            HiColourCanvas[(2560 + y) * CanvasWidth + x] = Pixel(v % 3 == 0 ? 0 : v * 257);
        }
}

void BM_CopyBoxKeyed8(benchmark::State& state)
{
    const int side = int(state.range(0));
    StartCanvases();
    FillSource(side, side);
    for (auto _ : state) {
        CopyBoxKeyed8(0, 2560, 100, 100, side, side, 0);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * side * side);
    StopVideo();
}
BENCHMARK(BM_CopyBoxKeyed8)->Arg(32)->Arg(256);

void BM_CopyBoxKeyed16(benchmark::State& state)
{
    const int side = int(state.range(0));
    StartCanvases();
    FillSource(side, side);
    for (auto _ : state) {
        CopyBoxKeyed16(0, 2560, 100, 100, side, side, 0);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * side * side * 2);
    StopVideo();
}
BENCHMARK(BM_CopyBoxKeyed16)->Arg(32)->Arg(256);

std::vector<uint8_t> RoundSprite(int side)
{
    std::vector<uint8_t> data = {uint8_t(side), uint8_t(side), uint8_t(side / 2), uint8_t(side / 2), 0};
    const int r = side / 2;
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x) {
            const int dx = x - r, dy = y - r;
            data.push_back(dx * dx + dy * dy < r * r ? uint8_t(16 + (x + y) % 40) : 0);
        }
    return data;
}

void BM_DrawSprite16(benchmark::State& state)
{
    StartCanvases();
    for (int i = 0; i < 256; ++i)
        PaletteColours[i] = Pixel(i * 0x0101);
    const std::vector<uint8_t> data = RoundSprite(32);
    const uint16_t sprite = RegisterSprite(data.data(), data.size(), "BALL");
    for (auto _ : state) {
        DrawSprite16(200, 200, sprite);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * 64 * 64 * 2);
    StopVideo();
}
BENCHMARK(BM_DrawSprite16);

// 4096 registrations of 16x16 sprites, enlargement included. The hi-colour sheet holds 992 of
// them, so the registry is emptied (untimed) whenever it is full.
void BM_Register4096Sprites16x16(benchmark::State& state)
{
    StartCanvases();
    for (int i = 0; i < 256; ++i)
        PaletteColours[i] = Pixel(i * 0x0101);
    const std::vector<uint8_t> data = RoundSprite(16);
    for (auto _ : state) {
        for (int n = 0; n < 4096; ++n) {
            if (!CheckSprite(data.data(), data.size()).ok()) {
                state.PauseTiming();
                ResetSpriteRegistry();
                state.ResumeTiming();
            }
            benchmark::DoNotOptimize(RegisterSprite(data.data(), data.size(), "SPRITE"));
        }
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * 4096);
    StopVideo();
}
BENCHMARK(BM_Register4096Sprites16x16)->Unit(benchmark::kMillisecond);

}  // namespace
