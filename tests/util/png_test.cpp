#include <gtest/gtest.h>

#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <sstream>

#include "tests/support/testutil.h"
#include "util/png.h"

using Bytes = std::vector<uint8_t>;

// A row of 1x1 pixels ImageMagick draws from the words of ARGS.
static Bytes Drawn(const ScratchDir& dir, const std::string& args)
{
    std::vector<std::string> argv = {"-size", "1x1"};
    std::istringstream in(args);
    for (std::string word; in >> word;)
        argv.push_back(word);
    argv.push_back(dir / "drawn.png");
    return RunImageMagick(argv) ? ReadBytes(dir / "drawn.png") : Bytes();
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

// ImageMagick writes gAMA and cHRM into these files: they must change nothing. The other kinds
// of PNG are read by the converters against ImageMagick's own reading of them.
TEST(DecodePng, MatchesTheTrnsColourOnAllSixteenBitsBeforeKeepingTheHighByte)
{
    ScratchDir dir;
    const std::pair<const char*, Bytes> cases[] = {
        // The tRNS colour is 1234 5678 90AB; the third pixel agrees with it in the high bytes only.
        {"xc:#123412341234FFFF xc:#1234567890AB0000 xc:#12FF56FF90FFFFFF +append -depth 16 -define png:color-type=2",
         {0x12, 0x12, 0x12, 255, 0x12, 0x56, 0x90, 0, 0x12, 0x56, 0x90, 255}},
        {"xc:#3BA83BA83BA8FFFF xc:#6884688468840000 xc:#68FF68FF68FFFFFF +append -depth 16 -define png:color-type=0",
         {0x3B, 0x3B, 0x3B, 255, 0x68, 0x68, 0x68, 0, 0x68, 0x68, 0x68, 255}},
    };
    for (const auto& [args, rgba] : cases) {
        Bytes file = Drawn(dir, args);
        if (file.empty())
            GTEST_SKIP() << "ImageMagick is not installed";
        PngPicture picture;
        ASSERT_TRUE(DecodePng(file.data(), file.size(), PngIndices::Expand, picture).ok());
        EXPECT_FALSE(picture.indexed);
        EXPECT_EQ(picture.pixels, rgba) << args;
        EXPECT_EQ(picture.width * 4, picture.pixels.size());
    }
}

static void PutBigEndian(uint8_t* at, uint32_t value)
{
    for (int i = 0; i < 4; i++)
        at[i] = uint8_t(value >> (24 - 8 * i));
}

static Bytes WithCrcBroken(Bytes file, const char* chunk)
{
    size_t at = FindChunk(file, chunk);
    file[at + 8 + (size_t(file[at + 2]) << 8 | file[at + 3])] ^= 0x01;
    return file;
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
    Bytes good = Drawn(dir, "xc:#102030 xc:#40506000 +append -define png:color-type=2");
    if (good.empty())
        GTEST_SKIP() << "ImageMagick is not installed";
    ASSERT_NE(FindChunk(good, "tRNS"), 0u);
    const char* const cut = "the file is cut short";
    const struct {
        Bytes file;
        const char* reason;
    } cases[] = {
        {{}, "not a PNG file"},
        {{'G', 'I', 'F', '8', '9', 'a', 0, 0, 0, 0}, "not a PNG file"},
        {Bytes(good.begin(), good.begin() + 4), cut},
        {WithCrcBroken(good, "IDAT"), "IDAT: CRC error"},
        {WithCrcBroken(good, "tRNS"), "tRNS: CRC error"},  // not dropped: that would change the picture
        {Bytes(good.begin(), good.begin() + long(FindChunk(good, "IDAT")) + 12), cut},
        {Bytes(good.begin(), good.end() - 6), cut},
        {WithSize(good, 100000, 100000), "the file is too small to hold a 100000x100000 picture"},
        {WithSize(good, 0x7FFFFFFF, 1), "Invalid IHDR data: Image width exceeds user limit in IHDR"},
        {WithChunk(good, "grAb", {0, 0, 0, 1, 0, 0, 0}), "the grAb chunk holds 7 bytes instead of 8"},
    };
    for (const auto& c : cases) {
        testing::internal::CaptureStdout();
        testing::internal::CaptureStderr();
        PngPicture picture;
        picture.width = 9;
        Result result = DecodePng(c.file.data(), c.file.size(), PngIndices::Expand, picture);
        EXPECT_EQ(testing::internal::GetCapturedStdout() + testing::internal::GetCapturedStderr(), "");
        EXPECT_TRUE(result.rejected() && result.reason == c.reason) << result.reason << " for " << c.reason;
        EXPECT_TRUE(picture.width == 0 && picture.pixels.empty()) << c.reason;
    }
}

// The rest of encoding is checked by decoding it again where it is used.
TEST(EncodePng, WritesGrabBeforeTheImageDataInAFileOtherProgramsRead)
{
    Bytes indices = {0, 1, 2, 255}, file;
    PngImageOut image{.width = 2, .height = 2, .colour = PngColour::Indexed, .pixels = indices.data(),
                      .palette = Bytes(768, 7), .paletteAlpha = {255, 0}, .hasGrab = true, .grabX = -3, .grabY = 70000};
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
