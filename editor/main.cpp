// koba: the Gravlin sprite editor.
#include <cstdio>
#include <cstring>

#include "editor/editor.h"
#include "editor/packpath.h"
#include "editor/pngdoc.h"
#include "util/fatal.h"
#include "util/version.h"

static void PrintHelp()
{
    std::printf(
        "Usage: koba [SPRITE]\n"
        "       koba --export SPRITE OUT.png\n"
        "       koba --import IN.png SPRITE\n"
        "Edit a Gravlin sprite (up to 255x255 palette-index cells) with the keyboard.\n"
        "\n"
        "SPRITE is read at start and written back when you quit with Esc (closing the window,\n"
        "Ctrl+C or SIGTERM save as well), but only when it changed: leaving without an edit\n"
        "leaves the file as it was. A file that does not exist yet is created (its folder must\n"
        "exist); an empty file is a fresh 16x16 sprite; PNG and SGI images are refused. A file\n"
        "with bytes after the sprite's cells is kept as SPRITE.orig before it is first replaced.\n"
        "A read-only file opens for looking; saving it would go to a recovery file.\n"
        "Without SPRITE a fresh 16x16 sprite is edited and nothing is saved.\n"
        "The palette, font and interface graphics come from KOBA.VPK beside the program.\n"
        "\n"
        "Keys: arrows move the cursor, Space paints, Shift+arrows pick the colour,\n"
        "Ctrl+arrows resize, Alt+arrows move the origin, Tab sets the key colour,\n"
        "h and v mirror, f fills, Shift+F replaces a colour, i picks one, m highlights a\n"
        "material, Ctrl+Z undoes, Ctrl+Y redoes, Ctrl+S saves, Esc saves and quits, Ctrl+Q\n"
        "quits without saving. F1 shows them all. Moves, colour, size and origin steps, undo\n"
        "and redo repeat while their key is held.\n"
        "\n"
        "--export writes SPRITE as an 8-bit indexed PNG for other editors: the cells' palette\n"
        "indices as they are, the pack's palette, the key colour transparent, the origin in a\n"
        "grAb chunk. --import makes SPRITE (replacing it) from a PNG of 1 to 255 pixels a side:\n"
        "an indexed PNG's indices are taken as they are, its key colour is the first fully\n"
        "transparent palette entry; other PNGs take the nearest palette colour (never the key\n"
        "colour 0, which pixels with alpha below 128 get). Neither opens a window.\n");
}

int main(int argc, char** argv)
{
    SetProgramName("koba");
    if (argc > 1 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        PrintHelp();
        return 0;
    }
    if (argc > 1 && std::strcmp(argv[1], "--version") == 0) {
        PrintVersion();
        return 0;
    }
    if (argc > 1 && IsPngDocumentCommand(argv[1]))
        return RunPngDocumentCommand(argc, argv);
    EditorOptions options;
    if (argc > 1) {
        options.documentPath = argv[1];
        options.hasDocument = true;
    }
    // A program can be started with no arguments at all, not even its own name.
    options.packPath = ResourcePackPath(argc > 0 && argv[0] ? argv[0] : "");
    StartEditor(options);
    while (RunEditorFrame()) {
    }
    return StopEditor();
}
