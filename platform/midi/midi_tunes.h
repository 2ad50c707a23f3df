// MIDI tunes played by a software synthesizer (FluidSynth) with a General MIDI
// sound font, rendered into the sound device's streamed sources.
#pragma once

#include "platform/sound/sound_backend.h"

#include <memory>
#include <string>

namespace platform {

// From now on the sound devices open files ending in ".mid" as tunes.
void enableMidiTunes();

// Opens a MIDI file as a stream of mono samples at the given rate; null when the
// file is missing or malformed. The synthesizer and its sound font are set up by
// the stream's first start, on the thread that renders it. Without the sound
// font the stream is silent and ends at once.
std::unique_ptr<SampleStream> openMidiTune(const std::string& path, int sampleRate);

// The sound font the tunes use (by default Debian's TimGM6mb).
void setMidiSoundFont(const std::string& path);

// On (the default), the synthesizer loads from the sound font only the presets of
// the programs its tunes select, in every bank; off, the whole font. The tunes
// sound the same either way; trimmed, the font takes a fraction of the memory.
// Applies to synthesizers made from then on.
void setMidiSoundFontTrimming(bool on);

} // namespace platform
