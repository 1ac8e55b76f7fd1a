// Frame files: the PNG, decoded here (structure, widening, compression), and the raw frame's
// byte order. libpng's reader decodes the PNG; the Windows build's stored deflate blocks are
// undone by hand.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <vector>

#ifndef _WIN32
#include <png.h>
#endif

#include "../support/file_bytes.h"
#include "platform/headless/frame_file.h"

namespace qvl {
namespace {

#ifdef _WIN32
uint32_t be32(const std::vector<uint8_t>& d, size_t at) {
    return (uint32_t(d[at]) << 24) | (uint32_t(d[at + 1]) << 16) | (uint32_t(d[at + 2]) << 8) |
           d[at + 3];
}

// The CRC-32 of a chunk's type and data, bit by bit (reflected polynomial 0xEDB88320).
uint32_t chunkCrc(const uint8_t* p, size_t n) {
    uint32_t crc = 0xFFFFFFFFu;
    for (size_t i = 0; i < n; ++i) {
        crc ^= p[i];
        for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (crc & 1 ? 0xEDB88320u : 0);
    }
    return ~crc;
}

// Walks the chunks, checking each CRC, and undoes the stored deflate blocks, giving back the
// rows (filter type none) as 8-bit RGB.
std::vector<uint8_t> decodePng(const std::vector<uint8_t>& png, int width) {
    std::vector<uint8_t> z;
    size_t at = 8;
    while (at + 8 <= png.size()) {
        uint32_t len = be32(png, at);
        EXPECT_EQ(be32(png, at + 8 + len), chunkCrc(&png[at + 4], 4 + len)) << "chunk at " << at;
        if (std::string(png.begin() + at + 4, png.begin() + at + 8) == "IDAT")
            z.insert(z.end(), png.begin() + at + 8, png.begin() + at + 8 + len);
        at += 12 + len;
    }
    std::vector<uint8_t> raw;
    size_t p = 2;  // zlib header
    bool last = false;
    while (!last && p + 5 <= z.size()) {
        last = z[p] & 1;
        uint32_t n = z[p + 1] | (z[p + 2] << 8);
        EXPECT_EQ(n ^ 0xFFFF, uint32_t(z[p + 3] | (z[p + 4] << 8)));
        raw.insert(raw.end(), z.begin() + p + 5, z.begin() + p + 5 + n);
        p += 5 + n;
    }
    std::vector<uint8_t> rgb;
    for (size_t row = 0; row + 1 + 3 * width <= raw.size(); row += 1 + 3 * width) {
        EXPECT_EQ(raw[row], 0) << "filter";
        rgb.insert(rgb.end(), raw.begin() + row + 1, raw.begin() + row + 1 + 3 * width);
    }
    return rgb;
}
#else
// libpng's reader, which checks every chunk's CRC and the zlib stream, as 8-bit RGB.
std::vector<uint8_t> decodePng(const std::vector<uint8_t>& png, int width) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, png.data(), png.size())) return {};
    EXPECT_EQ(image.width, static_cast<png_uint_32>(width));
    image.format = PNG_FORMAT_RGB;
    std::vector<uint8_t> rgb(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr)) return {};
    return rgb;
}
#endif

// Widening repeats a channel's top bits: 0x8410 is r 16, g 32, b 16, and 10000 -> 10000100,
// 100000 -> 10000010. Elsewhere each channel's top bits are checked.
TEST(FrameFile, PngHoldsEveryPixel) {
    const int w = 300, h = 250;  // more than one stored block
    std::vector<uint16_t> pixels(w * h);
    for (int i = 0; i < w * h; ++i) pixels[i] = static_cast<uint16_t>(i * 2654435761u >> 16);
    pixels[0] = 0xFFFF;
    pixels[1] = 0x07E0;
    pixels[2] = 0x8410;
    std::vector<uint8_t> png = encodePng(pixels.data(), w, h);
    ASSERT_GT(png.size(), 33u);
    // The signature's "PNG", then IHDR: width 300, height 250, 8 bits, RGB.
    EXPECT_EQ(std::vector<uint8_t>(png.begin() + 1, png.begin() + 26),
              (std::vector<uint8_t>{'P', 'N', 'G', 13, 10, 26, 10, 0, 0, 0,   13, 'I', 'H',
                                    'D', 'R', 0,   0,  1,  44, 0,  0, 0, 250, 8,  2}));
    std::vector<uint8_t> rgb = decodePng(png, w);
    ASSERT_EQ(rgb.size(), size_t(h) * 3 * w);
    EXPECT_EQ(std::vector<uint8_t>(rgb.begin(), rgb.begin() + 9),
              (std::vector<uint8_t>{255, 255, 255, 0, 255, 0, 132, 130, 132}));
    for (int i = 0; i < w * h; i += 97) {
        const uint16_t p = pixels[i];
        const uint8_t* px = &rgb[3 * size_t(i)];
        EXPECT_EQ(px[0] >> 3, p >> 11) << i;
        EXPECT_EQ(px[1] >> 2, (p >> 5) & 0x3F) << i;
        EXPECT_EQ(px[2] >> 3, p & 0x1F) << i;
    }
}

#ifndef _WIN32
// A page of text is mostly paper: its PNG is compressed, not stored. A 640 x 480 frame of
// black with a white stripe every 12 lines takes 922 KB stored.
TEST(FrameFile, PngIsCompressed) {
    std::vector<uint16_t> pixels(640 * 480, 0);
    for (int y = 0; y < 480; y += 12) std::fill_n(&pixels[y * 640], 640, 0xFFFF);
    const std::vector<uint8_t> png = encodePng(pixels.data(), 640, 480);
    EXPECT_LT(png.size(), 20000u);
    EXPECT_EQ(decodePng(png, 640)[3 * 12 * 640], 255);
}
#endif

// The raw frame is little-endian, top row first; a file that cannot be written fails.
TEST(FrameFile, RawFrameIsLittleEndianTopRowFirst) {
    std::vector<uint16_t> pixels(640 * 480, 0);
    pixels[0] = 0x1234;
    pixels[640 * 479 + 639] = 0xABCD;
    auto file = std::filesystem::temp_directory_path() / "qvl_frame_test.rgb565";
    ASSERT_TRUE(saveFrame(file.string(), pixels.data(), 640, 480));
    const std::vector<uint8_t> bytes = testing::readBytes(file);
    std::filesystem::remove(file);
    ASSERT_EQ(bytes.size(), 614400u);
    EXPECT_EQ((std::vector<uint8_t>{bytes[0], bytes[1], bytes[614398], bytes[614399]}),
              (std::vector<uint8_t>{0x34, 0x12, 0xCD, 0xAB}));
    EXPECT_FALSE(saveFrame("/nonexistent-dir/x.png", pixels.data(), 640, 480));
}

}  // namespace
}  // namespace qvl
