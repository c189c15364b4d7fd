#include <gtest/gtest.h>

#include <zlib.h>

#include <algorithm>
#include <cstring>

#include "tests/support/testutil.h"
#include "util/png.h"

using Bytes = std::vector<uint8_t>;

// A row of pixels drawn by ImageMagick, one per colour; a last option ending in ':' is its kind
// of PNG ("PNG24:").
static Bytes Drawn(const ScratchDir& dir, std::vector<std::string> colours, std::vector<std::string> options)
{
    std::string kind = !options.empty() && options.back().back() == ':' ? options.back() : "";
    if (!kind.empty())
        options.pop_back();
    std::vector<std::string> args = {"-size", "1x1"};
    for (const std::string& colour : colours)
        args.push_back("xc:" + colour);
    args.push_back("+append");
    args.insert(args.end(), options.begin(), options.end());
    args.push_back(kind + (dir / "drawn.png"));
    return RunImageMagick(args) ? ReadBytes(dir / "drawn.png") : Bytes();
}

// Offset of a chunk's length field, or 0.
static size_t FindChunk(const Bytes& file, const char* type)
{
    for (size_t at = 8; at + 12 <= file.size();) {
        if (std::memcmp(&file[at + 4], type, 4) == 0)
            return at;
        at += 12 + (size_t(file[at]) << 24 | size_t(file[at + 1]) << 16 | size_t(file[at + 2]) << 8 | file[at + 3]);
    }
    return 0;
}

// ImageMagick writes gAMA and cHRM into these files: they must change nothing.
TEST(DecodePng, ExpandsEveryKindOfPictureToRgbaAsLibpngWidensIt)
{
    ScratchDir dir;
    struct Case {
        std::vector<std::string> colours, options;
        Bytes rgba;
    } cases[] = {
        // The tRNS colour is 1234 5678 90AB; the third pixel agrees with it in the high bytes only.
        {{"#123412341234FFFF", "#1234567890AB0000", "#12FF56FF90FFFFFF"},
         {"-depth", "16", "-define", "png:color-type=2"},
         {0x12, 0x12, 0x12, 255, 0x12, 0x56, 0x90, 0, 0x12, 0x56, 0x90, 255}},
        {{"#3BA83BA83BA8FFFF", "#6884688468840000", "#68FF68FF68FFFFFF"},
         {"-depth", "16", "-define", "png:color-type=0"},
         {0x3B, 0x3B, 0x3B, 255, 0x68, 0x68, 0x68, 0, 0x68, 0x68, 0x68, 255}},
        {{"#102030", "#40506000", "#708090"}, {"-interlace", "PNG", "PNG24:"},
         {0x10, 0x20, 0x30, 255, 0x40, 0x50, 0x60, 0, 0x70, 0x80, 0x90, 255}},
        {{"gray(0)", "gray(255)"}, {"-define", "png:color-type=0", "-define", "png:bit-depth=1"},
         {0, 0, 0, 255, 255, 255, 255, 255}},
        {{"gray(0)", "gray(85)", "gray(170)"}, {"-define", "png:color-type=0", "-define", "png:bit-depth=2"},
         {0, 0, 0, 255, 85, 85, 85, 255, 170, 170, 170, 255}},
        {{"gray(17)", "gray(119)"}, {"-define", "png:color-type=0", "-define", "png:bit-depth=4"},
         {17, 17, 17, 255, 119, 119, 119, 255}},
        {{"#40404080", "#C0C0C0FF"}, {"-define", "png:color-type=4"}, {0x40, 0x40, 0x40, 0x80, 0xC0, 0xC0, 0xC0, 255}},
        {{"#10203040", "#50607080"}, {"PNG32:"}, {0x10, 0x20, 0x30, 0x40, 0x50, 0x60, 0x70, 0x80}},
        {{"red", "#ffffff00", "blue"}, {"PNG8:"}, {255, 0, 0, 255, 255, 255, 255, 0, 0, 0, 255, 255}},
    };
    for (const Case& c : cases) {
        Bytes file = Drawn(dir, c.colours, c.options);
        if (file.empty())
            GTEST_SKIP() << "ImageMagick is not installed";
        PngPicture picture;
        ASSERT_TRUE(DecodePng(file.data(), file.size(), PngIndices::Expand, picture).ok());
        EXPECT_FALSE(picture.indexed);
        EXPECT_EQ(picture.width, c.colours.size());
        EXPECT_EQ(picture.pixels, c.rgba) << c.colours[0];
    }
}

static Bytes WithCrcBroken(Bytes file, const char* chunk)
{
    size_t at = FindChunk(file, chunk);
    file[at + 8 + (size_t(file[at + 2]) << 8 | file[at + 3])] ^= 0x01;
    return file;
}

static void PutBigEndian(uint8_t* at, uint32_t value)
{
    for (int i = 0; i < 4; i++)
        at[i] = uint8_t(value >> (24 - 8 * i));
}

// Another size in the header, its CRC put right.
static Bytes WithSize(Bytes file, uint32_t width, uint32_t height)
{
    PutBigEndian(&file[16], width);
    PutBigEndian(&file[20], height);
    PutBigEndian(&file[29], uint32_t(crc32(0, &file[12], 17)));
    return file;
}

// A well-made chunk right after the header.
static Bytes WithChunk(Bytes file, const char* type, const Bytes& body)
{
    Bytes chunk(12 + body.size());
    PutBigEndian(&chunk[0], uint32_t(body.size()));
    std::memcpy(&chunk[4], type, 4);
    std::copy(body.begin(), body.end(), &chunk[8]);
    PutBigEndian(&chunk[8 + body.size()], uint32_t(crc32(0, &chunk[4], uInt(4 + body.size()))));
    file.insert(file.begin() + 33, chunk.begin(), chunk.end());
    return file;
}

TEST(DecodePng, RefusesDamagedFilesWithAReasonAndPrintsNothing)
{
    ScratchDir dir;
    Bytes good = Drawn(dir, {"#102030", "#40506000", "#708090"}, {"-define", "png:color-type=2"});
    if (good.empty())
        GTEST_SKIP() << "ImageMagick is not installed";
    ASSERT_NE(FindChunk(good, "tRNS"), 0u);
    struct Case {
        Bytes file;
        const char* reason;
    } cases[] = {
        {{}, "not a PNG file"},
        {{'G', 'I', 'F', '8', '9', 'a', 0, 0, 0, 0}, "not a PNG file"},
        {Bytes(good.begin(), good.begin() + 4), "the file is cut short"},
        {WithCrcBroken(good, "IDAT"), "IDAT: CRC error"},
        {WithCrcBroken(good, "tRNS"), "tRNS: CRC error"},  // not dropped: that would change the picture
        {Bytes(good.begin(), good.begin() + long(FindChunk(good, "IDAT")) + 12), "the file is cut short"},
        {Bytes(good.begin(), good.end() - 6), "the file is cut short"},
        {WithSize(good, 100000, 100000), "the file is too small to hold a 100000x100000 picture"},
        {WithSize(good, 0x7FFFFFFF, 1), "Invalid IHDR data: Image width exceeds user limit in IHDR"},
        {WithChunk(good, "grAb", {0, 0, 0, 1, 0, 0, 0}), "the grAb chunk holds 7 bytes instead of 8"},
    };
    for (const Case& c : cases) {
        testing::internal::CaptureStdout();
        testing::internal::CaptureStderr();
        PngPicture picture;
        picture.width = 9;
        Result result = DecodePng(c.file.data(), c.file.size(), PngIndices::Expand, picture);
        EXPECT_EQ(testing::internal::GetCapturedStdout() + testing::internal::GetCapturedStderr(), "");
        EXPECT_TRUE(result.rejected()) << c.reason;
        EXPECT_EQ(result.reason, c.reason);
        EXPECT_EQ(picture.width, 0u);
        EXPECT_TRUE(picture.pixels.empty());
    }
}

// The rest of encoding is checked by decoding it again where it is used.
TEST(EncodePng, WritesGrabBeforeTheImageDataInAFileOtherProgramsRead)
{
    Bytes indices = {0, 1, 2, 255};
    PngImageOut image;
    image.width = image.height = 2;
    image.colour = PngColour::Indexed;
    image.pixels = indices.data();
    image.palette.assign(768, 7);
    image.paletteAlpha = {255, 0};
    image.hasGrab = true;
    image.grabX = -3;
    image.grabY = 70000;
    Bytes file;
    ASSERT_TRUE(EncodePng(image, file).ok());
    EXPECT_LT(FindChunk(file, "grAb"), FindChunk(file, "IDAT"));
    PngPicture picture;
    ASSERT_TRUE(DecodePng(file.data(), file.size(), PngIndices::Keep, picture).ok());
    EXPECT_EQ(picture.pixels, indices);
    EXPECT_EQ(std::vector<int32_t>({picture.grabX, picture.grabY}), std::vector<int32_t>({-3, 70000}));
    ScratchDir dir;
    WriteBytes(dir / "ours.png", file);
    EXPECT_TRUE(RunImageMagick({dir / "ours.png", dir / "check.ppm"})) << "ImageMagick cannot read it";

    image.palette.clear();  // and an indexed picture needs a palette
    for (uint32_t size : {0u, 2u}) {
        image.width = size;
        EXPECT_TRUE(EncodePng(image, file).rejected());
    }
}
