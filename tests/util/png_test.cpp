#include <gtest/gtest.h>

#include <zlib.h>

#include <cstring>

#include "tests/support/testutil.h"
#include "util/png.h"

using Bytes = std::vector<uint8_t>;

// Pictures drawn by ImageMagick: one pixel per colour argument, left to right.
// prefix picks ImageMagick's kind of PNG ("PNG24:" for 8-bit RGB...).
static Bytes Drawn(const ScratchDir& dir, std::vector<std::string> colours, std::vector<std::string> options,
                   const std::string& prefix = "")
{
    std::vector<std::string> args = {"-size", "1x1"};
    for (const std::string& colour : colours)
        args.push_back("xc:" + colour);
    args.push_back("+append");
    args.insert(args.end(), options.begin(), options.end());
    args.push_back(prefix + (dir / "drawn.png"));
    if (!RunImageMagick(args))
        return {};
    return ReadBytes(dir / "drawn.png");
}

static Bytes Gradient(const ScratchDir& dir, const std::string& size, std::vector<std::string> options)
{
    std::vector<std::string> args = {"-size", size, "gradient:red-blue"};
    args.insert(args.end(), options.begin(), options.end());
    args.push_back(dir / "gradient.png");
    if (!RunImageMagick(args))
        return {};
    return ReadBytes(dir / "gradient.png");
}

static PngPicture Decoded(const Bytes& file, PngIndices indices)
{
    PngPicture picture;
    Result status = DecodePng(file.data(), file.size(), indices, picture);
    EXPECT_TRUE(status.ok()) << status.reason;
    return picture;
}

// Offset of a chunk's length field, or 0.
static size_t FindChunk(const Bytes& file, const char* type)
{
    for (size_t at = 8; at + 12 <= file.size();) {
        uint32_t length = uint32_t(file[at]) << 24 | file[at + 1] << 16 | file[at + 2] << 8 | file[at + 3];
        if (std::memcmp(&file[at + 4], type, 4) == 0)
            return at;
        at += 12 + size_t(length);
    }
    return 0;
}

// ImageMagick writes gAMA and cHRM into these files: they must change nothing.
TEST(DecodePng, ExpandsEveryKindOfPictureToRgbaAsLibpngWidensIt)
{
    ScratchDir dir;
    struct Case {
        const char* what;
        std::vector<std::string> colours, options;
        Bytes rgba;
    } cases[] = {
        // The tRNS colour is 1234 5678 90AB; the third pixel agrees with it in the high bytes only.
        {"16-bit RGB with tRNS",
         {"#123412341234FFFF", "#1234567890AB0000", "#12FF56FF90FFFFFF"},
         {"-depth", "16", "-define", "png:color-type=2"},
         {0x12, 0x12, 0x12, 255, 0x12, 0x56, 0x90, 0, 0x12, 0x56, 0x90, 255}},
        {"16-bit grey with tRNS",
         {"#3BA83BA83BA8FFFF", "#6884688468840000", "#68FF68FF68FFFFFF"},
         {"-depth", "16", "-define", "png:color-type=0"},
         {0x3B, 0x3B, 0x3B, 255, 0x68, 0x68, 0x68, 0, 0x68, 0x68, 0x68, 255}},
        {"8-bit RGB with tRNS", {"#102030", "#40506000", "#708090"}, {"PNG24:"},
         {0x10, 0x20, 0x30, 255, 0x40, 0x50, 0x60, 0, 0x70, 0x80, 0x90, 255}},
        {"1-bit grey", {"gray(0)", "gray(255)"}, {"-define", "png:color-type=0", "-define", "png:bit-depth=1"},
         {0, 0, 0, 255, 255, 255, 255, 255}},
        {"2-bit grey",
         {"gray(0)", "gray(85)", "gray(170)", "gray(255)"},
         {"-define", "png:color-type=0", "-define", "png:bit-depth=2"},
         {0, 0, 0, 255, 85, 85, 85, 255, 170, 170, 170, 255, 255, 255, 255, 255}},
        {"4-bit grey",
         {"gray(17)", "gray(119)"},
         {"-define", "png:color-type=0", "-define", "png:bit-depth=4"},
         {17, 17, 17, 255, 119, 119, 119, 255}},
        {"grey and alpha", {"#40404080", "#C0C0C0FF"}, {"-define", "png:color-type=4"},
         {0x40, 0x40, 0x40, 0x80, 0xC0, 0xC0, 0xC0, 255}},
        {"RGBA", {"#10203040", "#50607080"}, {"PNG32:"}, {0x10, 0x20, 0x30, 0x40, 0x50, 0x60, 0x70, 0x80}},
        {"indexed with a short tRNS", {"red", "#ffffff00", "blue"}, {"PNG8:"},
         {255, 0, 0, 255, 255, 255, 255, 0, 0, 0, 255, 255}},
    };
    for (const Case& c : cases) {
        std::string prefix = c.options.size() == 1 ? c.options[0] : "";
        Bytes file = Drawn(dir, c.colours, prefix.empty() ? c.options : std::vector<std::string>(), prefix);
        if (file.empty())
            GTEST_SKIP() << "ImageMagick is not installed";
        PngPicture picture = Decoded(file, PngIndices::Expand);
        EXPECT_FALSE(picture.indexed);
        EXPECT_EQ(picture.width, c.colours.size()) << c.what;
        EXPECT_EQ(picture.pixels, c.rgba) << c.what;
    }
}

// Indices come as stored at every bit depth; expanding them through the stored palette gives
// what libpng's own palette expansion gives.
TEST(DecodePng, KeepsIndicesAsStoredAtEveryBitDepth)
{
    ScratchDir dir;
    const std::vector<std::string> noBackground = {"-define", "png:exclude-chunks=bKGD", "-define",
                                                   "png:color-type=3"};
    struct Case {
        int depth;
        Bytes file;
    } cases[] = {
        {1, Drawn(dir, {"red", "blue", "blue", "red"}, {"-define", "png:exclude-chunks=bKGD", "-define",
                                                        "png:color-type=3", "-define", "png:bit-depth=1"})},
        {2, Drawn(dir, {"red", "blue", "lime", "red"}, {"-interlace", "PNG", "-define", "png:color-type=3",
                                                        "-define", "png:bit-depth=2"})},
        {4, Gradient(dir, "12x3", {"-interlace", "PNG", "-define", "png:color-type=3", "-define", "png:bit-depth=4"})},
        {8, Gradient(dir, "40x2", {"-define", "png:color-type=3", "-define", "png:bit-depth=8"})},
    };
    for (const Case& c : cases) {
        if (c.file.empty())
            GTEST_SKIP() << "ImageMagick is not installed";
        EXPECT_EQ(c.file[24], c.depth) << "ImageMagick chose another bit depth";
        PngPicture indexed = Decoded(c.file, PngIndices::Keep);
        PngPicture rgba = Decoded(c.file, PngIndices::Expand);
        ASSERT_TRUE(indexed.indexed);
        ASSERT_EQ(indexed.pixels.size() * 4, rgba.pixels.size());
        Bytes expanded;
        for (uint8_t index : indexed.pixels) {
            ASSERT_LT(3 * size_t(index), indexed.palette.size()) << c.depth;
            expanded.insert(expanded.end(), &indexed.palette[3 * index], &indexed.palette[3 * index + 3]);
            expanded.push_back(index < indexed.paletteAlpha.size() ? indexed.paletteAlpha[index] : 255);
        }
        EXPECT_EQ(expanded, rgba.pixels) << c.depth;
    }
}

TEST(DecodePng, ReadsInterlacedPicturesAsPlainOnes)
{
    ScratchDir dir;
    Bytes plain = Gradient(dir, "13x11", {});
    Bytes interlaced = Gradient(dir, "13x11", {"-interlace", "PNG"});
    if (plain.empty() || interlaced.empty())
        GTEST_SKIP() << "ImageMagick is not installed";
    ASSERT_EQ(interlaced[28], 1);
    PngPicture a = Decoded(plain, PngIndices::Expand);
    PngPicture b = Decoded(interlaced, PngIndices::Expand);
    EXPECT_EQ(a.pixels, b.pixels);
    EXPECT_NE(a.pixels[0], a.pixels[a.pixels.size() - 4]);
}

static Bytes WithCrcBroken(Bytes file, const char* chunk)
{
    size_t at = FindChunk(file, chunk);
    size_t length = size_t(file[at + 2]) << 8 | file[at + 3];
    file[at + 8 + length] ^= 0x01;
    return file;
}

// A header claiming a huge picture, its CRC put right, before a few bytes of image data.
static Bytes WithSize(Bytes file, uint32_t width, uint32_t height)
{
    for (int i = 0; i < 4; i++) {
        file[16 + i] = uint8_t(width >> (24 - 8 * i));
        file[20 + i] = uint8_t(height >> (24 - 8 * i));
    }
    uint32_t crc = uint32_t(crc32(0, &file[12], 17));
    for (int i = 0; i < 4; i++)
        file[29 + i] = uint8_t(crc >> (24 - 8 * i));
    return file;
}

TEST(DecodePng, RefusesDamagedFilesWithAReasonAndPrintsNothing)
{
    ScratchDir dir;
    Bytes good = Drawn(dir, {"#102030", "#40506000", "#708090"}, {"-define", "png:color-type=2"});
    if (good.empty())
        GTEST_SKIP() << "ImageMagick is not installed";
    size_t idat = FindChunk(good, "IDAT");
    ASSERT_NE(FindChunk(good, "tRNS"), 0u);
    struct Case {
        const char* what;
        Bytes file;
        const char* reason;
    } cases[] = {
        {"empty", {}, "not a PNG file"},
        {"not a PNG", {'G', 'I', 'F', '8', '9', 'a', 0, 0, 0, 0}, "not a PNG file"},
        {"half a signature", Bytes(good.begin(), good.begin() + 4), "the file is cut short"},
        {"bad CRC in the image data", WithCrcBroken(good, "IDAT"), "CRC error"},
        {"bad CRC in tRNS", WithCrcBroken(good, "tRNS"), "CRC error"},
        {"cut inside the image data", Bytes(good.begin(), good.begin() + long(idat) + 12), "the file is cut short"},
        {"cut before IEND", Bytes(good.begin(), good.end() - 6), "the file is cut short"},
        {"a huge picture in a small file", WithSize(good, 100000, 100000), "too small to hold a 100000x100000"},
        {"beyond libpng's limits", WithSize(good, 0x7FFFFFFF, 1), "width"},
    };
    for (const Case& c : cases) {
        testing::internal::CaptureStdout();
        testing::internal::CaptureStderr();
        PngPicture picture;
        picture.width = 9;
        Result status = DecodePng(c.file.data(), c.file.size(), PngIndices::Expand, picture);
        EXPECT_EQ(testing::internal::GetCapturedStdout() + testing::internal::GetCapturedStderr(), "") << c.what;
        EXPECT_EQ(status.code, 1) << c.what;
        EXPECT_NE(status.reason.find(c.reason), std::string::npos) << c.what << ": " << status.reason;
        EXPECT_EQ(picture.width, 0u);
        EXPECT_TRUE(picture.pixels.empty());
    }
}

TEST(EncodePng, WritesWhatDecodingGivesBackWithGrabBeforeTheImageData)
{
    Bytes indices = {0, 1, 2, 255, 254, 3};
    PngImageOut image;
    image.width = 3;
    image.height = 2;
    image.colour = PngColour::Indexed;
    image.pixels = indices.data();
    for (int i = 0; i < 256; i++)
        image.palette.insert(image.palette.end(), {uint8_t(i), uint8_t(i / 2), 7});
    image.paletteAlpha = {255, 255, 0};
    image.hasGrab = true;
    image.grabX = -3;
    image.grabY = 70000;
    Bytes file;
    ASSERT_TRUE(EncodePng(image, file).ok());
    EXPECT_LT(FindChunk(file, "grAb"), FindChunk(file, "IDAT"));
    EXPECT_NE(FindChunk(file, "grAb"), 0u);
    PngPicture picture = Decoded(file, PngIndices::Keep);
    EXPECT_TRUE(picture.indexed);
    EXPECT_EQ(picture.pixels, indices);
    EXPECT_EQ(picture.palette, image.palette);
    EXPECT_EQ(picture.paletteAlpha, image.paletteAlpha);
    EXPECT_TRUE(picture.hasGrab);
    EXPECT_EQ(picture.grabX, -3);
    EXPECT_EQ(picture.grabY, 70000);

    ScratchDir dir;
    WriteBytes(dir / "ours.png", file);
    EXPECT_TRUE(RunImageMagick({dir / "ours.png", dir / "check.ppm"})) << "ImageMagick cannot read it";

    Bytes rgba = {1, 2, 3, 4, 5, 6, 7, 8};
    Bytes rgb = {1, 2, 3, 5, 6, 7};
    for (PngColour colour : {PngColour::Rgb, PngColour::Rgba}) {
        PngImageOut plain;
        plain.width = 1;
        plain.height = 2;
        plain.colour = colour;
        plain.pixels = colour == PngColour::Rgb ? rgb.data() : rgba.data();
        ASSERT_TRUE(EncodePng(plain, file).ok());
        Bytes expected = colour == PngColour::Rgb ? Bytes{1, 2, 3, 255, 5, 6, 7, 255} : rgba;
        EXPECT_EQ(Decoded(file, PngIndices::Expand).pixels, expected);
        EXPECT_FALSE(Decoded(file, PngIndices::Keep).hasGrab);
    }
}

TEST(EncodePng, RefusesWhatNoPngCanHold)
{
    uint8_t pixel = 0;
    PngImageOut empty;
    empty.pixels = &pixel;
    PngImageOut noPalette;
    noPalette.width = noPalette.height = 1;
    noPalette.colour = PngColour::Indexed;
    noPalette.pixels = &pixel;
    Bytes file;
    for (const PngImageOut& image : {empty, noPalette})
        EXPECT_EQ(EncodePng(image, file).code, 1);
}
