// The stamps of the watched files, taken again on every poll.
#include "runtime/file_watch.h"

namespace qvl {

void FileWatch::watch(const std::vector<std::string>& names) {
    std::map<std::string, FileStamp> next;
    for (const std::string& name : names) {
        auto known = stamps_.find(name);
        next[name] = known != stamps_.end() ? known->second : stampFile(name);
    }
    stamps_ = std::move(next);
}

bool FileWatch::changed() {
    bool any = false;
    for (auto& [name, stamp] : stamps_) {
        const FileStamp now = stampFile(name);
        if (now == stamp) continue;
        stamp = now;
        any = true;
    }
    return any;
}

}  // namespace qvl
