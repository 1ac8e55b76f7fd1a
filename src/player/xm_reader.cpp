// Field reads of the module loader, each a few bytes through the read callback.
#include "player/xm_reader.h"

#include <algorithm>
#include <climits>
#include <cstring>

namespace qvl {

size_t XmReader::readBytes(void* destination, size_t count) {
    size_t wanted = count;
    if (headerEnd_ >= 0) {
        // guard: a header shorter than its fields ends early, the fields it lacks read as 0
        wanted = static_cast<size_t>(std::clamp<int64_t>(headerEnd_ - tell(), 0, int64_t(count)));
    }
    size_t got = wanted ? files_.read(destination, wanted, handle_) : 0;
    if (got > wanted) got = wanted;  // guard: a callback never fills more than was asked
    std::memset(static_cast<uint8_t*>(destination) + got, 0, count - got);
    if (got < wanted) {
        if (!truncated) truncatedAt = tell();
        truncated = true;
    }
    return got;
}

void XmReader::closeHeader() {
    seek(headerEnd_);
    headerEnd_ = -1;
}

uint8_t XmReader::readU8() {
    uint8_t b = 0;
    readBytes(&b, 1);
    return b;
}

uint16_t XmReader::readU16le() {
    uint8_t b[2];
    readBytes(b, 2);
    return static_cast<uint16_t>(b[0] | (b[1] << 8));
}

uint32_t XmReader::readU32le() {
    uint8_t b[4];
    readBytes(b, 4);
    return uint32_t{b[0]} | (uint32_t{b[1]} << 8) | (uint32_t{b[2]} << 16) | (uint32_t{b[3]} << 24);
}

void XmReader::seek(int64_t position) {
    // guard: offsets from the file's own size fields stay within what a long holds
    if (position < 0) position = 0;
    if (position > LONG_MAX) position = LONG_MAX;
    files_.seek(handle_, static_cast<long>(position), static_cast<int8_t>(SeekOrigin::start));
    // guard: a seek past the end of the file, by a length the file states, is cut short there
    if (tell() < position && !truncated) {
        truncatedAt = tell();
        truncated = true;
    }
}

}  // namespace qvl
