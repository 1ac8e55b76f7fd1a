// Reading a whole file into memory and the file operations over it.
#include "sound/memory_file.h"

#include <climits>
#include <cstdio>
#include <cstring>
#include <new>
#include <utility>

namespace qvl {

MemoryFile* memoryFileOpen(const char* name) {
    if (!name) return nullptr;
    std::FILE* f = std::fopen(name, "rb");
    if (!f) return nullptr;
    MemoryFile* file = nullptr;
    if (std::fseek(f, 0, SEEK_END) == 0) {
        const long size = std::ftell(f);
        // guard: positions are 32-bit, so larger files are not served
        if (size >= 0 && size <= INT32_MAX && std::fseek(f, 0, SEEK_SET) == 0) {
            std::vector<uint8_t> bytes(static_cast<size_t>(size));
            if (std::fread(bytes.data(), 1, bytes.size(), f) == bytes.size())
                file = memoryFileFromBytes(std::move(bytes));
        }
    }
    std::fclose(f);
    return file;
}

MemoryFile* memoryFileFromBytes(std::vector<uint8_t> bytes) {
    if (bytes.size() > INT32_MAX) return nullptr;  // guard: positions are 32-bit
    MemoryFile* file = new (std::nothrow) MemoryFile;
    if (!file) return nullptr;
    file->size = static_cast<int32_t>(bytes.size());
    file->data = std::move(bytes);
    return file;
}

void memoryFileClose(MemoryFile* file) {
    delete file;
}

size_t memoryFileRead(void* destination, size_t count, MemoryFile* file) {
    if (!file || !destination) return 0;
    const size_t left = static_cast<size_t>(file->size - file->position);
    const size_t n = count < left ? count : left;
    if (n > 0) std::memcpy(destination, file->data.data() + file->position, n);
    file->position += static_cast<int32_t>(n);
    return n;
}

MemoryFile* memoryFileSeek(MemoryFile* file, long offset, int8_t whence) {
    if (!file) return nullptr;
    long long position = file->position;
    if (whence == 0) position = offset;
    if (whence == 1) position += offset;
    if (whence == 2) position = file->size;
    if (position > file->size) position = file->size;
    if (position < 0) position = 0;
    file->position = static_cast<int32_t>(position);
    return file;
}

long memoryFileTell(const MemoryFile* file) {
    return file ? file->position : 0;
}

FileCallbacks memoryFileCallbacks() {
    FileCallbacks callbacks;
    callbacks.open = [](const char* name) -> void* { return memoryFileOpen(name); };
    callbacks.close = [](void* h) { memoryFileClose(static_cast<MemoryFile*>(h)); };
    callbacks.read = [](void* d, size_t n, void* h) {
        return memoryFileRead(d, n, static_cast<MemoryFile*>(h));
    };
    callbacks.seek = [](void* h, long offset, int8_t origin) -> void* {
        return memoryFileSeek(static_cast<MemoryFile*>(h), offset, origin);
    };
    callbacks.tell = [](void* h) { return memoryFileTell(static_cast<MemoryFile*>(h)); };
    return callbacks;
}

}  // namespace qvl
