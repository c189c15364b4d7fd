// Files written by ImageMagick, a writer nobody on the team wrote, decoded pixel for pixel.
#include <gtest/gtest.h>

#include <unistd.h>

#include "convert/sgi.h"
#include "tests/support/testutil.h"

using Bytes = std::vector<uint8_t>;

enum { Width = 37, Height = 23 };

static std::string ImageMagick()
{
    for (const char* path : {"/usr/bin/convert", "/usr/local/bin/convert", "/usr/bin/magick"})
        if (::access(path, X_OK) == 0)
            return path;
    return "";
}

// Top row first, {r, g, b, a}: flat runs on the left (repeat packets), noise on the right
// (literal packets), every alpha value somewhere.
static Bytes Picture()
{
    Bytes rgba;
    uint32_t noise = 12345;
    for (int y = 0; y < Height; y++)
        for (int x = 0; x < Width; x++)
            for (int c = 0; c < 4; c++) {
                noise = noise * 1103515245u + 12345u;
                rgba.push_back(x < 15 ? uint8_t(40 * c + 9 * y) : uint8_t(noise >> 16));
            }
    return rgba;
}

static Bytes Expected(const Bytes& rgba, SgiPacking packing)
{
    Bytes out;
    for (size_t i = 0; i < rgba.size(); i += 4) {
        unsigned colour = ((rgba[i] >> 3) << 11) | ((rgba[i + 1] >> 2) << 5) | (rgba[i + 2] >> 3);
        out.insert(out.end(), {uint8_t(colour), uint8_t(colour >> 8)});
        if (packing == AlphaSprite)
            out.push_back(uint8_t(rgba[i + 3] >> 3));
    }
    return out;
}

TEST(ImageMagickFiles, DecodeExactlyInBothStoragesAndPackings)
{
    std::string convert = ImageMagick();
    if (convert.empty())
        GTEST_SKIP() << "ImageMagick's convert is not installed";
    ScratchDir dir;
    Bytes picture = Picture();
    WriteBytes(dir / "pic.rgba", picture);
    std::string size = std::to_string(int(Width)) + "x" + std::to_string(int(Height));
    for (const char* storage : {"RLE", "None"}) {
        std::string name = std::string(storage) + ".sgi";
        ProgramResult made = RunProgram({convert, "-size", size, "-depth", "8", "rgba:pic.rgba", "-depth", "8",
                                         "-compress", storage, name},
                                        dir.path);
        ASSERT_EQ(made.status, 0) << made.err;
        Bytes file = ReadBytes(dir / name);
        ASSERT_GT(file.size(), 512u);
        EXPECT_EQ(file[2], std::string(storage) == "RLE" ? 1 : 0) << "ImageMagick chose another storage";

        for (SgiPacking packing : {AlphaSprite, HiColour}) {
            uint16_t width = 0, height = 0;
            Bytes pixels;
            SgiResult result = ReadSgiImage(file.data(), file.size(), packing, width, height, pixels);
            ASSERT_TRUE(result.ok()) << result.reason;
            EXPECT_EQ(width, Width);
            EXPECT_EQ(height, Height);
            EXPECT_EQ(pixels, Expected(picture, packing)) << storage;
        }
    }

    // tintpour on ImageMagick's RLE file.
    ASSERT_EQ(RunProgram({BuiltProgram("tintpour"), "RLE.sgi"}, dir.path).status, 0);
    Bytes vas = {Width, 0, Height, 0};
    Bytes packed = Expected(picture, AlphaSprite);
    vas.insert(vas.end(), packed.begin(), packed.end());
    EXPECT_EQ(ReadBytes(dir / "RLE.vas"), vas);
}
