// The in-memory module file: reads at and past the end, clamped seeks, empty files, files
// made from bytes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "../support/file_bytes.h"
#include "sound/memory_file.h"

namespace qvl {
namespace {

std::string writeTemp(const std::vector<uint8_t>& bytes) {
    const std::string name =
        ::testing::TempDir() + "memory_file_" + std::to_string(bytes.size()) + ".bin";
    testing::writeBytes(name, bytes);
    return name;
}

TEST(SoundMemoryFile, ReadsUpToTheEnd) {
    std::vector<uint8_t> bytes(4000);
    for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<uint8_t>(i * 7);
    MemoryFile* f = memoryFileOpen(writeTemp(bytes).c_str());
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->size, 4000);
    uint8_t buffer[100];
    memoryFileSeek(f, 3950, 0);
    EXPECT_EQ(memoryFileRead(buffer, 50, f), 50u);  // exactly the remaining bytes
    EXPECT_EQ(buffer[49], static_cast<uint8_t>(3999 * 7));
    EXPECT_EQ(memoryFileRead(buffer, 10, f), 0u);
    memoryFileSeek(f, -30, 1);
    EXPECT_EQ(memoryFileRead(buffer, 100, f), 30u);  // only up to the end
    memoryFileSeek(f, 1000000, 0);
    EXPECT_EQ(memoryFileTell(f), 4000);
    memoryFileSeek(f, -5000, 1);
    EXPECT_EQ(memoryFileTell(f), 0);
    memoryFileSeek(f, 12, 2);  // the end, whatever the offset
    EXPECT_EQ(memoryFileTell(f), 4000);
    memoryFileClose(f);
}

TEST(SoundMemoryFile, EmptyAndMissingFiles) {
    MemoryFile* f = memoryFileOpen(writeTemp({}).c_str());
    ASSERT_NE(f, nullptr);
    uint8_t b;
    EXPECT_EQ(memoryFileRead(&b, 1, f), 0u);
    memoryFileClose(f);
    EXPECT_EQ(memoryFileOpen("/nonexistent/module.xm"), nullptr);
    EXPECT_TRUE(memoryFileCallbacks().complete());
}

TEST(SoundMemoryFile, BytesAreServedAsAFileOfThemWouldBe) {
    const FileCallbacks callbacks = memoryFileCallbacks();
    void* h = memoryFileFromBytes({10, 20, 30, 40, 50});
    ASSERT_NE(h, nullptr);
    uint8_t buffer[8] = {};
    EXPECT_EQ(callbacks.seek(h, 3, 0), h);
    EXPECT_EQ(callbacks.read(buffer, 8, h), 2u);  // 40 and 50, then the end
    EXPECT_EQ(buffer[0], 40);
    EXPECT_EQ(buffer[1], 50);
    EXPECT_EQ(callbacks.tell(h), 5);
    callbacks.seek(h, -4, 1);
    EXPECT_EQ(callbacks.read(buffer, 1, h), 1u);
    EXPECT_EQ(buffer[0], 20);
    callbacks.close(h);
    MemoryFile* empty = memoryFileFromBytes({});
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(empty->size, 0);
    memoryFileClose(empty);
}

}  // namespace
}  // namespace qvl
