// What a script reading passes over without a word, told to whoever watches it: a check turns
// each into a warning, and wants the reading to go on past a failing line. The viewer reads
// with no observer and stops at its first failing line.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "text/text_import.h"

namespace qvl {

class ReadObserver {
  public:
    // A define's slot or index lies outside the list it fills (of size entries): the line at
    // column does nothing.
    virtual void outsideList(int32_t line, int32_t column, std::string_view what, int32_t index,
                             size_t size) = 0;
    // "#key" bound the key named name as code.
    virtual void keyBound(int32_t line, std::string_view name, uint8_t code) = 0;
    // A line of page text as drawn, tags left out: line of file (a resolved path), shown its
    // characters; cutColumn is where the first character past the drawn columns stands in the
    // file (0 when there is none).
    virtual void pageLine(const std::string& file, int32_t line, int32_t cutColumn,
                          std::string_view shown) = 0;
    // An ANSI include (file a resolved path) was imported, or failed to be (imported false);
    // onPage when its block goes onto a page.
    virtual void ansiIncluded(const std::string& file, const TextImport& block, bool imported,
                              bool onPage) = 0;
    // Line failed after its messages were shown; the reading goes on with the next line.
    virtual void lineFailed(int32_t line) = 0;

  protected:
    ~ReadObserver() = default;
};

}  // namespace qvl
