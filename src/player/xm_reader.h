// A sticky little-endian reader over the installed file callbacks: reads past the end give
// zeros and set `truncated`, which the loader checks where it matters.
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
    // Reads up to count bytes; returns how many arrived (fewer only at the end of the file).
    size_t readBytes(void* destination, size_t count);
    void skip(long count) { seek(tell() + count); }
    void seek(int64_t position);
    long tell() const { return files_.tell(handle_); }

    bool truncated = false;
    int64_t truncatedAt = 0;  // the position at which the first short read ended

  private:
    const FileCallbacks& files_;
    void* handle_;
};

}  // namespace qvl
