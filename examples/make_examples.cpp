// Writes the example sprites (worm.vsf, crate.vsf, launcher.vsf) into the folder named by the
// argument, in the editor's document layout. The pictures are drawn below as text; each
// character stands for a palette index of the editor's palette, '.' for the key colour 0.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "editor/document.h"
#include "util/files.h"

struct Ink {
    char symbol;
    uint8_t colour;
};

struct Example {
    const char* fileName;
    uint8_t originX, originY;
    std::vector<Ink> inks;
    std::vector<const char*> rows;
};

// Worm pinks 104-119, eye white 255 and black 247.
static const Example Worm = {
    "worm.vsf",
    9,
    15,
    {{'o', 105}, {'s', 108}, {'b', 112}, {'h', 116}, {'H', 119}, {'w', 255}, {'k', 247}},
    {
        "......ooooo.......",
        ".....obbbbbo......",
        "....obhhbwwwo.....",
        "....obHhbwkwo.....",
        "....obhbbwkwo.....",
        "....obbbbbbbo.....",
        "....osbbbbbbo.....",
        ".....osbbbbo......",
        ".....osbbbbo......",
        ".....osbbbbo......",
        "....osbbbbbo......",
        "...osbbbbbo.......",
        "..osbbbbbbo.......",
        ".osbbbbbbbbooo....",
        ".osssbbbbbbbbbo...",
        "..ooosssssssso....",
        ".....ooooooo......",
    },
};

// Crate browns 181-185 with steel corners 186-191.
static const Example Crate = {
    "crate.vsf",
    8,
    15,
    {{'a', 181}, {'b', 182}, {'c', 183}, {'d', 184}, {'e', 185}, {'s', 187}, {'S', 190}},
    {
        "SSsaaaaaaaaaasSS",
        "Sdddddddddddddds",
        "sdeeeeeeeeeeeecs",
        "adecccccccccccca",
        "adcdcccccccccbca",
        "adccdcccccccbcca",
        "adcccdcccccbccca",
        "adccccdcccbcccca",
        "adcccccdcbccccca",
        "adccccccbdccccca",
        "adcccccbcccdccca",
        "adccccbcccccdcca",
        "adcccbcccccccdca",
        "sdbbbbbbbbbbbbbs",
        "Sdaaaaaaaaaaaaas",
        "SSsaaaaaaaaaasSS",
    },
};

// A launcher icon: foliage greens 224-231 for the tube, steel grip, a red warhead.
static const Example Launcher = {
    "launcher.vsf",
    12,
    6,
    {{'g', 225}, {'G', 228}, {'L', 231}, {'s', 187}, {'S', 190}, {'r', 242}, {'k', 247}},
    {
        "........................",
        "..................rr....",
        "gggggggggggggggggrrrr...",
        "GLLLLLLLLLLLLLLLGrrrrr..",
        "GGGGGGGGGGGGGGGGGrrrrrr.",
        "gggggggggggggggggrrrrr..",
        "......sS...sS....rrrr...",
        "......sS...sS.....rr....",
        "......sS...kk...........",
        "......kk................",
        "........................",
    },
};

static bool Write(const std::string& folder, const Example& example)
{
    size_t width = std::strlen(example.rows[0]);
    for (const char* row : example.rows)
        if (std::strlen(row) != width) {
            std::fprintf(stderr, "koba-examples: %s: rows of different lengths\n", example.fileName);
            return false;
        }
    SpriteDocument document;
    ResetDocument(document);
    document.width = uint8_t(std::strlen(example.rows[0]));
    document.height = uint8_t(example.rows.size());
    document.originX = example.originX;
    document.originY = example.originY;
    document.keyColour = 0;
    for (size_t y = 0; y < example.rows.size(); ++y)
        for (size_t x = 0; example.rows[y][x]; ++x)
            for (const Ink& ink : example.inks)
                if (ink.symbol == example.rows[y][x])
                    document.cells[y][x] = ink.colour;
    std::string path = folder + "/" + example.fileName;
    Result status = WriteDocument(path, document);
    if (!status.ok())
        std::fprintf(stderr, "koba-examples: %s: %s\n", path.c_str(), status.reason.c_str());
    return status.ok();
}

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "Usage: koba-examples FOLDER\n");
        return 2;
    }
    bool ok = true;
    for (const Example* example : {&Worm, &Crate, &Launcher})
        ok = Write(argv[1], *example) && ok;
    return ok ? 0 : 1;
}
