#include <gtest/gtest.h>

#include <SDL.h>
#include <tuple>

#include "tests/support/canvas.h"
#include "tests/support/testutil.h"

// Opens the dummy video driver around each test.
class VideoTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0) << SDL_GetError();
        StartVideo();
        ASSERT_EQ(std::tuple(ScreenSurface->w, ScreenSurface->h, int(ScreenSurface->format->BitsPerPixel), ScreenPitch),
                  std::tuple(640, 480, 16, 1280));
    }
    void TearDown() override { StopVideo(), SDL_Quit(); }
};

static uint16_t Screen(int x, int y) { return static_cast<uint16_t*>(ScreenSurface->pixels)[y * 640 + x]; }

TEST_F(VideoTest, PresentsAndZoomCopyTheirRectangleOnlyDoubledThroughThePaletteOrOneToOne)
{
    for (int i = 0; i < 256; ++i)
        PaletteColours[i] = Pixel(0x1000 + i * 3);
    SDL_FillRect(ScreenSurface, nullptr, 0);
    PutRows8(3, 5, {{7, 8}, {9, 10}});
    PresentZoomed(3, 5, 100, 50, 2, 2);
    ZoomToHiColour(3, 5, 100, 50, 2, 2);
    for (int y = 49; y <= 54; ++y)
        for (int x = 99; x <= 104; ++x) {
            const bool inside = x >= 100 && x <= 103 && y >= 50 && y <= 53;
            const int block = inside ? PaletteColours[Index(3 + (x - 100) / 2, 5 + (y - 50) / 2)] : 0;
            EXPECT_EQ(Screen(x, y) + 0x10000 * Hi(x, y), block * 0x10001) << x << "," << y;
        }
    Hi(20, 10) = 0x1234;
    Hi(21, 11) = 0x4321;
    PresentHiColour(20, 10, 0, 0, 2, 2);
    EXPECT_EQ(std::tuple(Screen(0, 0), Screen(1, 1), Screen(2, 2)), std::tuple(0x1234, 0x4321, 0));
}

TEST_F(VideoTest, StartingAgainZeroesTheCanvasesEmptiesTheSpriteRegistryAndHonoursTheWindowChoice)
{
    const size_t lastIndex = size_t(CanvasWidth) * IndexCanvasHeight - 1;
    const size_t lastHi = size_t(CanvasWidth) * HiColourCanvasHeight - 1;
    IndexCanvas[0] = IndexCanvas[lastIndex] = HiColourCanvas[0] = HiColourCanvas[lastHi] = 1;
    SpriteCount = 12;
    IndexSheetCursor = {300, 2600, 20};
    HiSheetCursor = {600, 2700, 40};
    // The window is asked for with no flags, the whole display with the full-screen flag only.
    EXPECT_EQ(ScreenSurface->flags & SDL_FULLSCREEN, 0u);
    WindowedVideo = false;
    StartVideo();
    WindowedVideo = true;
    EXPECT_EQ(ScreenSurface->flags & SDL_FULLSCREEN, Uint32(SDL_FULLSCREEN));
    EXPECT_EQ(std::tuple(IndexCanvas[0], IndexCanvas[lastIndex], HiColourCanvas[0], HiColourCanvas[lastHi], SpriteCount,
                         IndexSheetCursor.x, IndexSheetCursor.y, IndexSheetCursor.shelfHeight, HiSheetCursor.x,
                         HiSheetCursor.y, HiSheetCursor.shelfHeight),
              std::tuple(0, 0, 0, 0, 0, 0, 2560, 0, 0, 2560, 0));
}

TEST(VideoDeathTest, ARefusedModeSaysSoAndExitsWithStatusOne)
{
    auto start = [] { StdoutToStderr(), setenv("SDL_VIDEODRIVER", "no-such-driver", 1), SDL_Init(SDL_INIT_VIDEO); };
    EXPECT_EXIT({ start(); StartVideo(); }, testing::ExitedWithCode(1), "^Can't initialize SDL video, sorry.\n$");
}
