// A module file read whole into memory, served to the loader through the five file
// callbacks: reads and seeks are then plain copies and position changes. The viewer opens
// files; programs that hold a module's bytes already (tests, benchmarks, the fuzzer) serve
// them through the same file by making it from the bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "player/file_callbacks.h"

namespace qvl {

struct MemoryFile {
    int32_t size = 0;
    int32_t position = 0;  // kept within 0..size
    std::vector<uint8_t> data;
};

// Whence values of seek: 0 from the start, 1 from the current position, 2 the end.
MemoryFile* memoryFileOpen(const char* name);
// A file over bytes (moved in); none when they are too many for 32-bit positions.
MemoryFile* memoryFileFromBytes(std::vector<uint8_t> bytes);
void memoryFileClose(MemoryFile* file);
size_t memoryFileRead(void* destination, size_t count, MemoryFile* file);
MemoryFile* memoryFileSeek(MemoryFile* file, long offset, int8_t whence);
long memoryFileTell(const MemoryFile* file);

// The five operations in the shape the player's file callbacks take.
FileCallbacks memoryFileCallbacks();

}  // namespace qvl
