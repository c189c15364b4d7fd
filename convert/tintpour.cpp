// tintpour: a picture with alpha becomes an alpha-blended sprite file (".vas"), and back.
#include <new>
#include <string>

#include "convert/convrun.h"
#include "convert/rgb565.h"
#include "util/png.h"

static Result SpriteLayout(uint32_t width, uint32_t height, PictureLayout& layout)
{
    if (width > 65535 || height > 65535)
        return Rejected(std::to_string(width) + " x " + std::to_string(height) +
                        " pixels; an alpha-blended sprite holds at most 65535 x 65535");
    layout.head = {uint8_t(width), uint8_t(width >> 8), uint8_t(height), uint8_t(height >> 8)};
    layout.rows = height;
    layout.rowBytes = size_t(width) * SgiPixelBytes(AlphaSprite);
    return {};
}

static Result DecodeSprite(const std::vector<uint8_t>& file, std::vector<uint8_t>& pixels, PngImageOut& image)
{
    std::string length = "the file is " + std::to_string(file.size()) + " bytes";
    if (file.size() < 4)
        return Rejected(length + ", shorter than the 4-byte size of a .vas file");
    uint32_t width = file[0] | file[1] << 8, height = file[2] | file[3] << 8;
    std::string size = std::to_string(width) + " x " + std::to_string(height);
    uint64_t needed = 4 + 3 * uint64_t(width) * height;
    if (file.size() != needed)
        return Rejected(length + "; a .vas file of " + size + " pixels has " + std::to_string(needed));
    if (width == 0 || height == 0)
        return Rejected("the sprite is " + size + " pixels, and a PNG file cannot be empty");
    try {
        pixels.resize(4 * size_t(width) * height);
    } catch (const std::bad_alloc&) {
        return Failed(RunErrorOutOfMemory, "out of memory for the picture");
    }
    for (size_t i = 0; i < size_t(width) * height; i++) {
        const uint8_t* in = file.data() + 4 + 3 * i;
        if (in[2] > 31)
            return Rejected("pixel " + std::to_string(i) + " has alpha " + std::to_string(in[2]) +
                            "; a .vas alpha is 0 to 31");
        unsigned colour = in[0] | in[1] << 8;
        uint8_t* out = pixels.data() + 4 * i;
        WidenRgb565(colour, out);
        out[3] = WidenFiveBits(in[2]);
    }
    image.width = width;
    image.height = height;
    image.colour = PngColour::Rgba;
    image.pixels = pixels.data();
    return {};
}

static const Converter converter = {
    "tintpour",
    "tintpour: convert SGI image files to Gravlin alpha blended sprites",
    ".vas",
    "The .vas file holds the width and the height (2 bytes each, little-endian), then every\n"
    "pixel, top row first, in 3 bytes: the colour in 16-bit RGB565 (little-endian; red, green\n"
    "and blue cut to 5, 6 and 5 bits) and the alpha cut to 5 bits (0 to 31). Images up to\n"
    "65535 x 65535 pixels convert where memory allows. --decode writes an RGBA PNG.\n",
    AlphaSprite,
    SpriteLayout,
    DecodeSprite,
};

int main(int argc, char** argv)
{
    return RunConverter(argc, argv, converter);
}
