// Writes the screen the editor shows headless (dummy video driver) after each of frames
// FIRST..LAST, one after another, as 640x480 RGB with each 5-6-5 channel in the top bits.
// The real-window check compares a screenshot against these, whatever the cycling phase.
#include <cstdio>
#include <cstdlib>
#include <vector>

#include <SDL.h>

#include "editor/editor.h"
#include "gfx/video.h"

int main(int argc, char** argv)
{
    if (argc != 6) {
        std::fprintf(stderr, "usage: koba_frames DOCUMENT PACK OUT FIRST LAST\n");
        return 2;
    }
    EditorOptions options{.documentPath = argv[1], .hasDocument = true, .packPath = argv[2]};
    const int first = std::atoi(argv[4]), last = std::atoi(argv[5]);
    FILE* out = std::fopen(argv[3], "wb");
    if (!out)
        return 1;
    StartEditor(options);
    std::vector<uint8_t> rgb(size_t(ScreenWidth) * ScreenHeight * 3);
    for (int frame = 1; frame <= last; ++frame) {
        RunEditorFrame();
        if (frame < first)
            continue;
        uint8_t* at = rgb.data();
        for (int y = 0; y < ScreenHeight; ++y) {
            const auto* row = reinterpret_cast<const uint16_t*>(static_cast<uint8_t*>(ScreenSurface->pixels) +
                                                                y * ScreenSurface->pitch);
            for (int x = 0; x < ScreenWidth; ++x) {
                *at++ = uint8_t(row[x] >> 11 << 3);
                *at++ = uint8_t((row[x] >> 5 & 63) << 2);
                *at++ = uint8_t((row[x] & 31) << 3);
            }
        }
        std::fwrite(rgb.data(), 1, rgb.size(), out);
    }
    std::fclose(out);
    return StopEditor();
}
