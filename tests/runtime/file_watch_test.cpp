// Watched files: each way a file can change on disk is seen once by the next poll, and a poll
// with no change sees nothing. The write time is set by hand where a change must not be told by
// it, so that the stamp's size or inode alone has to show the change. "b.txt" is created as
// "B.TXT": the magazine's names are found whatever their letter case.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>

#include "../support/scratch_dir.h"
#include "runtime/file_watch.h"

namespace qvl::testing {
namespace {

namespace fs = std::filesystem;

class FileWatchTest : public ScratchDir {};

// Windows' stamps hold no file identity (no inode), so a file renamed over another of the same
// size and write time goes unseen there; the Windows viewer does not watch files.
#ifdef _WIN32
constexpr bool kStampsKnowTheFile = false;
#else
constexpr bool kStampsKnowTheFile = true;
#endif

TEST_F(FileWatchTest, EachKindOfChangeIsSeenOnce) {
    struct Case {
        const char* name;
        std::function<void()> change;
        bool seen;
    };
    const Case cases[] = {
        {"nothing", [] {}, false},
        {"read only", [] { std::ifstream("a.txt").get(); }, false},
        {"written longer", [] { writeFile("a.txt", "first line\nsecond\n"); }, true},
        {"same size, later time",
         [] {
             writeFile("a.txt", "FIRST");
             fs::last_write_time("a.txt", fs::last_write_time("a.txt") + std::chrono::seconds(2));
         },
         true},
        {"same size and time, renamed over",
         [] {
             writeFile("new.txt", "FIRST");
             fs::last_write_time("new.txt", fs::last_write_time("a.txt"));
             fs::rename("new.txt", "a.txt");
         },
         kStampsKnowTheFile},
        {"removed", [] { fs::remove("a.txt"); }, true},
        {"created where missing", [] { writeFile("B.TXT", "b"); }, true},
        {"that one written again", [] { writeFile("B.TXT", "bb"); }, true},
    };
    writeFile("a.txt", "first");
    FileWatch watch;
    watch.watch({"a.txt", "b.txt"});
    EXPECT_EQ(watch.size(), 2u);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (!fs::exists("a.txt")) {
            writeFile("a.txt", "first");
            watch.changed();
        }
        c.change();
        EXPECT_EQ(watch.changed(), c.seen);
        EXPECT_FALSE(watch.changed());  // seen once, not again
    }
}

// A file watched before keeps its stamp across a new list: a change between the last poll and
// the new list is still seen; a file no longer listed is no longer looked at.
TEST_F(FileWatchTest, NewListKeepsTheStampsOfKnownFiles) {
    writeFile("a.txt", "a");
    writeFile("c.txt", "c");
    FileWatch watch;
    watch.watch({"a.txt", "c.txt"});
    writeFile("a.txt", "changed");
    watch.watch({"a.txt", "d.txt"});
    EXPECT_EQ(watch.size(), 2u);
    EXPECT_TRUE(watch.changed());
    writeFile("c.txt", "no longer watched");
    EXPECT_FALSE(watch.changed());
}

}  // namespace
}  // namespace qvl::testing
