#include "loopback_helpers.h"

#include <cmath>
#include <unistd.h>

ScratchFolder::ScratchFolder()
{
    static int counter = 0;
    path_ = std::filesystem::temp_directory_path() /
            ("skarvel-sound-" + std::to_string(getpid()) + "-" + std::to_string(counter++));
    std::filesystem::create_directories(path_);
}

ScratchFolder::~ScratchFolder()
{
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

std::string ScratchFolder::writeTone(const std::string& name, double frequency, double seconds, float amplitude)
{
    synth::Sound tone;
    tone.samples.resize(size_t(std::lround(seconds * synth::sampleRate)));
    for (size_t i = 0; i < tone.samples.size(); ++i)
        tone.samples[i] = amplitude * float(std::sin(6.283185307179586 * frequency * double(i) / synth::sampleRate));
    const std::string file = (path_ / name).string();
    synth::writeWav(file, tone);
    return file;
}

double Stereo::rms(int channel, size_t from, size_t to) const
{
    double sum = 0;
    for (size_t f = from; f < to; ++f) {
        const double v = samples[2 * f + size_t(channel)];
        sum += v * v;
    }
    return to > from ? std::sqrt(sum / double(to - from)) : 0;
}

std::pair<size_t, size_t> Stereo::audibleSpan(float threshold) const
{
    size_t first = 0, last = 0;
    bool any = false;
    for (size_t f = 0; f < frames(); ++f) {
        if (std::fabs(left(f)) > threshold || std::fabs(right(f)) > threshold) {
            if (!any)
                first = f;
            any = true;
            last = f + 1;
        }
    }
    return {first, last};
}

Stereo render(platform::OpenALSoundBackend& device, double seconds)
{
    Stereo out;
    const int frames = int(std::lround(seconds * loopbackRate));
    out.samples.resize(size_t(frames) * 2);
    device.renderLoopback(out.samples.data(), frames);
    return out;
}
