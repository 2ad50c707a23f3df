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

// The longest sound read, in frames: 30 minutes at 48 kHz. A file claiming more
// is refused rather than allocated.
constexpr int64_t maxSoundFrames = int64_t(48000) * 60 * 30;

// The largest sound file read: the longest sound in 32-bit stereo, with room
// for its headers. Anything larger is no sound of this program's.
constexpr uint64_t maxSoundFileBytes = uint64_t(maxSoundFrames) * 2 * 4 + (1u << 20);

// Decodes a sound file (WAV, AIFF, AU, FLAC or Ogg), mixing its channels down
// to one. Samples are read against full scale, whatever the file's sample
// format: a floating-point sample of 0.5 reads as 16384. False when the file is
// missing, unreadable or empty, is no regular file (a FIFO, a device, a
// socket, a folder) or is larger than maxSoundFileBytes; such a file is never
// waited for.
bool readMonoSound(const std::string& path, MonoSound& sound);

} // namespace platform
