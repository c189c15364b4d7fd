// tintpour: an SGI image with alpha becomes an alpha-blended sprite file (".vas").
#include <memory>
#include <new>

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
    std::vector<uint8_t> file;
    ReadInputOrStop(input, file);
    std::string output = ConverterOutputName(input, text.outputExtension);
    StopIfOutputIsInput(input, output);

    SgiHeader header;
    StopOnSgiFailure(input, CheckSgiImage(file.data(), file.size(), header));
    // The pixels are decoded straight behind the 4-byte size header, so the whole file goes
    // out in one write without a second copy of the picture in memory.
    size_t pixelBytes = 0;
    if (!SgiPixelBufferSize(header, AlphaSprite, pixelBytes))
        FatalOutOfMemory("the pixel buffer");
    std::unique_ptr<uint8_t[]> out;
    try {
        out = std::make_unique_for_overwrite<uint8_t[]>(4 + pixelBytes);
    } catch (const std::bad_alloc&) {
        FatalOutOfMemory("the pixel buffer");
    }
    out[0] = uint8_t(header.xSize);
    out[1] = uint8_t(header.xSize >> 8);
    out[2] = uint8_t(header.ySize);
    out[3] = uint8_t(header.ySize >> 8);
    StopOnSgiFailure(input, DecodeSgiImage(file.data(), file.size(), header, AlphaSprite, out.get() + 4));
    ReleaseFileImage(file);

    WriteOutputOrStop(output, out.get(), 4 + pixelBytes);
    return 0;
}
