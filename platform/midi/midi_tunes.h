// MIDI tunes played by a software synthesizer (FluidSynth) with a General MIDI
// sound font, rendered into the sound device's streamed sources.
#pragma once

#include "platform/sound/sound_backend.h"

#include <cstdint>
#include <memory>
#include <string>

namespace platform {

// From now on the sound devices open files ending in ".mid" as tunes.
void enableMidiTunes();

// The largest MIDI file read. The reader keeps at most two million events, and
// one takes at most 7 bytes (a 4-byte time step, its status and two data
// bytes): 16 MB holds them with room for the tracks' other events.
constexpr uint64_t maxMidiFileBytes = uint64_t{16} << 20;

// Opens a MIDI file as a stream of mono samples at the given rate; null when the
// file is missing or malformed, is no regular file (a FIFO, a device, a socket,
// a folder) or is larger than maxMidiFileBytes. The synthesizer and its sound
// font are set up by the stream's first start, on the thread that renders it.
// Without the sound font the stream is silent and ends at once.
std::unique_ptr<SampleStream> openMidiTune(const std::string& path, int sampleRate);

// The sound font the tunes use (by default Debian's TimGM6mb). A font that is
// no regular file or is larger than any sound font counts as missing: the
// tunes are silent.
void setMidiSoundFont(const std::string& path);

// On (the default), the synthesizer loads from the sound font only the presets of
// the programs its tunes select, in every bank; off, the whole font. The tunes
// sound the same either way; trimmed, the font takes a fraction of the memory.
// Applies to synthesizers made from then on.
void setMidiSoundFontTrimming(bool on);

} // namespace platform
