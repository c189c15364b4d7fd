// hueslab: a picture becomes a hi-colour sprite file (".vhs"): a blank sprite document of half
// the picture's size followed by the picture in 16-bit colour; and back.
#include <new>
#include <string>

#include "convert/convrun.h"
#include "convert/rgb565.h"
#include "util/png.h"

// The document header keeps the halved size in one byte each.
enum { MaxImageSide = 511 };

static Result HiColourLayout(uint32_t width, uint32_t height, PictureLayout& layout)
{
    if (width > MaxImageSide || height > MaxImageSide)
        return Rejected(std::to_string(width) + " x " + std::to_string(height) +
                        " pixels; a hi-colour sprite holds at most 511 x 511");
    size_t cellsWidth = width / 2;
    size_t cellsHeight = height / 2;
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
    return {};
}

static Result DecodeHiColour(const std::vector<uint8_t>& file, std::vector<uint8_t>& pixels, PngImageOut& image)
{
    std::string length = "the file is " + std::to_string(file.size()) + " bytes";
    if (file.size() < 5)
        return Rejected(length + ", shorter than the 5-byte document header of a .vhs file");
    size_t width = file[0], height = file[1];
    std::string size = std::to_string(width) + " x " + std::to_string(height);
    size_t needed = 5 + width * height + 2 + 8 * width * height;
    if (file.size() != needed)
        return Rejected(length + "; a .vhs file of " + size + " cells has " + std::to_string(needed));
    if (width == 0 || height == 0)
        return Rejected("the document is " + size + " cells, and a PNG file cannot be empty");
    try {
        pixels.resize(12 * width * height);
    } catch (const std::bad_alloc&) {
        return Failed(RunErrorOutOfMemory, "out of memory for the picture");
    }
    const uint8_t* in = file.data() + 7 + width * height;
    for (size_t i = 0; i < 4 * width * height; i++, in += 2) {
        unsigned colour = in[0] | in[1] << 8;
        WidenRgb565(colour, &pixels[3 * i]);
    }
    image.width = uint32_t(2 * width);
    image.height = uint32_t(2 * height);
    image.colour = PngColour::Rgb;
    image.pixels = pixels.data();
    return {};
}

static const Converter converter = {
    "hueslab",
    "hueslab: convert SGI image files to Gravlin hi-color sprites",
    ".vhs",
    "The .vhs file starts with a sprite document of half the image's width W and height H\n"
    "(5 bytes: W, H, W/2, H/2 as origin, key colour 0; then W x H cells, all 0), followed by\n"
    "the colour of the top-left pixel (2 bytes) and the picture, 2W x 2H pixels top row first,\n"
    "each in 16-bit RGB565 (little-endian). The alpha channel is not used. An odd width or\n"
    "height loses its last column or row; images up to 511 x 511 pixels are accepted.\n"
    "--decode writes the 2W x 2H picture as an RGB PNG.\n",
    HiColour,
    HiColourLayout,
    DecodeHiColour,
};

int main(int argc, char** argv)
{
    return RunConverter(argc, argv, converter);
}
