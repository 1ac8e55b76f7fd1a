// One problem as a line of the report.
#include "check/diagnostics.h"

namespace qvl {

std::string formatDiagnostic(const Diagnostic& d) {
    std::string out = d.file;
    for (int32_t at : {d.line, d.line > 0 ? d.column : 0}) {
        if (at <= 0) continue;
        out += ':';
        out += std::to_string(at);
    }
    out += d.severity == Severity::error ? ": error: " : ": warning: ";
    return out + d.text;
}

}  // namespace qvl
