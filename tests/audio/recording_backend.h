// A sound device that plays nothing and writes down every call the sound system
// makes of it, in order. Linking recording_backend.cpp into a test program makes
// it the device of the program's sound system, from before main on.
#pragma once

#include <set>
#include <string>
#include <vector>

struct SoundRecording {
    std::vector<std::string> log;
    // Clips that report playing: every clip played, until a test says otherwise.
    std::set<int> playing;
    // Clips that report not playing when first asked and playing from then on.
    std::set<int> playingOnSecondLook;
    // File names whose loading fails.
    std::set<std::string> missing;
    int nextClip = 1;

    void clear() { log.clear(); }
    // The entries that start with the given word.
    std::vector<std::string> entries(const std::string& word) const;
};

extern SoundRecording soundRecording;
