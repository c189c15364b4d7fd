// hueslab: an SGI image becomes a hi-colour sprite file (".vhs"): a blank sprite document of
// half the image's size followed by the picture in 16-bit colour.
#include <cstring>
#include <new>

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
    std::string input;
    if (!TakeInputArgument(argc, argv, text, input))
        return 0;
    std::vector<uint8_t> file;
    ReadInputOrStop(input, file);
    std::string output = ConverterOutputName(input, text.outputExtension);
    StopIfOutputIsInput(input, output);

    SgiHeader header;
    StopOnSgiFailure(input, CheckSgiImage(file.data(), file.size(), header));
    if (header.xSize > MaxImageSide || header.ySize > MaxImageSide)
        FatalReject(input, IntToStr(header.xSize) + " x " + IntToStr(header.ySize) +
                               " pixels; a hi-colour sprite holds at most 511 x 511");
    size_t imageWidth = header.xSize;
    size_t imageHeight = header.ySize;
    std::vector<uint8_t> pixels;
    std::vector<uint8_t> out;
    size_t cellsWidth = imageWidth / 2;
    size_t cellsHeight = imageHeight / 2;
    size_t cells = cellsWidth * cellsHeight;
    try {
        pixels.resize(imageWidth * imageHeight * 2);
        out.assign(5 + cells + 2 + 8 * cells, 0);
    } catch (const std::bad_alloc&) {
        FatalOutOfMemory("the pixel buffer");
    }
    StopOnSgiFailure(input, DecodeSgiImage(file.data(), file.size(), header, HiColour, pixels.data()));
    ReleaseFileImage(file);

    out[0] = uint8_t(cellsWidth);
    out[1] = uint8_t(cellsHeight);
    out[2] = uint8_t(cellsWidth / 2);
    out[3] = uint8_t(cellsHeight / 2);
    // out[4], the key colour, and the cells stay 0. An empty picture has no top-left pixel:
    // its corner colour stays 0 too.
    uint8_t* at = out.data() + 5 + cells;
    if (!pixels.empty())
        std::memcpy(at, pixels.data(), 2);
    at += 2;
    // The top-left 2W x 2H crop, so that the picture has the geometry its header declares.
    if (cells > 0)
        for (size_t y = 0; y < 2 * cellsHeight; y++, at += 4 * cellsWidth)
            std::memcpy(at, pixels.data() + y * imageWidth * 2, 4 * cellsWidth);

    WriteOutputOrStop(output, out.data(), out.size());
    return 0;
}
