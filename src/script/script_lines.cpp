// The text-mode line reader over a file read whole into memory: the translation of line ends
// happens before a piece is counted, as a text-mode read would do it.
#include "script/script_lines.h"

#include "text/file_bytes.h"

namespace qvl {

bool TextLineReader::open(std::string_view windowsName) {
    if (!readFileBytes(windowsName, data_)) return false;
    const size_t eof = data_.find('\x1a');  // Ctrl-Z ends a text file
    if (eof != std::string::npos) data_.resize(eof);
    at_ = 0;
    return true;
}

bool TextLineReader::next(std::string& piece, size_t pieceSize) {
    piece.clear();
    while (at_ < data_.size() && piece.size() < pieceSize) {
        const char c = data_[at_++];
        if (c == '\r' && at_ < data_.size() && data_[at_] == '\n') continue;
        piece += c;
        if (c == '\n') break;
    }
    return !piece.empty();
}

}  // namespace qvl
