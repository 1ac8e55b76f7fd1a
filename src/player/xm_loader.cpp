// Reading an XM module field by field: header, order table, packed patterns, instruments
// with envelopes, and delta-encoded samples widened to 16 bits with a guard frame.
#include "player/xm_loader.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "player/context.h"
#include "player/replay.h"
#include "player/xm_reader.h"

namespace qvl {

namespace {

constexpr char signature[] = "Extended Module: ";
constexpr int signatureLength = 17;
constexpr int headerFieldsAt = 60;
constexpr int emptyPatternRows = 64;
constexpr uint32_t lengthFieldSize = 4;  // a pattern header's first field, its length
constexpr uint32_t usualSampleHeaderSize = 40;
constexpr size_t sampleReadChunk = 1 << 16;

XmLoadResult refused(XmRefusal refusal, int64_t value = 0, int32_t index = 0) {
    return {refusal, value, index};
}

XmLoadResult cutShort(const XmReader& reader) {
    return refused(XmRefusal::cutShort, reader.truncatedAt);
}

XmLoadResult readSignature(XmReader& reader) {
    reader.seek(0);
    char text[signatureLength];
    reader.readBytes(text, signatureLength);
    if (std::memcmp(text, signature, signatureLength) == 0) return {};
    return reader.truncated ? cutShort(reader) : refused(XmRefusal::notXm);
}

XmLoadResult readHeader(Song& song, XmReader& reader, int& storedPatterns) {
    reader.seek(headerFieldsAt);
    const uint32_t headerSize = reader.readU32le();
    int songLength = reader.readU16le();
    int restart = reader.readU16le();
    const int channels = reader.readU16le();
    storedPatterns = reader.readU16le();
    const int instruments = reader.readU16le();
    song.flags = reader.readU16le();
    const int speed = reader.readU16le();
    const int bpm = reader.readU16le();
    reader.readBytes(song.orders, sizeof song.orders);
    if (reader.truncated) return cutShort(reader);
    // guard: refuse what no layout fits: no channels, more channels than voices,
    // more patterns or instruments than the format numbers
    if (channels < 1) return refused(XmRefusal::noChannels, channels);
    if (channels > maxChannels) return refused(XmRefusal::tooManyChannels, channels);
    if (storedPatterns > maxStoredPatterns)
        return refused(XmRefusal::tooManyPatterns, storedPatterns);
    if (instruments > maxInstruments) return refused(XmRefusal::tooManyInstruments, instruments);
    songLength = std::clamp(songLength, 1, maxOrders);  // guard: at least one order
    if (restart >= songLength) restart = 0;             // guard: restart inside the song
    song.songLength = static_cast<int16_t>(songLength);
    song.restartPosition = static_cast<int16_t>(restart);
    song.channelCount = static_cast<int16_t>(channels);
    song.instrumentCount = static_cast<int16_t>(instruments);
    song.defaultSpeed = static_cast<int16_t>(std::min(speed, maxSpeed));
    song.defaultBpm = static_cast<int16_t>(std::min(bpm, maxBpm));
    reader.seek(int64_t{headerFieldsAt} + headerSize);
    return {};
}

void readCell(XmReader& reader, NoteCell& cell) {
    const uint8_t b = reader.readU8();
    if (b & 0x80) {
        if (b & 0x01) cell.note = reader.readU8();
        if (b & 0x02) cell.instrument = reader.readU8();
        if (b & 0x04) cell.volume = reader.readU8();
        if (b & 0x08) cell.effect = reader.readU8();
        if (b & 0x10) cell.parameter = reader.readU8();
    } else {
        cell.note = b;
        cell.instrument = reader.readU8();
        cell.volume = reader.readU8();
        cell.effect = reader.readU8();
        cell.parameter = reader.readU8();
    }
    if (cell.note == fileKeyOffNote) {
        cell.note = keyOffNote;
    } else if (cell.note > fileKeyOffNote) {
        cell.note = noNote;  // guard: notes 98..255 have no place in the 96-note map
    }
    if (cell.instrument > maxInstrumentNumber) cell.instrument = 0;
}

XmLoadResult readPatterns(Song& song, XmReader& reader, int storedPatterns) {
    song.usedPatterns = 0;
    for (int i = 0; i < song.songLength; ++i) {
        if (song.orders[i] >= song.usedPatterns) song.usedPatterns = song.orders[i] + 1;
    }
    song.patternSlots = std::max(storedPatterns, song.usedPatterns);
    song.patterns.resize(song.patternSlots);
    const int channels = song.channelCount;
    for (int p = 0; p < storedPatterns; ++p) {
        Pattern& pattern = song.patterns[p];
        const int64_t start = reader.tell();
        const uint32_t length = reader.readU32le();  // usually 9: this field and the 3 below
        // guard: the cells start at the header's stated end, never inside this length field;
        // the bytes a header shorter than 9 lacks read as 0 (no rows: 64 empty rows; packed
        // size 0: no cells)
        reader.openHeader(start + std::max(length, lengthFieldSize));
        reader.readU8();  // packing type
        const int rows = reader.readU16le();
        const int packedSize = reader.readU16le();
        reader.closeHeader();
        // guard: more rows than the format allows
        if (rows > maxRows) return refused(XmRefusal::tooManyRows, rows, p);
        pattern.rows = rows;
        pattern.cells.assign(static_cast<size_t>(rows) * channels, NoteCell{});
        if (packedSize != 0) {
            for (NoteCell& cell : pattern.cells) readCell(reader, cell);
        }
        // guard: a file that ends inside its patterns is refused, before more is allocated
        if (reader.truncated) return cutShort(reader);
        if (rows == 0) {
            // guard: a pattern of 0 rows plays as an empty pattern of 64 rows
            pattern.rows = emptyPatternRows;
            pattern.cells.assign(static_cast<size_t>(emptyPatternRows) * channels, NoteCell{});
        }
    }
    for (int p = storedPatterns; p < song.patternSlots; ++p) {
        song.patterns[p].rows = emptyPatternRows;
        song.patterns[p].cells.assign(static_cast<size_t>(emptyPatternRows) * channels, NoteCell{});
    }
    return {};
}

void readEnvelopePoints(XmReader& reader, Envelope& envelope) {
    for (EnvelopePoint& point : envelope.points) {
        point.x = reader.readU16le();
        // guard: envelope values stay within 0..64
        point.y = std::min<uint16_t>(reader.readU16le(), 64);
    }
}

// Keeps an envelope's counts and loop inside its 12 points.
void limitEnvelope(Envelope& e) {
    if (e.count > maxEnvelopePoints) e.count = maxEnvelopePoints;  // guard: at most 12 points
    // one point is an envelope that holds its value; only an envelope of no points is off
    if (e.count == 0) e.type = 0;
    // guard: a loop that ends beyond the points or runs backwards is switched off
    if (e.loopEnd >= e.count || e.loopStart > e.loopEnd) e.type &= ~envelopeLoop;
}

// Returns the size of each of the instrument's sample headers.
uint32_t readInstrumentHeader(Instrument& ins, XmReader& reader) {
    const uint32_t sampleHeaderSize = reader.readU32le();
    reader.readBytes(ins.noteSample, sizeof ins.noteSample);
    Envelope& volume = ins.volumeEnvelope;
    Envelope& panning = ins.panningEnvelope;
    readEnvelopePoints(reader, volume);
    readEnvelopePoints(reader, panning);
    volume.count = reader.readU8();
    panning.count = reader.readU8();
    volume.sustain = reader.readU8();
    volume.loopStart = reader.readU8();
    volume.loopEnd = reader.readU8();
    panning.sustain = reader.readU8();
    panning.loopStart = reader.readU8();
    panning.loopEnd = reader.readU8();
    volume.type = reader.readU8();
    panning.type = reader.readU8();
    ins.autoVibType = reader.readU8();
    ins.autoVibSweep = reader.readU8();
    ins.autoVibDepth = reader.readU8();
    ins.autoVibRate = reader.readU8();
    ins.fadeout = uint32_t{reader.readU16le()} * 2;
    limitEnvelope(volume);
    limitEnvelope(panning);
    // guard: files that leave the field 0 hold the usual 40-byte headers
    return sampleHeaderSize == 0 ? usualSampleHeaderSize : sampleHeaderSize;
}

// Keeps the loop inside the sample; a loop of no length becomes no loop at all.
void limitLoop(Sample& s) {
    if (s.loopType == loopNone) {
        s.loopStart = 0;
        s.loopLength = s.length;
    }
    // guard: a loop that starts or ends beyond the sample is cut at its end
    s.loopStart = std::min(s.loopStart, s.length);
    s.loopLength = std::min(s.loopLength, s.length - s.loopStart);
    if (s.loopLength == 0) {
        s.loopStart = 0;
        s.loopLength = s.length;
        s.loopType = loopNone;
    }
}

// Reads one sample header of `size` bytes (usually 40); returns the byte count of its data.
uint32_t readSampleHeader(Sample& s, XmReader& reader, uint32_t size) {
    // guard: the next header starts at this one's stated end; the fields a header shorter
    // than 17 bytes lacks read as 0
    reader.openHeader(reader.tell() + int64_t{size});
    const uint32_t byteLength = reader.readU32le();
    s.length = byteLength;
    s.loopStart = reader.readU32le();
    s.loopLength = reader.readU32le();
    s.volume = std::min<uint8_t>(reader.readU8(), 64);  // guard: volume 0..64
    s.finetune = static_cast<int8_t>(reader.readU8());
    s.loopType = loopNone;
    s.bits = 8;
    const uint8_t type = reader.readU8();
    if (type & typeForwardLoop) s.loopType = loopForward;
    if (type & typePingPongLoop) s.loopType = loopPingPong;  // a type of 3 is ping-pong
    if (type & type16Bit) s.bits = 16;
    if (s.bits == 16) {
        s.length /= 2;
        s.loopStart /= 2;
        s.loopLength /= 2;
    }
    s.length = std::min(s.length, maxSampleFrames);
    limitLoop(s);
    s.panning = reader.readU8();
    s.relativeNote = reader.readU8();
    reader.closeHeader();  // past the reserved byte and the name
    // quirk: the odd last byte of 16-bit data is skipped, so the next sample starts right
    return s.bits == 16 ? byteLength : s.length;
}

void writeGuardFrame(Sample& s) {
    const uint32_t end = s.loopEnd();
    s.data[end] = s.loopType == loopPingPong ? s.data[end - 1] : s.data[s.loopStart];
}

// Reads and decodes the data of one sample; a file that ends early shortens the sample.
void readSampleData(Sample& s, XmReader& reader, uint32_t byteCount) {
    std::vector<uint8_t> bytes;
    while (bytes.size() < byteCount) {
        // guard: grown chunk by chunk, so a false length allocates no more than the file holds
        const size_t want = std::min<size_t>(sampleReadChunk, byteCount - bytes.size());
        const size_t at = bytes.size();
        bytes.resize(at + want);
        const size_t got = reader.readBytes(bytes.data() + at, want);
        if (got < want) {
            bytes.resize(at + got);
            break;
        }
    }
    const uint32_t frames = static_cast<uint32_t>(s.bits == 16 ? bytes.size() / 2 : bytes.size());
    if (frames < s.length) {
        s.length = frames;  // guard: a sample cut off by the end of the file keeps what is there
        limitLoop(s);
    }
    if (s.length == 0) return;
    const size_t total = size_t{s.length} + sampleSpareFrames + 2 * samplePadFrames;
    s.storage = std::make_unique<int16_t[]>(total);  // zero-filled
    s.data = s.storage.get() + samplePadFrames;
    int16_t previous = 0;
    for (uint32_t k = 0; k < s.length; ++k) {
        const int16_t raw = s.bits == 16
                                ? static_cast<int16_t>(bytes[2 * k] | (bytes[2 * k + 1] << 8))
                                : static_cast<int16_t>(bytes[k] << 8);
        previous = static_cast<int16_t>(previous + raw);
        s.data[k] = previous;
    }
    s.bits = 16;
    writeGuardFrame(s);
}

// Instrument number (counting from 1); refused when it declares more samples than it can hold.
XmLoadResult readInstrument(Instrument& ins, XmReader& reader, int32_t number) {
    const int64_t start = reader.tell();
    const uint32_t size = reader.readU32le();
    reader.skip(23);
    const int n = reader.readU16le();
    if (n > maxSamplesPerInstrument) return refused(XmRefusal::tooManySamples, n, number);
    ins.sampleCount = n;
    for (auto& slot : ins.samples) slot = &emptySample;
    const uint32_t sampleHeaderSize = n > 0 ? readInstrumentHeader(ins, reader) : 0;
    reader.seek(start + size);
    if (n == 0) return {};
    uint32_t byteCounts[maxSamplesPerInstrument] = {};
    for (int j = 0; j < n; ++j) {
        ins.owned[j] = std::make_unique<Sample>();
        byteCounts[j] = readSampleHeader(*ins.owned[j], reader, sampleHeaderSize);
        ins.samples[j] = ins.owned[j].get();
    }
    for (int j = 0; j < n; ++j) readSampleData(*ins.owned[j], reader, byteCounts[j]);
    return {};
}

}  // namespace

std::string describeRefusal(const XmLoadResult& r) {
    const std::string value = std::to_string(r.value);
    const std::string index = std::to_string(r.index);
    switch (r.refusal) {
        case XmRefusal::none:
            return "loaded";
        case XmRefusal::notOpened:
            return "cannot be opened";
        case XmRefusal::notXm:
            return "not an XM module";
        case XmRefusal::cutShort:
            return "cut short at byte " + value;
        case XmRefusal::noChannels:
            return "no channels";
        case XmRefusal::tooManyChannels:
            return "too many channels: " + value + ", at most " + std::to_string(maxChannels);
        case XmRefusal::tooManyPatterns:
            return "too many patterns: " + value + ", at most " + std::to_string(maxStoredPatterns);
        case XmRefusal::tooManyInstruments:
            return "too many instruments: " + value + ", at most " + std::to_string(maxInstruments);
        case XmRefusal::tooManyRows:
            return "pattern " + index + " has too many rows: " + value + ", at most " +
                   std::to_string(maxRows);
        case XmRefusal::tooManySamples:
            return "instrument " + index + " has too many samples: " + value + ", at most " +
                   std::to_string(maxSamplesPerInstrument);
    }
    return "refused";
}

XmLoadResult loadXm(Song& song, XmReader& reader) {
    if (XmLoadResult r = readSignature(reader); !r.loaded()) return r;
    song.tickRoutine = songTick;
    song.initialGlobalVolume = 64;
    int storedPatterns = 0;
    if (XmLoadResult r = readHeader(song, reader, storedPatterns); !r.loaded()) return r;
    if (XmLoadResult r = readPatterns(song, reader, storedPatterns); !r.loaded()) return r;
    song.instruments.resize(song.instrumentCount);
    for (size_t i = 0; i < song.instruments.size(); ++i) {
        // past the end of the file the reads give zeros: instruments without samples
        XmLoadResult r = readInstrument(song.instruments[i], reader, int32_t(i) + 1);
        if (!r.loaded()) return r;
    }
    return {};
}

Song* createSong(PlayerContext& context, const char* name, XmLoadResult* result) {
    XmLoadResult local;
    XmLoadResult& r = result ? *result : local;
    r = refused(XmRefusal::notOpened);
    if (!context.files.complete() || !name) return nullptr;
    void* handle = context.files.open(name);
    if (!handle) return nullptr;
    auto song = std::make_unique<Song>();
    {
        XmReader reader(context.files, handle);
        r = loadXm(*song, reader);
    }
    context.files.close(handle);
    return r.loaded() ? song.release() : nullptr;
}

bool freeSong(PlayerContext& context, Song* song) {
    if (!song) return false;
    stopSong(context, song);
    std::lock_guard lock(context.mixBusy);
    delete song;
    return true;
}

}  // namespace qvl
