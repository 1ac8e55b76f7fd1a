// A test that works in a scratch directory of its own: made fresh, made the working directory
// for the test, removed afterwards; with a way to write files into it from bytes.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#ifdef _WIN32
#include <process.h>
#define QVL_TEST_PID _getpid()
#else
#include <unistd.h>
#define QVL_TEST_PID ::getpid()
#endif

namespace qvl::testing {

class ScratchDir : public ::testing::Test {
  protected:
    void SetUp() override {
        namespace fs = std::filesystem;
        previous_ = fs::current_path();
        // The process id keeps two builds' runs of the same test apart.
        dir_ =
            fs::temp_directory_path() /
            ("qvl-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) +
             "-" + std::to_string(QVL_TEST_PID));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        fs::current_path(dir_);
    }
    void TearDown() override {
        std::filesystem::current_path(previous_);
        std::filesystem::remove_all(dir_);
    }

    const std::filesystem::path& dir() const { return dir_; }

    // Writes a file (a name relative to the scratch directory, or a path) from bytes.
    static void writeFile(const std::filesystem::path& name, std::string_view bytes) {
        if (name.has_parent_path()) std::filesystem::create_directories(name.parent_path());
        std::ofstream out(name, std::ios::binary);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    static void writeFile(const std::filesystem::path& name, const std::vector<uint8_t>& bytes) {
        writeFile(name,
                  std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
    }

  private:
    std::filesystem::path previous_;
    std::filesystem::path dir_;
};

}  // namespace qvl::testing
