// A sticky little-endian reader over the installed file callbacks: reads and seeks past the end
// give zeros and set `truncated`, which the loader checks where it matters. Inside a header of
// stated length, the bytes a shorter header lacks read as zeros too (without `truncated`).
#pragma once

#include <cstddef>
#include <cstdint>

#include "player/file_callbacks.h"

namespace qvl {

class XmReader {
  public:
    XmReader(const FileCallbacks& files, void* handle) : files_(files), handle_(handle) {}

    uint8_t readU8();
    uint16_t readU16le();
    uint32_t readU32le();
    // Reads count bytes; returns how many came from the file (fewer at the end of the file or
    // of an open header), the others are zeros.
    size_t readBytes(void* destination, size_t count);
    // A header that ends at `end`: until closeHeader, the bytes from `end` on read as zeros;
    // closeHeader moves to `end`, past whatever a longer header holds beyond its fields.
    void openHeader(int64_t end) { headerEnd_ = end; }
    void closeHeader();
    void skip(long count) { seek(tell() + count); }
    void seek(int64_t position);
    long tell() const { return files_.tell(handle_); }

    bool truncated = false;
    int64_t truncatedAt = 0;  // the position at which the first short read ended

  private:
    const FileCallbacks& files_;
    void* handle_;
    int64_t headerEnd_ = -1;  // none open
};

}  // namespace qvl
