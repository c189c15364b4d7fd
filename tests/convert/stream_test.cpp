// The converters' banded writing against the whole-picture reader: the bands must not show in
// the output, whatever their size.
#include <gtest/gtest.h>

#include "convert/convrun.h"
#include "tests/convert/sgi_files.h"

// w x h pixels, a flat stretch on the left, all different on the right, as a verbatim file and
// as an RLE file of literal packets (its row shortRow, in the file's order, short).
static Bytes Picture(uint16_t w, uint16_t h, bool rle, size_t shortRow = SIZE_MAX)
{
    std::vector<Bytes> rgba, rows(4 * h);
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++) {
            rgba.emplace_back();
            for (int z = 0; z < 4; z++)
                rgba.back().push_back(x < 40 ? uint8_t(9 * y + 61 * z) : uint8_t(37 * x + 91 * y + 61 * z + 5));
        }
    Bytes verbatim = VerbatimSgi(w, h, rgba);
    for (size_t r = 0; r < rows.size(); r++) {
        for (size_t x = 0, n; x < w; x += n) {
            n = std::min<size_t>(127, w - x);
            rows[r].push_back(uint8_t(0x80 | n));
            rows[r].insert(rows[r].end(), verbatim.begin() + 512 + r * w + x, verbatim.begin() + 512 + r * w + x + n);
        }
        rows[r].push_back(0);
    }
    if (shortRow < rows.size())
        rows[shortRow] = {0x02, 0x44, 0};
    return rle ? RleSgi(w, h, rows) : verbatim;
}

// tintpour's kind: a size head and whole rows; hueslab's: a head, the top-left pixel and the
// top-left even-sized crop. What the output must hold, built from the whole-picture reader.
static PictureLayout Layout(SgiPacking packing, uint16_t w, uint16_t h, const Bytes& file, Bytes& expected)
{
    PictureLayout layout;
    bool sprite = packing == AlphaSprite;
    layout.head = sprite ? Bytes{uint8_t(w), 0, uint8_t(h), 0} : Bytes{9, 8, 7};
    layout.cornerBytes = sprite ? 0 : 2;
    layout.rows = sprite ? h : h & ~1u;
    layout.rowBytes = sprite ? 3 * size_t(w) : 2 * size_t(w & ~1u);
    Decoded d = Read(file, packing);
    EXPECT_TRUE(d.result.ok());
    expected = layout.head;
    for (size_t i = 0; i < layout.cornerBytes; i++)
        expected.push_back(d.pixels.empty() ? 0 : d.pixels[i]);
    size_t stride = size_t(w) * SgiPixelBytes(packing);
    for (size_t r = 0; r < layout.rows; r++)
        expected.insert(expected.end(), d.pixels.begin() + r * stride, d.pixels.begin() + r * stride + layout.rowBytes);
    return layout;
}

static void ExpectWritten(const std::string& output, const Bytes& file, SgiPacking packing,
                          const PictureLayout& layout, size_t bandRows, const Bytes& expected)
{
    SgiHeader header;
    ASSERT_TRUE(CheckSgiImage(file.data(), file.size(), header).ok());
    bool sourceFailed = false;
    Result result = WriteConvertedPicture(output, file.data(), file.size(), header, packing, layout, bandRows, sourceFailed);
    ASSERT_TRUE(result.ok()) << result.reason;
    EXPECT_EQ(ReadBytes(output), expected) << header.xSize << " x " << header.ySize << (header.storage ? " RLE" : "")
                                           << ", bands of " << bandRows << (packing == AlphaSprite ? "" : ", crop");
}

TEST(WriteConvertedPicture, BandsOfAnySizeGiveTheWholePicturesBytes)
{
    ScratchDir dir;
    struct Size {
        uint16_t w, h;
    } sizes[] = {{5, 7}, {4, 1}, {3, 0}, {0, 4}, {1, 1}, {300, 9}};
    for (Size s : sizes)
        for (SgiPacking packing : {AlphaSprite, HiColour}) {
            Bytes expected;  // both storages give what the verbatim file gives
            PictureLayout layout = Layout(packing, s.w, s.h, Picture(s.w, s.h, false), expected);
            for (bool rle : {false, true})
                // 3 leaves a last band of 1 row for a height of 7; 100 is more than the picture.
                for (size_t band : {1, 3, 100})
                    ExpectWritten(dir / "out", Picture(s.w, s.h, rle), packing, layout, band, expected);
        }
    // The green plane's bottom row is short, decoded in the last band: it keeps the tail of the
    // row before it in the file, the top red one.
    Bytes shortRow = Picture(5, 7, true, 7), expected;
    PictureLayout layout = Layout(AlphaSprite, 5, 7, shortRow, expected);
    ExpectWritten(dir / "out", shortRow, AlphaSprite, layout, 2, expected);
    EXPECT_EQ(FolderNames(dir.path), std::vector<std::string>{"out"});
}
