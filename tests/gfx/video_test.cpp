#include <SDL.h>

#include "tests/support/canvas.h"
#include "tests/support/testutil.h"

// Opens the dummy video driver around each test; a driver that fails ends the test with its stop line.
struct VideoTest : testing::Test {
    void SetUp() override { SDL_Init(SDL_INIT_VIDEO), StartVideo(); }
    void TearDown() override { StopVideo(), SDL_Quit(); }
};

// Index pixels are doubled through the palette onto the screen and into the hi-colour canvas; the
// hi-colour canvas goes one to one onto the screen. Nothing around the rectangle changes.
TEST_F(VideoTest, PresentsAndZoomCopyTheirRectangleOnlyDoubledThroughThePaletteOrOneToOne)
{
    for (int i = 0; i < 256; ++i)
        PaletteColours[i] = Pixel(0x1000 + i);
    FillBox16(96, 46, 12, 12, 0x5555);
    PutRows(false, 3, 5, {{7, 8}, {9, 10}});
    PresentZoomed(3, 5, 100, 50, 2, 2);
    ZoomToHiColour(3, 5, 100, 50, 2, 2);
    PresentHiColour(100, 50, 300, 200, 4, 4);
    auto block = [](int e) {
        const Row top = {e, 0x1007, 0x1007, 0x1008, 0x1008, e}, bottom = {e, 0x1009, 0x1009, 0x100A, 0x100A, e};
        return Rows{Row(6, e), top, top, bottom, bottom, Row(6, e)};
    };
    EXPECT_EQ(RowsOf(ScreenPixels, ScreenWidth, 99, 49, 6, 6), block(0));
    EXPECT_EQ(Rows16(99, 49, 6, 6), block(0x5555));
    EXPECT_EQ(RowsOf(ScreenPixels, ScreenWidth, 299, 199, 6, 6), block(0));
}

// The window is asked for with no flags, the whole display with the full-screen flag only.
TEST_F(VideoTest, StartingAgainZeroesTheCanvasesEmptiesTheSpriteRegistryAndHonoursTheWindowChoice)
{
    const int lastIndex = CanvasWidth * IndexCanvasHeight - 1, lastHi = CanvasWidth * HiColourCanvasHeight - 1;
    IndexCanvas[0] = IndexCanvas[lastIndex] = HiColourCanvas[0] = HiColourCanvas[lastHi] = SpriteCount = 12;
    IndexSheetCursor = HiSheetCursor = {300, 2600, 20};
    EXPECT_EQ(ScreenSurface->flags & SDL_FULLSCREEN, 0u);
    WindowedVideo = false;
    StartVideo();
    WindowedVideo = true;
    EXPECT_EQ(ScreenSurface->flags & SDL_FULLSCREEN, Uint32(SDL_FULLSCREEN));
    EXPECT_EQ(IndexCanvas[0] | IndexCanvas[lastIndex] | HiColourCanvas[0] | HiColourCanvas[lastHi] | SpriteCount, 0);
    for (const SheetCursor& c : {IndexSheetCursor, HiSheetCursor})
        EXPECT_EQ(Row({c.x, c.y, c.shelfHeight}), Row({0, 2560, 0}));
}

TEST(VideoDeathTest, ARefusedModeSaysSoAndExitsWithStatusOne)
{
    auto start = [] { StdoutToStderr(), setenv("SDL_VIDEODRIVER", "no-such-driver", 1), SDL_Init(SDL_INIT_VIDEO); };
    EXPECT_EXIT({ start(); StartVideo(); }, testing::ExitedWithCode(1), "^Can't initialize SDL video, sorry.\n$");
}
