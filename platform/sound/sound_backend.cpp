#include "platform/sound/sound_backend.h"

#include "platform/sound/openal_backend.h"

namespace platform {

namespace {
// Plain pointers, constant-initialised: usable from other objects' static
// construction, whatever the order in which the program's files are set up.
SoundBackendFactory backendFactory = nullptr;
SampleStreamOpener midiOpener = nullptr;
} // namespace

void setSoundBackendFactory(SoundBackendFactory factory)
{
    backendFactory = factory;
}

std::unique_ptr<SoundBackend> openSoundBackend()
{
    if (backendFactory)
        return backendFactory();
    return openDefaultSoundBackend();
}

std::unique_ptr<SoundBackend> openDefaultSoundBackend()
{
    return OpenALSoundBackend::openDevice();
}

void setTuneOpener(SampleStreamOpener opener)
{
    midiOpener = opener;
}

SampleStreamOpener tuneOpener()
{
    return midiOpener;
}

} // namespace platform
