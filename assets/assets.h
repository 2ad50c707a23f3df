// The generators of the program's data files. Each writes its files under the
// given output folder and returns false (after saying why on stderr) on failure.
#pragma once

#include <string>

// The 19 pictures: data/... and info/1.jpg to info/13.jpg.
bool writePictures(const std::string& out);
// The start-up chime, the seven effects, the gun sound and the three tunes,
// under sounds/data/.
bool writeSounds(const std::string& out);
// The five cue sounds, under data/.
bool writeCues(const std::string& out);
