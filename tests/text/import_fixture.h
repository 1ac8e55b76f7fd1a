// The fixture of the import tests: import bytes written to a scratch file, read back cells.
#pragma once

#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

#include "../support/scratch_dir.h"
#include "platform/headless/headless_platform.h"
#include "text/text_import.h"

namespace qvl::testing {

class ImportFixture : public ScratchDir {
  protected:
    // Imports bytes through a file; false when the import fails.
    bool import(std::string_view bytes) {
        writeFile("art.ans", bytes);
        return importTextFile("art.ans", platform, result);
    }
    const CharCell& cell(int row, int column) const {
        return result.cells.at(size_t(row) * kCellsPerLine + size_t(column));
    }
    // The characters of a row up to its last non-blank one.
    std::string rowText(int row) const {
        std::string text;
        for (int c = 0; c < kCellsPerLine; ++c) text += char(cell(row, c).ch);
        return text.substr(0, text.find_last_not_of(' ') + 1);
    }

    // A cell's colours and flags as text: "fg/bg" then b (bold), u (underline), k (blink).
    std::string attrs(int row, int column) const {
        const CharCell& c = cell(row, column);
        return std::to_string(c.fg) + "/" + std::to_string(c.bg) + (c.bold ? " b" : "") +
               (c.underline ? " u" : "") + (c.blink ? " k" : "");
    }

    // "row column character attrs", the form the import tables list cells in.
    std::string describe(int row, int column) const {
        return std::to_string(row) + " " + std::to_string(column) + " " +
               char(cell(row, column).ch) + " " + attrs(row, column);
    }

    HeadlessPlatform platform;
    TextImport result;
};

}  // namespace qvl::testing
