// Small tools for making the program's own sounds and tunes: a mono sample
// buffer with a few synthesis voices, and writers for WAV and MIDI files.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace synth {

constexpr int sampleRate = 22050;

// A mono sound being built; samples are nominally within -1 to 1.
struct Sound {
    std::vector<float> samples;

    double seconds() const { return double(samples.size()) / sampleRate; }
    // Adds another sound, starting at `at` seconds, scaled by gain.
    void mix(const Sound& other, double at, float gain = 1.0f);
    // Scales the whole sound so that its loudest sample reaches `peak`.
    void normalise(float peak);
    // Fades the last `seconds` out to silence (no click at the end).
    void fadeOut(double seconds);
};

// A deterministic noise source (the same sounds on every build).
class Noise {
public:
    explicit Noise(uint32_t seed) : state_(seed ? seed : 1) {}
    float next();   // -1 to 1

private:
    uint32_t state_;
};

// A sum of sine partials (frequency ratio, amplitude, decay per second) that
// decays exponentially: bells, plucks and knocks.
struct Partial {
    double ratio;
    double amplitude;
    double decay;
};
Sound struck(double frequency, double seconds, const std::vector<Partial>& partials);

// A tone whose frequency moves from `from` to `to` (exponentially) over its
// length, with a quick attack and an exponential decay; `shape` 0 is a sine,
// 1 a soft square.
Sound sweep(double from, double to, double seconds, double decay, double shape = 0, double vibratoHz = 0,
            double vibratoDepth = 0);

// Noise through a one-pole low-pass of the given corner, decaying exponentially.
Sound noiseBurst(uint32_t seed, double seconds, double decay, double corner);

// A note of the given frequency with an attack, a sustain level and a release,
// from a few harmonics (a soft organ-like voice).
Sound note(double frequency, double seconds, double brightness);

// The gun's short pop (under half a second), used by the clips and the cues.
Sound gunPop();

// The frequency of MIDI key `key` (69 = A 440 Hz).
double keyFrequency(int key);

// Writes 16-bit mono PCM at sampleRate. False (after saying why) on failure.
bool writeWav(const std::string& path, const Sound& sound);

// A tune for a General MIDI synthesizer.
struct Note {
    double beat;     // start, in quarter notes
    double length;   // in quarter notes
    int key;
    int velocity;
};

struct Part {
    int channel;     // 9 is the drum channel
    int program;     // General MIDI instrument (ignored on the drum channel)
    int volume;      // controller 7
    int pan;         // controller 10
    std::vector<Note> notes;
};

struct Tune {
    int beatsPerMinute;
    double lengthBeats;
    std::vector<Part> parts;
};

// Writes a format-1 standard MIDI file: a tempo track and one track per part.
bool writeMidi(const std::string& path, const Tune& tune);

} // namespace synth
