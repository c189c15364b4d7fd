// PNG files of every colour type and depth, written by ImageMagick, a writer nobody on the team
// wrote, against SGI files of the pixels ImageMagick reads back from them: both converters must
// write the same bytes for both.
#include <gtest/gtest.h>

#include <unistd.h>

#include "tests/convert/sgi_files.h"

TEST(PngInput, EveryColourTypeAndDepthConvertsAsTheSamePixelsInAnSgiFile)
{
    const std::string magick = "/usr/bin/convert";
    if (::access(magick.c_str(), X_OK) != 0)
        GTEST_SKIP() << "ImageMagick's convert is not installed";
    struct Case {
        int type, depth, interlace = 0;
    } cases[] = {{0, 1}, {0, 2}, {0, 4}, {0, 8}, {0, 16}, {4, 8}, {4, 16}, {2, 8}, {2, 16}, {3, 8}, {6, 8}, {6, 16}, {6, 8, 1}};
    const int w = 9, h = 5;
    ScratchDir dir;
    for (const Case& c : cases) {
        // Few colours (the palette), one transparent colour (tRNS) and some half-transparent
        // pixels (where the colour type keeps alpha).
        bool grey = c.type == 0 || c.type == 4;
        Bytes source;
        for (int i = 0; i < w * h; i++) {
            uint8_t v = uint8_t(i % 4 * 85);
            uint8_t alpha = i % 7 == 0 ? 0 : i % 5 == 0 ? 100 : 255;
            source.insert(source.end(), {v, grey ? v : uint8_t(255 - v), grey ? v : uint8_t(i % 3 * 60), alpha});
        }
        WriteBytes(dir / "source.rgba", source);
        std::vector<std::string> make = {magick, "-size", "9x5", "-depth", "8", "rgba:source.rgba", "-define",
                                          "png:color-type=" + std::to_string(c.type), "-define",
                                          "png:bit-depth=" + std::to_string(c.depth), "in.png"};
        if (c.interlace)
            make.insert(make.end() - 1, {"-interlace", "PNG"});
        ASSERT_EQ(RunProgram(make, dir.path).status, 0);
        Bytes png = ReadBytes(dir / "in.png");
        png.resize(std::max<size_t>(png.size(), 29));
        ASSERT_EQ((std::vector<int>{png[24], png[25], png[28]}), (std::vector<int>{c.depth, c.type, c.interlace}))
            << "ImageMagick chose another kind of PNG";
        ASSERT_EQ(RunProgram({magick, "in.png", "-depth", "8", "rgba:back.rgba"}, dir.path).status, 0);
        Bytes back = ReadBytes(dir / "back.rgba");
        ASSERT_EQ(back.size(), size_t(4 * w * h));
        std::vector<Bytes> pixels;
        for (size_t i = 0; i < back.size(); i += 4)
            pixels.emplace_back(back.begin() + i, back.begin() + i + 4);
        WriteBytes(dir / "in.sgi", VerbatimSgi(w, h, pixels));
        for (std::string program : {"tintpour", "hueslab"}) {
            std::string output = dir / ("in" + Extension(program));
            ASSERT_EQ(Convert(program, {"in.sgi"}, dir.path).status, 0);
            Bytes fromSgi = ReadBytes(output);
            ProgramResult r = Convert(program, {"in.png"}, dir.path);
            EXPECT_EQ(std::to_string(r.status) + r.out + r.err, "0");
            EXPECT_EQ(ReadBytes(output), fromSgi) << program << ", depth " << c.depth << ", colour type " << c.type;
        }
    }
}
