// Builds frameBitmapInfo and draws a frame into the window with StretchDIBits.
#include "platform/win32/gdi_present.h"

#include "platform/picture_scale.h"
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

void presentGdi(HDC dc, const FrameBitmapInfo& info, const uint16_t* frame, int width, int height) {
    const PictureRect picture = pictureRectIn(width, height);
    // The borders around the picture, each drawn once, so that no pixel flickers between black
    // and the picture.
    const int bottom = picture.y + picture.height, right = picture.x + picture.width;
    const RECT borders[] = {{0, 0, width, picture.y},
                            {0, bottom, width, height},
                            {0, picture.y, picture.x, bottom},
                            {right, picture.y, width, bottom}};
    const auto black = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    for (const RECT& border : borders)
        if (border.right > border.left && border.bottom > border.top) FillRect(dc, &border, black);
    if (picture.width <= 0 || picture.height <= 0) return;
    // Nearest neighbour: at a whole multiple every picture pixel becomes an exact square; below
    // one whole picture rows and columns are left out rather than blended.
    SetStretchBltMode(dc, COLORONCOLOR);
    StretchDIBits(dc, picture.x, picture.y, picture.width, picture.height, 0, 0, kFrameWidth,
                  kFrameHeight, frame, reinterpret_cast<const BITMAPINFO*>(&info), DIB_RGB_COLORS,
                  SRCCOPY);
}

}  // namespace qvl
