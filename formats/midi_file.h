// Standard MIDI files (format 0 and 1) read into one timed list of channel events.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace formats {

struct MidiEvent {
    double seconds;   // from the start of the tune
    uint8_t status;   // 0x80 to 0xEF: a channel message
    uint8_t data1;
    uint8_t data2;
};

struct MidiTune {
    std::vector<MidiEvent> events;   // in time order; equal times keep file order
    double length = 0;               // seconds to the last track's end
};

// Parses a whole file held in memory. Tempo changes from any track apply to all;
// system-exclusive and meta events other than tempo and end of track are skipped.
// False for anything that is not a well-formed MIDI file.
bool parseMidiFile(const uint8_t* data, size_t size, MidiTune& tune);

} // namespace formats
