// Scripts and the models they read into, as cases in data/cases.txt: the messages in order,
// then the options, key bindings, songs and every page that is not empty, its lines with their
// cells' attributes. Each case runs in a directory of its own, with its "file" sections
// written there, its "copy" folders of data/ copied there, and its "script" section as
// "qvl.mag" ("name" reads another script name).
#include "../support/case_file.h"
#include "../support/scratch_dir.h"
#include "platform/headless/headless_platform.h"
#include "script/script_reader.h"

namespace qvl {
namespace {

using testing::escape;

std::string quoted(const std::string& s) {
    return s.empty() ? "\"\"" : escape(s);
}

// Attribute runs, "fg/bg" then c (coloured), b (bold), h (highlight), u (underline), k
// (blink), and "*N" for a run of N cells.
std::string attr(const CharCell& c) {
    return std::to_string(c.fg) + "/" + std::to_string(c.bg) + (c.coloured ? "c" : "") +
           (c.bold ? "b" : "") + (c.highlight ? "h" : "") + (c.underline ? "u" : "") +
           (c.blink ? "k" : "");
}
std::string attrRuns(const std::vector<CharCell>& cells, size_t from, size_t to) {
    std::string out;
    for (size_t i = from, run = 1; i < to; i += run) {
        const std::string a = attr(cells[i]);
        for (run = 1; i + run < to && attr(cells[i + run]) == a;) ++run;
        out.append(out.empty() ? "" : " ").append(a);
        if (run > 1) out.append("*").append(std::to_string(run));
    }
    return out;
}

std::string dumpKeys(const std::vector<KeyBinding>& keys, int count, const char* indent) {
    EXPECT_EQ(size_t(count), keys.size());
    std::string out;
    for (const KeyBinding& k : keys)
        out += indent + ("key " + std::to_string(k.key)) + " " + quoted(k.command) + " " +
               quoted(k.argument) + "\n";
    return out;
}

std::string dumpModel(bool ok, const std::vector<std::string>& messages, const MagazineModel& m) {
    std::string out = ok ? "read\n" : "failed\n";
    for (const std::string& s : messages) out += "message " + escape(s) + "\n";
    char line[200];
    std::snprintf(
        line, sizeof line, "display %d fading %d fadespeed %u music %d home %d start %d pages %d\n",
        m.displayMode, m.fading, m.fadespeed, m.music, m.homePage, m.startMusic, m.pageCount);
    out += line + dumpKeys(m.globalKeys, m.globalKeyCount, "");
    EXPECT_EQ(size_t(m.musicCount), m.musicList.size());
    EXPECT_EQ(size_t(m.pageCount), m.pages.size());
    for (const MusicEntry& e : m.musicList)
        out += "song " + std::to_string(e.index) + " " + quoted(e.fileName) + "\n";
    for (size_t i = 0; i < m.pages.size(); ++i) {
        const Page& p = m.pages[i];
        if (p.name.empty() && p.cells.empty() && p.keys.empty() && p.selects.empty() &&
            p.scrollable && p.infobar && !p.isMenu)
            continue;
        std::snprintf(line, sizeof line, "page %zu lines %d scrollable %d infobar %d menu %d ", i,
                      p.lineCount, p.scrollable, p.infobar, p.isMenu);
        out += line + quoted(p.name) + "\n" + dumpKeys(p.keys, p.keyCount, "  ");
        EXPECT_EQ(size_t(p.selectCount), p.selects.size());
        for (const MenuSelect& s : p.selects) {
            std::snprintf(line, sizeof line, "  select %d %d %d %d %d %d %d ", s.line,
                          s.firstColumn, s.lastColumn, s.fg, s.bg, s.bold, s.highlight);
            out += line + quoted(s.command) + " " + quoted(s.argument) + "\n";
        }
        for (const ArtBlock& a : p.art)
            out += "  art " + std::to_string(a.firstLine) + " " + std::to_string(a.lineCount) +
                   " " + quoted(a.file) + "\n";
        for (size_t from = 0, to = 0; from < p.cells.size(); from = to) {
            std::string text;
            while (to < p.cells.size() && (to == from || p.cells[to - 1].ch != kLineEnd))
                text += char(p.cells[to++].ch);
            out += "  [" + attrRuns(p.cells, from, to) + "] " + escape(text) + "\n";
        }
    }
    return out;
}

class ScriptCases : public testing::ScratchDir {};

TEST_F(ScriptCases, ScriptsGiveTheirMessagesAndModels) {
    HeadlessPlatform platform;
    int number = 0;
    testing::checkCases(std::string(QVL_TEST_DATA) + "/cases.txt", [&](const testing::Case& c) {
        const auto base = std::filesystem::current_path() / std::to_string(number++);
        std::filesystem::create_directory(base);
        std::filesystem::current_path(base);
        MagazineModel model;
        for (const testing::CaseSection& s : c.sections) {
            if (s.kind == "file" && s.argument.back() == '/')
                std::filesystem::create_directories(s.argument);
            else if (s.kind == "file")
                writeFile(s.argument, testing::decode(s.body));
            else if (s.kind == "script")
                writeFile(kScriptName, testing::decode(s.body));
            else if (s.kind == "copy") {  // entry by entry: MinGW's copy refuses "." as target
                for (const auto& entry : std::filesystem::directory_iterator(
                         std::string(QVL_TEST_DATA) + "/" + s.argument))
                    std::filesystem::copy(entry.path(), entry.path().filename(),
                                          std::filesystem::copy_options::recursive);
            } else if (s.kind == "name")
                model.scriptName = s.argument;
        }
        const size_t before = platform.messages().size();
        const bool ok = readScript(model, platform, platform);
        const auto messages = platform.messages();
        std::filesystem::current_path(base.parent_path());
        return dumpModel(ok, {messages.begin() + std::ptrdiff_t(before), messages.end()}, model);
    });
}

}  // namespace
}  // namespace qvl
