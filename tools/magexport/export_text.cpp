#include "export_text.h"

#include <cstdio>

#include "text/page_text.h"

namespace qvl {

std::string cp437Utf8(std::string_view bytes) {
    std::string out;
    for (const char c : bytes) {
        const auto code = static_cast<uint8_t>(c);
        if (code >= 32) appendUtf8(out, cp437ToUnicode(code));
    }
    return out;
}

std::string escapeHtml(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    for (const char c : utf8) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

std::string jsonString(std::string_view utf8) {
    std::string out = "\"";
    for (const char c : utf8) {
        const auto code = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (c == '\n') {
            out += "\\n";
        } else if (code < 0x20 || code == 0x7F) {
            // Control characters go as escapes; UTF-8 sequences (0x80 and above) stay as they are.
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", code);
            out += escape;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

std::string pageHeading(int32_t number, const Page& page) {
    return "=== page " + std::to_string(number) + ": " + cp437Utf8(page.name) + " ===\n";
}

std::string magazineTitle(const MagazineModel& model) {
    const int32_t home = model.homePage;
    if (home < 0 || static_cast<size_t>(home) >= model.pages.size()) return {};
    return cp437Utf8(model.pages[static_cast<size_t>(home)].name);
}

std::string magazineText(const MagazineModel& model) {
    std::string out;
    for (size_t i = 0; i < model.pages.size(); ++i) {
        out += pageHeading(static_cast<int32_t>(i), model.pages[i]);
        out += pageTextUtf8(model.pages[i].cells);
    }
    return out;
}

}  // namespace qvl
