// tintpour: an SGI image with alpha becomes an alpha-blended sprite file (".vas").
#include "convert/convrun.h"
#include "convert/sgi.h"
#include "util/fatal.h"

static const ConverterText text = {
    "tintpour",
    "tintpour: convert SGI image files to Gravlin alpha blended sprites",
    ".vas",
    "The .vas file holds the width and the height (2 bytes each, little-endian), then every\n"
    "pixel, top row first, in 3 bytes: the colour in 16-bit RGB565 (little-endian; red, green\n"
    "and blue cut to 5, 6 and 5 bits) and the alpha cut to 5 bits (0 to 31). Images up to\n"
    "65535 x 65535 pixels convert where memory allows.\n",
};

int main(int argc, char** argv)
{
    Conversion c;
    if (!StartConversion(argc, argv, text, c))
        return 0;
    PictureLayout layout;
    layout.head = {uint8_t(c.header.xSize), uint8_t(c.header.xSize >> 8), uint8_t(c.header.ySize),
                   uint8_t(c.header.ySize >> 8)};
    layout.rows = c.header.ySize;
    layout.rowBytes = size_t(c.header.xSize) * SgiPixelBytes(AlphaSprite);
    WriteConvertedPictureOrStop(c.input, c.output, c.file, c.header, AlphaSprite, layout);
    UnmapFile(c.file);
    return 0;
}
