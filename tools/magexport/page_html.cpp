#include "page_html.h"

#include <algorithm>
#include <cstdio>
#include <initializer_list>
#include <set>
#include <string_view>

#include "base/ascii_case.h"
#include "export_text.h"
#include "platform/rgb565.h"
#include "runtime/answered_keys.h"
#include "runtime/command_table.h"
#include "runtime/fixed_keys.h"
#include "text/bitmap_font.h"
#include "text/magazine_font.h"
#include "text/page_text.h"

namespace qvl {

namespace {

constexpr int kBlack = 16;
constexpr int kFullLevel = kFadeLevels - 1;

// Appends the pieces in order (one string grows, no temporaries).
void add(std::string& out, std::initializer_list<std::string_view> pieces) {
    for (const std::string_view piece : pieces) out += piece;
}

// A link to another file of the export, its text escaped.
std::string link(const std::string& file, std::string_view text, std::string_view classes = {}) {
    std::string out = "<a ";
    add(out, {classes, "href=\"", file, "\">", escapeHtml(text), "</a>"});
    return out;
}

// The ink and paper slots of a cell, as drawGlyph picks them: a coloured cell paints fg (bright
// when bold) on bg, any other is white ink on the page's black.
struct CellLook {
    int ink = 7, paper = kBlack;
    bool operator==(const CellLook&) const = default;
};

CellLook lookOf(const CharCell& cell) {
    if (!cell.coloured) return {};
    const auto slot = [](int32_t c, bool bright) {
        return c >= 0 && c < 8 ? c + (bright ? 8 : 0) : kBlack;
    };
    return {slot(cell.fg, cell.bold != 0), slot(cell.bg, false)};
}

std::string head(const std::string& title, const PageColours* colours) {
    std::string out = "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n";
    add(out, {"<title>", escapeHtml(title), "</title>\n<style>\n",
              "body { background: #000; color: #aaa; font-family: monospace; }\n",
              "pre { width: 80ch; white-space: pre; overflow: hidden; }\n"});
    for (size_t i = 0; colours && i < colours->size(); ++i) {
        const std::string n = std::to_string(i);
        add(out, {".f", n, " { color: ", (*colours)[i], "; } .b", n,
                  " { background: ", (*colours)[i], "; }\n"});
    }
    out += "</style>\n</head>\n<body>\n";
    return out;
}

// The page a cell of the page links to: the menu entry over it that jumps, or -1.
std::vector<int32_t> lineLinks(const MagazineModel& model, const Page& page, int32_t line,
                               size_t length) {
    std::vector<int32_t> links(length, -1);
    const size_t n =
        std::min(page.selects.size(), static_cast<size_t>(std::max(page.selectCount, 0)));
    for (size_t s = 0; s < n; ++s) {
        const MenuSelect& entry = page.selects[s];
        const int32_t target = jumpedPage(model, entry.command, entry.argument);
        if (entry.line != line || target < 0) continue;
        for (int32_t c = std::max(entry.firstColumn, 1);
             c <= entry.lastColumn && size_t(c) <= length; ++c)
            links[size_t(c) - 1] = target;
    }
    return links;
}

void appendLine(std::string& out, const MagazineModel& model, const Page& page, int32_t line,
                const CharCell* cells, size_t length) {
    const std::vector<int32_t> links = lineLinks(model, page, line, length);
    size_t i = 0;
    while (i < length) {
        const CellLook look = lookOf(cells[i]);
        const int32_t target = links[i];
        std::string text;
        for (; i < length && lookOf(cells[i]) == look && links[i] == target; ++i)
            if (cells[i].ch >= 32) appendUtf8(text, cp437ToUnicode(cells[i].ch));
        std::string classes = "class=\"f";
        add(classes, {std::to_string(look.ink), " b", std::to_string(look.paper), "\" "});
        if (target >= 0)
            out += link(pageFileName(target), text, classes);
        else
            add(out, {"<span ", classes.substr(0, classes.size() - 1), ">", escapeHtml(text),
                      "</span>"});
    }
    out += '\n';
}

// The binding a key of the page's list sets off, looked up as a press of it is.
const KeyBinding* bindingOf(const MagazineModel& model, const Page& page, const PageKey& key) {
    return answeringBinding(model, &page, static_cast<uint8_t>(foldAscii(char(key.virtualKey))));
}

}  // namespace

PageColours viewerColours() {
    PageColours out;
    out[kBlack] = "#000000";
    const std::unique_ptr<BitmapFont> font = loadMagazineFont();
    for (int c = 0; c < kColorCount; ++c) {
        uint8_t rgb[3] = {};
        if (font) widenRgb565(font->colorTable[c][kFullLevel], rgb);
        char hex[8];
        std::snprintf(hex, sizeof hex, "#%02x%02x%02x", rgb[0], rgb[1], rgb[2]);
        out[size_t(c)] = hex;
    }
    return out;
}

std::string pageFileName(int32_t number) {
    std::string name = "page-";
    add(name, {std::to_string(number), ".html"});
    return name;
}

int32_t jumpedPage(const MagazineModel& model, const std::string& command,
                   const std::string& argument) {
    const Command* known = findCommand(command);
    if (!known || known->kind != CommandKind::jump) return -1;
    const JumpTarget target = jumpTarget(argument);
    if (target.back || target.page < 0 || size_t(target.page) >= model.pages.size()) return -1;
    return target.page;
}

std::vector<int32_t> pageLinks(const MagazineModel& model, int32_t number) {
    const Page& page = model.pages[size_t(number)];
    std::set<int32_t> found;
    const size_t n =
        std::min(page.selects.size(), static_cast<size_t>(std::max(page.selectCount, 0)));
    for (size_t s = 0; s < n; ++s)
        found.insert(jumpedPage(model, page.selects[s].command, page.selects[s].argument));
    for (const PageKey& key : keysAnswered(model, number))
        if (const KeyBinding* b = bindingOf(model, page, key))
            found.insert(jumpedPage(model, b->command, b->argument));
    found.erase(-1);
    return {found.begin(), found.end()};
}

std::string pageHtml(const MagazineModel& model, int32_t number, const PageColours& colours) {
    const Page& page = model.pages[size_t(number)];
    std::string out = head(cp437Utf8(page.name), &colours);
    // A parser drops the line end right after <pre>: the one written here, not the page's own.
    add(out, {"<p>", link("index.html", "contents"), "</p>\n<h1>Page ", std::to_string(number),
              ": ", escapeHtml(cp437Utf8(page.name)), "</h1>\n<pre>\n"});
    const std::vector<CharCell>& cells = page.cells;
    int32_t line = 1;
    for (size_t start = 0; start < cells.size(); ++line) {
        size_t end = start;
        while (end < cells.size() && cells[end].ch != kLineEnd) ++end;
        appendLine(out, model, page, line, cells.data() + start, end - start);
        start = end + 1;
    }
    out += "</pre>\n<h2>Keys</h2>\n<ul>\n";
    for (const PageKey& key : keysAnswered(model, number)) {
        add(out, {"<li>", escapeHtml(key.name)});
        if (const KeyBinding* binding = bindingOf(model, page, key)) {
            const int32_t target = jumpedPage(model, binding->command, binding->argument);
            add(out, {": ", escapeHtml(binding->command)});
            if (target >= 0)
                add(out,
                    {" ", link(pageFileName(target), cp437Utf8(model.pages[size_t(target)].name))});
            else if (!binding->argument.empty())
                add(out, {" ", escapeHtml(cp437Utf8(binding->argument))});
        } else if (const FixedKey* fixed = fixedKeyFor(key.virtualKey, &page, false)) {
            add(out, {": ", escapeHtml(fixed->effect)});
        }
        out += "</li>\n";
    }
    out += "</ul>\n</body>\n</html>\n";
    return out;
}

std::string indexHtml(const MagazineModel& model) {
    const std::string title = magazineTitle(model);
    std::string out = head(title, nullptr);
    add(out, {"<h1>", escapeHtml(title), "</h1>\n<ol start=\"0\">\n"});
    for (size_t i = 0; i < model.pages.size(); ++i)
        add(out,
            {"<li>", link(pageFileName(int32_t(i)), cp437Utf8(model.pages[i].name)), "</li>\n"});
    out += "</ol>\n</body>\n</html>\n";
    return out;
}

}  // namespace qvl
