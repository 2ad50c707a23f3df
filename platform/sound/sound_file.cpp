#include "platform/sound/sound_file.h"

#include <sndfile.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <utility>
#include <vector>

namespace platform {

namespace {

// Only files that open with the mark of a sound container reach the decoder.
// A headerless stream is found by its decoder guessing at the bytes, and the
// MPEG decoder prints its complaints about a wrong guess on stderr: a damaged
// sound file must leave the program silent, without a word.
bool startsAsSoundContainer(const std::string& path)
{
    static const char* const marks[] = {"RIFF", "RIFX", "RF64", "FORM", ".snd", "fLaC", "OggS"};
    char head[4] = {};
    std::ifstream file(path, std::ios::binary);
    if (!file.read(head, sizeof head))
        return false;
    for (const char* mark : marks) {
        if (std::memcmp(head, mark, sizeof head) == 0)
            return true;
    }
    return false;
}

} // namespace

bool readMonoSound(const std::string& path, MonoSound& sound)
{
    if (!startsAsSoundContainer(path))
        return false;
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (!file)
        return false;
    const int channels = info.channels;
    // A file claiming absurd sizes is refused rather than allocated.
    constexpr sf_count_t maxFrames = sf_count_t(48000) * 60 * 30;
    if (channels <= 0 || info.samplerate <= 0 || info.frames <= 0 || info.frames > maxFrames) {
        sf_close(file);
        return false;
    }
    // Floating-point files hold samples from -1 to 1: scale them to the 16-bit
    // range instead of cutting them to 0.
    sf_command(file, SFC_SET_SCALE_FLOAT_INT_READ, nullptr, SF_TRUE);
    // Read block by block rather than all that the header claims at once: a
    // few broken bytes can claim a long sound of many channels, and only what
    // the file really holds is kept.
    const sf_count_t blockFrames = std::max(1, 65536 / channels);
    std::vector<int16_t> block(static_cast<size_t>(blockFrames) * static_cast<size_t>(channels));
    std::vector<int16_t> samples;
    while (static_cast<sf_count_t>(samples.size()) < info.frames) {
        const sf_count_t wanted = std::min(blockFrames, info.frames - static_cast<sf_count_t>(samples.size()));
        const sf_count_t got = sf_readf_short(file, block.data(), wanted);
        if (got <= 0)
            break;
        for (sf_count_t f = 0; f < got; ++f) {
            int64_t sum = 0;
            for (int c = 0; c < channels; ++c)
                sum += block[static_cast<size_t>(f) * static_cast<size_t>(channels) + static_cast<size_t>(c)];
            samples.push_back(static_cast<int16_t>(std::clamp<int64_t>(sum / channels, -32768, 32767)));
        }
    }
    sf_close(file);
    if (samples.empty())
        return false;

    sound.sampleRate = info.samplerate;
    sound.samples = std::move(samples);
    return true;
}

} // namespace platform
