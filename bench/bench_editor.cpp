// The editor's frame: views, panel and present of a 255x255 document; start-up to the first
// presented frame; processor time while the window stands idle.
#include <benchmark/benchmark.h>

#include <SDL.h>
#include <chrono>
#include <climits>
#include <cstdlib>
#include <ctime>
#include <malloc.h>
#include <unistd.h>

#include "editor/editor.h"
#include "editor/history.h"
#include "editor/packpath.h"
#include "editor/panel.h"
#include "editor/state.h"
#include "editor/status.h"
#include "editor/views.h"
#include "gfx/text.h"
#include "gfx/video.h"
#include "resources/loader.h"
#include "util/path.h"

// The pack that the build put beside koba: build/editor/KOBA.VPK, seen from build/bench/.
static std::string BuiltPack()
{
    char self[PATH_MAX];
    ssize_t length = ::readlink("/proc/self/exe", self, sizeof self - 1);
    std::string exe = length > 0 ? std::string(self, size_t(length)) : std::string();
    std::string folder = DirectoryPart(exe, PathSeparators::Slash);
    return ResourcePackPathFor(folder + "../editor/koba");
}

static void FillLargestDocument()
{
    Document.width = 255;
    Document.height = 255;
    Document.keyColour = 0;
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x)
            Document.cells[y][x] = uint8_t((x * 7 + y * 3) % 5 == 0 ? 0 : x ^ y);
    cursorX = 200;
    cursorY = 30;
    currentColour = 112;
}

static void StartHeadlessFrame()
{
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    SDL_Init(SDL_INIT_VIDEO);
    StartVideo();
    LoadResourcePack(BuiltPack());
    EditorFont = LoadFont("KOBA");
    ResetEditorState();
    FillLargestDocument();
}

static void StopHeadlessFrame()
{
    FreeFont(EditorFont);
    EditorFont = nullptr;
    StopVideo();
    SDL_Quit();
}

static void BM_FrameViewsPanelPresent(benchmark::State& state)
{
    StartHeadlessFrame();
    for (auto _ : state) {
        DrawSpriteViews();
        DrawPalettePanel();
        PresentZoomed(0, BandTop, 0, 0, BandWidth, BandHeight);
        benchmark::ClobberMemory();
    }
    StopHeadlessFrame();
}
BENCHMARK(BM_FrameViewsPanelPresent)->Unit(benchmark::kMicrosecond);

// The editor's own share of a frame: the composition and its conversion to 16-bit pixels, without
// handing the screen to SDL (the same conversion into the hi-colour canvas).
static void BM_FrameComposeAndConvert(benchmark::State& state)
{
    StartHeadlessFrame();
    for (auto _ : state) {
        DrawSpriteViews();
        DrawPalettePanel();
        ZoomToHiColour(0, BandTop, 0, 0, BandWidth, BandHeight);
        benchmark::ClobberMemory();
    }
    StopHeadlessFrame();
}
BENCHMARK(BM_FrameComposeAndConvert)->Unit(benchmark::kMicrosecond);

// The same with the status line, as the editor presents it: 240 rows, and the views scrolled to
// follow the cursor at (200, 30) of the 255x255 sprite.
static void BM_FrameScrolledWithStatusLine(benchmark::State& state)
{
    StartHeadlessFrame();
    DrawSpriteViews();  // the views move to the cursor
    for (auto _ : state) {
        DrawSpriteViews();
        DrawPalettePanel();
        DrawStatusLine();
        ZoomToHiColour(0, BandTop, 0, 0, BandWidth, PictureHeight);
        benchmark::ClobberMemory();
    }
    state.counters["first_column"] = ViewFirst.zoomX;
    StopHeadlessFrame();
}
BENCHMARK(BM_FrameScrolledWithStatusLine)->Unit(benchmark::kMicrosecond);

// A thousand one-cell strokes on the largest sprite, as Space records them: the time per stroke
// and the history's memory, counted by the history and measured by the allocator.
static void BM_HistoryThousandOneCellStrokes(benchmark::State& state)
{
    StartHeadlessFrame();
    double counted = 0, measured = 0;
    for (auto _ : state) {
        ResetHistory();
        size_t before = mallinfo2().uordblks;
        for (int i = 0; i < HistoryLimit; ++i) {
            int x = i % 255, y = i / 255;
            BeginChange(true);
            NoteCell(x, y);
            Document.cells[y][x] = uint8_t(Document.cells[y][x] + 1);
            EndFrameChanges(false);
        }
        counted = double(HistoryBytes());
        measured = double(mallinfo2().uordblks - before);
    }
    state.counters["history_bytes"] = counted;
    state.counters["heap_bytes"] = measured;
    state.SetItemsProcessed(int64_t(state.iterations()) * HistoryLimit);
    ResetHistory();
    StopHeadlessFrame();
}
BENCHMARK(BM_HistoryThousandOneCellStrokes)->Unit(benchmark::kMicrosecond);

static void BM_DrawSpriteViews(benchmark::State& state)
{
    StartHeadlessFrame();
    for (auto _ : state) {
        DrawSpriteViews();
        benchmark::ClobberMemory();
    }
    StopHeadlessFrame();
}
BENCHMARK(BM_DrawSpriteViews)->Unit(benchmark::kMicrosecond);

static void BM_DrawPalettePanel(benchmark::State& state)
{
    StartHeadlessFrame();
    for (auto _ : state) {
        DrawPalettePanel();
        benchmark::ClobberMemory();
    }
    StopHeadlessFrame();
}
BENCHMARK(BM_DrawPalettePanel)->Unit(benchmark::kMicrosecond);

// From SDL_Init to the first frame on the screen, the way koba starts (the first frame waits
// for the first 24 ms tick, which is part of what a user sees).
static void BM_StartupToFirstFrame(benchmark::State& state)
{
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    EditorOptions options;
    options.packPath = BuiltPack();
    for (auto _ : state) {
        StartEditor(options);
        RunEditorFrame();
        state.PauseTiming();
        StopEditor();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_StartupToFirstFrame)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(20);

static double ProcessSeconds()
{
    timespec t;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

// Frames of the loop with no key held: processor time used as a share of one core.
static void BM_IdleLoopCpu(benchmark::State& state)
{
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    EditorOptions options;
    options.packPath = BuiltPack();
    StartEditor(options);
    double cpu = 0, wall = 0;
    for (auto _ : state) {
        auto start = std::chrono::steady_clock::now();
        double cpuStart = ProcessSeconds();
        for (int i = 0; i < 100; ++i)
            RunEditorFrame();
        cpu += ProcessSeconds() - cpuStart;
        wall += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    state.counters["cpu_percent_of_one_core"] = 100.0 * cpu / wall;
    state.counters["frame_ms"] = 1000.0 * wall / (100.0 * double(state.iterations()));
    StopEditor();
}
BENCHMARK(BM_IdleLoopCpu)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
