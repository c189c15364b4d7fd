#include <gtest/gtest.h>

#include <png.h>

#include <string>
#include <sys/stat.h>
#include <vector>

#include "pack_builder.h"
#include "tests/support/testutil.h"

namespace {

ProgramResult Vpk(const std::vector<std::string>& args)
{
    std::vector<std::string> argv = {BuiltProgram("vpk")};
    argv.insert(argv.end(), args.begin(), args.end());
    return RunProgram(argv);
}

struct Rgb {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> pixels;
    std::vector<uint8_t> At(int x, int y) const
    {
        const uint8_t* p = &pixels[size_t(3 * (y * width + x))];
        return {p[0], p[1], p[2]};
    }
};

Rgb ReadPng(const std::string& path)
{
    Rgb image;
    png_image png = {};
    png.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&png, path.c_str()))
        return image;
    png.format = PNG_FORMAT_RGB;
    image.pixels.resize(PNG_IMAGE_SIZE(png));
    if (!png_image_finish_read(&png, nullptr, image.pixels.data(), 0, nullptr))
        return image;
    image.width = int(png.width);
    image.height = int(png.height);
    return image;
}

}  // namespace

TEST(Vpk, CreateListAndExtractRoundTrip)
{
    ScratchDir dir;
    ASSERT_EQ(::mkdir((dir / "src").c_str(), 0777), 0);
    WriteBytes(dir / "src/KOBA.VPL", std::vector<uint8_t>(768, 7));
    WriteBytes(dir / "src/20.VFF", Bytes({1, 1, 0, 0, 0, 0}));
    WriteBytes(dir / "EMPTY", {});
    WriteBytes(dir / "ELEVENCHARS", Bytes({9, 8}));
    std::string pack = dir / "T.VPK";

    ProgramResult created =
        Vpk({"create", pack, dir / "src/KOBA.VPL", dir / "src/20.VFF", dir / "EMPTY", dir / "ELEVENCHARS"});
    ASSERT_EQ(created.status, 0) << created.err;
    // Entries in the given order, each right after the one before.
    EXPECT_EQ(ReadBytes(pack).size(), 80u + 768 + 6 + 0 + 2);

    ProgramResult listed = Vpk({"list", pack});
    ASSERT_EQ(listed.status, 0) << listed.err;
    EXPECT_EQ(listed.out, "KOBA.VPL            80        768\n"
                          "20.VFF             848          6\n"
                          "EMPTY              854          0\n"
                          "ELEVENCHARS        854          2\n");

    std::string out = dir / "out";
    ProgramResult extracted = Vpk({"extract", pack, out});
    ASSERT_EQ(extracted.status, 0) << extracted.err;
    EXPECT_EQ(ReadBytes(out + "/KOBA.VPL"), std::vector<uint8_t>(768, 7));
    EXPECT_EQ(ReadBytes(out + "/20.VFF"), Bytes({1, 1, 0, 0, 0, 0}));
    EXPECT_TRUE(PathExists(out + "/EMPTY"));
    EXPECT_TRUE(ReadBytes(out + "/EMPTY").empty());
    EXPECT_EQ(ReadBytes(out + "/ELEVENCHARS"), Bytes({9, 8}));
}

TEST(Vpk, CreateRefusesNamesAPackCannotHold)
{
    ScratchDir dir;
    WriteBytes(dir / "TWELVECHARSX", Bytes({1}));
    WriteBytes(dir / "A.VSF", Bytes({2}));
    ProgramResult longName = Vpk({"create", dir / "T.VPK", dir / "A.VSF", dir / "TWELVECHARSX"});
    EXPECT_EQ(longName.status, 1);
    EXPECT_NE(longName.err.find("TWELVECHARSX"), std::string::npos) << longName.err;
    EXPECT_FALSE(PathExists(dir / "T.VPK"));

    ProgramResult twice = Vpk({"create", dir / "T.VPK", dir / "A.VSF", dir / "A.VSF"});
    EXPECT_EQ(twice.status, 1);
    EXPECT_FALSE(PathExists(dir / "T.VPK"));

    ProgramResult missing = Vpk({"create", dir / "T.VPK", dir / "NONE"});
    EXPECT_EQ(missing.status, 2);  // ENOENT
    EXPECT_FALSE(PathExists(dir / "T.VPK"));
}

TEST(Vpk, ExtractStaysInsideTheFolderAndWritesWhatTheLoaderReads)
{
    ScratchDir dir;
    std::string pack = dir / "T.VPK";
    WriteBytes(pack, PakOf({{"../ESCAPE", Bytes({1})}, {"A.VSF", Bytes({2})}, {"A.VSF", Bytes({3})}}));
    ASSERT_EQ(::mkdir((dir / "in").c_str(), 0777), 0);
    ProgramResult result = Vpk({"extract", pack, dir / "in/out"});
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.err.find("../ESCAPE"), std::string::npos) << result.err;
    EXPECT_FALSE(PathExists(dir / "in/ESCAPE"));
    EXPECT_EQ(ReadBytes(dir / "in/out/A.VSF"), Bytes({2}));
}

TEST(Vpk, BrokenPacksGiveTheEditorsLine)
{
    ScratchDir dir;
    std::string pack = dir / "BAD.VPK";
    WriteBytes(pack, RawPak({{"A", 48}, {"B", 500}}, 100));
    const std::vector<std::string> commands[] = {{"list", pack}, {"preview", pack, dir / "out.png"}};
    for (const std::vector<std::string>& command : commands) {
        ProgramResult result = Vpk(command);
        EXPECT_EQ(result.status, 1) << command[0];
        EXPECT_EQ(result.out, "Can't open PAK file: \"" + pack + "\"!\n") << command[0];
        EXPECT_NE(result.err.find("beyond the end"), std::string::npos) << result.err;
    }
    EXPECT_FALSE(PathExists(dir / "out.png"));
}

TEST(Vpk, PreviewShowsTheEnlargedSheetDownToItsLowestImage)
{
    ScratchDir dir;
    std::vector<uint8_t> palette(768, 0);
    palette[15] = 63;  // index 5: red; 5 is solid, so the lowest green bit is set
    palette[3 * 255 + 1] = 63;  // index 255: green
    std::string pack = dir / "P.VPK";
    WriteBytes(pack, PakOf({{"P.VPL", palette},
                            {"DOT.VSF", Bytes({1, 1, 0, 0, 0, 5})},
                            {"41.VFF", Bytes({2, 3, 0, 0, 0, 0, 255, 0, 255, 0, 255})}}));
    std::string png = dir / "P.png";
    ProgramResult result = Vpk({"preview", pack, png});
    ASSERT_EQ(result.status, 0) << result.err;
    Rgb image = ReadPng(png);
    ASSERT_EQ(image.width, 1024);
    ASSERT_EQ(image.height, 6);  // the 2x3 glyph doubled reaches six rows down
    // 0xF820 widened by bit replication.
    for (int q = 0; q < 4; q++)
        EXPECT_EQ(image.At(q % 2, q / 2), Bytes({255, 4, 0})) << q;
    // The glyph's ink, 0x07E0 | 0x0020 flag, unblended, next to the dot.
    EXPECT_EQ(image.At(4, 0), Bytes({0, 255, 0}));
    EXPECT_EQ(image.At(5, 5), Bytes({0, 255, 0}));
    EXPECT_EQ(image.At(100, 3), Bytes({0, 0, 0}));

    // An empty pack still gives one row.
    WriteBytes(pack, std::vector<uint8_t>(16, 0));
    ASSERT_EQ(Vpk({"preview", pack, png}).status, 0);
    image = ReadPng(png);
    EXPECT_EQ(image.width, 1024);
    EXPECT_EQ(image.height, 1);
}

TEST(Vpk, HelpAndUsage)
{
    ProgramResult help = Vpk({"--help"});
    EXPECT_EQ(help.status, 0);
    for (const char* word : {"list", "extract", "create", "preview", "VPL", "VSF", "VFF"})
        EXPECT_NE(help.out.find(word), std::string::npos) << word;
    EXPECT_EQ(Vpk({}).status, 2);
    EXPECT_EQ(Vpk({"list"}).status, 2);
    EXPECT_EQ(Vpk({"unpack", "X.VPK"}).status, 2);
}
