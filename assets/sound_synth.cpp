#include "assets/sound_synth.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>

namespace synth {

namespace {

constexpr double twoPi = 6.283185307179586;

void putLittle(std::vector<uint8_t>& out, uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out.push_back(uint8_t(value >> (8 * i)));
}

void putBig(std::vector<uint8_t>& out, uint32_t value, int bytes)
{
    for (int i = bytes - 1; i >= 0; --i)
        out.push_back(uint8_t(value >> (8 * i)));
}

void putVarLength(std::vector<uint8_t>& out, uint32_t value)
{
    uint8_t groups[5];
    int n = 0;
    groups[n++] = value & 0x7f;
    while (value >>= 7)
        groups[n++] = uint8_t((value & 0x7f) | 0x80);
    while (n)
        out.push_back(groups[--n]);
}

bool writeBytes(const std::string& path, const std::vector<uint8_t>& bytes)
{
    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ec);
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    if (!file) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        return false;
    }
    return true;
}

size_t samplesFor(double seconds)
{
    return seconds > 0 ? size_t(seconds * sampleRate + 0.5) : 0;
}

// A short linear rise at the start, so that no sound begins with a click.
float attack(size_t i, double seconds = 0.004)
{
    const double t = double(i) / sampleRate;
    return t < seconds ? float(t / seconds) : 1.0f;
}

} // namespace

void Sound::mix(const Sound& other, double at, float gain)
{
    const size_t offset = samplesFor(at);
    if (samples.size() < offset + other.samples.size())
        samples.resize(offset + other.samples.size(), 0.0f);
    for (size_t i = 0; i < other.samples.size(); ++i)
        samples[offset + i] += gain * other.samples[i];
}

void Sound::normalise(float peak)
{
    float loudest = 0;
    for (float s : samples)
        loudest = std::max(loudest, std::fabs(s));
    if (loudest <= 0)
        return;
    for (float& s : samples)
        s *= peak / loudest;
}

void Sound::fadeOut(double s)
{
    const size_t n = std::min(samples.size(), samplesFor(s));
    for (size_t i = 0; i < n; ++i)
        samples[samples.size() - 1 - i] *= float(i) / float(n);
}

float Noise::next()
{
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return float(state_) / 2147483648.0f - 1.0f;
}

Sound struck(double frequency, double seconds, const std::vector<Partial>& partials)
{
    Sound sound;
    sound.samples.resize(samplesFor(seconds));
    for (size_t i = 0; i < sound.samples.size(); ++i) {
        const double t = double(i) / sampleRate;
        double v = 0;
        for (const Partial& p : partials)
            v += p.amplitude * std::exp(-p.decay * t) * std::sin(twoPi * frequency * p.ratio * t);
        sound.samples[i] = attack(i, 0.002) * float(v);
    }
    sound.fadeOut(0.01);
    return sound;
}

Sound sweep(double from, double to, double seconds, double decay, double shape, double vibratoHz,
            double vibratoDepth)
{
    Sound sound;
    sound.samples.resize(samplesFor(seconds));
    double phase = 0;
    for (size_t i = 0; i < sound.samples.size(); ++i) {
        const double t = double(i) / sampleRate;
        double f = from * std::pow(to / from, t / seconds);
        f *= 1.0 + vibratoDepth * std::sin(twoPi * vibratoHz * t);
        phase += twoPi * f / sampleRate;
        const double sine = std::sin(phase);
        // The soft square: a sine pushed towards its extremes.
        const double square = std::tanh(4.0 * sine);
        const double v = (1 - shape) * sine + shape * square;
        sound.samples[i] = attack(i) * float(v * std::exp(-decay * t));
    }
    sound.fadeOut(0.01);
    return sound;
}

Sound noiseBurst(uint32_t seed, double seconds, double decay, double corner)
{
    Noise noise(seed);
    Sound sound;
    sound.samples.resize(samplesFor(seconds));
    const double a = std::exp(-twoPi * corner / sampleRate);
    double state = 0;
    for (size_t i = 0; i < sound.samples.size(); ++i) {
        const double t = double(i) / sampleRate;
        state = (1 - a) * noise.next() + a * state;
        sound.samples[i] = attack(i, 0.001) * float(state * std::exp(-decay * t));
    }
    sound.normalise(1.0f);
    sound.fadeOut(0.005);
    return sound;
}

Sound note(double frequency, double seconds, double brightness)
{
    Sound sound;
    sound.samples.resize(samplesFor(seconds));
    const double release = std::min(0.08, seconds / 3);
    for (size_t i = 0; i < sound.samples.size(); ++i) {
        const double t = double(i) / sampleRate;
        double v = 0;
        double amplitude = 1;
        for (int h = 1; h <= 5; ++h) {
            v += amplitude * std::sin(twoPi * frequency * h * t);
            amplitude *= brightness;
        }
        double envelope = std::min(1.0, t / 0.01) * (0.7 + 0.3 * std::exp(-6 * t));
        if (t > seconds - release)
            envelope *= std::max(0.0, (seconds - t) / release);
        sound.samples[i] = float(0.4 * v * envelope);
    }
    return sound;
}

Sound gunPop()
{
    Sound pop = noiseBurst(0x5eed, 0.28, 22, 3000);
    pop.mix(sweep(160, 50, 0.2, 18), 0, 0.8f);
    pop.normalise(0.9f);
    pop.fadeOut(0.02);
    return pop;
}

double keyFrequency(int key)
{
    return 440.0 * std::pow(2.0, (key - 69) / 12.0);
}

bool writeWav(const std::string& path, const Sound& sound)
{
    const uint32_t dataBytes = uint32_t(sound.samples.size() * 2);
    std::vector<uint8_t> bytes;
    bytes.reserve(44 + dataBytes);
    bytes.insert(bytes.end(), {'R', 'I', 'F', 'F'});
    putLittle(bytes, 36 + dataBytes, 4);
    bytes.insert(bytes.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    putLittle(bytes, 16, 4);
    putLittle(bytes, 1, 2);                 // PCM
    putLittle(bytes, 1, 2);                 // mono
    putLittle(bytes, sampleRate, 4);
    putLittle(bytes, sampleRate * 2, 4);    // bytes per second
    putLittle(bytes, 2, 2);                 // bytes per frame
    putLittle(bytes, 16, 2);                // bits per sample
    bytes.insert(bytes.end(), {'d', 'a', 't', 'a'});
    putLittle(bytes, dataBytes, 4);
    for (float s : sound.samples) {
        const long v = std::lround(std::clamp(s, -1.0f, 1.0f) * 32767.0f);
        putLittle(bytes, uint32_t(int16_t(v)) & 0xffff, 2);
    }
    return writeBytes(path, bytes);
}

bool writeMidi(const std::string& path, const Tune& tune)
{
    constexpr int ticksPerBeat = 480;
    auto ticks = [](double beats) { return uint32_t(std::lround(beats * ticksPerBeat)); };
    const uint32_t endTick = ticks(tune.lengthBeats);

    auto chunk = [](std::vector<uint8_t>& file, const std::vector<uint8_t>& track) {
        file.insert(file.end(), {'M', 'T', 'r', 'k'});
        putBig(file, uint32_t(track.size()), 4);
        file.insert(file.end(), track.begin(), track.end());
    };

    std::vector<uint8_t> file = {'M', 'T', 'h', 'd'};
    putBig(file, 6, 4);
    putBig(file, 1, 2);
    putBig(file, uint32_t(tune.parts.size() + 1), 2);
    putBig(file, ticksPerBeat, 2);

    std::vector<uint8_t> tempo;
    const uint32_t microsPerBeat = uint32_t(60000000 / tune.beatsPerMinute);
    putVarLength(tempo, 0);
    tempo.insert(tempo.end(), {0xff, 0x51, 0x03});
    putBig(tempo, microsPerBeat, 3);
    putVarLength(tempo, 0);
    tempo.insert(tempo.end(), {0xff, 0x58, 0x04, 0x04, 0x02, 0x18, 0x08});
    putVarLength(tempo, endTick);
    tempo.insert(tempo.end(), {0xff, 0x2f, 0x00});
    chunk(file, tempo);

    for (const Part& part : tune.parts) {
        struct Event {
            uint32_t tick;
            int order;   // note-offs before note-ons at the same tick
            uint8_t status, data1, data2;
        };
        std::vector<Event> events;
        const uint8_t channel = uint8_t(part.channel & 0x0f);
        events.push_back({0, 0, uint8_t(0xb0 | channel), 7, uint8_t(part.volume)});
        events.push_back({0, 0, uint8_t(0xb0 | channel), 10, uint8_t(part.pan)});
        if (part.channel != 9)
            events.push_back({0, 0, uint8_t(0xc0 | channel), uint8_t(part.program), 0});
        for (const Note& n : part.notes) {
            const uint32_t on = ticks(n.beat);
            const uint32_t off = std::min(endTick, std::max(on + 1, ticks(n.beat + n.length)));
            events.push_back({on, 2, uint8_t(0x90 | channel), uint8_t(n.key), uint8_t(n.velocity)});
            events.push_back({off, 1, uint8_t(0x80 | channel), uint8_t(n.key), 0});
        }
        std::stable_sort(events.begin(), events.end(), [](const Event& a, const Event& b) {
            return a.tick != b.tick ? a.tick < b.tick : a.order < b.order;
        });
        std::vector<uint8_t> track;
        uint32_t last = 0;
        for (const Event& e : events) {
            putVarLength(track, e.tick - last);
            last = e.tick;
            track.push_back(e.status);
            track.push_back(e.data1);
            if ((e.status & 0xf0) != 0xc0)
                track.push_back(e.data2);
        }
        putVarLength(track, endTick - last);
        track.insert(track.end(), {0xff, 0x2f, 0x00});
        chunk(file, track);
    }
    return writeBytes(path, file);
}

} // namespace synth
