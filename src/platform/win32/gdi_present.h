// The windowed picture through GDI: the 52-byte description of the frame buffer (a
// BITMAPINFOHEADER and the three RGB565 masks) and the copy into the client area at the
// picture's scale, centred on black. The masks describe the frame exactly, so GDI takes it
// without any conversion of ours.
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

// Draws the frame into a client area of width x height pixels where pictureRectIn puts it,
// each picture pixel a square of whole output pixels, and the rest black; the results of the
// drawing calls are not needed.
void presentGdi(HDC dc, const FrameBitmapInfo& info, const uint16_t* frame, int width, int height);

}  // namespace qvl
