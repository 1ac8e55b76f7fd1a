// Keys, commands and fades, as cases in key_cases.txt: a script, then keys, commands and
// frames at set times, each followed by the view state expected after it. The file's head
// says how it reads.
#include <fstream>
#include <iomanip>
#include <sstream>

#include "magazine_harness.h"

namespace qvl::testing {
namespace {

class KeyTest : public MagazineHarness {
  protected:
    // The view state a case names; null for a name it does not know.
    std::atomic<int32_t>* field(const std::string& name) {
        ViewState& v = view();
        const std::pair<const char*, std::atomic<int32_t>*> fields[] = {
            {"page", &v.currentPage},      {"last", &v.lastPage},
            {"target", &v.targetPage},     {"scroll", &v.scrollY},
            {"level", &v.fadeLevel},       {"sel", v.selections.data()},
            {"startmusic", &v.startMusic}, {"running", &v.renderRunning}};
        for (auto [known, f] : fields)
            if (name == known) return f;
        return nullptr;
    }
    // Checks one NAME=V against the view state, the picture, or the step's result.
    void check(const std::string& name, int expected, int result) {
        if (name == "fade")
            EXPECT_EQ(view().fadeActive, expected != 0);
        else if (name == "music")
            EXPECT_EQ(view().music, expected);
        else if (name == "white")
            EXPECT_EQ(cellAt(0, 0).ink, textColour(7, expected));
        else if (name == "handled")
            EXPECT_EQ(result, expected);
        else if (field(name))
            EXPECT_EQ(*field(name), expected) << name;
        else
            ADD_FAILURE() << "unknown check " << name;
    }
};

TEST_F(KeyTest, CasesFromTheCaseFile) {
    std::ifstream in(QVL_SOURCE_DIR "/tests/runtime/key_cases.txt");
    ASSERT_TRUE(in);
    std::string line, name, script;
    bool started = false;
    uint64_t base = 0;  // the clock at the case's start
    int cases = 0;
    for (int number = 1; std::getline(in, line); ++number) {
        std::istringstream words(line);
        std::string step, word;
        words >> step;
        if (step == "case") {
            name = line.substr(5), script.clear(), started = false, ++cases;
        } else if (step == "|") {
            script += line.substr(2) + "\n";
        } else if (step == "lines") {
            int count = 0;
            words >> count >> word;
            for (int i = 0; i < count; ++i) script += word + "\n";
        } else if (!step.empty() && step != "--") {
            SCOPED_TRACE(name + " (line " + std::to_string(number) + ")");
            if (!started) {
                ASSERT_TRUE(start(script));
                base = platform_.tickCount(), started = true;
            }
            int result = -1;
            if (step == "key") {
                words >> word;
                result = app_->handleKey(word.size() == 1 ? word[0] : std::stoi(word));
            } else if (step == "run") {
                std::string argument;
                words >> std::quoted(word) >> std::quoted(argument);
                result = app_->runCommand(word, argument);
            } else if (step == "clock" || step == "frame") {
                uint64_t ms = 0;
                words >> ms;
                step == "clock" ? platform_.setClock(base + ms) : (void)frameAt(base + ms);
            }
            while (words >> word) {
                const size_t eq = word.find('=');
                if (word == "handled" || word == "ignored")
                    check("handled", word == "handled", result);
                else if (step == "set" && field(word.substr(0, eq)))
                    *field(word.substr(0, eq)) = std::stoi(word.substr(eq + 1));
                else if (eq != std::string::npos)
                    check(word.substr(0, eq), std::stoi(word.substr(eq + 1)), result);
                else
                    ADD_FAILURE() << "cannot read " << word;
            }
        }
    }
    EXPECT_EQ(cases, 15);
}

}  // namespace
}  // namespace qvl::testing
