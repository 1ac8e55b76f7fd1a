// Case-insensitive path lookup over std::filesystem, one component at a time.
#include "platform/file_path.h"

#include <filesystem>
#include <system_error>

#include "base/ascii_case.h"

namespace qvl {

namespace fs = std::filesystem;

namespace {

// The entry of dir whose name equals name without regard to ASCII case, or name itself.
std::string findEntry(const fs::path& dir, const std::string& name) {
    std::error_code ec;
    if (fs::exists(dir / name, ec)) return name;
    std::string found;
    for (fs::directory_iterator it(dir.empty() ? fs::path(".") : dir, ec), end; !ec && it != end;
         it.increment(ec)) {
        std::string entry = it->path().filename().string();
        if (equalsNoCase(entry, name)) {
            // guard: several entries differing only in case: take the smallest name, so the
            // choice does not depend on directory order
            if (found.empty() || entry < found) found = entry;
        }
    }
    return found.empty() ? name : found;
}

}  // namespace

std::string resolvePath(std::string_view windowsName) {
    std::string name(windowsName);
    for (char& c : name)
        if (c == '\\') c = '/';

    // The root ("/", or "C:/" and "//server/share/" where the system has them) is kept as it
    // stands; the components below it are looked up one by one.
    const fs::path path(name);
    fs::path result = path.root_path();
    bool lookUp = true;  // once a component is missing, later ones cannot be found either
    for (const fs::path& component : path.relative_path()) {
        const std::string part = component.string();
        if (part.empty() || part == ".") continue;
        if (part == "..") {
            result /= part;
            continue;
        }
        std::string actual = lookUp ? findEntry(result, part) : part;
        std::error_code ec;
        if (lookUp && !fs::exists(result / actual, ec)) lookUp = false;
        result /= actual;
    }
    return result.generic_string();
}

}  // namespace qvl
