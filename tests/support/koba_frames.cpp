// Writes the screen the editor shows headless (dummy video driver) after each of frames
// FIRST..LAST, one after another, as 640x480 RGB with each 5-6-5 channel in the top bits.
// The real-window check compares a screenshot against these, whatever the cycling phase.
#include <cstdio>
#include <cstdlib>

#include <SDL.h>

#include "editor/editor.h"
#include "gfx/video.h"

int main(int argc, char** argv)
{
    FILE* out = argc == 6 ? std::fopen(argv[3], "wb") : nullptr;
    if (!out) {
        std::fprintf(stderr, "usage: koba_frames DOCUMENT PACK OUT FIRST LAST\n");
        return 2;
    }
    StartEditor({.documentPath = argv[1], .hasDocument = true, .packPath = argv[2]});
    for (int frame = 1; frame <= std::atoi(argv[5]); ++frame) {
        RunEditorFrame();
        for (int y = 0; frame >= std::atoi(argv[4]) && y < ScreenHeight; ++y)
            for (int x = 0; x < ScreenWidth; ++x) {
                const int p = static_cast<const uint16_t*>(ScreenSurface->pixels)[y * ScreenSurface->pitch / 2 + x];
                std::fputc(p >> 11 << 3, out);
                std::fputc((p >> 5 & 63) << 2, out);
                std::fputc((p & 31) << 3, out);
            }
    }
    std::fclose(out);
    return StopEditor();
}
