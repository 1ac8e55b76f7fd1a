// Whole-file reading for the magazine's own files, refusing directories and huge files before
// reading anything.
#include "text/file_bytes.h"

#include <filesystem>
#include <fstream>
#include <system_error>

#include "platform/file_path.h"

namespace qvl {

bool readFileBytes(std::string_view windowsName, std::string& bytes) {
    bytes.clear();
    const std::string path = resolvePath(windowsName);
    std::error_code ec;
    // guard: a directory opens like a file on some systems and would read as empty
    if (!std::filesystem::is_regular_file(path, ec)) return false;
    const auto size = std::filesystem::file_size(path, ec);
    if (ec || size > kMaxFileBytes) return false;
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    bytes.resize(size_t(size));
    in.read(bytes.data(), std::streamsize(size));
    bytes.resize(size_t(in.gcount()));
    return true;
}

}  // namespace qvl
