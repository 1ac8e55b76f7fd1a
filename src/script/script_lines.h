// Line reading in text mode, as the script and its ASCII includes are read: a carriage return
// right before a line feed is dropped, byte 26 ends the file, and a line longer than the
// piece size comes out as several pieces.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace qvl {

inline constexpr size_t kScriptPieceSize = 2047;   // characters of one script line
inline constexpr size_t kIncludePieceSize = 1023;  // characters of one line of an ASCII include

class TextLineReader {
  public:
    // Reads the whole file (a Windows-style name, found through the path lookup). False when
    // it cannot be opened.
    bool open(std::string_view windowsName);
    // The next piece of at most pieceSize characters, its line feed included when it has one.
    // False at the end of the file.
    bool next(std::string& piece, size_t pieceSize);
    // The characters the file holds (up to its Ctrl-Z), all pieces together.
    size_t size() const { return data_.size(); }

  private:
    std::string data_;
    size_t at_ = 0;
};

}  // namespace qvl
