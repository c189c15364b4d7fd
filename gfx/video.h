// Video mode and the operations that put a frame on the screen.
//
// All drawing happens in the canvases (gfx/canvas.h); a present copies a rectangle of a canvas
// into the screen surface.
#pragma once

#include <cstdint>

#include "gfx/canvas.h"

struct SDL_Surface;

enum : int32_t {
    ScreenWidth = 640,
    ScreenHeight = 480,
};

extern bool WindowedVideo;
extern SDL_Surface* ScreenSurface;
extern uint16_t* ScreenPixels;
extern int32_t ScreenPitch;  // bytes per screen row

// Opens the 640x480 16-bit mode (a window when WindowedVideo), resets the sprite registry and
// allocates both canvases, zeroed. A refused mode prints "Can't initialize SDL video, sorry."
// and exits with status 1.
void StartVideo();

// Frees the canvases and the screen surface. Safe to call when video is closed or half open.
void StopVideo();

// Index canvas rectangle, each pixel doubled, through PaletteColours onto the screen at
// (dx, dy); then the whole screen is updated.
void PresentZoomed(int32_t sx, int32_t sy, int32_t dx, int32_t dy, int32_t w, int32_t h);

// Hi-colour canvas rectangle one to one onto the screen; then the whole screen is updated.
void PresentHiColour(int32_t sx, int32_t sy, int32_t dx, int32_t dy, int32_t w, int32_t h);

// Index canvas rectangle through PaletteColours into the hi-colour canvas, doubled.
void ZoomToHiColour(int32_t sx, int32_t sy, int32_t dx, int32_t dy, int32_t w, int32_t h);
