// Frame files: channel widening and the PNG's structure, checked by decoding the file here.
#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <vector>

#include "../support/file_bytes.h"
#include "platform/headless/frame_file.h"

namespace qvl {
namespace {

TEST(FrameFile, WideningRepeatsTopBits) {
    // 0x8410 is r 16, g 32, b 16: 10000 -> 10000100 and 100000 -> 10000010.
    const std::pair<uint16_t, std::array<uint8_t, 3>> cases[] = {
        {0xFFFF, {255, 255, 255}}, {0x07E0, {0, 255, 0}}, {0x8410, {132, 130, 132}}};
    for (auto [pixel, want] : cases) {
        std::array<uint8_t, 3> rgb{};
        widenRgb565(pixel, rgb.data());
        EXPECT_EQ(rgb, want) << pixel;
    }
}

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
// filtered rows.
std::vector<uint8_t> decodeStoredPng(const std::vector<uint8_t>& png, uint32_t& w, uint32_t& h) {
    std::vector<uint8_t> z;
    size_t at = 8;
    while (at + 8 <= png.size()) {
        uint32_t len = be32(png, at);
        std::string type(png.begin() + at + 4, png.begin() + at + 8);
        EXPECT_EQ(be32(png, at + 8 + len), chunkCrc(&png[at + 4], 4 + len)) << type;
        if (type == "IHDR") {
            w = be32(png, at + 8);
            h = be32(png, at + 12);
        }
        if (type == "IDAT") z.insert(z.end(), png.begin() + at + 8, png.begin() + at + 8 + len);
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
    return raw;
}

TEST(FrameFile, PngHoldsEveryPixel) {
    const int w = 300, h = 250;  // more than one stored block
    std::vector<uint16_t> pixels(w * h);
    for (int i = 0; i < w * h; ++i) pixels[i] = static_cast<uint16_t>(i * 2654435761u >> 16);
    std::vector<uint8_t> png = encodePng(pixels.data(), w, h);
    ASSERT_GT(png.size(), 8u);
    EXPECT_EQ(png[1], 'P');
    EXPECT_EQ(be32(png, png.size() - 4), 0xAE426082u);  // the CRC every IEND chunk carries
    uint32_t gotW = 0, gotH = 0;
    std::vector<uint8_t> raw = decodeStoredPng(png, gotW, gotH);
    EXPECT_EQ(gotW, uint32_t(w));
    EXPECT_EQ(gotH, uint32_t(h));
    ASSERT_EQ(raw.size(), size_t(h) * (1 + 3 * w));
    for (int y = 0; y < h; y += 37) {
        for (int x = 0; x < w; x += 11) {
            uint16_t p = pixels[y * w + x];
            const uint8_t* px = &raw[y * (1 + 3 * w) + 1 + 3 * x];
            EXPECT_EQ(px[0] >> 3, p >> 11);
            EXPECT_EQ(px[1] >> 2, (p >> 5) & 0x3F);
            EXPECT_EQ(px[2] >> 3, p & 0x1F);
        }
    }
}

TEST(FrameFile, RawFrameIsLittleEndianTopRowFirst) {
    std::vector<uint16_t> pixels(640 * 480, 0);
    pixels[0] = 0x1234;
    pixels[640 * 479 + 639] = 0xABCD;
    auto file = std::filesystem::temp_directory_path() / "qvl_frame_test.rgb565";
    ASSERT_TRUE(saveFrame(file.string(), pixels.data(), 640, 480));
    const std::vector<uint8_t> bytes = testing::readBytes(file);
    std::filesystem::remove(file);
    ASSERT_EQ(bytes.size(), 614400u);
    EXPECT_EQ(bytes[0], 0x34);
    EXPECT_EQ(bytes[1], 0x12);
    EXPECT_EQ(bytes[614398], 0xCD);
    EXPECT_EQ(bytes[614399], 0xAB);
}

TEST(FrameFile, UnwritablePlaceFails) {
    std::vector<uint16_t> pixels(4, 0);
    EXPECT_FALSE(saveFrame("/nonexistent-dir/x.png", pixels.data(), 2, 2));
}

}  // namespace
}  // namespace qvl
