// A 16-bit stereo PCM WAV file written as a stream: the header first, with its sizes
// filled in when the file is finished.
#pragma once

#include <cstdint>
#include <cstdio>

namespace qvl {

class WavWriter {
  public:
    bool open(const char* name, int rate);
    bool write(const int16_t* frames, int count);
    bool finish();  // fills in the sizes and closes; false if any write failed
    ~WavWriter();

  private:
    std::FILE* file_ = nullptr;
    uint32_t frames_ = 0;
    int rate_ = 0;
    bool failed_ = false;
    bool writeHeader();
};

}  // namespace qvl
