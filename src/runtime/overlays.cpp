// The scroll bar in the rightmost column and the info bar across the top row.
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "runtime/magazine_app.h"

namespace qvl {

namespace {

constexpr double kOneTwelfth = 0.08333333333333333;  // the double nearest to 1/12

// How far down the page the view is, scaled to `scale`: ((-scrollY) / 12 + 5) / (lines - 39).
// guard: a page of 39 lines or fewer fits the picture, so there is nothing to scroll: it gives
// the full scale (the caller decides what that shows); huge values are clamped before the cast.
int32_t scrolledPart(int32_t scrollY, int32_t lineCount, double scale, bool& fits) {
    fits = lineCount <= 39;
    if (fits) return static_cast<int32_t>(scale);
    double value = ((-static_cast<double>(scrollY)) * kOneTwelfth + 5) / (lineCount - 39) * scale;
    if (!(value > -1e9)) value = -1e9;
    if (value > 1e9) value = 1e9;
    return static_cast<int32_t>(value);  // truncated toward zero
}

}  // namespace

void MagazineApp::drawScrollBar() {
    const Page* page = pageAt(view_.currentPage);
    if (!page) return;
    bool fits = false;
    int32_t t = scrolledPart(view_.scrollY, page->lineCount, 40, fits);
    if (fits) t = -1;  // a page that fits shows the track and the ends, but no thumb

    const int32_t x = view_.viewLeft + 632;
    const int32_t level = view_.fadeLevel;
    CharCell track;
    track.ch = 176;  // light shade, ink only
    CharCell solid;
    solid.fg = 7;
    solid.bg = 0;
    solid.bold = 1;
    solid.coloured = 1;
    for (int32_t i = 0; i < kTextRows; ++i) {
        font_->drawGlyph(frameBuffer_, kFrameWidth, track, x, view_.viewMargin + kCellHeight * i,
                         level);
        if (t >= 0 && (i == t || (i == 39 && t > 39))) {
            // quirk: drawn one row down, so the next row's track covers it when t <= 37
            solid.ch = 178;
            int32_t row = t <= 37 ? t + 1 : 38;
            font_->drawGlyph(frameBuffer_, kFrameWidth, solid, x,
                             view_.viewMargin + kCellHeight * row, level);
        }
        if (i == 0 || i == 39) {
            solid.ch = 219;
            font_->drawGlyph(frameBuffer_, kFrameWidth, solid, x,
                             view_.viewMargin + kCellHeight * i, level);
        }
    }
}

void MagazineApp::drawInfoBar() {
    const Page* page = pageAt(view_.currentPage);
    if (!page) return;
    char line[kTextColumns + 1];
    std::fill(line, line + kTextColumns, ' ');
    line[kTextColumns] = 0;
    size_t nameLength = std::min<size_t>(page->name.size(), 73);
    std::copy(page->name.begin(), page->name.begin() + nameLength, line);

    bool fits = false;
    int32_t percent = scrolledPart(view_.scrollY, page->lineCount, 120, fits);
    if (fits || percent > 100) percent = 100;  // a page that fits is wholly visible
    char tail[32];
    std::snprintf(tail, sizeof tail, "  %03i%s", percent, "%");
    for (size_t i = 0; tail[i] && 73 + i < kTextColumns; ++i) line[73 + i] = tail[i];

    CharCell cell;
    cell.fg = 0;
    cell.bg = 7;
    cell.coloured = 1;
    const int32_t level = view_.fadeLevel;
    for (int32_t i = 0; i < kTextColumns; ++i) {
        cell.ch = line[i] == 0 ? ' ' : static_cast<uint8_t>(line[i]);
        font_->drawGlyph(frameBuffer_, kFrameWidth, cell, view_.viewLeft + kCellWidth * i,
                         view_.viewMargin, level);
    }
}

}  // namespace qvl
