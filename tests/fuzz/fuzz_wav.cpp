// Sound files through the decoder: a file that reads gives a rate and samples,
// never more than the longest sound the loader takes.
#include "platform/sound/sound_file.h"
#include "tests/fuzz/fuzz_support.h"

#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string path = fuzz::writeScratchFile("sound.wav", data, size);
    platform::MonoSound sound;
    if (platform::readMonoSound(path, sound))
        fuzz::check(sound.sampleRate > 0 && !sound.samples.empty() && sound.samples.size() <= platform::maxSoundFrames);
    return 0;
}
