// The levels of a recorded mix between two times in seconds, over all its
// channels:
//
//   sound_mix_levels FILE FROM TO
//
// prints "RMS_DB PEAK_DB CLIPPED": the root mean square and the loudest sample
// in dB of full scale, and the frames in which any channel reaches full scale
// (a 16-bit device would cut them). Reads floating-point files as they are, so
// that samples beyond full scale are seen.
#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

int main(int argc, char** argv)
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s FILE FROM TO\n", argv[0]);
        return 2;
    }
    SF_INFO info{};
    SNDFILE* file = sf_open(argv[1], SFM_READ, &info);
    if (!file || info.channels <= 0 || info.samplerate <= 0) {
        std::fprintf(stderr, "%s: cannot read %s\n", argv[0], argv[1]);
        return 1;
    }
    const auto frameAt = [&](const char* seconds) {
        return sf_count_t(std::fmax(0.0, std::atof(seconds) * info.samplerate));
    };
    const sf_count_t from = frameAt(argv[2]), to = frameAt(argv[3]);
    if (sf_seek(file, from, SEEK_SET) < 0) {
        std::fprintf(stderr, "%s: %s is shorter than %s s\n", argv[0], argv[1], argv[2]);
        return 1;
    }
    std::vector<float> block(size_t(4096) * size_t(info.channels));
    double sum = 0, peak = 0;
    long long frames = 0, clipped = 0;
    while (from + frames < to) {
        const sf_count_t got = sf_readf_float(file, block.data(), std::min<sf_count_t>(4096, to - from - frames));
        if (got <= 0)
            break;
        for (sf_count_t f = 0; f < got; ++f) {
            bool full = false;
            for (int c = 0; c < info.channels; ++c) {
                const double s = block[size_t(f) * size_t(info.channels) + size_t(c)];
                sum += s * s;
                peak = std::fmax(peak, std::fabs(s));
                full = full || std::fabs(s) >= 1.0;
            }
            clipped += full;
        }
        frames += got;
    }
    sf_close(file);
    if (frames < to - from) {
        std::fprintf(stderr, "%s: %s holds %.2f s of the %.2f s asked for\n", argv[0], argv[1],
                     double(frames) / info.samplerate, double(to - from) / info.samplerate);
        return 1;
    }
    const auto dB = [](double v) { return v > 0 ? 20 * std::log10(v) : -999.0; };
    std::printf("%.1f %.1f %lld\n", dB(std::sqrt(sum / double(frames * info.channels))), dB(peak), clipped);
    return 0;
}
