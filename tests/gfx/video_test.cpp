#include <gtest/gtest.h>

#include <SDL.h>
#include <tuple>

#include "gfx/sprites.h"
#include "gfx/video.h"
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
    static uint16_t Screen(int x, int y)
    {
        return reinterpret_cast<uint16_t*>(static_cast<uint8_t*>(ScreenSurface->pixels) + y * ScreenSurface->pitch)[x];
    }
};

TEST_F(VideoTest, PresentsAndZoomCopyTheirRectangleOnlyDoubledThroughThePaletteOrOneToOne)
{
    for (int i = 0; i < 256; ++i)
        PaletteColours[i] = Pixel(0x1000 + i * 3);
    // The composition band the editor presents: a pattern that differs in every pixel.
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 320; ++x)
            IndexCanvas[(1000 + y) * CanvasWidth + x] = ColourIndex(x * 7 + y * 13);
    SDL_FillRect(ScreenSurface, nullptr, 0xABCD);
    PresentZoomed(0, 1000, 0, 0, 320, 200);
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x)
            ASSERT_EQ(Screen(x, y), y < 400 ? PaletteColours[ColourIndex((x / 2) * 7 + (y / 2) * 13)] : 0xABCD)
                << x << "," << y;
    // One pixel away from both corners lands as one block at the target, on screen and canvas.
    SDL_FillRect(ScreenSurface, nullptr, 0);
    IndexCanvas[5 * CanvasWidth + 3] = 7;
    PresentZoomed(3, 5, 100, 50, 1, 1);
    ZoomToHiColour(3, 5, 100, 50, 1, 1);
    for (int y = 49; y <= 52; ++y)
        for (int x = 99; x <= 102; ++x) {
            const int block = x >= 100 && x <= 101 && y >= 50 && y <= 51 ? 0x1000 + 7 * 3 : 0;
            EXPECT_EQ(Screen(x, y) + 0x10000 * HiColourCanvas[y * CanvasWidth + x], block * 0x10001) << x << "," << y;
        }
    HiColourCanvas[10 * CanvasWidth + 20] = 0x1234;
    HiColourCanvas[11 * CanvasWidth + 21] = 0x4321;
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
