// PNG files of every colour type and depth, written by ImageMagick, a writer nobody on the team
// wrote, against SGI files of the pixels ImageMagick reads back from them: both converters must
// write the same bytes for both.
#include <gtest/gtest.h>

#include <unistd.h>

#include "tests/convert/sgi_files.h"
#include "tests/support/testutil.h"

TEST(PngInput, EveryColourTypeAndDepthConvertsAsTheSamePixelsInAnSgiFile)
{
    const std::string magick = "/usr/bin/convert";
    if (::access(magick.c_str(), X_OK) != 0)
        GTEST_SKIP() << "ImageMagick's convert is not installed";
    struct Case {
        std::vector<std::string> options;
        bool grey;
        int depth, type, interlace = 0;
    } cases[] = {
        {{"-define", "png:color-type=0", "-define", "png:bit-depth=1"}, true, 1, 0},
        {{"-define", "png:color-type=0", "-define", "png:bit-depth=2"}, true, 2, 0},
        {{"-define", "png:color-type=0", "-define", "png:bit-depth=4"}, true, 4, 0},
        {{"-define", "png:color-type=0", "-define", "png:bit-depth=8"}, true, 8, 0},
        {{"-define", "png:color-type=0", "-define", "png:bit-depth=16"}, true, 16, 0},
        {{"-define", "png:color-type=4", "-define", "png:bit-depth=8"}, true, 8, 4},
        {{"-define", "png:color-type=4", "-define", "png:bit-depth=16"}, true, 16, 4},
        {{"-define", "png:color-type=2", "-define", "png:bit-depth=8"}, false, 8, 2},
        {{"-define", "png:color-type=2", "-define", "png:bit-depth=16"}, false, 16, 2},
        {{"-define", "png:color-type=3", "-define", "png:bit-depth=8"}, false, 8, 3},
        {{"-define", "png:color-type=6", "-define", "png:bit-depth=8"}, false, 8, 6},
        {{"-define", "png:color-type=6", "-define", "png:bit-depth=16"}, false, 16, 6},
        {{"-define", "png:color-type=6", "-interlace", "PNG"}, false, 8, 6, 1},
    };
    const int w = 9, h = 5;
    ScratchDir dir;
    for (const Case& c : cases) {
        // Few colours (the palette), one transparent colour (tRNS) and some half-transparent
        // pixels (where the colour type keeps alpha).
        Bytes source;
        for (int i = 0; i < w * h; i++) {
            uint8_t v = uint8_t(i % 4 * 85);
            uint8_t alpha = i % 7 == 0 ? 0 : i % 5 == 0 ? 100 : 255;
            source.insert(source.end(), {v, c.grey ? v : uint8_t(255 - v), c.grey ? v : uint8_t(i % 3 * 60), alpha});
        }
        WriteBytes(dir / "source.rgba", source);
        std::vector<std::string> make = {magick, "-size", "9x5", "-depth", "8", "rgba:source.rgba"};
        make.insert(make.end(), c.options.begin(), c.options.end());
        make.push_back("in.png");
        ASSERT_EQ(RunProgram(make, dir.path).status, 0);
        Bytes png = ReadBytes(dir / "in.png");
        ASSERT_GT(png.size(), 28u);
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
            std::string output = dir / (program == "tintpour" ? "in.vas" : "in.vhs");
            ASSERT_EQ(RunProgram({BuiltProgram(program), "in.sgi"}, dir.path).status, 0);
            Bytes fromSgi = ReadBytes(output);
            ProgramResult r = RunProgram({BuiltProgram(program), "in.png"}, dir.path);
            EXPECT_EQ(r.status, 0);
            EXPECT_EQ(r.out + r.err, "");
            EXPECT_EQ(ReadBytes(output), fromSgi) << program << ", depth " << c.depth << ", colour type " << c.type;
        }
    }
}
