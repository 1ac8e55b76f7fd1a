// The windowed picture through GDI: the 52-byte description of the frame buffer (a
// BITMAPINFOHEADER and the three RGB565 masks) and the unscaled copy into the client area.
// The masks describe the frame exactly, so GDI takes it without any conversion of ours.
#pragma once

#include <windows.h>

#include <cstdint>

namespace qvl {

struct FrameBitmapInfo {
    BITMAPINFOHEADER bmiHeader;
    DWORD masks[3];  // red, green, blue
};
static_assert(sizeof(FrameBitmapInfo) == 52, "GDI reads the three masks right after the header");

// A 640 x 480, 16-bit, top-down (negative height) BI_BITFIELDS picture.
FrameBitmapInfo buildFrameBitmapInfo();

// Copies the frame to (0, 0) of the device context; the result is not needed.
void presentGdi(HDC dc, const FrameBitmapInfo& info, const uint16_t* frame);

}  // namespace qvl
