// DirectDraw 7 set-up, release and present for the full-screen mode.
#include "platform/win32/direct_draw.h"

#include <cstring>

namespace qvl {

bool initDirectDraw(DirectDrawScreen& screen, HWND window, int width, int height) {
    screen.width = width;
    screen.height = height;
    if (DirectDrawCreateEx(nullptr, reinterpret_cast<void**>(&screen.directDraw), IID_IDirectDraw7,
                           nullptr) != DD_OK)
        return false;
    if (screen.directDraw->SetCooperativeLevel(
            window, DDSCL_FULLSCREEN | DDSCL_ALLOWREBOOT | DDSCL_EXCLUSIVE) != DD_OK)
        return false;
    if (screen.directDraw->SetDisplayMode(width, height, 16, 0, 0) != DD_OK) return false;

    DDSURFACEDESC2 desc{};
    desc.dwSize = sizeof(desc);  // 124
    desc.dwFlags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
    desc.dwBackBufferCount = 1;
    desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX;
    if (screen.directDraw->CreateSurface(&desc, &screen.primary, nullptr) != DD_OK) {
        screen.primary = nullptr;
        return false;
    }
    DDSCAPS2 caps{};
    caps.dwCaps = DDSCAPS_BACKBUFFER;
    if (screen.primary->GetAttachedSurface(&caps, &screen.backBuffer) != DD_OK) {
        screen.backBuffer = nullptr;
        return false;
    }
    return true;
}

void releaseDirectDraw(DirectDrawScreen& screen) {
    // The back buffer belongs to the primary's flipping chain and goes with it.
    screen.backBuffer = nullptr;
    if (screen.primary) {
        screen.primary->Release();
        screen.primary = nullptr;
    }
    if (screen.directDraw) {
        screen.directDraw->RestoreDisplayMode();
        screen.directDraw->SetCooperativeLevel(nullptr, DDSCL_NORMAL);
        screen.directDraw->Release();
        screen.directDraw = nullptr;
    }
}

void presentDirectDraw(DirectDrawScreen& screen, const uint16_t* frame) {
    DDSURFACEDESC2 desc{};
    desc.dwSize = sizeof(desc);
    HRESULT locked = screen.backBuffer->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr);
    if (locked == DDERR_SURFACELOST) {
        // guard: after another program took the display, the chain comes back for a later frame
        screen.primary->Restore();
        return;
    }
    if (locked != DD_OK) return;  // guard: copy only into a locked surface
    copyFrameToSurface(static_cast<uint8_t*>(desc.lpSurface), desc.lPitch, frame, screen.width,
                       screen.height);
    screen.backBuffer->Unlock(nullptr);
    screen.primary->Flip(nullptr, DDFLIP_WAIT);
}

void copyFrameToSurface(uint8_t* surface, long pitch, const uint16_t* frame, int width,
                        int height) {
    const size_t rowBytes = static_cast<size_t>(width) * 2;
    if (pitch == static_cast<long>(rowBytes)) {
        std::memcpy(surface, frame, rowBytes * height);
        return;
    }
    const auto* source = reinterpret_cast<const uint8_t*>(frame);
    for (int y = 0; y < height; ++y) {
        std::memcpy(surface, source, rowBytes);
        surface += pitch;
        source += rowBytes;
    }
}

}  // namespace qvl
