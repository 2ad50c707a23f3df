// The program's own sounds, as the data generator writes them beside the program.
#include "formats/midi_file.h"
#include "platform/sound/sound_file.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <iterator>
#include <set>

namespace {

double rms(const platform::MonoSound& s)
{
    double sum = 0;
    for (int16_t v : s.samples)
        sum += double(v) * v;
    return s.samples.empty() ? 0 : std::sqrt(sum / double(s.samples.size()));
}

platform::MonoSound read(const std::string& name)
{
    platform::MonoSound sound;
    EXPECT_TRUE(platform::readMonoSound(name, sound)) << name;
    return sound;
}

TEST(SoundAssets, EveryClipAndCueIsAnAudibleWaveAndTheGunIsShort)
{
    std::vector<std::string> names = {"sounds/data/coin.wav", "sounds/data/gun.wav", "data/20th_century_fox.wav",
                                      "data/beep_1.wav",      "data/gun.wav",        "data/boing_1.wav",
                                      "data/hasta_la_vista_baby.wav"};
    for (int i = 0; i < 7; ++i)
        names.push_back("sounds/data/" + std::to_string(i) + ".wav");
    for (const std::string& name : names)
        EXPECT_GT(rms(read(name)), 1000) << name;
    const platform::MonoSound gun = read("sounds/data/gun.wav");
    EXPECT_LT(double(gun.samples.size()) / gun.sampleRate, 0.5);

    // Seven different effects.
    std::vector<std::vector<int16_t>> effects;
    for (int i = 0; i < 7; ++i)
        effects.push_back(read("sounds/data/" + std::to_string(i) + ".wav").samples);
    for (int i = 0; i < 7; ++i)
        for (int j = i + 1; j < 7; ++j)
            EXPECT_NE(effects[size_t(i)], effects[size_t(j)]) << i << " and " << j;
}

TEST(SoundAssets, TheThreeTunesAreMidiFilesWithSeveralInstruments)
{
    for (const char* name : {"sounds/data/unforgiven.mid", "sounds/data/mi2.mid", "sounds/data/letthebeat.mid"}) {
        std::ifstream file(name, std::ios::binary);
        std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
        formats::MidiTune tune;
        ASSERT_TRUE(formats::parseMidiFile(bytes.data(), bytes.size(), tune)) << name;
        EXPECT_GT(tune.length, 20.0) << name;
        EXPECT_LT(tune.length, 120.0) << name;
        std::set<int> channels;
        for (const formats::MidiEvent& e : tune.events)
            if ((e.status & 0xf0) == 0x90)
                channels.insert(e.status & 0x0f);
        EXPECT_GE(channels.size(), 3u) << name;
    }
}

} // namespace
