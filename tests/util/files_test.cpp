// Whole files read and written safely, and PNG files.
#include <gtest/gtest.h>

#include <zlib.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <numeric>

#include "tests/support/testutil.h"
#include "util/files.h"
#include "util/png.h"

using Bytes = std::vector<uint8_t>;

// The temporary name has a fixed length, so the longest name a folder takes works too. A failure
// leaves the old file and no litter, and so does a caller that gives up without a word.
TEST(Files, ReadWholeAndReplacedAtomicallyKeepingPermissionsOrLeftAsTheyWere)
{
    ScratchDir dir;
    const std::string longest(255, 'n');
    Bytes bytes(10000), data;
    std::iota(bytes.begin(), bytes.end(), uint8_t(7));
    WriteBytes(dir / "doc", {9, 9, 9, 9});
    std::filesystem::permissions(dir / "doc", std::filesystem::perms(0640));
    ASSERT_TRUE(WriteFileAtomic(dir / "doc", bytes).ok());
    ASSERT_TRUE(WriteFileAtomic(dir / longest, Bytes{5}).ok());
    EXPECT_EQ(std::filesystem::status(dir / "doc").permissions(), std::filesystem::perms(0640));
    {
        AtomicFile unfinished;
        ASSERT_TRUE(BeginAtomicWrite(dir / "doc", unfinished).ok());
    }
    EXPECT_TRUE(FolderNames(dir.path).size() == 2 && ReadBytes(dir / longest) == Bytes{5});  // no litter
    std::filesystem::permissions(dir / "doc", std::filesystem::perms(0444));
    EXPECT_TRUE(ReadWholeFile(dir / "doc", data).ok() && data == bytes);
    Result folder = ReadWholeFile(dir.path, data);
    EXPECT_TRUE(folder.code == EISDIR && folder.reason == "cannot read: Is a directory") << folder.reason;
}

// Offset of the chunk's length field (the file is small and known: its type occurs nowhere else).
static size_t FindChunk(const Bytes& file, const char* type)
{
    return size_t(std::search(file.begin(), file.end(), type, type + 4) - file.begin()) - 4;
}

// ImageMagick writes gAMA and cHRM into these files: they must change nothing. The tRNS colour
// is 1234 5678 90AB (grey 6884); the third pixel agrees with it in the high bytes only.
TEST(DecodePng, MatchesTheTrnsColourOnAllSixteenBitsBeforeKeepingTheHighByte)
{
    ScratchDir dir;
    const struct { const char *type, *xc[3]; Bytes rgba; } cases[] = {
        {"png:color-type=2", {"xc:#123412341234FFFF", "xc:#1234567890AB0000", "xc:#12FF56FF90FFFFFF"},
         {0x12, 0x12, 0x12, 255, 0x12, 0x56, 0x90, 0, 0x12, 0x56, 0x90, 255}},
        {"png:color-type=0", {"xc:#3BA83BA83BA8FFFF", "xc:#6884688468840000", "xc:#68FF68FF68FFFFFF"},
         {0x3B, 0x3B, 0x3B, 255, 0x68, 0x68, 0x68, 0, 0x68, 0x68, 0x68, 255}},
    };
    for (const auto& c : cases) {
        if (!RunImageMagick({"-size", "1x1", c.xc[0], c.xc[1], c.xc[2], "+append", "-depth", "16",
                             "-define", c.type, dir / "x.png"}))
            GTEST_SKIP() << "ImageMagick is not installed";
        Bytes file = ReadBytes(dir / "x.png");
        PngPicture picture;
        ASSERT_TRUE(DecodePng(file.data(), file.size(), PngIndices::Expand, picture).ok());
        EXPECT_TRUE(!picture.indexed && picture.pixels == c.rgba) << c.type;
    }
}

// An indexed picture comes back with its grAb offset (written before the image data); damaged copies,
// and sizes no file that small can hold, are refused without a word printed.
TEST(Png, IndexedPicturesComeBackAndDamagedFilesAreRefusedWithAReason)
{
    Bytes indices = {0, 1, 2, 255}, good;
    PngImageOut image{2, 2, PngColour::Indexed, indices.data(), Bytes(768, 7), {255, 0}, true, -3, 70000};
    ASSERT_TRUE(EncodePng(image, good).ok());
    EXPECT_LT(FindChunk(good, "grAb"), FindChunk(good, "IDAT"));
    PngPicture picture;
    ASSERT_TRUE(DecodePng(good.data(), good.size(), PngIndices::Keep, picture).ok());
    EXPECT_TRUE(picture.pixels == indices && picture.grabX == -3 && picture.grabY == 70000);

    // GOOD with a big-endian word put at AT and then, unless CHUNK is 0, that chunk's CRC put right.
    auto patched = [&](size_t at, uint32_t value, size_t chunk) {
        Bytes file = good;
        auto put = [&](size_t where, uint32_t word) {
            for (int i = 0; i < 4; i++)
                file[where + i] = uint8_t(word >> (24 - 8 * i));
        };
        put(at, value);
        if (chunk)
            put(chunk + 8 + file[chunk + 3], uint32_t(crc32(0, &file[chunk + 4], uInt(4 + file[chunk + 3]))));
        return file;
    };
    const auto idat = FindChunk(good, "IDAT"), trns = FindChunk(good, "tRNS"), grab = FindChunk(good, "grAb");
    const char* const cut = "the file is cut short";
    const struct { Bytes file; const char* reason; } cases[] = {
        {{}, "not a PNG file"}, {{'G', 'I', 'F', '8', '9', 'a', 0, 0, 0, 0}, "not a PNG file"},
        {Bytes(good.begin(), good.begin() + 4), cut}, {Bytes(good.begin(), good.end() - 6), cut},
        {Bytes(good.begin(), good.begin() + long(idat) + 12), cut},
        {patched(idat + 8 + good[idat + 3], 0, 0), "IDAT: CRC error"},
        {patched(trns + 10, 0, 0), "tRNS: CRC error"},  // not dropped: that would change the picture
        {patched(20, 1000000, 8), "the file is too small to hold a 2x1000000 picture"},
        {patched(16, 0x7FFFFFFF, 8), "Invalid IHDR data: Image width exceeds user limit in IHDR"},
        {patched(grab, 7, grab), "the grAb chunk holds 7 bytes instead of 8"},
    };
    for (const auto& c : cases) {
        testing::internal::CaptureStdout();
        testing::internal::CaptureStderr();
        picture.width = 9;
        Result result = DecodePng(c.file.data(), c.file.size(), PngIndices::Expand, picture);
        EXPECT_EQ(testing::internal::GetCapturedStdout() + testing::internal::GetCapturedStderr(), "");
        EXPECT_TRUE(result.rejected() && result.reason == c.reason) << result.reason << " for " << c.reason;
        EXPECT_TRUE(picture.width == 0 && picture.pixels.empty()) << c.reason;
    }
}
