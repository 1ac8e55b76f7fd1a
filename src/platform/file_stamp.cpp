// File stamps from std::filesystem (size, write time at the file system's resolution) and
// stat (the inode, which a rename over the file changes even when size and time agree).
#include "platform/file_stamp.h"

#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <system_error>

#include "platform/file_path.h"

namespace qvl {

FileStamp stampFile(std::string_view windowsName) {
    const std::string path = resolvePath(windowsName);
    std::error_code ec;
    FileStamp stamp;
    const auto size = std::filesystem::file_size(path, ec);
    if (ec) return stamp;
    const auto written = std::filesystem::last_write_time(path, ec);
    if (ec) return stamp;
    stamp.exists = true;
    stamp.size = size;
    stamp.modified = static_cast<int64_t>(written.time_since_epoch().count());
    struct stat status {};
    if (::stat(path.c_str(), &status) == 0) stamp.inode = static_cast<uint64_t>(status.st_ino);
    return stamp;
}

}  // namespace qvl
