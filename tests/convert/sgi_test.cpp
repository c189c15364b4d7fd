#include <gtest/gtest.h>

#include "tests/convert/sgi_files.h"

TEST(DecodeRleRow, FollowsThePacketsAndRefusesRowsPastTheWidthOrTheFile)
{
    const RleRow Done = RleRow::Done, TooLong = RleRow::TooLong, RunsOff = RleRow::RunsOff;
    struct Case {
        Bytes packets;
        RleRow outcome;
        Bytes row;  // for Done: the 6-byte buffer afterwards, untouched bytes 0xEE
    } cases[] = {
        {{0x83, 0x11, 0x22, 0x33, 0x02, 0x44, 0x00, 0x01, 0x99}, Done, {0x11, 0x22, 0x33, 0x44, 0x44, 0xEE}},
        {{0x80, 0x05, 0x77}, Done, Bytes(6, 0xEE)},
        {{0x06, 1, 0x00}, Done, Bytes(6, 1)},
        {{0x05, 1, 0x82, 1, 2, 0x00}, TooLong, {}},
        {{0x86, 1, 2, 3, 4, 5, 6, 0x01, 9, 0x00}, TooLong, {}},
        // No end packet, a literal cut short, a repeat without its byte, nothing.
        {{0x02, 1}, RunsOff, {}}, {{0x83, 1, 2}, RunsOff, {}}, {{0x02}, RunsOff, {}}, {{}, RunsOff, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.packets));
        Bytes row(6, 0xEE);
        size_t length = 99;
        EXPECT_EQ(DecodeRleRow(c.packets.data(), c.packets.size(), row.data(), 6, &length), c.outcome);
        EXPECT_TRUE(c.outcome != Done || (row == c.row && length == size_t(6 - std::count(row.begin(), row.end(), 0xEE))));
    }
}

TEST(SgiReader, ShortRleRowsKeepThePreviousRowsTail)
{
    // 3 x 2. The first red row is short and finds the zeroed buffer; every other short row keeps
    // the tail of the row before it in the file. Rows, bottom first: red 08 00 00, 10 18 20;
    // green 04 18 20, 04 04 20; blue 48 48 48, F8 48 48; alpha FF 48 48, 80 80 80.
    Bytes rle = RleSgi(3, 2, {{0x81, 0x08, 0}, {0x83, 0x10, 0x18, 0x20, 0}, {0x81, 0x04, 0}, {0x82, 0x04, 0x04, 0},
                              {0x03, 0x48, 0}, {0x81, 0xF8, 0}, {0x01, 0xFF, 0}, {0x03, 0x80, 0}});
    Decoded d = Read(rle);
    ASSERT_TRUE(d.result.ok()) << d.result.reason;
    EXPECT_EQ(d.pixels, (Bytes{0x3F, 0x10, 0x10, 0x29, 0x18, 0x10, 0x09, 0x21, 0x10,    // top row
                               0x29, 0x08, 0x1F, 0xC9, 0x00, 0x09, 0x09, 0x01, 0x09}));  // bottom row
    EXPECT_EQ(Read(rle, HiColour).pixels,
              (Bytes{0x3F, 0x10, 0x29, 0x18, 0x09, 0x21, 0x29, 0x08, 0xC9, 0x00, 0x09, 0x01}));
}

TEST(SgiReader, ConvertsSizesBeyondSixteenBitSigned)
{
    std::vector<Bytes> wide(40000, {0, 0, 0, 0});
    wide.back() = {255, 255, 255, 255};
    Decoded d = Read(VerbatimSgi(40000, 1, wide));
    EXPECT_EQ(d.width, 40000);
    EXPECT_EQ(Bytes(d.pixels.end() - 6, d.pixels.end()), (Bytes{0, 0, 0, 0xFF, 0xFF, 0x1F}));
    Decoded tall = Read(RleSgi(1, 9000, std::vector<Bytes>(4 * 9000, Bytes{0x01, 0x80, 0x00})));
    EXPECT_EQ(tall.height, 9000);
    EXPECT_EQ(Bytes(tall.pixels.end() - 3, tall.pixels.end()), (Bytes{0x10, 0x84, 0x10}));
}

// Files written by ImageMagick, a writer nobody on the team wrote, decoded pixel for pixel.
TEST(ImageMagickFiles, DecodeExactlyInBothStoragesAndPackings)
{
    // 37 x 23, top row first: flat runs on the left (repeat packets), noise on the right
    // (literal packets), every alpha value somewhere.
    const int width = 37, height = 23;
    Bytes picture, sprite = {width, 0, height, 0}, hiColour;
    uint32_t noise = 12345;
    for (int i = 0; i < width * height; i++) {
        uint8_t v[4];
        for (int c = 0; c < 4; c++, noise = noise * 1103515245u + 12345u)
            v[c] = i % width < 15 ? uint8_t(40 * c + 9 * (i / width)) : uint8_t(noise >> 16);
        picture.insert(picture.end(), v, v + 4);
        unsigned colour = ((v[0] >> 3) << 11) | ((v[1] >> 2) << 5) | (v[2] >> 3);
        hiColour.insert(hiColour.end(), {uint8_t(colour), uint8_t(colour >> 8)});
        sprite.insert(sprite.end(), {uint8_t(colour), uint8_t(colour >> 8), uint8_t(v[3] >> 3)});
    }
    ScratchDir dir;
    WriteBytes(dir / "pic.rgba", picture);
    for (std::string storage : {"RLE", "None"}) {
        if (!RunImageMagick({"-size", "37x23", "-depth", "8", "rgba:" + dir / "pic.rgba", "-depth", "8", "-compress",
                             storage, dir / (storage + ".sgi")}))
            GTEST_SKIP() << "ImageMagick's convert is missing or failed";
        Bytes file = ReadBytes(dir / (storage + ".sgi"));
        ASSERT_EQ(file.size() > 512 ? file[2] : -1, storage == "RLE" ? 1 : 0) << "ImageMagick chose another storage";
        for (SgiPacking packing : {AlphaSprite, HiColour}) {
            Decoded d = Read(file, packing);
            EXPECT_TRUE(d.result.ok() && d.width == width && d.height == height) << d.result.reason;
            EXPECT_EQ(d.pixels, packing == AlphaSprite ? Bytes(sprite.begin() + 4, sprite.end()) : hiColour) << storage;
        }
    }
    ASSERT_EQ(Convert("tintpour", {"RLE.sgi"}, dir.path).status, 0);
    EXPECT_EQ(ReadBytes(dir / "RLE.vas"), sprite);
}
