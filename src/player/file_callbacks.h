// The five file operations the loader reads a module through; the owner of the player
// context installs them (the music control serves modules from memory).
#pragma once

#include <cstddef>
#include <cstdint>

namespace qvl {

struct PlayerContext;

enum class SeekOrigin : int8_t { start = 0, current = 1 };

struct FileCallbacks {
    void* (*open)(const char* name) = nullptr;
    void (*close)(void* handle) = nullptr;
    size_t (*read)(void* destination, size_t count, void* handle) = nullptr;
    void* (*seek)(void* handle, long offset, int8_t origin) = nullptr;
    long (*tell)(void* handle) = nullptr;

    bool complete() const { return open && close && read && seek && tell; }
};

// Installs all five operations; if any one is missing, clears all five.
void setFileCallbacks(PlayerContext& context, const FileCallbacks& callbacks);

}  // namespace qvl
