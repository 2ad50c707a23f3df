// Sounds written to a scratch folder, and measurements of what a loopback
// device renders.
#pragma once

#include "assets/sound_synth.h"
#include "platform/sound/openal_backend.h"

#include <filesystem>
#include <string>
#include <vector>

constexpr int loopbackRate = 44100;

// A folder of its own under the system's temporary folder, removed afterwards.
class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    const std::filesystem::path& path() const { return path_; }
    // Writes a sine of the given frequency and length (at the synthesizer's rate).
    std::string writeTone(const std::string& name, double frequency, double seconds, float amplitude = 0.5f);

private:
    std::filesystem::path path_;
};

// Interleaved stereo frames.
struct Stereo {
    std::vector<float> samples;
    size_t frames() const { return samples.size() / 2; }
    float left(size_t frame) const { return samples[2 * frame]; }
    float right(size_t frame) const { return samples[2 * frame + 1]; }
    // Root mean square of a channel (0 left, 1 right) over [from, to).
    double rms(int channel, size_t from, size_t to) const;
    // First and one past the last frame that is not silent (both 0 when none).
    std::pair<size_t, size_t> audibleSpan(float threshold = 1e-3f) const;
};

Stereo render(platform::OpenALSoundBackend& device, double seconds);
