// The cue configuration's five files, under data/: a start-up jingle, a hit
// beep, the gun's pop, a spring for a new enemy and a falling farewell motif for
// a dropped one.
#include "assets/assets.h"
#include "assets/sound_synth.h"

#include <utility>
#include <vector>

using namespace synth;

namespace {

// A few notes in sequence (key, seconds), then optionally held together.
Sound melody(const std::vector<std::pair<int, double>>& notes, double brightness)
{
    Sound s;
    double at = 0;
    for (const auto& [key, seconds] : notes) {
        s.mix(note(keyFrequency(key), seconds, brightness), at);
        at += seconds;
    }
    return s;
}

Sound startJingle()
{
    Sound s = melody({{67, 0.18}, {74, 0.18}, {72, 0.18}, {79, 0.3}}, 0.5);
    const double held = s.seconds();
    for (int key : {72, 76, 79, 86})
        s.mix(note(keyFrequency(key), 1.6, 0.45), held, 0.6f);
    s.normalise(0.8f);
    s.fadeOut(0.3);
    return s;
}

Sound hitBeep()
{
    Sound s = note(1000, 0.15, 0.2);
    s.normalise(0.7f);
    return s;
}

Sound spring()
{
    Sound s = sweep(180, 420, 0.6, 4, 0, 14, 0.12);
    s.normalise(0.8f);
    return s;
}

Sound farewell()
{
    Sound s = melody({{64, 0.25}, {60, 0.25}}, 0.8);
    s.mix(sweep(keyFrequency(57), keyFrequency(45), 0.6, 3, 0.6), s.seconds());
    s.normalise(0.8f);
    return s;
}

} // namespace

bool writeCues(const std::string& out)
{
    const std::string data = out + "/data/";
    bool ok = writeWav(data + "20th_century_fox.wav", startJingle());
    ok = writeWav(data + "beep_1.wav", hitBeep()) && ok;
    ok = writeWav(data + "gun.wav", gunPop()) && ok;
    ok = writeWav(data + "boing_1.wav", spring()) && ok;
    ok = writeWav(data + "hasta_la_vista_baby.wav", farewell()) && ok;
    return ok;
}
