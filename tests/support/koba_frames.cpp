// Writes the screen the editor shows headless (dummy video driver) after each of frames FIRST..LAST, one
// after another, as its 640x480 16-bit pixels: the real-window check compares a screenshot against these,
// whatever the cycling phase.
#include <cstdio>
#include <cstdlib>

#include "editor/editor.h"
#include "gfx/video.h"

int main(int argc, char** argv)
{
    FILE* out = argc == 6 ? std::fopen(argv[3], "wb") : nullptr;
    if (!out)
        return std::fputs("usage: koba_frames DOCUMENT PACK OUT FIRST LAST\n", stderr), 2;
    StartEditor({.documentPath = argv[1], .hasDocument = true, .packPath = argv[2]});
    for (int frame = 1; frame <= std::atoi(argv[5]); ++frame) {
        RunEditorFrame();
        if (frame >= std::atoi(argv[4]))
            std::fwrite(ScreenPixels, sizeof *ScreenPixels, ScreenWidth * ScreenHeight, out);
    }
    std::fclose(out);
    return StopEditor();
}
