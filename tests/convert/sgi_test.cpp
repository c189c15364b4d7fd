#include "tests/convert/sgi_files.h"

TEST(SgiReader, ShortRleRowsKeepThePreviousRowsTail)
{
    // 3 x 2. The first red row is short and finds the zeroed buffer; every other short row keeps
    // the tail of the row before it in the file. Rows, bottom first: red 08 00 00, 10 18 20;
    // green 04 18 20, 04 04 20; blue 48 48 48, F8 48 48; alpha FF 48 48, 80 80 80. A count of 0
    // ends a row whatever the packet's kind.
    Bytes rle = RleSgi(3, 2, {{0x81, 8, 0x80}, {0x83, 0x10, 0x18, 0x20, 0}, {0x81, 4, 0}, {0x82, 4, 4, 0},
                              {3, 0x48, 0}, {0x81, 0xF8, 0}, {1, 0xFF, 0}, {3, 0x80, 0}});
    EXPECT_EQ(Read(rle), (Bytes{0x3F, 0x10, 0x10, 0x29, 0x18, 0x10, 0x09, 0x21, 0x10,    // top row
                                0x29, 0x08, 0x1F, 0xC9, 0x00, 0x09, 0x09, 0x01, 0x09}));  // bottom row
    EXPECT_EQ(Read(rle, HiColour),
              (Bytes{0x3F, 0x10, 0x29, 0x18, 0x09, 0x21, 0x29, 0x08, 0xC9, 0x00, 0x09, 0x01}));
}

TEST(SgiReader, ConvertsSizesBeyondSixteenBitSigned)
{
    Bytes wide(4 * 40000, 0);
    std::fill(wide.end() - 4, wide.end(), 255);
    Bytes pixels = Read(VerbatimSgi(40000, 1, wide));
    EXPECT_EQ(Bytes(pixels.end() - 6, pixels.end()), (Bytes{0, 0, 0, 0xFF, 0xFF, 0x1F}));
    pixels = Read(RleSgi(1, 9000, std::vector<Bytes>(4 * 9000, Bytes{0x01, 0x80, 0x00})));
    EXPECT_EQ(Bytes(pixels.end() - 3, pixels.end()), (Bytes{0x10, 0x84, 0x10}));
}
