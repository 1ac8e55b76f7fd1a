// Sound files on Windows: our own WAV writer, for .wav names only.
#include "sound/sound_file.h"
#include "sound/wav_writer.h"

namespace qvl {

const char* const kSoundFileEndings = ".wav";

struct SoundFileWriter::Impl {
    WavWriter wav;
};

bool SoundFileWriter::canWrite(SoundFormat format) {
    return format == SoundFormat::wav;
}

SoundFileWriter::SoundFileWriter() : impl_(std::make_unique<Impl>()) {}

SoundFileWriter::~SoundFileWriter() = default;

bool SoundFileWriter::open(const char* name, SoundFormat format, int rate) {
    return format == SoundFormat::wav && impl_->wav.open(name, rate);
}

bool SoundFileWriter::write(const int16_t* frames, int count) {
    return impl_->wav.write(frames, count);
}

bool SoundFileWriter::finish() {
    return impl_->wav.finish();
}

}  // namespace qvl
