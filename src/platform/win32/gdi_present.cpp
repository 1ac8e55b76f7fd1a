// Builds frameBitmapInfo and copies a frame into the window with SetDIBitsToDevice.
#include "platform/win32/gdi_present.h"

#include "platform/window_host.h"

namespace qvl {

FrameBitmapInfo buildFrameBitmapInfo() {
    FrameBitmapInfo info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = kFrameWidth;
    info.bmiHeader.biHeight = -kFrameHeight;  // negative: the first row in memory is the top one
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 16;
    info.bmiHeader.biCompression = BI_BITFIELDS;
    info.masks[0] = 0xF800;
    info.masks[1] = 0x07E0;
    info.masks[2] = 0x001F;
    return info;
}

void presentGdi(HDC dc, const FrameBitmapInfo& info, const uint16_t* frame) {
    SetDIBitsToDevice(dc, 0, 0, kFrameWidth, kFrameHeight, 0, 0, 0, kFrameHeight, frame,
                      reinterpret_cast<const BITMAPINFO*>(&info), DIB_RGB_COLORS);
}

}  // namespace qvl
