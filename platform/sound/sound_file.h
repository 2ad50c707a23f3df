// Reading sound files into mono 16-bit samples.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace platform {

struct MonoSound {
    int sampleRate = 0;
    std::vector<int16_t> samples;
};

// Decodes a sound file (WAV, AIFF, AU, FLAC or Ogg), mixing its channels down
// to one. False when the file is missing, unreadable or empty.
bool readMonoSound(const std::string& path, MonoSound& sound);

} // namespace platform
