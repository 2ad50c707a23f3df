// The scene's construction loads the 18 clips and starts the start-up sound and
// the three tunes.
#include "audio_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using LoadSounds = AudioArenaTest;

TEST_F(LoadSounds, LoadsEighteenClipsInOrderAndStartsTheStartUpSoundAndTunes)
{
    const std::vector<std::string> expected = {
        "load data/coin.wav 10 2000 -> 1",
        "position 1 0 0 0",
        "listener 0 0 0",
        "repeats 1 1",
        "play 1",
        "load data/unforgiven.mid 10 200 -> 2",
        "position 2 150 150 990",
        "repeats 2 99",
        "play 2",
        "load data/mi2.mid 10 200 -> 3",
        "position 3 150 150 990",
        "repeats 3 99",
        "play 3",
        "load data/letthebeat.mid 10 200 -> 4",
        "position 4 150 150 990",
        "repeats 4 99",
        "play 4",
        "load data/0.wav 30 300 -> 5",
        "position 5 999 999 999",
        "repeats 5 1",
        "load data/1.wav 30 300 -> 6",
        "position 6 999 999 999",
        "repeats 6 1",
        "load data/2.wav 30 300 -> 7",
        "position 7 999 999 999",
        "repeats 7 1",
        "load data/3.wav 30 300 -> 8",
        "position 8 999 999 999",
        "repeats 8 1",
        "load data/4.wav 30 300 -> 9",
        "position 9 999 999 999",
        "repeats 9 1",
        "load data/5.wav 30 300 -> 10",
        "position 10 999 999 999",
        "repeats 10 1",
        "load data/6.wav 30 300 -> 11",
        "position 11 999 999 999",
        "repeats 11 1",
        "load data/gun.wav 30 1000 -> 12",
        "load data/gun.wav 30 1000 -> 13",
        "load data/gun.wav 30 1000 -> 14",
        "load data/gun.wav 30 1000 -> 15",
        "load data/gun.wav 30 1000 -> 16",
        "load data/gun.wav 30 1000 -> 17",
        "load data/gun.wav 30 1000 -> 18",
    };
    EXPECT_EQ(sceneLog, expected);
    for (const SoundClip& clip : myCollide) {
        EXPECT_EQ(clip.odeBodyID, nullptr);
        EXPECT_FLOAT_EQ(clip.startTime, 100.0f) << "its loading time";
    }
    for (const SoundClip& clip : musicClips)
        EXPECT_EQ(clip.odeBodyID, nullptr);
}

TEST_F(LoadSounds, AClipWhoseFileIsMissingStaysSilentAndHarmless)
{
    soundRecording.missing = {"data/coin.wav"};
    soundRecording.nextClip = 1;
    loadSounds();
    EXPECT_EQ(coinClip.segment, 0);
    const std::vector<std::string> loads = soundRecording.entries("load");
    ASSERT_GE(loads.size(), 2u);
    EXPECT_EQ(loads[0], "load data/coin.wav 10 2000 -> 0");
    EXPECT_EQ(loads[1], "load data/unforgiven.mid 10 200 -> 1");
    // Nothing of the empty clip reaches the device.
    EXPECT_TRUE(soundRecording.entries("listener").empty());
    for (const std::string word : {"position", "repeats", "play"})
        for (const std::string& entry : soundRecording.entries(word))
            EXPECT_NE(entry.compare(0, word.size() + 3, std::string(word) + " 0 "), 0) << entry;

    const size_t before = recorded().size();
    const float front[3] = {1, 0, 0};
    const float top[3] = {0, 0, -1};
    coinClip.setPosition(1, 2, 3);
    coinClip.setListener(1, 2, 3, front, top);
    coinClip.setRepeats(3);
    coinClip.play();
    EXPECT_FALSE(coinClip.isPlaying());
    EXPECT_EQ(recorded().size(), before);
}

} // namespace
