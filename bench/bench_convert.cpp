// The SGI reader on a 4096x4096 RGBA image in memory, without the file system: what the
// converters spend on decoding alone, into one whole picture and in the converters' bands.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "convert/convrun.h"
#include "convert/sgi.h"

enum { Side = 4096 };

// Smooth areas (runs) and a noisy band (literals), as painted sprites have.
static uint8_t Channel(unsigned x, unsigned y, unsigned c)
{
    if (x % 512 < 384)
        return uint8_t((y / 16 + c * 50 + x / 64) & 0xFF);
    return uint8_t((x * 2654435761u ^ y * 40503u ^ c * 977u) >> 13);
}

static std::vector<uint8_t> Header(uint8_t storage)
{
    std::vector<uint8_t> h(512, 0);
    h[0] = 0x01, h[1] = 0xDA, h[2] = storage, h[3] = 1, h[5] = 3;
    h[6] = Side >> 8, h[8] = Side >> 8, h[11] = 4;
    return h;
}

static const std::vector<uint8_t>& Verbatim()
{
    static std::vector<uint8_t> file;
    if (file.empty()) {
        file = Header(0);
        for (unsigned c = 0; c < 4; c++)
            for (unsigned y = 0; y < Side; y++)
                for (unsigned x = 0; x < Side; x++)
                    file.push_back(Channel(x, y, c));
    }
    return file;
}

static void EncodeRow(const uint8_t* row, std::vector<uint8_t>& out)
{
    size_t x = 0;
    while (x < Side) {
        size_t run = 1;
        while (x + run < Side && run < 127 && row[x + run] == row[x])
            run++;
        if (run >= 3) {
            out.insert(out.end(), {uint8_t(run), row[x]});
            x += run;
            continue;
        }
        size_t start = x;
        while (x < Side && x - start < 127 && !(x + 2 < Side && row[x] == row[x + 1] && row[x] == row[x + 2]))
            x++;
        out.push_back(uint8_t(0x80 | (x - start)));
        out.insert(out.end(), row + start, row + x);
    }
    out.push_back(0);
}

static const std::vector<uint8_t>& Rle()
{
    static std::vector<uint8_t> file;
    if (file.empty()) {
        file = Header(1);
        file.resize(512 + 2 * 16 * Side);
        const uint8_t* planes = Verbatim().data() + 512;
        for (size_t i = 0; i < 4 * Side; i++) {
            uint32_t start = uint32_t(file.size());
            for (int b = 0; b < 4; b++)
                file[512 + 4 * i + b] = uint8_t(start >> (24 - 8 * b));
            EncodeRow(planes + i * Side, file);
        }
    }
    return file;
}

static void Decode(benchmark::State& state, const std::vector<uint8_t>& file, SgiPacking packing)
{
    SgiHeader header;
    if (!CheckSgiImage(file.data(), file.size(), header).ok()) {
        state.SkipWithError("test image rejected");
        return;
    }
    size_t bytes = 0;
    SgiPixelBufferSize(header, packing, bytes);
    std::vector<uint8_t> pixels(bytes);
    for (auto _ : state) {
        Result result = DecodeSgiImage(file.data(), file.size(), header, packing, pixels.data());
        benchmark::DoNotOptimize(result.code);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(file.size()));
    state.counters["Mpixel/s"] = benchmark::Counter(double(Side) * double(Side) * double(state.iterations()) / 1e6,
                                                    benchmark::Counter::kIsRate);
}

static void BM_DecodeVerbatimAlphaSprite(benchmark::State& state) { Decode(state, Verbatim(), AlphaSprite); }
static void BM_DecodeRleAlphaSprite(benchmark::State& state) { Decode(state, Rle(), AlphaSprite); }
static void BM_DecodeRleHiColour(benchmark::State& state) { Decode(state, Rle(), HiColour); }
BENCHMARK(BM_DecodeVerbatimAlphaSprite)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodeRleAlphaSprite)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodeRleHiColour)->Unit(benchmark::kMillisecond);

// As the converters decode: a band at a time into one buffer that stays in the cache.
static void DecodeBands(benchmark::State& state, const std::vector<uint8_t>& file)
{
    SgiHeader header;
    if (!CheckSgiImage(file.data(), file.size(), header).ok()) {
        state.SkipWithError("test image rejected");
        return;
    }
    size_t bandRows = DefaultBandRows(header, AlphaSprite);
    std::vector<uint8_t> band(bandRows * Side * SgiPixelBytes(AlphaSprite));
    std::vector<uint8_t> scratch(SgiBandScratchBytes(header));
    for (auto _ : state) {
        for (size_t top = 0; top < Side; top += bandRows) {
            size_t count = std::min<size_t>(bandRows, Side - top);
            bool whole = DecodeSgiBand(file.data(), file.size(), header, AlphaSprite, top, count, band.data(),
                                       scratch.data());
            benchmark::DoNotOptimize(whole);
            benchmark::ClobberMemory();
        }
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(file.size()));
    state.counters["Mpixel/s"] = benchmark::Counter(double(Side) * double(Side) * double(state.iterations()) / 1e6,
                                                    benchmark::Counter::kIsRate);
}

static void BM_DecodeBandsVerbatimAlphaSprite(benchmark::State& state) { DecodeBands(state, Verbatim()); }
static void BM_DecodeBandsRleAlphaSprite(benchmark::State& state) { DecodeBands(state, Rle()); }
BENCHMARK(BM_DecodeBandsVerbatimAlphaSprite)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodeBandsRleAlphaSprite)->Unit(benchmark::kMillisecond);
