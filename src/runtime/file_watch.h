// Notices that files changed on disk by polling their stamps (platform/file_stamp.h): a file
// written in place, replaced by a rename, removed or created where it was missing. Polling
// needs no notification service of the system, sees renames over a file like any other change,
// and runs on whatever clock the caller polls by (the headless backend's virtual one in tests).
#pragma once

#include <map>
#include <string>
#include <vector>

#include "platform/file_stamp.h"

namespace qvl {

class FileWatch {
  public:
    // Watches these files (Windows-style names) from now on. A file watched before keeps the
    // stamp it had, so a change that came between the last poll and this call is not lost;
    // a new one is stamped now.
    void watch(const std::vector<std::string>& names);
    // Stamps every watched file again: true when any stamp differs from the one before.
    bool changed();
    size_t size() const { return stamps_.size(); }

  private:
    std::map<std::string, FileStamp> stamps_;
};

}  // namespace qvl
