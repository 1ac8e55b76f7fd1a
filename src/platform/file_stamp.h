// What a cheap look at a file tells without reading it: whether it is there, its size, when it
// was last written and which file it is (its inode). A file changed on disk, in place or
// replaced by another one renamed over it, shows a different stamp.
#pragma once

#include <cstdint>
#include <string_view>

namespace qvl {

struct FileStamp {
    bool exists = false;
    uint64_t size = 0;
    int64_t modified = 0;  // last write, in the file system clock's ticks
    uint64_t inode = 0;    // 0 where the system has none (Windows)

    bool operator==(const FileStamp&) const = default;
};

// The stamp of a file the magazine names (a Windows-style name, found through the path
// lookup); a file that is missing or unreadable gives the stamp of no file.
FileStamp stampFile(std::string_view windowsName);

}  // namespace qvl
