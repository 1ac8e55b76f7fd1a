// Path lookup: Windows-style names found on a case-sensitive file system.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "../support/scratch_dir.h"
#include "platform/file_path.h"

namespace qvl {
namespace {

namespace fs = std::filesystem;

class FilePathTest : public testing::ScratchDir {
  protected:
    void SetUp() override {
        ScratchDir::SetUp();
        writeFile("Data/System/Font.BMP", "x");
    }
};

// The file each spelling finds is the one there (on any file system); where the file system tells
// letter case apart, the path names it as it is spelt on disk.
TEST_F(FilePathTest, BackslashesAndLetterCaseAreFound) {
    for (const char* name :
         {"data\\system\\font.bmp", "DATA/SYSTEM/FONT.BMP", ".\\data\\system\\font.bmp"}) {
        std::string found = resolvePath(name);
        EXPECT_TRUE(fs::equivalent(found, "Data/System/Font.BMP")) << name;
#ifndef _WIN32
        EXPECT_EQ(found, "Data/System/Font.BMP") << name;
#endif
    }
}

TEST_F(FilePathTest, ExactNamesWinOverFoldedOnes) {
#ifdef _WIN32
    GTEST_SKIP() << "names that differ only in letter case are one file here";
#endif
    writeFile("Data/System/font.bmp", "y");
    EXPECT_EQ(resolvePath("data\\system\\font.bmp"), "Data/System/font.bmp");
    EXPECT_EQ(resolvePath("data\\system\\FONT.bmp"), "Data/System/Font.BMP");
}

TEST_F(FilePathTest, MissingComponentsStayAsWritten) {
    std::string missing = resolvePath("data\\nowhere\\font.bmp");
    EXPECT_FALSE(fs::exists(missing));
    EXPECT_EQ(fs::path(missing).relative_path().generic_string().substr(5), "nowhere/font.bmp");
    EXPECT_EQ(resolvePath("missing.xm"), "missing.xm");
}

TEST_F(FilePathTest, AbsolutePathsKeepTheirRoot) {
    std::string found = resolvePath((dir() / "DATA" / "system" / "font.bmp").string());
    EXPECT_TRUE(fs::path(found).is_absolute()) << found;
    EXPECT_TRUE(fs::equivalent(found, dir() / "Data" / "System" / "Font.BMP")) << found;
}

}  // namespace
}  // namespace qvl
