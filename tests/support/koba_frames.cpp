// Writes the screen the editor shows headless (dummy video driver) after each of frames FIRST..LAST, one
// after another, as 640x480 RGB with each 5-6-5 channel in the top bits: the real-window check compares a
// screenshot against these, whatever the cycling phase.
#include <cstdio>
#include <cstdlib>

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
        for (int i = 0; frame >= std::atoi(argv[4]) && i < ScreenWidth * ScreenHeight; ++i) {
            const int p = ScreenPixels[i];
            const uint8_t rgb[3] = {uint8_t(p >> 11 << 3), uint8_t((p >> 5 & 63) << 2), uint8_t((p & 31) << 3)};
            std::fwrite(rgb, 1, 3, out);
        }
    }
    std::fclose(out);
    return StopEditor();
}
