// The converters' banded writing against the whole-picture reader: the bands must not show in
// the output, whatever their size, and a short or bad row found late must still give the
// whole-picture result.
#include <gtest/gtest.h>

#include "convert/convrun.h"
#include "tests/convert/sgi_files.h"
#include "tests/support/testutil.h"

// Pixel (x, y) of plane z: a flat stretch on the left (runs), all different on the right.
static uint8_t Value(int x, int y, int z)
{
    return x < 40 ? uint8_t(9 * y + 61 * z) : uint8_t(37 * x + 91 * y + 61 * z + 5);
}

// The picture of Value as a verbatim file.
static Bytes Verbatim(uint16_t width, uint16_t height)
{
    std::vector<Bytes> rgba;
    for (int y = 0; y < height; y++)
        for (int x = 0; x < width; x++)
            rgba.push_back({Value(x, y, 0), Value(x, y, 1), Value(x, y, 2), Value(x, y, 3)});
    return VerbatimSgi(width, height, rgba);
}

// The rows of a verbatim file compressed, in the same order: a repeat packet for every run,
// literal packets of at most 127 bytes between.
static std::vector<Bytes> Compress(const Bytes& verbatim, size_t width, size_t height)
{
    std::vector<Bytes> rows(4 * height);
    for (size_t r = 0; r < rows.size(); r++) {
        const uint8_t* p = verbatim.data() + 512 + r * width;
        for (size_t x = 0, n; x < width; x += n) {
            for (n = 1; x + n < width && n < 127 && p[x + n] == p[x];)
                n++;
            if (n > 1) {
                rows[r].insert(rows[r].end(), {uint8_t(n), p[x]});
                continue;
            }
            while (x + n < width && n < 127 && p[x + n] != p[x + n - 1])
                n++;
            rows[r].push_back(uint8_t(0x80 | n));
            rows[r].insert(rows[r].end(), p + x, p + x + n);
        }
        rows[r].push_back(0);
    }
    return rows;
}

// tintpour's kind: a size head and whole rows; hueslab's: a head, the top-left pixel and the
// top-left even-sized crop.
static PictureLayout Layout(SgiPacking packing, uint16_t width, uint16_t height)
{
    PictureLayout layout;
    if (packing == AlphaSprite) {
        layout.head = {uint8_t(width), 0, uint8_t(height), 0};
        layout.rows = height;
        layout.rowBytes = 3 * size_t(width);
    } else {
        layout.head = {9, 8, 7};
        layout.cornerBytes = 2;
        layout.rows = height & ~1u;
        layout.rowBytes = 2 * size_t(width & ~1u);
    }
    return layout;
}

// What the output must hold, built from the whole-picture reader.
static Bytes Expected(const Bytes& file, SgiPacking packing, const PictureLayout& layout)
{
    Decoded d = Read(file, packing);
    EXPECT_TRUE(d.result.ok());
    Bytes out = layout.head;
    for (size_t i = 0; i < layout.cornerBytes; i++)
        out.push_back(d.pixels.empty() ? 0 : d.pixels[i]);
    size_t stride = size_t(d.width) * SgiPixelBytes(packing);
    for (size_t r = 0; r < layout.rows; r++)
        out.insert(out.end(), d.pixels.begin() + r * stride, d.pixels.begin() + r * stride + layout.rowBytes);
    return out;
}

static Result Write(const std::string& output, const Bytes& file, SgiPacking packing, const PictureLayout& layout,
                    size_t bandRows)
{
    SgiHeader header;
    Result checked = CheckSgiImage(file.data(), file.size(), header);
    EXPECT_TRUE(checked.ok()) << checked.reason;
    bool sourceFailed = false;
    return WriteConvertedPicture(output, file.data(), file.size(), header, packing, layout, bandRows, sourceFailed);
}

TEST(WriteConvertedPicture, BandsOfAnySizeGiveTheWholePicturesBytes)
{
    ScratchDir dir;
    std::string output = dir / "out";
    struct Size {
        uint16_t width, height;
    } sizes[] = {{5, 7}, {4, 1}, {3, 0}, {0, 4}, {1, 1}, {300, 9}};
    for (Size size : sizes)
        for (bool rle : {false, true}) {
            Bytes verbatim = Verbatim(size.width, size.height);
            Bytes file = rle ? RleSgi(size.width, size.height, Compress(verbatim, size.width, size.height)) : verbatim;
            for (SgiPacking packing : {AlphaSprite, HiColour}) {
                PictureLayout layout = Layout(packing, size.width, size.height);
                // Both storages give what the verbatim file gives.
                Bytes expected = Expected(verbatim, packing, layout);
                // 3 leaves a last band of 1 row for a height of 7; 100 is more than the picture.
                for (size_t band : {1, 3, 100}) {
                    Result result = Write(output, file, packing, layout, band);
                    ASSERT_TRUE(result.ok()) << result.reason;
                    EXPECT_EQ(ReadBytes(output), expected)
                        << size.width << " x " << size.height << (rle ? " RLE" : " verbatim") << ", bands of "
                        << band << (packing == AlphaSprite ? ", sprite" : ", crop");
                    EXPECT_EQ(FolderNames(dir.path).size(), 1u);
                }
            }
        }
}

TEST(WriteConvertedPicture, ARowFoundShortOrBadInALaterBandStartsOverInTheFilesOrder)
{
    ScratchDir dir;
    std::string output = dir / "out";
    std::vector<Bytes> rows = Compress(Verbatim(5, 7), 5, 7);
    // The green plane's bottom row is short: it keeps the tail of the row above it in the file,
    // which is the last red row (the top one). The bottom row is decoded in the last band.
    std::vector<Bytes> shortRows = rows;
    shortRows[7] = {0x02, 0x44, 0};
    Bytes shortFile = RleSgi(5, 7, shortRows);
    Result result = Write(output, shortFile, AlphaSprite, Layout(AlphaSprite, 5, 7), 2);
    ASSERT_TRUE(result.ok()) << result.reason;
    EXPECT_EQ(ReadBytes(output), Expected(shortFile, AlphaSprite, Layout(AlphaSprite, 5, 7)));
    EXPECT_EQ(FolderNames(dir.path).size(), 1u);

    // Bad rows at the top of the alpha plane (first band) and the bottom of the red plane (last
    // band): the red one comes first in the file, and it is the one reported.
    std::vector<Bytes> badRows = rows;
    badRows[27] = {0x06, 1, 0};
    badRows[0] = {0x83, 1, 2, 3, 0x03, 4, 0};
    WriteBytes(output, {1, 2, 3});
    result = Write(output, RleSgi(5, 7, badRows), AlphaSprite, Layout(AlphaSprite, 5, 7), 2);
    EXPECT_TRUE(result.rejected());
    EXPECT_EQ(result.reason, "RLE row 0 of the red channel decodes to more than 5 bytes");
    EXPECT_EQ(ReadBytes(output), (Bytes{1, 2, 3}));
    EXPECT_EQ(FolderNames(dir.path).size(), 1u);
    // The picture is read before the output is made: its bad row outranks an output that cannot be.
    result = Write(dir.path, RleSgi(5, 7, badRows), AlphaSprite, Layout(AlphaSprite, 5, 7), 2);
    EXPECT_EQ(result.reason, "RLE row 0 of the red channel decodes to more than 5 bytes");
}
