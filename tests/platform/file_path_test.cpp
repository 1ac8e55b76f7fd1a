// Path lookup: Windows-style names found on a case-sensitive file system.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/file_path.h"

namespace qvl {
namespace {

namespace fs = std::filesystem;

class FilePathTest : public ::testing::Test {
  protected:
    void SetUp() override {
        root_ = fs::temp_directory_path() /
                ("qvl_path_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                 "_" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(root_);
        fs::create_directories(root_ / "Data" / "System");
        std::ofstream(root_ / "Data" / "System" / "Font.BMP") << "x";
        old_ = fs::current_path();
        fs::current_path(root_);
    }
    void TearDown() override {
        fs::current_path(old_);
        fs::remove_all(root_);
    }
    fs::path root_, old_;
};

TEST_F(FilePathTest, BackslashesAndLetterCaseAreFound) {
    EXPECT_EQ(resolvePath("data\\system\\font.bmp"), "Data/System/Font.BMP");
    EXPECT_EQ(resolvePath("DATA/SYSTEM/FONT.BMP"), "Data/System/Font.BMP");
    EXPECT_EQ(resolvePath(".\\data\\system\\font.bmp"), "Data/System/Font.BMP");
}

TEST_F(FilePathTest, ExactNamesWinOverFoldedOnes) {
    std::ofstream(root_ / "Data" / "System" / "font.bmp") << "y";
    EXPECT_EQ(resolvePath("data\\system\\font.bmp"), "Data/System/font.bmp");
    EXPECT_EQ(resolvePath("data\\system\\FONT.bmp"), "Data/System/Font.BMP");
}

TEST_F(FilePathTest, MissingComponentsStayAsWritten) {
    EXPECT_EQ(resolvePath("data\\nowhere\\font.bmp"), "Data/nowhere/font.bmp");
    EXPECT_EQ(resolvePath("missing.xm"), "missing.xm");
    EXPECT_FALSE(fs::exists(resolvePath("data\\nowhere\\font.bmp")));
}

TEST_F(FilePathTest, AbsolutePathsKeepTheirRoot) {
    std::string windows = (root_ / "DATA" / "system").string();
    EXPECT_EQ(resolvePath(windows), (root_ / "Data" / "System").string());
}

}  // namespace
}  // namespace qvl
