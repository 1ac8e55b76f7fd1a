// Little-endian RIFF/WAVE header and sample data.
#include "sound/wav_writer.h"

#include "platform/sound_frame.h"

namespace qvl {

namespace {

constexpr int kChunkFrames = 1024;  // frames converted per write

void put16(uint8_t*& p, uint32_t v) {
    *p++ = static_cast<uint8_t>(v);
    *p++ = static_cast<uint8_t>(v >> 8);
}

void put32(uint8_t*& p, uint32_t v) {
    put16(p, v & 0xFFFF);
    put16(p, v >> 16);
}

void putTag(uint8_t*& p, const char* tag) {
    for (int i = 0; i < 4; ++i) *p++ = static_cast<uint8_t>(tag[i]);
}

}  // namespace

bool WavWriter::open(const char* name, int rate) {
    file_ = std::fopen(name, "wb");
    rate_ = rate;
    frames_ = 0;
    return file_ && writeHeader();
}

bool WavWriter::writeHeader() {
    uint8_t header[44];
    uint8_t* p = header;
    const uint32_t dataBytes = frames_ * kSoundFrameBytes;
    putTag(p, "RIFF");
    put32(p, 36 + dataBytes);
    putTag(p, "WAVE");
    putTag(p, "fmt ");
    put32(p, 16);
    put16(p, 1);  // PCM
    put16(p, 2);  // stereo
    put32(p, static_cast<uint32_t>(rate_));
    put32(p, static_cast<uint32_t>(rate_) * kSoundFrameBytes);
    put16(p, kSoundFrameBytes);
    put16(p, 16);
    putTag(p, "data");
    put32(p, dataBytes);
    return std::fwrite(header, 1, sizeof header, file_) == sizeof header;
}

bool WavWriter::write(const int16_t* frames, int count) {
    if (!file_ || count <= 0) return file_ != nullptr;
    uint8_t buffer[kChunkFrames * kSoundFrameBytes];
    int at = 0;
    while (at < count) {
        const int n = count - at < kChunkFrames ? count - at : kChunkFrames;
        uint8_t* p = buffer;
        for (int i = 0; i < 2 * n; ++i) put16(p, static_cast<uint16_t>(frames[2 * at + i]));
        if (std::fwrite(buffer, 1, kSoundFrameBytes * static_cast<size_t>(n), file_) !=
            kSoundFrameBytes * static_cast<size_t>(n)) {
            failed_ = true;
        }
        at += n;
    }
    frames_ += static_cast<uint32_t>(count);
    return !failed_;
}

bool WavWriter::finish() {
    if (!file_) return false;
    const bool ok = std::fseek(file_, 0, SEEK_SET) == 0 && writeHeader() && !failed_;
    const bool closed = std::fclose(file_) == 0;
    file_ = nullptr;
    return ok && closed;
}

WavWriter::~WavWriter() {
    if (file_) std::fclose(file_);
}

}  // namespace qvl
