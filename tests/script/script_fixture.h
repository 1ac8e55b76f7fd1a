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
    std::vector<std::string> messages() const { return platform.messages(); }

    HeadlessPlatform platform;
    MagazineModel model;
};

}  // namespace qvl::testing
