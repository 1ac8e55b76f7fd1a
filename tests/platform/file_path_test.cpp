// Path lookup: Windows-style names found on a case-sensitive file system.
#include <gtest/gtest.h>

#include <filesystem>

#include "../support/scratch_dir.h"
#include "platform/file_path.h"

namespace qvl {
namespace {

namespace fs = std::filesystem;
using FilePathTest = testing::ScratchDir;

// Each spelling, relative or absolute, finds the file there (on any file system); where the file
// system tells letter case apart, the path names it as spelt on disk, and of two names that
// differ only in case an exact one wins, else the smallest. Missing components stay as written.
TEST_F(FilePathTest, NamesAreFoundWhateverTheirCaseAndSlashes) {
    writeFile("Data/System/Font.BMP", "x");
    const fs::path file = dir() / "Data" / "System" / "Font.BMP";
    const std::string absolute = (dir() / "DATA" / "system" / "font.bmp").string();
    for (const std::string name : {"data\\system\\font.bmp", "DATA/SYSTEM/FONT.BMP",
                                   ".\\data\\system\\font.bmp", absolute.c_str()}) {
        const std::string found = resolvePath(name);
        EXPECT_TRUE(fs::equivalent(found, file)) << name;
        EXPECT_EQ(fs::path(found).is_absolute(), fs::path(name).is_absolute()) << name;
#ifndef _WIN32
        EXPECT_EQ(found, name[0] == '/' ? file.generic_string() : "Data/System/Font.BMP") << name;
#endif
    }
#ifndef _WIN32  // here names that differ only in letter case are two files
    writeFile("Data/System/font.bmp", "y");
    EXPECT_EQ(resolvePath("data\\system\\font.bmp"), "Data/System/font.bmp");
    EXPECT_EQ(resolvePath("data\\system\\FONT.bmp"), "Data/System/Font.BMP");
#endif
    const std::string missing = resolvePath("data\\nowhere\\font.bmp");
    EXPECT_FALSE(fs::exists(missing));
    EXPECT_EQ(fs::path(missing).relative_path().generic_string().substr(5), "nowhere/font.bmp");
    EXPECT_EQ(resolvePath("missing.xm"), "missing.xm");
}

}  // namespace
}  // namespace qvl
