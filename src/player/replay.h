// The replay: starting and stopping songs, the tempo, and one tick of a song, which reads
// a row on its first tick and runs the continuous effects on the others.
#pragma once

#include <cstdint>

namespace qvl {

struct Channel;
struct Instrument;
struct NoteCell;
struct PlayerContext;
struct Sample;
struct Song;

// Resets the song, creates its channels on voices 0 up and links it into playingSongs.
// False for no song or when the context has no voices.
bool startSong(PlayerContext& context, Song* song);
// Unlinks the song, silences its voices and releases its channels; false for no song.
bool stopSong(PlayerContext& context, Song* song);
// Stores the BPM; a tick lasts 2.5 / bpm seconds of frames at the mix rate.
void setTempo(const PlayerContext& context, Song& song, int bpm);
// Works out the tick length of every playing song again, at the context's mix rate; for
// whoever opens the voices at a new rate while songs play.
void retimePlayingSongs(PlayerContext& context);
// One tick of the song; the song's tickRoutine.
void songTick(PlayerContext& context, Song& song);
// A new instrument: volume and panning from the sample, envelopes and fadeout restarted.
void resetChannelInstrument(Channel& channel, const Sample& sample);
// The cell's instrument number taken by the channel, as resetChannelInstrument but for a
// cell that keys off.
void takeInstrument(Channel& channel, const NoteCell& cell, const Sample& sample);
// Releases the note.
void keyOff(Channel& channel, const Instrument& instrument);

}  // namespace qvl
