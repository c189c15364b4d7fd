// hueslab: an SGI image becomes a hi-colour sprite file (".vhs"): a blank sprite document of
// half the image's size followed by the picture in 16-bit colour.
#include "convert/convrun.h"
#include "convert/sgi.h"
#include "util/fatal.h"
#include "util/numfmt.h"

// The document header keeps the halved size in one byte each.
enum { MaxImageSide = 511 };

static const ConverterText text = {
    "hueslab",
    "hueslab: convert SGI image files to Gravlin hi-color sprites",
    ".vhs",
    "The .vhs file starts with a sprite document of half the image's width W and height H\n"
    "(5 bytes: W, H, W/2, H/2 as origin, key colour 0; then W x H cells, all 0), followed by\n"
    "the colour of the top-left pixel (2 bytes) and the picture, 2W x 2H pixels top row first,\n"
    "each in 16-bit RGB565 (little-endian). The alpha channel is not used. An odd width or\n"
    "height loses its last column or row; images up to 511 x 511 pixels are accepted.\n",
};

int main(int argc, char** argv)
{
    Conversion c;
    if (!StartConversion(argc, argv, text, c))
        return 0;
    const std::string& input = c.input;
    const SgiHeader& header = c.header;
    if (header.xSize > MaxImageSide || header.ySize > MaxImageSide)
        FatalReject(input, IntToStr(header.xSize) + " x " + IntToStr(header.ySize) +
                               " pixels; a hi-colour sprite holds at most 511 x 511");
    size_t cellsWidth = header.xSize / 2;
    size_t cellsHeight = header.ySize / 2;
    PictureLayout layout;
    // The document: its size, its origin in the middle, key colour 0, and cells all 0.
    layout.head.assign(5 + cellsWidth * cellsHeight, 0);
    layout.head[0] = uint8_t(cellsWidth);
    layout.head[1] = uint8_t(cellsHeight);
    layout.head[2] = uint8_t(cellsWidth / 2);
    layout.head[3] = uint8_t(cellsHeight / 2);
    // Then the top-left pixel's colour (0 for an empty picture) and the top-left 2W x 2H crop,
    // so that the picture has the geometry its header declares.
    layout.cornerBytes = SgiPixelBytes(HiColour);
    layout.rows = 2 * cellsHeight;
    layout.rowBytes = 2 * cellsWidth * SgiPixelBytes(HiColour);
    WriteConvertedPictureOrStop(input, c.output, c.file, header, HiColour, layout);
    UnmapFile(c.file);
    return 0;
}
