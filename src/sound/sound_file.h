// Sound files of 16-bit stereo frames, in the format the file name's ending names. libsndfile
// writes them (sound_file_sndfile.cpp); the Windows build keeps our own WAV writer and writes
// WAV only (sound_file_wav.cpp).
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>

namespace qvl {

enum class SoundFormat { unknown, wav, flac, ogg };  // ogg: Ogg Vorbis

// The format a name's ending (".wav", ".flac", ".ogg", any letter case) names.
SoundFormat soundFormatOf(std::string_view fileName);

// The endings this build writes, for messages: ".wav, .flac or .ogg".
extern const char* const kSoundFileEndings;

class SoundFileWriter {
  public:
    SoundFileWriter();
    ~SoundFileWriter();
    SoundFileWriter(const SoundFileWriter&) = delete;
    SoundFileWriter& operator=(const SoundFileWriter&) = delete;

    // This build writes the format.
    static bool canWrite(SoundFormat format);
    // Creates the file; false when the format is one this build cannot write or the file
    // cannot be created.
    bool open(const char* name, SoundFormat format, int rate);
    // Appends count interleaved stereo frames.
    bool write(const int16_t* frames, int count);
    // Completes and closes the file; false if any write failed.
    bool finish();

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace qvl
