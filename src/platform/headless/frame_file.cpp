// Frame files by the name's ending; the PNG encoder is libpng's or, on Windows, our own
// (png_libpng.cpp, png_stored.cpp).
#include "platform/headless/frame_file.h"

#include <cstdio>
#include <string_view>

namespace qvl {

namespace {

bool endsWith(std::string_view s, std::string_view tail) {
    return s.size() >= tail.size() && s.substr(s.size() - tail.size()) == tail;
}

bool writeFile(const std::string& fileName, const uint8_t* data, size_t size) {
    FILE* f = std::fopen(fileName.c_str(), "wb");
    if (!f) return false;
    bool ok = std::fwrite(data, 1, size, f) == size;
    return std::fclose(f) == 0 && ok;
}

}  // namespace

bool saveFrame(const std::string& fileName, const uint16_t* pixels, int width, int height) {
    std::vector<uint8_t> bytes;
    if (endsWith(fileName, ".png")) {
        bytes = encodePng(pixels, width, height);
        if (bytes.empty()) return false;
    } else if (endsWith(fileName, ".ppm")) {
        std::string head =
            "P6\n" + std::to_string(width) + " " + std::to_string(height) + "\n255\n";
        bytes.assign(head.begin(), head.end());
        for (int i = 0; i < width * height; ++i) {
            uint8_t rgb[3];
            widenRgb565(pixels[i], rgb);
            bytes.insert(bytes.end(), rgb, rgb + 3);
        }
    } else {
        for (int i = 0; i < width * height; ++i) {
            bytes.push_back(static_cast<uint8_t>(pixels[i]));
            bytes.push_back(static_cast<uint8_t>(pixels[i] >> 8));
        }
    }
    return writeFile(fileName, bytes.data(), bytes.size());
}

}  // namespace qvl
