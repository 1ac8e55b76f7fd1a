// The full-screen picture through DirectDraw 7: exclusive mode at 640 x 480 x 16 with a
// flipping primary and one back buffer. Each frame is copied into the locked back buffer
// (in one block when its pitch is 1280 bytes, row by row otherwise) and flipped.
#pragma once

#include <windows.h>

#include <ddraw.h>

#include <cstdint>

namespace qvl {

struct DirectDrawScreen {
    IDirectDraw7* directDraw = nullptr;
    IDirectDrawSurface7* primary = nullptr;
    IDirectDrawSurface7* backBuffer = nullptr;
    int width = 0;
    int height = 0;

    bool ready() const { return backBuffer != nullptr; }
};

// Returns false at the first step that fails, leaving what it made for releaseDirectDraw.
bool initDirectDraw(DirectDrawScreen& screen, HWND window, int width, int height);
// Undoes whatever part of initDirectDraw succeeded; harmless when nothing did.
void releaseDirectDraw(DirectDrawScreen& screen);
// Shows one frame of the screen's size; skips it when the back buffer cannot be locked.
void presentDirectDraw(DirectDrawScreen& screen, const uint16_t* frame);

// Copies a width x height frame of 16-bit pixels into a surface whose rows are pitch bytes
// apart; the bytes of a row beyond width x 2 are left as they are.
void copyFrameToSurface(uint8_t* surface, long pitch, const uint16_t* frame, int width, int height);

}  // namespace qvl
