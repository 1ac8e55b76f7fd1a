// The viewer following the author's edits (--watch) on the headless backend: files changed
// between the steps of a run, in place or by renaming a new file over them; what the picture
// shows afterwards, read back through the test font; and what the sound device played.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "../support/scratch_dir.h"
#include "../support/song_audio.h"
#include "../support/test_font.h"
#include "app/viewer.h"
#include "base/virtual_keys.h"
#include "platform/headless/headless_platform.h"
#include "sound/wave_output.h"

namespace qvl::testing {
namespace {

namespace fs = std::filesystem;
using Kind = HeadlessStep::Kind;

// Page 2 ("two") holds lines.txt, "line 1" to "line 60"; N jumps to it at once (no fading).
std::string script(const std::string& page2Extra = "") {
    return "#startglobalconfig\n#setglobaloption fading off\n#definekeys 1\n#key 0 n jump 1\n"
           "#endglobalconfig\n#definepages 2\n#definemusic 1\n#music 0 \"music\\intro.xm\"\n"
           "#startpage 0 \"one\"\nfirst page\n#startpage 1 \"two\"\n" +
           page2Extra + "#includeascii \"lines.txt\"\nend of two\n";
}

// lines.txt: "line 1" to "line 60", with line 9 as given.
std::string lines(const std::string& nine) {
    std::string text;
    for (int i = 1; i <= 60; ++i) text += i == 9 ? nine + "\n" : "line " + std::to_string(i) + "\n";
    return text;
}

// The 80 x 40 cells of the picture as text. Row 1 of every test glyph is all ink and pixel j of
// row 0 is ink when bit j of the code is set; a cell without ink (nothing drawn) reads as a
// space.
std::vector<std::string> screenRows(const std::vector<uint16_t>& frame) {
    std::vector<std::string> rows(40, std::string(80, ' '));
    for (int row = 0; row < 40; ++row) {
        for (int column = 0; column < 80; ++column) {
            const uint16_t* cell = frame.data() + 12 * row * 640 + 8 * column;
            const uint16_t ink = cell[640];
            if (ink == 0) continue;
            int code = 0;
            for (int j = 0; j < 8; ++j)
                if (cell[j] == ink) code |= 1 << j;
            rows[row][column] = static_cast<char>(code);
        }
    }
    return rows;
}

// A 36-column row of the box's frame in code page 437: a corner, the start (the caption),
// rules, the other corner.
std::string frameRow(char left, const std::string& start, char right) {
    std::string row(36, '\xC4');
    row.replace(1, start.size(), start);
    row.front() = left;
    row.back() = right;
    return row;
}

bool shows(const std::vector<std::string>& rows, const std::string& text) {
    return std::any_of(rows.begin(), rows.end(),
                       [&](const std::string& row) { return row.find(text) != std::string::npos; });
}

class WatchTest : public ScratchDir {
  protected:
    void SetUp() override {
        ScratchDir::SetUp();
        writeTestFont(dir());
        // The demo's songs in "Music": the script's "music\..." is found whatever the case.
        fs::copy(QVL_SOURCE_DIR "/demo/music", "Music");
        writeFile("qvl.mag", script());
        writeFile("lines.txt", lines("line 9"));
    }
    // The first 0.1 s of a module as xm2wav renders it.
    static Audio render(const std::string& module) {
        return renderModule(QVL_XM2WAV, "Music/" + module, 0.1);
    }
    void wait(uint32_t ms) { platform_.steps.push_back({Kind::wait, ms, {}}); }
    void key(int code) { platform_.steps.push_back({Kind::key, static_cast<uint32_t>(code), {}}); }
    void call(std::function<void()> action) {
        platform_.steps.push_back({Kind::call, 0, std::move(action)});
    }
    // At this point of the run, checks the picture (as text rows) under a name.
    void look(const std::string& name, std::function<void(const std::vector<std::string>&)> check) {
        call([this, name, check] {
            SCOPED_TRACE(name);
            check(screenRows(platform_.lastFrame()));
        });
    }

    HeadlessPlatform platform_;
};

// Page 2 scrolled down 72 pixels (three Down keys, 24 each): "line 7" lies under the info bar,
// row 1 shows "line 8", row 2 "line 9". Each change is given half a second, the most it may
// take. The song goes on through them all: its start is played once.
TEST_F(WatchTest, EditsShowAtTheSamePlaceAndABrokenScriptShowsItsMessageOverTheOldPage) {
    wait(100);
    key('N');
    for (int i = 0; i < 3; ++i) key(kVkDown);
    wait(100);
    look("before", [](const auto& rows) {
        EXPECT_EQ(rows[1].substr(0, 7), "line 8 ");
        EXPECT_EQ(rows[2].substr(0, 7), "line 9 ");
    });

    call([] { writeFile("lines.txt", lines("line 9 edited")); });
    wait(500);
    look("an include edited", [](const auto& rows) {
        EXPECT_EQ(rows[1].substr(0, 7), "line 8 ");
        EXPECT_EQ(rows[2].substr(0, 14), "line 9 edited ");
    });

    // Line 12 of the script becomes a tag the mark-up does not know. The box, worked out by
    // hand: the longest line is 32 wide, so 36 columns from column 22; 4 rows from row 18.
    call([] { writeFile("qvl.mag", script("<oops>\n")); });
    wait(500);
    look("the script broken", [](const auto& rows) {
        EXPECT_EQ(rows[18].substr(22, 36), frameRow('\xDA', "\xC4 morrowick ", '\xBF'));
        EXPECT_EQ(rows[19].substr(22, 36), "\xB3 error while parsing script...    \xB3");
        EXPECT_EQ(rows[20].substr(22, 36), "\xB3 in line 12 (unknown token): oops \xB3");
        EXPECT_EQ(rows[21].substr(22, 36), frameRow('\xC0', "", '\xD9'));
        EXPECT_EQ(rows[1].substr(0, 7), "line 8 ");  // the old page stays
        EXPECT_EQ(rows[2].substr(0, 14), "line 9 edited ");
    });

    call([] { writeFile("qvl.mag", script("##\n")); });  // mended, one empty line more
    wait(500);
    look("the script mended", [](const auto& rows) {
        EXPECT_FALSE(shows(rows, "morrowick"));
        EXPECT_EQ(rows[1].substr(0, 7), "line 7 ");
        EXPECT_EQ(rows[2].substr(0, 7), "line 8 ");
    });

    // An editor's save: the whole file written anew beside it and renamed over it.
    call([] {
        writeFile("lines.new", lines("line 9 renamed"));
        fs::rename("lines.new", "lines.txt");
    });
    wait(500);
    look("an include renamed over", [](const auto& rows) {
        EXPECT_EQ(rows[2].substr(0, 7), "line 8 ");
        EXPECT_EQ(rows[3].substr(0, 15), "line 9 renamed ");
    });

    ASSERT_EQ(runViewer(platform_, ViewerOptions{true}), 0);
    EXPECT_TRUE(platform_.messages().empty());
    const Audio played = platform_.playedAudio(), intro = render("intro.xm");
    const size_t first = findSongStart(played, intro, 0);
    EXPECT_NE(first, std::string::npos);
    EXPECT_EQ(findSongStart(played, intro, first + 1), std::string::npos);
}

// An include that the script names before it exists, and a font spoilt for a while: the box
// says so until the file is mended, whether or not the read that failed got to it.
TEST_F(WatchTest, AMissingIncludeOrASpoiltFontShowsUntilMended) {
    const std::string one = "#definepages 1\n#startpage 0 \"one\"\nfirst page\n";
    writeFile("qvl.mag", one);
    call([&] { writeFile("qvl.mag", one + "#includeascii \"extra.txt\"\n"); });
    wait(500);
    look("include missing", [](const auto& rows) {
        EXPECT_TRUE(shows(rows, "in line 4 (file not found): extra.txt"));
    });
    call([] { writeFile("EXTRA.TXT", "extra text\n"); });
    wait(500);
    look("include created", [](const auto& rows) {
        EXPECT_FALSE(shows(rows, "morrowick"));
        EXPECT_EQ(rows[1].substr(0, 11), "extra text ");
    });
    call([] { writeFile("data/system/font.bmp", "BM"); });
    wait(500);
    look("font spoilt", [](const auto& rows) {
        EXPECT_TRUE(shows(rows, " font file cannot be loaded! "));
        EXPECT_EQ(rows[1].substr(0, 11), "extra text ");
    });
    call([this] { writeTestFont(dir()); });
    wait(500);
    look("font mended", [](const auto& rows) { EXPECT_FALSE(shows(rows, "morrowick")); });
    ASSERT_EQ(runViewer(platform_, ViewerOptions{true}), 0);
    EXPECT_TRUE(platform_.messages().empty());
}

// The start module's file replaced by another song at 1 s: within half a second the new song
// starts, as at start-up. Without --watch the same change leaves the old song playing.
TEST_F(WatchTest, ChangingTheStartModulePlaysTheNewSong) {
    for (bool watching : {true, false}) {
        SCOPED_TRACE(watching);
        fs::copy_file(QVL_SOURCE_DIR "/demo/music/intro.xm", "Music/intro.xm",
                      fs::copy_options::overwrite_existing);
        const Audio drift = render("drift.xm"), intro = render("intro.xm");
        HeadlessPlatform platform;
        platform.steps = {{Kind::wait, 1000, {}},
                          {Kind::call, 0,
                           [] {
                               fs::copy_file("Music/drift.xm", "Music/intro.xm",
                                             fs::copy_options::overwrite_existing);
                           }},
                          {Kind::wait, 2000, {}}};
        ASSERT_EQ(runViewer(platform, ViewerOptions{watching}), 0);
        const Audio played = platform.playedAudio();
        EXPECT_LT(findSongStart(played, intro, 0), size_t{kMixRate});
        const size_t next = findSongStart(played, drift, 0);
        if (!watching) {
            EXPECT_EQ(next, std::string::npos);
            continue;
        }
        // The song starts after the change and the ring's lead of already mixed blocks.
        EXPECT_GT(next, size_t{kMixRate});
        EXPECT_LT(next, size_t{kMixRate} * 3 / 2 + waveOutputSizes(kMixRate).ringFrames +
                            3 * kFramesPerBlock);
    }
}

}  // namespace
}  // namespace qvl::testing
