#include "platform/sound/sound_file.h"

#include "platform/regular_file.h"

#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <unistd.h>
#include <utility>
#include <vector>

namespace platform {

namespace {

// Only files that open with the mark of a sound container reach the decoder.
// A headerless stream is found by its decoder guessing at the bytes, and the
// MPEG decoder prints its complaints about a wrong guess on stderr: a damaged
// sound file must leave the program silent, without a word.
bool startsAsSoundContainer(int fd)
{
    static const char* const marks[] = {"RIFF", "RIFX", "RF64", "FORM", ".snd", "fLaC", "OggS"};
    char head[4] = {};
    if (pread(fd, head, sizeof head, 0) != static_cast<ssize_t>(sizeof head))
        return false;
    for (const char* mark : marks) {
        if (std::memcmp(head, mark, sizeof head) == 0)
            return true;
    }
    return false;
}

// A sample from -1 to 1 (full scale) as a 16-bit one; beyond full scale it is
// cut there.
int16_t fromFullScale(float sample)
{
    if (std::isnan(sample))
        return 0;
    return static_cast<int16_t>(std::clamp(std::nearbyint(sample * 32768.0f), -32768.0f, 32767.0f));
}

} // namespace

bool readMonoSound(const std::string& path, MonoSound& sound)
{
    // The file is opened once, without waiting, and the decoder reads that
    // very file: what stands in its place can neither block nor run on.
    RegularFile source;
    if (!source.open(path, maxSoundFileBytes) || !startsAsSoundContainer(source.descriptor()))
        return false;
    SF_INFO info{};
    // The descriptor stays with `source`, which closes it after the decoder.
    SNDFILE* file = sf_open_fd(source.descriptor(), SFM_READ, &info, SF_FALSE);
    if (!file)
        return false;
    const int channels = info.channels;
    // A file claiming absurd sizes is refused rather than allocated.
    if (channels <= 0 || info.samplerate <= 0 || info.frames <= 0 || info.frames > maxSoundFrames) {
        sf_close(file);
        return false;
    }
    // Every format is read as floating point from -1 to 1: integer samples are
    // scaled by their full scale, floating-point ones are taken as they are.
    // (The decoder's own conversion of floating-point files to integers either
    // cuts them to 0 or scales each file to its own loudest sample.)
    sf_command(file, SFC_SET_NORM_FLOAT, nullptr, SF_TRUE);
    // Read block by block rather than all that the header claims at once: a
    // few broken bytes can claim a long sound of many channels, and only what
    // the file really holds is kept.
    const sf_count_t blockFrames = std::max(1, 65536 / channels);
    std::vector<float> block(static_cast<size_t>(blockFrames) * static_cast<size_t>(channels));
    std::vector<int16_t> samples;
    while (static_cast<sf_count_t>(samples.size()) < info.frames) {
        const sf_count_t wanted = std::min(blockFrames, info.frames - static_cast<sf_count_t>(samples.size()));
        const sf_count_t got = sf_readf_float(file, block.data(), wanted);
        if (got <= 0)
            break;
        for (sf_count_t f = 0; f < got; ++f) {
            const float* frame = block.data() + static_cast<size_t>(f) * static_cast<size_t>(channels);
            int64_t sum = 0;
            for (int c = 0; c < channels; ++c)
                sum += fromFullScale(frame[c]);
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
