// PCF tables read field by field; every table states its own byte order in its format word,
// and reads past the end give 0 and mark the table bad.
#include "pcf_font.h"

#include <fstream>
#include <iterator>

namespace qvl::makefont {

namespace {

constexpr uint32_t kAccelerators = 1 << 1;
constexpr uint32_t kMetrics = 1 << 2;
constexpr uint32_t kBitmaps = 1 << 3;
constexpr uint32_t kEncodings = 1 << 5;
constexpr uint32_t kBdfAccelerators = 1 << 8;
constexpr uint32_t kCompressedMetrics = 0x100;

// Sequential reading of one table in its byte order; past the end it gives 0 and sets bad.
struct TableReader {
    const std::vector<uint8_t>& data;
    size_t at;
    bool bigEndian = false;
    bool bad = false;

    uint32_t u8() {
        if (at >= data.size()) {
            bad = true;
            return 0;
        }
        return data[at++];
    }
    uint32_t u16() {
        const uint32_t a = u8(), b = u8();
        return bigEndian ? (a << 8 | b) : (b << 8 | a);
    }
    uint32_t u32() {
        const uint32_t a = u16(), b = u16();
        return bigEndian ? (a << 16 | b) : (b << 16 | a);
    }
    int32_t s16() { return static_cast<int16_t>(u16()); }
    // The format word itself is always little-endian and sets the order of what follows.
    uint32_t format() {
        bigEndian = false;
        const uint32_t f = u32();
        bigEndian = (f & 4) != 0;
        return f;
    }
};

}  // namespace

bool PcfFont::load(const std::string& fileName) {
    std::ifstream in(fileName, std::ios::binary);
    if (!in) return fail("cannot open " + fileName);
    data_.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (data_.size() < 8 || data_[0] != 1 || data_[1] != 'f' || data_[2] != 'c' || data_[3] != 'p')
        return fail("not an uncompressed PCF file (gzip -d it first)");

    TableReader header{data_, 4};
    const uint32_t tableCount = header.u32();
    size_t metricsAt = 0, bitmapsAt = 0, encodingsAt = 0, accelAt = 0;
    for (uint32_t i = 0; i < tableCount && !header.bad; ++i) {
        const uint32_t type = header.u32();
        header.u32();  // format, repeated at the table's start
        header.u32();  // size
        const uint32_t offset = header.u32();
        if (type == kMetrics) metricsAt = offset;
        if (type == kBitmaps) bitmapsAt = offset;
        if (type == kEncodings) encodingsAt = offset;
        if (type == kBdfAccelerators || (type == kAccelerators && accelAt == 0)) accelAt = offset;
    }
    if (!metricsAt || !bitmapsAt || !encodingsAt || !accelAt) return fail("a table is missing");

    TableReader accel{data_, accelAt};
    accel.format();
    for (int i = 0; i < 8; ++i) accel.u8();  // flags and padding
    ascent_ = static_cast<int32_t>(accel.u32());
    descent_ = static_cast<int32_t>(accel.u32());

    TableReader metrics{data_, metricsAt};
    const uint32_t metricsFormat = metrics.format();
    if ((metricsFormat & 0xFFFFFF00) == kCompressedMetrics) {
        const uint32_t count = metrics.u16();
        metrics_.resize(count);
        for (Metrics& m : metrics_) {
            m.left = int(metrics.u8()) - 0x80;
            m.right = int(metrics.u8()) - 0x80;
            m.width = int(metrics.u8()) - 0x80;
            m.ascent = int(metrics.u8()) - 0x80;
            m.descent = int(metrics.u8()) - 0x80;
        }
    } else {
        const uint32_t count = metrics.u32();
        metrics_.resize(count);
        for (Metrics& m : metrics_) {
            m.left = metrics.s16();
            m.right = metrics.s16();
            m.width = metrics.s16();
            m.ascent = metrics.s16();
            m.descent = metrics.s16();
            metrics.u16();  // attributes
        }
    }

    TableReader bitmaps{data_, bitmapsAt};
    bitmapFormat_ = bitmaps.format();
    const uint32_t glyphCount = bitmaps.u32();
    bitmapOffsets_.resize(glyphCount);
    for (uint32_t& o : bitmapOffsets_) o = bitmaps.u32();
    for (int i = 0; i < 4; ++i) bitmaps.u32();  // bitmap sizes for the four paddings
    bitmapStart_ = bitmaps.at;

    TableReader encodings{data_, encodingsAt};
    encodings.format();
    minByte2_ = encodings.s16();
    maxByte2_ = encodings.s16();
    minByte1_ = encodings.s16();
    maxByte1_ = encodings.s16();
    encodings.s16();  // default character
    const size_t count = size_t(maxByte2_ - minByte2_ + 1) * size_t(maxByte1_ - minByte1_ + 1);
    glyphIndices_.resize(count);
    for (uint16_t& g : glyphIndices_) g = static_cast<uint16_t>(encodings.u16());

    if (header.bad || accel.bad || metrics.bad || bitmaps.bad || encodings.bad)
        return fail("the file ends inside a table");
    if (glyphCount != metrics_.size()) return fail("metrics and bitmaps disagree");
    return true;
}

bool PcfFont::glyph(uint32_t codePoint, int cellWidth, CellGlyph& out) const {
    const int byte1 = int(codePoint >> 8), byte2 = int(codePoint & 0xFF);
    if (byte1 < minByte1_ || byte1 > maxByte1_ || byte2 < minByte2_ || byte2 > maxByte2_)
        return false;
    const uint16_t index = glyphIndices_[size_t(byte1 - minByte1_) * (maxByte2_ - minByte2_ + 1) +
                                         (byte2 - minByte2_)];
    if (index == 0xFFFF || index >= metrics_.size()) return false;

    const Metrics& m = metrics_[index];
    const int pad = 1 << (bitmapFormat_ & 3);          // row padding in bytes
    const int unit = 1 << ((bitmapFormat_ >> 4) & 3);  // scan unit in bytes
    const bool msbFirstBits = (bitmapFormat_ & 8) != 0;
    const bool msbFirstBytes = (bitmapFormat_ & 4) != 0;
    const int bitsWide = m.right - m.left;
    const int rowBytes = (bitsWide + 8 * pad - 1) / (8 * pad) * pad;

    out.width = cellWidth;
    out.height = ascent_ + descent_;
    out.ink.assign(size_t(out.width) * out.height, 0);
    const size_t base = bitmapStart_ + bitmapOffsets_[index];
    for (int r = 0; r < m.ascent + m.descent; ++r) {
        for (int b = 0; b < bitsWide; ++b) {
            int byteIndex = b / 8;
            // Bytes within a scan unit are swapped when byte order and bit order differ.
            if (unit > 1 && msbFirstBits != msbFirstBytes)
                byteIndex = (byteIndex / unit) * unit + (unit - 1 - byteIndex % unit);
            const size_t at = base + size_t(r) * rowBytes + byteIndex;
            if (at >= data_.size()) return false;
            const int bit = msbFirstBits ? 7 - b % 8 : b % 8;
            if (!((data_[at] >> bit) & 1)) continue;
            const int row = ascent_ - m.ascent + r;
            const int column = m.left + b;
            if (row >= 0 && row < out.height && column >= 0 && column < out.width)
                out.ink[size_t(row) * out.width + column] = 1;
        }
    }
    return true;
}

}  // namespace qvl::makefont
