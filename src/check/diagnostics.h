// Problems a check of the magazine reports, each with the file and line that hold it, in the
// form editors read: "FILE:LINE:COLUMN: warning: TEXT". The viewer reads without a list and
// stops at its first error; a check reads with one and goes on wherever the rest still reads.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace qvl {

enum class Severity : uint8_t { error, warning };

struct Diagnostic {
    std::string file;    // the script or the included file that holds the line
    int32_t line = 0;    // counting from 1; 0 for the file as a whole
    int32_t column = 0;  // counting from 1; 0 where no column means anything
    Severity severity = Severity::warning;
    std::string text;
};

using Diagnostics = std::vector<Diagnostic>;

// "FILE:LINE:COLUMN: error: TEXT", leaving out a line or column of 0.
std::string formatDiagnostic(const Diagnostic& d);

}  // namespace qvl
