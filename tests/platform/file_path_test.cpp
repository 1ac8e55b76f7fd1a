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

TEST_F(FilePathTest, BackslashesAndLetterCaseAreFound) {
    EXPECT_EQ(resolvePath("data\\system\\font.bmp"), "Data/System/Font.BMP");
    EXPECT_EQ(resolvePath("DATA/SYSTEM/FONT.BMP"), "Data/System/Font.BMP");
    EXPECT_EQ(resolvePath(".\\data\\system\\font.bmp"), "Data/System/Font.BMP");
}

TEST_F(FilePathTest, ExactNamesWinOverFoldedOnes) {
    writeFile("Data/System/font.bmp", "y");
    EXPECT_EQ(resolvePath("data\\system\\font.bmp"), "Data/System/font.bmp");
    EXPECT_EQ(resolvePath("data\\system\\FONT.bmp"), "Data/System/Font.BMP");
}

TEST_F(FilePathTest, MissingComponentsStayAsWritten) {
    EXPECT_EQ(resolvePath("data\\nowhere\\font.bmp"), "Data/nowhere/font.bmp");
    EXPECT_EQ(resolvePath("missing.xm"), "missing.xm");
    EXPECT_FALSE(fs::exists(resolvePath("data\\nowhere\\font.bmp")));
}

TEST_F(FilePathTest, AbsolutePathsKeepTheirRoot) {
    std::string windows = (dir() / "DATA" / "system").string();
    EXPECT_EQ(resolvePath(windows), (dir() / "Data" / "System").string());
}

}  // namespace
}  // namespace qvl
