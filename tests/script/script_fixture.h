// The fixture of the script tests: a scratch working directory, a script written into it as
// "qvl.mag", the model it reads into and the messages the headless platform recorded.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include "../support/scratch_dir.h"
#include "platform/headless/headless_platform.h"
#include "script/magazine_model.h"
#include "script/script_reader.h"

namespace qvl::testing {

class ScriptFixture : public ScratchDir {
  protected:
    // Writes the script and reads it into a fresh model.
    bool read(std::string_view script) {
        writeFile(kScriptName, script);
        model = MagazineModel{};
        return readScript(model, platform, platform);
    }
    // The characters of a page's cells, line ends included.
    std::string text(int page) const {
        std::string s;
        for (const CharCell& c : model.pages.at(size_t(page)).cells) s += char(c.ch);
        return s;
    }
    const CharCell& cell(int page, size_t index) const {
        return model.pages.at(size_t(page)).cells.at(index);
    }
    // Page cells' attributes, one string a cell: "fg/bg" then c (coloured), b (bold),
    // h (highlight), u (underline), k (blink).
    std::vector<std::string> attrs(int page) const {
        std::vector<std::string> out;
        for (const CharCell& c : model.pages.at(size_t(page)).cells)
            out.push_back(std::to_string(c.fg) + "/" + std::to_string(c.bg) +
                          (c.coloured ? " c" : "") + (c.bold ? " b" : "") +
                          (c.highlight ? " h" : "") + (c.underline ? " u" : "") +
                          (c.blink ? " k" : ""));
        return out;
    }
    std::vector<std::string> messages() const { return platform.messages(); }
    // Key bindings as "key command argument", menu entries as "line first last fg bg bold
    // highlight command argument": whole arrays compare at once.
    static std::vector<std::string> keys(const std::vector<KeyBinding>& list) {
        std::vector<std::string> out;
        for (const KeyBinding& k : list)
            out.push_back(std::to_string(k.key) + " " + k.command + " " + k.argument);
        return out;
    }
    static std::vector<std::string> selects(const Page& page) {
        std::vector<std::string> out;
        for (const MenuSelect& s : page.selects) {
            std::string row;
            for (int v :
                 {s.line, s.firstColumn, s.lastColumn, s.fg, s.bg, int(s.bold), int(s.highlight)})
                row += std::to_string(v) + " ";
            out.push_back(row + s.command + " " + s.argument);
        }
        return out;
    }

    HeadlessPlatform platform;
    MagazineModel model;
};

}  // namespace qvl::testing
