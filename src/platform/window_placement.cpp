// The opening rectangle of the window from the work area and the frame's insets.
#include "platform/window_placement.h"

#include <algorithm>

#include "platform/picture_scale.h"
#include "platform/window_host.h"

namespace qvl {

ScreenRect openingWindowRect(const ScreenRect& workArea, const FrameInsets& frame) {
    const int bordersWidth = frame.left + frame.right, bordersHeight = frame.top + frame.bottom;
    const int scale = openingScale(workArea.width, workArea.height, bordersWidth, bordersHeight, 1);
    ScreenRect rect;
    rect.width = kFrameWidth * scale + bordersWidth;
    rect.height = kFrameHeight * scale + bordersHeight;
    rect.x = workArea.x + std::max(0, (workArea.width - rect.width) / 2);
    rect.y = workArea.y + std::max(0, (workArea.height - rect.height) / 2);
    return rect;
}

}  // namespace qvl
