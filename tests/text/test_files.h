// Support for the text tests: a scratch directory that the test works in, and files written
// into it from bytes made by the test.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

namespace qvl::testing {

// Makes a fresh directory, makes it the working directory, and removes it afterwards.
class ScratchDir : public ::testing::Test {
  protected:
    void SetUp() override {
        namespace fs = std::filesystem;
        previous_ = fs::current_path();
        dir_ = fs::temp_directory_path() /
               ("qvl-text-" +
                std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) + "-" +
                std::to_string(::getpid()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        fs::current_path(dir_);
    }
    void TearDown() override {
        std::filesystem::current_path(previous_);
        std::filesystem::remove_all(dir_);
    }
    static void writeFile(const std::string& name, std::string_view bytes) {
        std::ofstream out(name, std::ios::binary);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    static void writeFile(const std::string& name, const std::vector<uint8_t>& bytes) {
        writeFile(name,
                  std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
    }

  private:
    std::filesystem::path previous_;
    std::filesystem::path dir_;
};

}  // namespace qvl::testing
