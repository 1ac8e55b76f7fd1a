// The scroll bar in the rightmost column, the info bar across the top row, and the box that
// shows why a watched magazine no longer reads.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

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

// A box captioned as the viewer's message boxes are, bright white on red, in the middle of the
// picture at full brightness whatever the fade: one text line a row, each cut to fit.
void MagazineApp::drawErrorBox() {
    constexpr int32_t kInner = kTextColumns - 4;  // text columns between the frame and padding
    constexpr int32_t kMaxLines = kTextRows - 4;
    const std::string kCaption = std::string(" ") + kMessageCaption + " ";
    std::vector<std::string> lines;
    size_t start = 0;
    while (start <= errorText_.size() && static_cast<int32_t>(lines.size()) < kMaxLines) {
        size_t end = errorText_.find('\n', start);
        if (end == std::string::npos) end = errorText_.size();
        lines.push_back(errorText_.substr(start, std::min<size_t>(end - start, kInner)));
        start = end + 1;
    }
    int32_t width = static_cast<int32_t>(kCaption.size()) + 2;
    for (const std::string& line : lines) width = std::max(width, int32_t(line.size()));
    const int32_t columns = width + 4, rows = static_cast<int32_t>(lines.size()) + 2;
    const int32_t left = (kTextColumns - columns) / 2, top = (kTextRows - rows) / 2;

    CharCell cell;
    cell.fg = 7;
    cell.bg = 1;
    cell.bold = 1;
    cell.coloured = 1;
    auto put = [&](int32_t column, int32_t row, char ch) {
        cell.ch = ch == 0 ? ' ' : static_cast<uint8_t>(ch);
        font_->drawGlyph(frameBuffer_, kFrameWidth, cell, kCellWidth * (left + column),
                         kCellHeight * (top + row), 63);
    };
    // Code page 437's single-line frame: corners, rules and sides.
    constexpr char kTopLeft = char(218), kTopRight = char(191), kBottomLeft = char(192),
                   kBottomRight = char(217), kRule = char(196), kSide = char(179);
    for (int32_t column = 0; column < columns; ++column) {
        const bool first = column == 0, last = column == columns - 1;
        const int32_t inCaption = column - 2;
        put(column, 0,
            first                                                    ? kTopLeft
            : last                                                   ? kTopRight
            : inCaption >= 0 && inCaption < int32_t(kCaption.size()) ? kCaption[inCaption]
                                                                     : kRule);
        put(column, rows - 1, first ? kBottomLeft : last ? kBottomRight : kRule);
        for (int32_t row = 1; row < rows - 1; ++row) {
            const std::string& line = lines[row - 1];
            const int32_t at = column - 2;
            put(column, row,
                first || last                          ? kSide
                : at >= 0 && at < int32_t(line.size()) ? line[at]
                                                       : ' ');
        }
    }
}

}  // namespace qvl
