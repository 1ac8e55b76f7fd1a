// Where the 640 x 480 picture goes in a window of any size: whole multiples, so every picture
// pixel becomes a square of equal output pixels, and the way back from an output pixel to the
// picture pixel under it, for the mouse. Pure arithmetic, kept apart from any window system.
#pragma once

namespace qvl {

struct PictureRect {
    int x = 0, y = 0, width = 0, height = 0;
};

// The largest whole multiple of 640 x 480 that fits in width x height pixels; 0 when even one
// does not.
int wholeScaleIn(int width, int height);

// The multiple a new window opens at: the largest whole one whose outer size (client area plus
// borders) fits the desktop's usable area, at least 1. Usable area and borders are in the window
// system's units, which hold `density` pixels each on a high-density display.
int openingScale(int usableWidth, int usableHeight, int bordersWidth, int bordersHeight,
                 double density);

// The picture's place in an output of width x height pixels: the largest whole multiple,
// centred; in an output smaller than 640 x 480, the largest 4:3 rectangle, centred.
PictureRect pictureRectIn(int width, int height);

// The picture pixel shown at output pixel (x, y); false outside the picture.
bool picturePointAt(const PictureRect& rect, int x, int y, int& pictureX, int& pictureY);

}  // namespace qvl
