// The 3-D sound device the clips play through: it loads sound files (relative to
// its search directory) into clips, each with a 3-D source of its own, places the
// clips and the one listener, and plays them. Coordinates are given in the
// program's frame, which is left-handed (x right, y up, z ahead of a listener
// that faces +z with its top along +y); the device converts them.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace platform {

// A clip of the device. 0 names no clip: every operation on it does nothing.
using SoundClipId = int;

class SoundBackend {
public:
    virtual ~SoundBackend() = default;

    // Names given to loadClip are relative to this folder.
    virtual void setSearchDirectory(const std::string& directory) = 0;

    // Loads a file (a WAV, or a MIDI tune when tunes are enabled) into a new clip
    // with its own 3-D source, heard at full gain up to minDistance and softer
    // beyond, by the inverse of the distance, down to maxDistance. Returns 0 when
    // the file cannot be read or there is no device.
    virtual SoundClipId loadClip(const std::string& name, float minDistance, float maxDistance) = 0;

    virtual void setPosition(SoundClipId clip, float x, float y, float z) = 0;
    virtual void setListenerPosition(float x, float y, float z) = 0;
    // front and top: three components each. Vectors that are zero, parallel or not
    // finite are ignored.
    virtual void setListenerOrientation(const float front[3], const float top[3]) = 0;
    // How many more times the clip plays after its first play (0 = once).
    virtual void setRepeats(SoundClipId clip, uint32_t repeats) = 0;
    // Starts the clip from its beginning (restarting it when it plays).
    virtual void play(SoundClipId clip) = 0;
    virtual bool isPlaying(SoundClipId clip) = 0;
    virtual void releaseClip(SoundClipId clip) = 0;
    // Stops every clip at once.
    virtual void stopAll() = 0;
};

// The device a new sound system opens. By default the machine's sound output
// (OpenAL's default device); tests install a recorder before anything opens one.
using SoundBackendFactory = std::unique_ptr<SoundBackend> (*)();
void setSoundBackendFactory(SoundBackendFactory factory);
std::unique_ptr<SoundBackend> openSoundBackend();

// The machine's default sound output. With no device it still returns a backend,
// on which every clip stays silent.
std::unique_ptr<SoundBackend> openDefaultSoundBackend();

// A generator of mono 16-bit samples, rendered while its clip plays (a MIDI tune).
class SampleStream {
public:
    virtual ~SampleStream() = default;
    // Starts again from the beginning, to play `repeats` more times after the first.
    virtual void start(uint32_t repeats) = 0;
    // Writes up to `frames` samples and returns how many it wrote; fewer means the
    // stream has ended (after its last repetition, once its last notes died away).
    virtual size_t render(int16_t* out, size_t frames) = 0;
};

// Opens a file as a sample stream at the given rate; null when it cannot.
using SampleStreamOpener = std::unique_ptr<SampleStream> (*)(const std::string& path, int sampleRate);
// Files whose names end in ".mid" are opened with this (none when null).
void setTuneOpener(SampleStreamOpener opener);
SampleStreamOpener tuneOpener();

} // namespace platform
