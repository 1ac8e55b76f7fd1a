// BMP reading field by field from the file image in memory; the reader never seeks, it takes
// the colour table and the rows as following the headers directly.
#include "text/bmp_image.h"

#include "text/file_bytes.h"

namespace qvl {

namespace {

constexpr int32_t kMaxSide = 16384;  // guard: larger sides are refused before allocating

uint32_t readU16(std::string_view d, size_t at) {
    return at + 2 <= d.size() ? uint8_t(d[at]) | (uint8_t(d[at + 1]) << 8) : 0;
}

uint32_t readU32(std::string_view d, size_t at) {
    return at + 4 <= d.size() ? readU16(d, at) | (readU16(d, at + 2) << 16) : 0;
}

}  // namespace

BmpResult loadBmp(std::string_view fileName, BmpImage& image) {
    image = BmpImage{};
    std::string data;
    if (!readFileBytes(fileName, data)) return BmpResult::cannotOpen;

    constexpr size_t kInfo = 14;  // the info header follows the 14-byte file header
    if (data.size() < kInfo + 40) return BmpResult::unsupported;
    const uint32_t signature = readU16(data, 0);
    const auto width = static_cast<int32_t>(readU32(data, kInfo + 4));
    const auto height = static_cast<int32_t>(readU32(data, kInfo + 8));
    const uint32_t planes = readU16(data, kInfo + 12);
    const uint32_t bitCount = readU16(data, kInfo + 14);
    const uint32_t compression = readU32(data, kInfo + 16);
    uint32_t coloursUsed = readU32(data, kInfo + 32);

    if (planes != 1 || compression != 0 || bitCount < 8 || signature != 0x4D42)
        return BmpResult::unsupported;
    // guard: sides of 0, negative widths and absurd sizes cannot describe a font image
    if (width <= 0 || width > kMaxSide || height == 0 || height < -kMaxSide || height > kMaxSide ||
        bitCount > 32)
        return BmpResult::unsupported;

    const int32_t stride = static_cast<int32_t>(((bitCount * width + 31) >> 3) & ~3u);
    const int32_t rows = height < 0 ? -height : height;
    if (coloursUsed == 0 && bitCount == 8) coloursUsed = 256;
    const uint64_t pixelStart = kInfo + 40 + uint64_t{coloursUsed} * 4;
    const uint64_t pixelBytes = uint64_t(stride) * rows;
    // guard: a file that ends before its last row is refused rather than half read
    if (pixelStart + pixelBytes > data.size()) return BmpResult::unsupported;

    image.width = width;
    image.height = height;
    image.bitsPerPixel = static_cast<int32_t>(bitCount);
    image.stride = stride;
    image.pixels.resize(pixelBytes);
    for (int32_t i = 0; i < rows; ++i) {
        const int32_t target = height > 0 ? rows - 1 - i : i;  // bottom-up files start at the foot
        const auto* from =
            reinterpret_cast<const uint8_t*>(data.data()) + pixelStart + uint64_t(i) * stride;
        std::copy(from, from + stride, image.pixels.begin() + int64_t(target) * stride);
    }
    return BmpResult::loaded;
}

}  // namespace qvl
