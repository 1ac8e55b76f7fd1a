// Page text and the menu selection: the page's cells drawn as one stream of lines; the page's
// text as UTF-8 for copying out.
#include <algorithm>

#include "runtime/magazine_app.h"
#include "text/page_text.h"

namespace qvl {

std::string MagazineApp::pageText() const {
    const Page* page = pageAt(view_.currentPage.load(std::memory_order_relaxed));
    return page ? pageTextUtf8(page->cells) : std::string();
}

PageView MagazineApp::pageView() const {
    PageView view;
    const int32_t pageIndex = view_.currentPage.load(std::memory_order_relaxed);
    const Page* page = pageAt(pageIndex);
    if (!page || view_.fadeActive.load(std::memory_order_acquire)) return view;
    view.page = pageIndex;
    view.name = page->name;
    view.text = pageTextUtf8(page->cells);
    for (const ArtBlock& art : page->art)
        view.art.push_back({art.firstLine, art.lineCount, art.file});
    if (keyPlaceHolds(KeyPlace::menuPage, *page)) {
        const int32_t count =
            std::min(page->selectCount, static_cast<int32_t>(page->selects.size()));
        for (int32_t i = 0; i < count; ++i) view.entryLines.push_back(page->selects[i].line);
        view.selection = view_.selections[size_t(pageIndex)].load(std::memory_order_relaxed);
    }
    view.left = view_.viewLeft;
    view.scrollY = view_.scrollY;
    return view;
}

void MagazineApp::drawPageText(int32_t pageIndex) {
    const Page* page = pageAt(pageIndex);
    if (!page) return;  // guard: a page that does not exist shows nothing
    const std::vector<CharCell>& cells = page->cells;
    const std::vector<uint32_t>& starts = lineStarts_[pageIndex];
    const int32_t lineHeight = font_->lineHeight;
    const int32_t level = view_.fadeLevel;
    const int32_t top = view_.scrollY;

    // Lines wholly above the picture draw nothing; start with the first one that may show.
    // Line k starts at starts[k] (its line-end cell for k > 0) and lies at top + 12 k.
    int64_t first = top < 0 ? (-static_cast<int64_t>(top)) / lineHeight : 0;
    if (first > 0) --first;
    first = std::min<int64_t>(first, static_cast<int64_t>(starts.size()) - 1);

    int64_t y = top + first * lineHeight;
    int32_t x = view_.viewLeft;
    int32_t column = 0;
    // Line 0 starts with its first cell; later lines with the line end that opens them.
    size_t i = first == 0 ? 0 : starts[first];
    if (first > 0) y -= lineHeight;  // the opening line end moves the pen down again
    for (; i < cells.size(); ++i) {
        const CharCell& cell = cells[i];
        if (cell.ch == kLineEnd) {
            x = view_.viewLeft;
            column = 0;
            y += lineHeight;
            if (y >= kFrameHeight) break;  // nothing below the picture is drawn
        } else if (column > kTextColumns) {
            continue;  // past the 81st cell: nothing drawn, the pen stays
        }
        font_->drawGlyph(frameBuffer_, kFrameWidth, cell, x, static_cast<int32_t>(y), level);
        x += font_->glyphWidth(cell.ch);
        ++column;
    }
}

void MagazineApp::drawMenuSelection() {
    const int32_t pageIndex = view_.currentPage;
    const Page* page = pageAt(pageIndex);
    if (!page) return;
    int32_t index = view_.selections[size_t(pageIndex)].load(std::memory_order_relaxed);
    // guard: a selection outside the menu's slots draws nothing
    if (index < 0 || index >= page->selectCount ||
        static_cast<size_t>(index) >= page->selects.size())
        return;
    const MenuSelect& s = page->selects[index];

    // The text of line s.line (counting from 1), as far as a line end closes it, in a buffer of
    // at most 1023 characters. A line that no line end closes has no text.
    constexpr size_t kLineBuffer = 1023;
    const CharCell* text = nullptr;
    size_t length = 0;
    const std::vector<uint32_t>& starts = lineStarts_[pageIndex];
    if (s.line >= 1 && static_cast<size_t>(s.line) < starts.size()) {
        size_t begin = s.line == 1 ? 0 : starts[s.line - 1] + 1;
        size_t end = starts[s.line];  // the line end that closes the line
        text = page->cells.data() + begin;
        length = std::min(end - begin, kLineBuffer);
    }

    CharCell cell;
    cell.fg = s.fg;
    cell.bg = s.bg;
    cell.bold = s.bold;
    cell.coloured = 1;
    cell.highlight = s.highlight;
    const int64_t y =
        static_cast<int64_t>(view_.viewMargin) + kCellHeight * (static_cast<int64_t>(s.line) - 1);
    if (y < 0 || y > kFrameHeight) return;
    // Columns outside 1..81 lie outside the picture and would draw nothing.
    const int32_t first = std::max(s.firstColumn, 1);
    const int32_t last = std::min(s.lastColumn, kTextColumns + 1);
    for (int32_t c = first; c <= last; ++c) {
        uint8_t ch = static_cast<size_t>(c - 1) < length ? text[c - 1].ch : ' ';
        cell.ch = ch == 0 ? ' ' : ch;
        font_->drawGlyph(frameBuffer_, kFrameWidth, cell, view_.viewLeft + kCellWidth * (c - 1),
                         static_cast<int32_t>(y), view_.fadeLevel);
    }
}

}  // namespace qvl
