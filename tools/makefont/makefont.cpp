// makefont: builds the viewer's font image from an X11 PCF font, and renders a font image
// into a picture for checking by eye.
//   makefont build <font.pcf> <font.bmp>   8-bit 128 x 192 BMP, code n at 8(n mod 16), 12(n div 16)
//   makefont preview <font.bmp> <out.png>  all 224 glyphs, and boxes and shades drawn joined
//   makefont dump <font.pcf> <code>...     prints glyphs as the font holds them, as text
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "font_image.h"
#include "pcf_font.h"
#include "text/page_text.h"

using namespace qvl::makefont;

namespace {

int build(const char* pcfName, const char* bmpName) {
    PcfFont font;
    if (!font.load(pcfName)) {
        std::fprintf(stderr, "makefont: %s\n", font.error().c_str());
        return 1;
    }
    std::vector<uint8_t> image;
    std::string problems;
    if (!makeFontImage(font, image, problems)) {
        std::fprintf(stderr, "makefont: %s\n", problems.c_str());
        return 1;
    }
    if (!problems.empty()) std::fprintf(stderr, "makefont: %s", problems.c_str());
    if (!writeFontBmp(bmpName, image)) {
        std::fprintf(stderr, "makefont: cannot write %s\n", bmpName);
        return 1;
    }
    return 0;
}

int dump(const char* pcfName, int count, char** codes) {
    PcfFont font;
    if (!font.load(pcfName)) {
        std::fprintf(stderr, "makefont: %s\n", font.error().c_str());
        return 1;
    }
    std::printf("ascent %d, descent %d\n", font.ascent(), font.descent());
    for (int i = 0; i < count; ++i) {
        const int code = std::atoi(codes[i]);
        CellGlyph g;
        if (!font.glyph(qvl::cp437ToUnicode(code), qvl::kCellWidth, g)) {
            std::printf("%d: no glyph\n", code);
            continue;
        }
        std::printf("%d (U+%04X)\n", code, unsigned(qvl::cp437ToUnicode(code)));
        for (int r = 0; r < g.height; ++r) {
            std::printf("%2d ", r);
            for (int c = 0; c < g.width; ++c) std::putchar(g.ink_at(r, c) ? '#' : '.');
            std::putchar('\n');
        }
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::strcmp(argv[1], "build") == 0) return build(argv[2], argv[3]);
    if (argc == 4 && std::strcmp(argv[1], "preview") == 0) return renderPreview(argv[2], argv[3]);
    if (argc >= 3 && std::strcmp(argv[1], "dump") == 0) return dump(argv[2], argc - 3, argv + 3);
    std::fprintf(stderr,
                 "usage: makefont build <font.pcf> <font.bmp>\n"
                 "       makefont preview <font.bmp> <out.png>\n"
                 "       makefont dump <font.pcf> <code>...\n");
    return 2;
}
