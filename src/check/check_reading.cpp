// What a check makes of the reading's notes: the warnings on lines that do nothing, key names
// that are none, text cut at the drawn columns, ignored escapes, and each failing line's error
// at the place that made it.
#include "check/check_reading.h"

#include <algorithm>
#include <string>
#include <utility>

#include "platform/message_sink.h"
#include "script/read_observer.h"
#include "script/script_reader.h"

namespace qvl {

namespace {

constexpr size_t kShownColumns = 80;  // the columns of a page line that are drawn

class ReadingCheck final : public ReadObserver {
  public:
    ReadingCheck(const MagazineModel& model, Diagnostics& out) : model_(model), out_(out) {}

    KeptMessages messages;

    void outsideList(int32_t line, int32_t column, std::string_view what, int32_t index,
                     size_t size) override {
        warn(model_.scriptName, line, column,
             std::string(what) + " " + std::to_string(index) + " lies outside the list of " +
                 std::to_string(size) + ": the line does nothing");
    }

    void keyBound(int32_t line, std::string_view name, uint8_t code) override {
        // Every known name has a code other than its first character's.
        if (name.size() <= 1 || code != uint8_t(name[0])) return;
        std::string text = "\"";
        text.append(name).append("\" is no key name: the binding is on its first character, \"");
        text.append(1, name[0]).append("\"");
        warn(model_.scriptName, line, 0, std::move(text));
    }

    void pageLine(const std::string& file, int32_t line, int32_t cutColumn,
                  std::string_view shown) override {
        if (shown.size() <= kShownColumns) return;
        const std::string width = std::to_string(shown.size());
        warn(file, line, cutColumn,
             "text line is " + width + " columns wide; columns 81-" + width + " are cut: \"" +
                 std::string(shown.substr(kShownColumns)) + "\"");
    }

    void ansiIncluded(const std::string& file, const TextImport& block, bool imported,
                      bool onPage) override {
        const TextPassReport& report = block.report;
        if (report.unfinishedLine > 0)
            errorPlace_ = {file, report.unfinishedLine, 0, Severity::error, {}};
        if (!imported) return;
        if (report.ignoredEscapes > 0)
            warn(file, report.firstIgnoredLine, 0,
                 std::to_string(report.ignoredEscapes) +
                     (report.ignoredEscapes == 1 ? " escape sequence of this file is ignored"
                                                 : " escape sequences of this file are ignored") +
                     ", the first on this line");
        if (onPage) column80(file, block);
    }

    void lineFailed(int32_t line) override {
        Diagnostic error = std::exchange(errorPlace_, {});
        if (error.file.empty()) error = {model_.scriptName, line, 0, {}, {}};
        error.severity = Severity::error;
        // The messages of the line as one line of text, newlines as spaces.
        error.text = std::exchange(messages.text, {});
        std::replace(error.text.begin(), error.text.end(), '\n', ' ');
        out_.push_back(std::move(error));
    }

  private:
    void warn(const std::string& file, int32_t line, int32_t column, std::string text) {
        out_.push_back({file, line, column, Severity::warning, std::move(text)});
    }

    // Rows of an ANSI include with a character in column 80, which is dropped. A plain text
    // file's rows are its lines; an ANSI file's rows are where its cursor put the text.
    void column80(const std::string& file, const TextImport& block) {
        int32_t rows = 0, first = 0;
        for (int32_t row = 0; row < block.lineCount; ++row) {
            const uint8_t ch = block.cells[size_t(row) * kCellsPerLine + kLastColumn].ch;
            if (ch == ' ' || ch == 0) continue;
            if (rows++ == 0) first = row + 1;
        }
        if (rows == 0) return;
        const std::string row = std::to_string(first);
        warn(file, block.isAnsi ? 0 : first, 0,
             std::to_string(rows) + (rows == 1 ? " row has" : " rows have") +
                 " a character in column 80, which is cut (the first: row " + row + ", \"" +
                 char(block.cells[size_t(first - 1) * kCellsPerLine + kLastColumn].ch) + "\")");
    }

    const MagazineModel& model_;
    Diagnostics& out_;
    // Where the failing line's error lies when that is not the line itself (inside an include).
    Diagnostic errorPlace_;
};

}  // namespace

bool readScript(MagazineModel& model, Diagnostics& diagnostics, Beeper& beeper) {
    ReadingCheck check(model, diagnostics);
    return readScript(model, check.messages, beeper, &check);
}

}  // namespace qvl
