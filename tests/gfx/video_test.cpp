#include <gtest/gtest.h>

#include <SDL.h>

#include "gfx/sprites.h"
#include "gfx/video.h"

// Opens the dummy video driver around each test.
class VideoTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0) << SDL_GetError();
        StartVideo();
        ASSERT_NE(ScreenSurface, nullptr);
    }
    void TearDown() override
    {
        StopVideo();
        SDL_Quit();
    }
    static uint16_t Screen(int x, int y)
    {
        return reinterpret_cast<uint16_t*>(static_cast<uint8_t*>(ScreenSurface->pixels) + y * ScreenSurface->pitch)[x];
    }
};

TEST_F(VideoTest, OpensA640x480SixteenBitScreenWithZeroedCanvases)
{
    EXPECT_EQ(ScreenSurface->w, 640);
    EXPECT_EQ(ScreenSurface->h, 480);
    EXPECT_EQ(ScreenSurface->format->BitsPerPixel, 16);
    EXPECT_EQ(ScreenPitch, 1280);
    for (size_t i = 0; i < size_t(CanvasWidth) * IndexCanvasHeight; i += 4099)
        ASSERT_EQ(IndexCanvas[i], 0);
    EXPECT_EQ(IndexCanvas[size_t(CanvasWidth) * IndexCanvasHeight - 1], 0);
    EXPECT_EQ(HiColourCanvas[size_t(CanvasWidth) * HiColourCanvasHeight - 1], 0);
}

TEST_F(VideoTest, PresentZoomedDoublesEveryIndexThroughThePalette)
{
    for (int i = 0; i < 256; ++i)
        PaletteColours[i] = Pixel(0x1000 + i * 3);
    // The composition band the editor presents: a pattern that differs in every pixel.
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 320; ++x)
            IndexCanvas[(1000 + y) * CanvasWidth + x] = ColourIndex(x * 7 + y * 13);
    // Rows below the band must stay as they were.
    SDL_FillRect(ScreenSurface, nullptr, 0xABCD);
    PresentZoomed(0, 1000, 0, 0, 320, 200);
    for (int y = 0; y < 400; ++y)
        for (int x = 0; x < 640; ++x)
            ASSERT_EQ(Screen(x, y), PaletteColours[ColourIndex((x / 2) * 7 + (y / 2) * 13)]) << x << "," << y;
    for (int y = 400; y < 480; ++y)
        for (int x = 0; x < 640; x += 37)
            ASSERT_EQ(Screen(x, y), 0xABCD);
}

TEST_F(VideoTest, OnePixelPresentsAsATwoByTwoBlockAtTheTarget)
{
    PaletteColours[7] = 0xF81F;
    SDL_FillRect(ScreenSurface, nullptr, 0);
    IndexCanvas[5 * CanvasWidth + 3] = 7;
    PresentZoomed(3, 5, 100, 50, 1, 1);
    for (int y = 49; y <= 52; ++y)
        for (int x = 99; x <= 102; ++x)
            EXPECT_EQ(Screen(x, y), x >= 100 && x <= 101 && y >= 50 && y <= 51 ? 0xF81F : 0) << x << "," << y;
}

TEST_F(VideoTest, HiColourPresentAndZoomCopyTheRightPixels)
{
    HiColourCanvas[10 * CanvasWidth + 20] = 0x1234;
    HiColourCanvas[11 * CanvasWidth + 21] = 0x4321;
    PresentHiColour(20, 10, 0, 0, 2, 2);
    EXPECT_EQ(Screen(0, 0), 0x1234);
    EXPECT_EQ(Screen(1, 1), 0x4321);

    PaletteColours[9] = 0x0F0F;
    IndexCanvas[0] = 9;
    ZoomToHiColour(0, 0, 100, 200, 1, 1);
    EXPECT_EQ(HiColourCanvas[200 * CanvasWidth + 100], 0x0F0F);
    EXPECT_EQ(HiColourCanvas[201 * CanvasWidth + 101], 0x0F0F);
    EXPECT_EQ(HiColourCanvas[202 * CanvasWidth + 100], 0);
}

TEST_F(VideoTest, StartingAgainEmptiesTheSpriteRegistry)
{
    SpriteCount = 12;
    IndexSheetCursor = {300, 2600, 20};
    HiSheetCursor = {600, 2700, 40};
    StartVideo();
    EXPECT_EQ(SpriteCount, 0);
    EXPECT_EQ(IndexSheetCursor.x, 0);
    EXPECT_EQ(IndexSheetCursor.y, 2560);
    EXPECT_EQ(IndexSheetCursor.shelfHeight, 0);
    EXPECT_EQ(HiSheetCursor.x, 0);
    EXPECT_EQ(HiSheetCursor.y, 2560);
}

TEST(VideoDeathTest, ARefusedModeSaysSoAndExitsWithStatusOne)
{
    EXPECT_EXIT(
        {
            std::fflush(stdout);
            dup2(2, 1);
            setenv("SDL_VIDEODRIVER", "no-such-driver", 1);
            SDL_Init(SDL_INIT_VIDEO);
            StartVideo();
        },
        testing::ExitedWithCode(1), "Can't initialize SDL video, sorry.\n");
}
