// Prints the loudness (root mean square, 0 to 1) of a sound file between two
// times in seconds, failing when the file ends before TO:
//   sound_level FILE FROM TO
// or the time at which a sound begins: the start of the first 10-ms stretch
// before TO that is louder than LEVEL, failing when there is none:
//   sound_level --onset FILE LEVEL TO
#include "platform/sound/sound_file.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

int main(int argc, char** argv)
{
    const bool onset = argc == 5 && std::strcmp(argv[1], "--onset") == 0;
    if (argc != 4 && !onset) {
        std::fprintf(stderr, "usage: %s FILE FROM TO | --onset FILE LEVEL TO\n", argv[0]);
        return 2;
    }
    const char* name = argv[onset ? 2 : 1];
    platform::MonoSound sound;
    if (!platform::readMonoSound(name, sound)) {
        std::fprintf(stderr, "%s: cannot read %s\n", argv[0], name);
        return 1;
    }
    const auto frame = [&](const char* seconds) { return std::fmax(std::atof(seconds), 0.0) * sound.sampleRate; };
    const double end = frame(argv[onset ? 4 : 3]);
    const auto rms = [&](size_t from, size_t to) {
        double sum = 0;
        for (size_t i = from; i < to; ++i)
            sum += double(sound.samples[i]) * sound.samples[i];
        return to > from ? std::sqrt(sum / double(to - from)) / 32768.0 : 0.0;
    };
    if (onset) {
        const size_t step = size_t(sound.sampleRate / 100);
        for (size_t at = 0; at + step <= sound.samples.size() && double(at) < end; at += step) {
            if (rms(at, at + step) > std::atof(argv[3])) {
                std::printf("%.2f\n", double(at) / sound.sampleRate);
                return 0;
            }
        }
        std::fprintf(stderr, "%s: nothing louder than %s in %s\n", argv[0], argv[3], name);
        return 1;
    }
    if (end > double(sound.samples.size())) {
        std::fprintf(stderr, "%s: %s holds %.2f s\n", argv[0], name, double(sound.samples.size()) / sound.sampleRate);
        return 1;
    }
    std::printf("%.5f\n", rms(size_t(std::fmin(frame(argv[2]), end)), size_t(end)));
    return 0;
}
