// Video mode, the two off-screen canvases and the operations that put a frame on the screen.
//
// All drawing happens in the canvases; a present copies a rectangle of a canvas into the
// screen surface. Canvases have a fixed stride of 1024 pixels: pixel (x, y) is element
// y * 1024 + x. Rows 2560 and below of each canvas hold the sprite sheets.
#pragma once

#include <cstdint>

struct SDL_Surface;

typedef uint8_t ColourIndex;
typedef uint16_t Pixel;

enum : int32_t {
    CanvasWidth = 1024,
    IndexCanvasHeight = 3072,
    HiColourCanvasHeight = 3574,
    SheetTop = 2560,
    ScreenWidth = 640,
    ScreenHeight = 480,
};

extern bool WindowedVideo;
extern SDL_Surface* ScreenSurface;
extern uint16_t* ScreenPixels;
extern int32_t ScreenPitch;  // bytes per screen row
extern ColourIndex* IndexCanvas;  // CanvasWidth * IndexCanvasHeight, null while closed
extern Pixel* HiColourCanvas;  // CanvasWidth * HiColourCanvasHeight, null while closed
extern Pixel PaletteColours[256];

// Opens the 640x480 16-bit mode (a window when WindowedVideo), resets the sprite registry and
// allocates both canvases, zeroed. A refused mode prints "Can't initialize SDL video, sorry."
// and exits with status 1.
void StartVideo();

// Frees the canvases and the screen surface. Safe to call when video is closed or half open.
void StopVideo();

// For programs without a window (the pack tool, tests): resets the sprite registry and
// allocates zeroed canvases, no SDL involved. StopVideo releases them.
void StartCanvases();

// Index canvas rectangle, each pixel doubled, through PaletteColours onto the screen at
// (dx, dy); then the whole screen is updated.
void PresentZoomed(int32_t sx, int32_t sy, int32_t dx, int32_t dy, int32_t w, int32_t h);

// Hi-colour canvas rectangle one to one onto the screen; then the whole screen is updated.
void PresentHiColour(int32_t sx, int32_t sy, int32_t dx, int32_t dy, int32_t w, int32_t h);

// Index canvas rectangle through PaletteColours into the hi-colour canvas, doubled.
void ZoomToHiColour(int32_t sx, int32_t sy, int32_t dx, int32_t dy, int32_t w, int32_t h);
