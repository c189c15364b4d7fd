#include <gtest/gtest.h>

#include "convert/sgi.h"
#include "tests/convert/sgi_files.h"

using Bytes = std::vector<uint8_t>;

struct Decoded {
    SgiResult result;
    uint16_t width = 7777, height = 7777;  // the reader must leave these alone on failure
    Bytes pixels;
};

static Decoded Read(const Bytes& file, SgiPacking packing = AlphaSprite)
{
    Decoded d;
    d.result = ReadSgiImage(file.data(), file.size(), packing, d.width, d.height, d.pixels);
    return d;
}

TEST(SgiReader, ReducesChannelsToRgb565AndFiveBitAlpha)
{
    Bytes file = VerbatimSgi(3, 1, {{255, 128, 0, 255}, {0, 0, 255, 0}, {7, 3, 7, 7}});
    file[16 + 3] = 1;  // a maximum pixel value of 1 changes nothing
    Decoded d = Read(file);
    ASSERT_TRUE(d.result.ok()) << d.result.reason;
    EXPECT_EQ(d.width, 3);
    EXPECT_EQ(d.height, 1);
    EXPECT_EQ(d.pixels, (Bytes{0x00, 0xFC, 0x1F, 0x1F, 0x00, 0x00, 0x00, 0x00, 0x00}));
    EXPECT_EQ(Read(file, HiColour).pixels, (Bytes{0x00, 0xFC, 0x1F, 0x00, 0x00, 0x00}));
}

TEST(SgiReader, BottomFileRowLandsLastInVerbatimAndRle)
{
    // Top pixel pure green, bottom pixel pure blue with half alpha.
    Bytes expected = {0xE0, 0x07, 0x1F, 0x1F, 0x00, 0x10};
    EXPECT_EQ(Read(VerbatimSgi(1, 2, {{0, 255, 0, 255}, {0, 0, 255, 128}})).pixels, expected);
    // File rows bottom first: red, green, blue, alpha planes with one packet form each.
    Bytes rle = RleSgi(1, 2, {{0x01, 0, 0}, {0x81, 0, 0}, {0x01, 0, 0}, {0x81, 255, 0x80},
                              {0x01, 255, 0x00}, {0x81, 0, 0}, {0x01, 128, 0}, {0x81, 255, 0}});
    EXPECT_EQ(Read(rle).pixels, expected);
}

TEST(DecodeRleRow, CopiesLiteralsRepeatsAndStopsAtEitherEndPacket)
{
    Bytes row(6, 0xEE);
    Bytes packets = {0x83, 0x11, 0x22, 0x33, 0x02, 0x44, 0x00, 0x01, 0x99};
    size_t length = 0;
    EXPECT_EQ(DecodeRleRow(packets.data(), packets.size(), row.data(), 6, &length), RleRow::Done);
    EXPECT_EQ(row, (Bytes{0x11, 0x22, 0x33, 0x44, 0x44, 0xEE}));
    EXPECT_EQ(length, 5u);
    Bytes empty = {0x80, 0x05, 0x77};
    EXPECT_EQ(DecodeRleRow(empty.data(), empty.size(), row.data(), 6), RleRow::Done);
    EXPECT_EQ(row[0], 0x11);
}

TEST(DecodeRleRow, RefusesRowsPastTheWidthOrTheFile)
{
    Bytes row(4, 0);
    auto decode = [&](Bytes packets) { return DecodeRleRow(packets.data(), packets.size(), row.data(), 4); };
    EXPECT_EQ(decode({0x04, 1, 0x00}), RleRow::Done);
    EXPECT_EQ(decode({0x03, 1, 0x82, 1, 2, 0x00}), RleRow::TooLong);
    EXPECT_EQ(decode({0x84, 1, 2, 3, 4, 0x01, 9, 0x00}), RleRow::TooLong);
    EXPECT_EQ(decode({0x02, 1}), RleRow::RunsOff);           // no end packet
    EXPECT_EQ(decode({0x83, 1, 2}), RleRow::RunsOff);        // literal cut short
    EXPECT_EQ(decode({0x02}), RleRow::RunsOff);              // repeat without its byte
    EXPECT_EQ(decode({}), RleRow::RunsOff);
}

TEST(SgiReader, ShortRleRowsKeepThePreviousRowsTail)
{
    // 3 x 2, HiColour so that only red, green and blue are decoded. The first red row is short
    // and finds the zeroed buffer; the first green row keeps the last red row's tail, the
    // second green row the first green row's.
    Bytes rle = RleSgi(3, 2, {{0x81, 0x08, 0}, {0x83, 0x10, 0x18, 0x20, 0}, {0x81, 0x04, 0}, {0x82, 0x04, 0x04, 0},
                              {0x03, 0, 0}, {0x03, 0, 0}, {0x03, 0, 0}, {0x03, 0, 0}});
    Decoded d = Read(rle, HiColour);
    ASSERT_TRUE(d.result.ok()) << d.result.reason;
    // Top row (file row 1): red 10 18 20, green 04 04 20. Bottom: red 08 00 00, green 04 18 20.
    auto colour = [](unsigned r, unsigned g) { return uint16_t(((r & 0xF8) << 8) | ((g & 0xFC) << 3)); };
    std::vector<uint16_t> expected = {colour(0x10, 4), colour(0x18, 4), colour(0x20, 0x20),
                                      colour(0x08, 4), colour(0, 0x18), colour(0, 0x20)};
    for (size_t i = 0; i < expected.size(); i++)
        EXPECT_EQ(d.pixels[2 * i] | d.pixels[2 * i + 1] << 8, expected[i]) << "pixel " << i;
}

TEST(SgiReader, RejectsHeadersInTestOrderLeavingTheSizeAlone)
{
    struct Case {
        Bytes file;
        const char* reason;
    } cases[] = {
        {Bytes(511, 0), "the file is 511 bytes, shorter than the 512-byte SGI header"},
        {SgiHeaderBytes(1, 1, 0, 3, 2), "2 bytes per channel; only 8-bit channels (1) are supported"},
        {SgiHeaderBytes(1, 1, 2, 4, 1, 2), "2 dimensions; an RGBA image has 3"},
        {SgiHeaderBytes(1, 1, 2, 3), "3 channels; an RGBA image with 4 is needed"},
        {SgiHeaderBytes(1, 1, 2, 4, 1, 3, 1), "colour map id 1; only normal images (0) are supported"},
        {SgiHeaderBytes(1, 1, 2), "storage kind 2; only verbatim (0) and RLE (1) are supported"},
    };
    Bytes badMagic = SgiHeaderBytes(1, 1, 0, 3);
    badMagic[1] = 0xDB;
    for (const Case& c : cases) {
        Decoded d = Read(c.file);
        EXPECT_EQ(d.result.status, SgiStatus::Rejected);
        EXPECT_EQ(d.result.reason, c.reason);
        EXPECT_EQ(d.width, 7777);
        EXPECT_EQ(d.height, 7777);
        EXPECT_TRUE(d.pixels.empty());
    }
    EXPECT_EQ(Read(badMagic).result.reason, "not an SGI image (magic number 475, 474 expected)");
}

TEST(SgiReader, RejectsDataThatTheFileDoesNotHold)
{
    Bytes verbatim = VerbatimSgi(2, 2, {{1, 2, 3, 4}, {1, 2, 3, 4}, {1, 2, 3, 4}, {1, 2, 3, 4}});
    verbatim.pop_back();  // the alpha plane is needed even where it is not read
    EXPECT_EQ(Read(verbatim, HiColour).result.reason,
              "the file is 527 bytes; the verbatim data of 2 x 2 pixels needs 528");

    Bytes ok = RleSgi(2, 1, {{0x02, 1, 0}, {0x02, 2, 0}, {0x02, 3, 0}, {0x02, 4, 0}});
    ASSERT_TRUE(Read(ok).result.ok());
    EXPECT_EQ(Read(Bytes(ok.begin(), ok.begin() + 527)).result.reason,
              "the file is 527 bytes; the RLE row-start table (4 x 1 entries) needs 528");
    Bytes outside = ok;
    outside[512 + 8 + 2] = 0x02;  // blue row starts at 556, the end of the file
    outside[512 + 8 + 3] = 0x2C;
    EXPECT_EQ(Read(outside, HiColour).result.reason,
              "RLE row 0 of the blue channel starts at offset 556, outside the 556-byte file");
    Bytes tooLong = RleSgi(2, 1, {{0x02, 1, 0}, {0x02, 2, 0}, {0x02, 3, 0}, {0x03, 4, 0}});
    EXPECT_EQ(Read(tooLong).result.reason, "RLE row 0 of the alpha channel decodes to more than 2 bytes");
    EXPECT_TRUE(Read(tooLong, HiColour).result.ok());  // hueslab never reads alpha
    Bytes runsOff = ok;
    runsOff.pop_back();
    EXPECT_EQ(Read(runsOff).result.reason, "RLE row 0 of the alpha channel runs off the end of the file");
}

TEST(SgiReader, ConvertsEmptyAndBeyondSixteenBitSignedSizes)
{
    Decoded empty = Read(SgiHeaderBytes(0, 5));
    ASSERT_TRUE(empty.result.ok());
    EXPECT_EQ(empty.width, 0);
    EXPECT_EQ(empty.height, 5);
    EXPECT_TRUE(empty.pixels.empty());

    std::vector<std::vector<uint8_t>> wide(40000, {0, 0, 0, 0});
    wide.back() = {255, 255, 255, 255};
    Decoded d = Read(VerbatimSgi(40000, 1, wide));
    ASSERT_TRUE(d.result.ok());
    EXPECT_EQ(d.width, 40000);
    EXPECT_EQ(Bytes(d.pixels.end() - 6, d.pixels.end()), (Bytes{0, 0, 0, 0xFF, 0xFF, 0x1F}));

    std::vector<Bytes> rows(4 * 9000, Bytes{0x01, 0x80, 0x00});
    Decoded tall = Read(RleSgi(1, 9000, rows));
    ASSERT_TRUE(tall.result.ok());
    EXPECT_EQ(tall.height, 9000);
    EXPECT_EQ(Bytes(tall.pixels.end() - 3, tall.pixels.end()), (Bytes{0x10, 0x84, 0x10}));
}
