// Prints the loudness (root mean square, 0 to 1) of a sound file between two
// times in seconds: sound_level FILE FROM TO
#include "platform/sound/sound_file.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv)
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s FILE FROM TO\n", argv[0]);
        return 2;
    }
    platform::MonoSound sound;
    if (!platform::readMonoSound(argv[1], sound)) {
        std::fprintf(stderr, "%s: cannot read %s\n", argv[0], argv[1]);
        return 1;
    }
    const auto at = [&](const char* seconds) {
        const double frame = std::atof(seconds) * sound.sampleRate;
        return size_t(std::fmin(std::fmax(frame, 0.0), double(sound.samples.size())));
    };
    const size_t from = at(argv[2]), to = at(argv[3]);
    double sum = 0;
    for (size_t i = from; i < to; ++i)
        sum += double(sound.samples[i]) * sound.samples[i];
    std::printf("%.5f\n", to > from ? std::sqrt(sum / double(to - from)) / 32768.0 : 0.0);
    return 0;
}
