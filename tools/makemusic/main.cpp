// makemusic: composes the demo magazine's three modules and writes them, as XM files, into
// the folder given on the command line. The same build always writes the same bytes.
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "compose.h"

int main(int argc, char** argv) {
    if (argc != 2 || argv[1][0] == '-') {
        std::fputs(
            "usage: makemusic OUTPUT_DIR\n"
            "Writes intro.xm, drift.xm and pulse.xm, composed in code, into OUTPUT_DIR.\n",
            argc == 2 ? stdout : stderr);
        return argc == 2 ? 0 : 1;
    }
    for (const qvl::music::Piece& piece : qvl::music::pieces) {
        const std::string path = std::string(argv[1]) + "/" + piece.fileName;
        std::vector<uint8_t> bytes;
        try {
            bytes = qvl::buildXm(piece.compose());
        } catch (const std::exception& e) {
            std::fprintf(stderr, "makemusic: %s: %s\n", piece.fileName, e.what());
            return 1;
        }
        std::FILE* f = std::fopen(path.c_str(), "wb");
        const bool written = f && std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
        if (f && std::fclose(f) != 0) f = nullptr;
        if (!written || !f) {
            std::fprintf(stderr, "makemusic: cannot write %s\n", path.c_str());
            return 1;
        }
        std::printf("%s: %zu bytes\n", path.c_str(), bytes.size());
    }
    return 0;
}
