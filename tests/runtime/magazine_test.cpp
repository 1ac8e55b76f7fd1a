// The magazine on the headless backend, drawn frame by frame on a clock the test sets, with a
// test font whose glyphs read back from the picture (support/test_font.h). Keys, the mouse,
// commands, fades and drawing are cases in magazine_cases.txt, whose head says how it reads; the
// start-up and the pictures of missing pages are tested here.
#include <gtest/gtest.h>

#include <array>
#include <iomanip>
#include <memory>
#include <optional>
#include <sstream>

#include "../support/case_file.h"
#include "../support/scratch_dir.h"
#include "../support/test_font.h"
#include "platform/headless/headless_platform.h"
#include "platform/rgb565.h"
#include "runtime/magazine_app.h"
#include "xmwrite/xm_writer.h"

namespace qvl::testing {
namespace {

// The font's normal white at fade level k: each component 2k, worked out from the colour rules
// rather than taken from the font's table.
int whiteAt(int k) {
    return static_cast<int>(packRgb565(2 * k, 2 * k, 2 * k));
}

class MagazineTest : public ScratchDir {
  protected:
    void SetUp() override {
        ScratchDir::SetUp();
        writeTestFont(dir());
        platform_.freeRunning = true;
    }
    // Writes the script and starts the magazine.
    bool start(const std::string& script) {
        writeFile(kScriptName, script);
        app_.reset();
        view_ = std::make_unique<ViewState>();
        app_ = std::make_unique<MagazineApp>(
            MagazineServices{platform_, platform_, platform_, platform_}, platform_, *view_);
        bool ok = app_->init(kScriptName, frameBuffer_.data());
        view_->startTick = 0;
        return ok;
    }
    void frameAt(uint64_t ms) {
        platform_.setClock(ms);
        app_->frame();
        picture_ = platform_.lastFrame();
    }
    uint16_t pixel(int x, int y) const {
        return picture_.empty() ? 0 : picture_[y * kFrameWidth + x];
    }
    // A cell's ink is its pixel (0, 1), its paper (0, 11); the code's bit j is set when pixel
    // (j, 0) is ink.
    std::array<int, 3> cellAt(int column, int row) const {
        const int x = kCellWidth * column, y = kCellHeight * row;
        std::array<int, 3> codeInkPaper{0, pixel(x, y + 1), pixel(x, y + 11)};
        for (int j = 0; j < 8; ++j)
            if (pixel(x + j, y) == codeInkPaper[1]) codeInkPaper[0] |= 1 << j;
        return codeInkPaper;
    }
    std::string rowText(int row, int from, int count) const {
        std::string text;
        for (int c = from; c < from + count; ++c) text += static_cast<char>(cellAt(c, row)[0]);
        return text;
    }
    // The scroll bar's row whose cell shows the thumb (pixel 1 of row 0 of code 178 is ink,
    // which the track's code 176 lacks); -1 when no row between the two ends does, -2 for two.
    int thumbRow() const {
        int found = -1;
        for (int row = 1; row <= 38; ++row)
            if (pixel(632 + 1, kCellHeight * row) == 0xFFFF) found = found == -1 ? row : -2;
        return found;
    }
    // One step of a case and the checks on its line; base is the clock at the case's start.
    void step(const std::string& line, uint64_t base) {
        std::istringstream words(line);
        std::string step, word;
        words >> step;
        int result = -1, row = 0, column = 0, notches = 0;
        uint64_t ms = 0;
        if (step == "key") {
            words >> word;
            result = app_->handleKey(word.size() == 1 ? word[0] : std::stoi(word));
        } else if (step == "press" && words >> column >> row) {
            result = app_->pointerPressed(column, row);
        } else if (step == "wheel" && words >> notches) {
            result = app_->wheelTurned(notches);
        } else if (step == "drag" && words >> notches) {
            result = app_->dragScrolled(notches);
        } else if (step == "keys" && words >> std::quoted(word)) {
            std::string offered;
            for (const PageKey& key : app_->pageKeys())
                offered +=
                    (offered.empty() ? "" : ",") + std::to_string(key.virtualKey) + ' ' + key.name;
            EXPECT_EQ(offered, word);
        } else if (step == "run") {
            std::string argument;
            words >> std::quoted(word) >> std::quoted(argument);
            result = app_->runCommand(word, argument);
        } else if (step == "clock" && words >> ms) {
            platform_.setClock(base + ms);
        } else if (step == "frame" && words >> ms) {
            frameAt(base + ms);
        } else if (step == "text" && words >> row >> column >> std::quoted(word)) {
            EXPECT_EQ(rowText(row, column, static_cast<int>(word.size())), word);
        } else if (step == "cell") {
            words >> column_ >> row_;
        } else if (step != "set" && step != "check") {
            ADD_FAILURE() << "cannot read " << line;
        }
        while (words >> word) {
            const size_t eq = word.find('=');
            const std::string key = word.substr(0, eq);
            const int value =
                eq == std::string::npos ? 0 : std::stoi(word.substr(eq + 1), nullptr, 0);
            if (word == "handled" || word == "ignored")
                EXPECT_EQ(result, word == "handled");
            else if (step == "set" && field(key))
                *field(key) = value;
            else if (auto shown = seen(key, result); shown && eq != std::string::npos)
                EXPECT_EQ(*shown, key == "white" ? whiteAt(value) : value) << key;
            else
                ADD_FAILURE() << "cannot read " << word;
        }
    }

    // The view state a case names; null for a name it does not know.
    std::atomic<int32_t>* field(const std::string& name) {
        ViewState& v = *view_;
        const std::pair<const char*, std::atomic<int32_t>*> fields[] = {
            {"page", &v.currentPage},      {"last", &v.lastPage},
            {"target", &v.targetPage},     {"scroll", &v.scrollY},
            {"level", &v.fadeLevel},       {"sel", v.selections.data()},
            {"startmusic", &v.startMusic}, {"running", &v.renderRunning}};
        for (auto [known, f] : fields)
            if (name == known) return f;
        return nullptr;
    }
    // The value a check NAME=V of a case looks at, if it knows the name; result is what the
    // step's key or command returned.
    std::optional<int> seen(const std::string& name, int result) {
        if (std::atomic<int32_t>* f = field(name)) return f->load();
        const std::array<int, 3> cell = cellAt(column_, row_);
        const std::pair<const char*, int> values[] = {
            {"code", cell[0]},          {"ink", cell[1]},      {"paper", cell[2]},
            {"white", cellAt(0, 0)[1]}, {"thumb", thumbRow()}, {"fade", view_->fadeActive},
            {"music", view_->music},    {"handled", result}};
        for (auto [known, value] : values)
            if (name == known) return value;
        return std::nullopt;
    }

    HeadlessPlatform platform_;
    std::vector<uint16_t> frameBuffer_ = std::vector<uint16_t>(kFramePixels);
    std::unique_ptr<ViewState> view_;
    std::unique_ptr<MagazineApp> app_;
    std::vector<uint16_t> picture_;
    int column_ = 0, row_ = 0;  // the cell chosen by a "cell" step
};

TEST_F(MagazineTest, CasesFromTheCaseFile) {
    const std::vector<Case> cases = readCases(QVL_SOURCE_DIR "/tests/runtime/magazine_cases.txt");
    EXPECT_EQ(cases.size(), 27u);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string script, steps;
        for (const CaseSection& s : c.sections) {
            const size_t space = s.argument.find(' ');
            if (s.kind == "script") script += decode(s.body);
            for (int i = 0; s.kind == "lines" && i < std::stoi(s.argument); ++i)
                script += s.argument.substr(space + 1) + std::to_string(i) + "\n";
            if (s.kind == "steps") steps += s.body;
        }
        ASSERT_TRUE(start(script));
        const uint64_t base = platform_.tickCount();
        std::istringstream lines(steps);
        for (std::string line; std::getline(lines, line);) {
            SCOPED_TRACE(line);
            if (!line.empty() && !line.starts_with("--")) step(line, base);
        }
    }
}

TEST_F(MagazineTest, MissingPagesShowABlackPictureAndEmptyMagazinesRun) {
    ASSERT_TRUE(start("#definepages 1\n#startpage 0 \"x\"\ntext\n"));
    view_->currentPage = 7;
    frameAt(0);
    EXPECT_EQ(std::count(picture_.begin(), picture_.end(), 0), kFramePixels);
    ASSERT_TRUE(start("// nothing at all\n"));
    frameAt(0);
    EXPECT_EQ(std::count(picture_.begin(), picture_.end(), 0), kFramePixels);
    for (int key : {13, 32, 33, 34, 35, 36, 38, 40, 65}) EXPECT_FALSE(app_->handleKey(key));
    EXPECT_TRUE(app_->runCommand("jump", "0"));
    EXPECT_EQ(view_->currentPage, 0);
}

// The font is found whatever the letter case of its path; a script error gives the reader's
// message and then ours; a missing, broken or too small font is refused.
TEST_F(MagazineTest, StartUpFindsTheFontAndRefusesBadFiles) {
    namespace fs = std::filesystem;
    EXPECT_FALSE(start("#definepages 1\n#startpage 0 x\n<bogus>\n"));
    fs::rename(dir() / "data", dir() / "Data");
    fs::rename(dir() / "Data" / "system" / "font.bmp", dir() / "Data" / "system" / "FONT.BMP");
    EXPECT_TRUE(start("#definepages 1\n"));
    fs::remove(dir() / "Data" / "system" / "FONT.BMP");
    EXPECT_FALSE(start("#definepages 1\n"));
    const std::vector<uint8_t> small =
        makeBmp({64, 64}, std::vector<std::vector<uint8_t>>(64, std::vector<uint8_t>(64)));
    for (std::string bytes :
         {std::string("BM not really a bitmap"), std::string(small.begin(), small.end())}) {
        writeFile("Data/system/font.bmp", bytes);
        EXPECT_FALSE(start("#definepages 1\n"));
    }
    const std::string font = "font file cannot be loaded! terminating...";
    EXPECT_EQ(
        platform_.messages(),
        (std::vector<std::string>{"error while parsing script...\nin line 3 (unknown token): bogus",
                                  "script could not be loaded! terminating...", font, font, font}));
}

// A module that does not load is named, with the reason, in one line for standard error and
// in no message box; one that loads adds nothing. Each "nextmusic" ends the pause before it at
// once; the last one's song is loaded 200 ms later, when the render side asks the main side
// (once) to take it.
TEST_F(MagazineTest, ModulesThatDoNotLoadAreNotedOnceEach) {
    writeFile("music/bad.xm", "Extended Mod");
    writeFile("music/good.xm", buildXm(XmModule{}));
    ASSERT_TRUE(
        start("#definemusic 3\n#music 0 music\\bad.xm\n#music 1 gone.xm\n"
              "#music 2 music\\good.xm\n"));
    EXPECT_TRUE(app_->runCommand("nextmusic", ""));
    EXPECT_TRUE(app_->runCommand("nextmusic", ""));
    EXPECT_EQ(platform_.notes(),
              (std::vector<std::string>{"module music\\bad.xm not loaded: cut short at byte 12",
                                        "module gone.xm not loaded: cannot be opened"}));
    EXPECT_TRUE(platform_.messages().empty());
    writeFile("music/bad.xm", "a text file, longer than the signature");
    EXPECT_TRUE(app_->runCommand("nextmusic", ""));
    platform_.setClock(199);
    EXPECT_FALSE(app_->prepareFrame());
    app_->takeHandOver();
    EXPECT_EQ(platform_.notes().size(), 2u);
    platform_.setClock(200);
    EXPECT_TRUE(app_->prepareFrame());
    EXPECT_FALSE(app_->prepareFrame());
    EXPECT_EQ(platform_.notes().size(), 2u);
    app_->takeHandOver();
    EXPECT_EQ(platform_.notes().back(), "module music\\bad.xm not loaded: not an XM module");
    EXPECT_FALSE(app_->prepareFrame());
}

}  // namespace
}  // namespace qvl::testing
