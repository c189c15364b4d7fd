// The two off-screen canvases everything is drawn into, and the palette's screen pixels. No
// screen and no SDL: a program without a window (the pack tool, tests) draws here alone.
//
// Canvases have a fixed stride of 1024 pixels: pixel (x, y) is element y * 1024 + x. Rows 2560
// and below of each canvas hold the sprite sheets.
#pragma once

#include <cstdint>

typedef uint8_t ColourIndex;
typedef uint16_t Pixel;

// A hi-colour pixel is 5-6-5 red, green, blue, except that the lowest green bit and the lowest
// blue bit carry the terrain class of the palette index it was made from.
enum : Pixel {
    PixelSolid = 0x0020,  // neither diggable nor air
    PixelAir = 0x0001,
    PixelFlags = PixelSolid | PixelAir,
    PixelColourBits = 0xFFFF ^ PixelFlags,
};

enum : int32_t {
    CanvasWidth = 1024,
    IndexCanvasHeight = 3072,
    HiColourCanvasHeight = 3574,
    SheetTop = 2560,
};

extern ColourIndex* IndexCanvas;  // CanvasWidth * IndexCanvasHeight, null while closed
extern Pixel* HiColourCanvas;  // CanvasWidth * HiColourCanvasHeight, null while closed
extern Pixel PaletteColours[256];

// Resets the sprite registry and allocates zeroed canvases (freeing any earlier ones); stops the
// program with run-time error 203 when memory runs out. StartCanvases also makes StopCanvases
// the fatal path's cleanup; StartVideo registers its own.
void AllocateCanvases();
void StartCanvases();

// Frees the canvases. Safe to call when they are closed.
void StopCanvases();
