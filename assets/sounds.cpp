// The full audio configuration's files, under sounds/data/: the start-up chime,
// the seven effect sounds, the gun's pop and the three tunes.
#include "assets/assets.h"
#include "assets/sound_synth.h"

#include <string>
#include <utility>
#include <vector>

using namespace synth;

namespace {

// The loudest sample of each sound, as a share of full scale. The tunes take
// most of it: at the tune player's gain each peaks some 3 dB below full scale,
// and a tune carried beside the listener reaches that in one channel. An effect
// or a shot within its minimum distance reaches the listener at its full level
// as well, and several start in one turn when a plane's parts hit something
// together, adding up to about three times one. So the effects keep below what
// the tunes leave, and nothing has to limit the mix afterwards.
constexpr float chimePeak = 0.4f;
constexpr float effectPeak = 0.22f;
constexpr float gunPeak = 0.22f;

Sound chime()
{
    const std::vector<Partial> bell = {
        {1.0, 1.0, 2.5}, {2.0, 0.5, 4}, {2.76, 0.35, 5}, {5.4, 0.15, 8}, {8.93, 0.08, 12}};
    Sound s;
    s.mix(struck(keyFrequency(81), 1.8, bell), 0.0);
    s.mix(struck(keyFrequency(88), 1.6, bell), 0.18, 0.8f);
    s.normalise(chimePeak);
    return s;
}

// Seven impacts that can be told apart: a thud, a clang, a knock, a spring, a
// ping, a crunch and a zap.
std::vector<Sound> effects()
{
    std::vector<Sound> all;

    Sound thud = sweep(120, 45, 0.35, 10);
    thud.mix(noiseBurst(11, 0.1, 40, 400), 0, 0.4f);
    all.push_back(thud);

    all.push_back(struck(420, 0.6, {{1, 1, 6}, {2.32, 0.7, 7}, {4.25, 0.5, 9}, {6.63, 0.35, 12}, {9.38, 0.2, 15}}));

    Sound knock = struck(220, 0.25, {{1, 1, 25}, {2.9, 0.4, 35}});
    knock.mix(noiseBurst(23, 0.05, 80, 2500), 0, 0.3f);
    all.push_back(knock);

    all.push_back(sweep(300, 520, 0.5, 5, 0, 18, 0.08));

    all.push_back(struck(1760, 0.45, {{1, 1, 8}, {1.5, 0.4, 10}, {2.4, 0.25, 14}}));

    Sound crunch = noiseBurst(37, 0.4, 9, 1500);
    crunch.mix(noiseBurst(41, 0.3, 12, 800), 0.07, 0.7f);
    all.push_back(crunch);

    all.push_back(sweep(1400, 180, 0.3, 6, 0.8));

    for (Sound& s : all)
        s.normalise(effectPeak);
    return all;
}

// Melodies are written as (key, beats) pairs; key -1 is a rest.
//
// The parts' volumes give the three tunes about one loudness and one peak
// (within 1.5 dB) at the tune player's gain. The drums stay low: their hits on
// the chords make a tune's peaks.
using Line = std::vector<std::pair<int, double>>;

void addLine(Part& part, double startBeat, const Line& line, int velocity)
{
    double beat = startBeat;
    for (const auto& [key, beats] : line) {
        if (key >= 0)
            part.notes.push_back({beat, beats * 0.95, key, velocity});
        beat += beats;
    }
}

struct Chord {
    int root;     // the bass key
    bool minor;
};

int third(const Chord& c)
{
    return c.minor ? 3 : 4;
}

// Dusk over the arena: a slow A minor air for flute over a plucked guitar and strings.
Tune duskTune()
{
    const std::vector<Chord> chords = {{45, true}, {41, false}, {48, false}, {43, false}, {45, true}, {50, true},
                                       {40, false}, {40, false}, {45, true}, {41, false}, {48, false}, {43, false},
                                       {50, true},  {40, false}, {45, true}, {45, true}};
    Part guitar{0, 24, 127, 50, {}};
    Part strings{1, 48, 95, 80, {}};
    Part flute{2, 73, 127, 64, {}};
    for (size_t bar = 0; bar < chords.size(); ++bar) {
        const Chord& c = chords[bar];
        const int r = c.root;
        const int pattern[8] = {r, r + 7, r + 12, r + 12 + third(c), r + 19, r + 12 + third(c), r + 12, r + 7};
        for (int i = 0; i < 8; ++i)
            guitar.notes.push_back({bar * 4.0 + i * 0.5, 0.9, pattern[i], i == 0 ? 90 : 70});
        for (int key : {r + 12, r + 12 + third(c), r + 19})
            strings.notes.push_back({bar * 4.0, 3.9, key, 70});
    }
    addLine(flute, 8, {{76, 1.5}, {74, 0.5}, {72, 1}, {67, 1},   {71, 2},   {74, 2},
                       {72, 1},   {76, 1},   {81, 1.5}, {79, 0.5}, {77, 2},   {74, 1},
                       {69, 1},   {68, 1.5}, {71, 0.5}, {76, 2},   {74, 1},   {72, 1},
                       {71, 2},   {69, 3},   {72, 1},   {69, 1},   {77, 2},   {76, 1},
                       {76, 1},   {74, 1},   {72, 1},   {76, 1},   {74, 3},   {-1, 1},
                       {77, 1.5}, {76, 0.5}, {74, 1},   {77, 1},   {76, 2},   {80, 2},
                       {81, 3},   {76, 1},   {69, 4}},
            92);
    return {72, 64, {guitar, strings, flute}};
}

// Low pass: a driving E minor chase, bass ostinato, string stabs, brass and drums.
Tune chaseTune()
{
    const std::vector<Chord> chords = {{40, true}, {40, true}, {36, false}, {38, false}, {40, true}, {40, true},
                                       {36, false}, {35, false}, {40, true}, {40, true}, {36, false}, {38, false},
                                       {45, true},  {45, true},  {35, false}, {35, false}};
    Part bass{0, 38, 120, 64, {}};
    Part stabs{1, 49, 105, 40, {}};
    Part brass{2, 61, 127, 88, {}};
    Part drums{9, 0, 76, 64, {}};
    const int ostinato[8] = {0, 0, 7, 0, 3, 0, 5, 3};
    for (size_t bar = 0; bar < chords.size(); ++bar) {
        const Chord& c = chords[bar];
        const double b = bar * 4.0;
        for (int i = 0; i < 8; ++i)
            bass.notes.push_back({b + i * 0.5, 0.45, c.root + ostinato[i], i % 2 ? 80 : 105});
        for (double at : {0.0, 2.5})
            for (int key : {c.root + 24, c.root + 24 + third(c), c.root + 31})
                stabs.notes.push_back({b + at, 0.4, key, 75});
        for (double at : {0.0, 2.0, 3.5})
            drums.notes.push_back({b + at, 0.25, 36, 110});
        for (double at : {1.0, 3.0})
            drums.notes.push_back({b + at, 0.25, 38, 100});
        for (int i = 0; i < 8; ++i)
            drums.notes.push_back({b + i * 0.5, 0.2, 42, i % 2 ? 50 : 70});
    }
    const Line motif = {{76, 0.5}, {79, 0.5}, {78, 1}, {71, 2}, {76, 0.5}, {79, 0.5}, {81, 1}, {79, 1}, {78, 1},
                        {76, 3},   {-1, 1},   {75, 2}, {78, 2}};
    addLine(brass, 16, motif, 96);
    addLine(brass, 32, {{83, 0.5}, {81, 0.5}, {79, 1}, {76, 2}, {84, 1}, {83, 1}, {81, 1}, {79, 1},
                        {81, 2},   {76, 2},   {78, 4}, {81, 1}, {84, 1}, {83, 1}, {81, 1}, {76, 4},
                        {75, 2},   {78, 2},   {83, 4}},
            100);
    return {144, 64, {bass, stabs, brass, drums}};
}

// Bounce line: a bright dance loop in A minor, four to the floor.
Tune bounceTune()
{
    const std::vector<Chord> chords = {{45, true}, {41, false}, {48, false}, {43, false}};
    Part bass{0, 39, 105, 64, {}};
    Part piano{1, 4, 110, 44, {}};
    Part lead{2, 80, 95, 84, {}};
    Part drums{9, 0, 55, 64, {}};
    for (int bar = 0; bar < 16; ++bar) {
        Chord c = chords[size_t(bar % 4)];
        if (bar == 14)
            c = {43, false};
        const double b = bar * 4.0;
        for (int i = 0; i < 8; ++i)
            bass.notes.push_back({b + i * 0.5, 0.4, c.root + (i % 2 ? 12 : 0), i % 2 ? 85 : 100});
        for (const auto& [at, length] : std::vector<std::pair<double, double>>{{0.5, 1}, {2, 0.5}, {2.5, 1}})
            for (int key : {c.root + 12, c.root + 12 + third(c), c.root + 19})
                piano.notes.push_back({b + at, length, key, 70});
        for (int beat = 0; beat < 4; ++beat)
            drums.notes.push_back({b + beat, 0.25, 36, 115});
        for (double at : {1.0, 3.0})
            drums.notes.push_back({b + at, 0.25, 38, 95});
        for (int beat = 0; beat < 4; ++beat)
            drums.notes.push_back({b + beat + 0.5, 0.2, beat == 3 ? 46 : 42, 70});
    }
    const Line hook = {{69, 0.5}, {72, 0.5}, {76, 1}, {74, 0.5}, {72, 0.5}, {69, 1}, {69, 0.5}, {72, 0.5},
                       {77, 1},   {76, 1},   {72, 1}, {67, 0.5}, {72, 0.5}, {76, 1}, {79, 1},   {76, 1}};
    addLine(lead, 16, hook, 95);
    addLine(lead, 28, {{74, 2}, {71, 1}, {67, 1}}, 95);
    addLine(lead, 32, hook, 95);
    addLine(lead, 44, {{74, 1}, {76, 1}, {79, 2}}, 95);
    addLine(lead, 48, {{76, 0.5}, {76, 0.5}, {81, 1}, {79, 1}, {76, 1}, {77, 1}, {76, 1}, {72, 2},
                       {74, 1},   {71, 1},   {74, 1}, {79, 1}, {74, 4}},
            100);
    return {122, 64, {bass, piano, lead, drums}};
}

} // namespace

bool writeSounds(const std::string& out)
{
    const std::string data = out + "/sounds/data/";
    bool ok = writeWav(data + "coin.wav", chime());
    const std::vector<Sound> all = effects();
    for (size_t i = 0; i < all.size(); ++i)
        ok = writeWav(data + std::to_string(i) + ".wav", all[i]) && ok;
    Sound gun = gunPop();
    gun.normalise(gunPeak);
    ok = writeWav(data + "gun.wav", gun) && ok;
    ok = writeMidi(data + "unforgiven.mid", duskTune()) && ok;
    ok = writeMidi(data + "mi2.mid", chaseTune()) && ok;
    ok = writeMidi(data + "letthebeat.mid", bounceTune()) && ok;
    return ok;
}
