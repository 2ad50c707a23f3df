// The levels of a recorded mix between two times in seconds, over all its
// channels:
//
//   sound_mix_levels FILE FROM TO
//
// prints "RMS_DB PEAK_DB CLIPPED": the root mean square and the loudest sample
// in dB of full scale, and the frames in which any channel reaches full scale
// (a 16-bit device would cut them). Or a sound's level from where it begins,
// as the saver's sound test measures it:
//
//   sound_mix_levels --from-onset FILE LEVEL SECONDS
//
// prints "ONSET RMS_DB": the start of the first 10-ms stretch in the first 9 s
// whose mono mix (the mean of the channels) has a root mean square above LEVEL
// (of full scale), and the root mean square of the mono mix over SECONDS from
// there, in dB of full scale. Reads floating-point files as they are, so that
// samples beyond full scale are seen.
#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

double dB(double v)
{
    return v > 0 ? 20 * std::log10(v) : -999.0;
}

// The whole file as its mono mix.
std::vector<double> monoMix(SNDFILE* file, const SF_INFO& info)
{
    std::vector<double> mono;
    std::vector<float> block(size_t(4096) * size_t(info.channels));
    for (;;) {
        const sf_count_t got = sf_readf_float(file, block.data(), 4096);
        if (got <= 0)
            return mono;
        for (sf_count_t f = 0; f < got; ++f) {
            double sum = 0;
            for (int c = 0; c < info.channels; ++c)
                sum += block[size_t(f) * size_t(info.channels) + size_t(c)];
            mono.push_back(sum / info.channels);
        }
    }
}

int fromOnset(const char* program, const char* name, SNDFILE* file, const SF_INFO& info, double level,
              double seconds)
{
    const std::vector<double> mono = monoMix(file, info);
    const auto rms = [&](size_t from, size_t to) {
        double sum = 0;
        for (size_t i = from; i < to; ++i)
            sum += mono[i] * mono[i];
        return to > from ? std::sqrt(sum / double(to - from)) : 0.0;
    };
    const size_t step = size_t(info.samplerate / 100);
    const size_t searched = size_t(9 * info.samplerate);
    for (size_t at = 0; at + step <= mono.size() && at < searched; at += step) {
        if (rms(at, at + step) <= level)
            continue;
        const size_t to = at + size_t(seconds * info.samplerate);
        if (to > mono.size()) {
            std::fprintf(stderr, "%s: %s ends before %.2f s from the onset\n", program, name, seconds);
            return 1;
        }
        std::printf("%.2f %.1f\n", double(at) / info.samplerate, dB(rms(at, to)));
        return 0;
    }
    std::fprintf(stderr, "%s: nothing louder than %g in the first 9 s of %s\n", program, level, name);
    return 1;
}

} // namespace

int main(int argc, char** argv)
{
    const bool onset = argc == 5 && std::string(argv[1]) == "--from-onset";
    if (argc != 4 && !onset) {
        std::fprintf(stderr, "usage: %s FILE FROM TO | --from-onset FILE LEVEL SECONDS\n", argv[0]);
        return 2;
    }
    const char* name = argv[onset ? 2 : 1];
    SF_INFO info{};
    SNDFILE* file = sf_open(name, SFM_READ, &info);
    if (!file || info.channels <= 0 || info.samplerate <= 0) {
        std::fprintf(stderr, "%s: cannot read %s\n", argv[0], name);
        return 1;
    }
    if (onset) {
        const int result = fromOnset(argv[0], name, file, info, std::atof(argv[3]), std::atof(argv[4]));
        sf_close(file);
        return result;
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
    std::printf("%.1f %.1f %lld\n", dB(std::sqrt(sum / double(frames * info.channels))), dB(peak), clipped);
    return 0;
}
