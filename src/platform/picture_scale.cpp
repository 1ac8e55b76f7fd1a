// Whole-multiple scaling of the picture and its inverse.
#include "platform/picture_scale.h"

#include <algorithm>
#include <cmath>

#include "platform/window_host.h"

namespace qvl {

int wholeScaleIn(int width, int height) {
    return std::max(0, std::min(width / kFrameWidth, height / kFrameHeight));
}

int openingScale(int usableWidth, int usableHeight, int bordersWidth, int bordersHeight,
                 double density) {
    // guard: a display that reports no density counts as one pixel per unit
    if (!(density > 0) || density > 16) density = 1;
    // The client area may take what the borders leave, counted in pixels.
    const int width = static_cast<int>(std::floor((usableWidth - bordersWidth) * density));
    const int height = static_cast<int>(std::floor((usableHeight - bordersHeight) * density));
    return std::max(1, wholeScaleIn(width, height));
}

PictureRect pictureRectIn(int width, int height) {
    PictureRect rect;
    if (width <= 0 || height <= 0) return rect;
    if (const int scale = wholeScaleIn(width, height); scale > 0) {
        rect.width = kFrameWidth * scale;
        rect.height = kFrameHeight * scale;
    } else {
        // Below one whole picture: as large as fits, still 4:3.
        rect.height = std::min(height, width * 3 / 4);
        rect.width = rect.height * 4 / 3;
    }
    rect.x = (width - rect.width) / 2;
    rect.y = (height - rect.height) / 2;
    return rect;
}

bool picturePointAt(const PictureRect& rect, int x, int y, int& pictureX, int& pictureY) {
    const long dx = long{x} - rect.x, dy = long{y} - rect.y;
    if (dx < 0 || dy < 0 || dx >= rect.width || dy >= rect.height) return false;
    pictureX = static_cast<int>(dx * kFrameWidth / rect.width);
    pictureY = static_cast<int>(dy * kFrameHeight / rect.height);
    return true;
}

}  // namespace qvl
