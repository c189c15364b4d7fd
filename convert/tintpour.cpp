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
    std::string input;
    if (!TakeInputArgument(argc, argv, text, input))
        return 0;
    MappedFile file;
    MapInputOrStop(input, file);
    std::string output = ConverterOutputName(input, text.outputExtension);
    StopIfOutputIsInput(input, output);

    SgiHeader header;
    StopOnSgiFailure(input, CheckSgiImage(file.data, file.size, header));
    PictureLayout layout;
    layout.head = {uint8_t(header.xSize), uint8_t(header.xSize >> 8), uint8_t(header.ySize),
                   uint8_t(header.ySize >> 8)};
    layout.rows = header.ySize;
    layout.rowBytes = size_t(header.xSize) * SgiPixelBytes(AlphaSprite);
    WriteConvertedPictureOrStop(input, output, file, header, AlphaSprite, layout);
    UnmapFile(file);
    return 0;
}
