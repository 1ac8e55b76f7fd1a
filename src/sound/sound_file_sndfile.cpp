// Sound files through libsndfile: WAV as 16-bit PCM (a 44-byte header, as our own writer
// made), FLAC at 16 bits, Ogg Vorbis at the library's default quality.
#include <sndfile.h>

#include "sound/sound_file.h"

namespace qvl {

const char* const kSoundFileEndings = ".wav, .flac or .ogg";

struct SoundFileWriter::Impl {
    SNDFILE* file = nullptr;
    bool failed = false;
};

bool SoundFileWriter::canWrite(SoundFormat format) {
    return format != SoundFormat::unknown;
}

SoundFileWriter::SoundFileWriter() : impl_(std::make_unique<Impl>()) {}

SoundFileWriter::~SoundFileWriter() {
    if (impl_->file) sf_close(impl_->file);
}

bool SoundFileWriter::open(const char* name, SoundFormat format, int rate) {
    SF_INFO info{};
    info.samplerate = rate;
    info.channels = 2;
    switch (format) {
        case SoundFormat::wav:
            info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
            break;
        case SoundFormat::flac:
            info.format = SF_FORMAT_FLAC | SF_FORMAT_PCM_16;
            break;
        case SoundFormat::ogg:
            info.format = SF_FORMAT_OGG | SF_FORMAT_VORBIS;
            break;
        case SoundFormat::unknown:
            return false;
    }
    impl_->file = sf_open(name, SFM_WRITE, &info);
    impl_->failed = false;
    return impl_->file != nullptr;
}

bool SoundFileWriter::write(const int16_t* frames, int count) {
    if (!impl_->file) return false;
    if (count > 0 && sf_writef_short(impl_->file, frames, count) != count) impl_->failed = true;
    return !impl_->failed;
}

bool SoundFileWriter::finish() {
    if (!impl_->file) return false;
    const bool closed = sf_close(impl_->file) == 0;
    impl_->file = nullptr;
    return closed && !impl_->failed;
}

}  // namespace qvl
