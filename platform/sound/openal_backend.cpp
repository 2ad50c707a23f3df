#include "platform/sound/openal_backend.h"

#include "platform/paths.h"
#include "platform/sound/sound_file.h"

#include <AL/al.h>
#include <AL/alc.h>
#include <AL/alext.h>
#include <AL/efx.h>
#include <alsa/asoundlib.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstdlib>
#include <mutex>
#include <thread>
#include <vector>

namespace platform {

namespace {

// Samples per streamed buffer and buffers per stream: about 0.19 s queued ahead
// at 44.1 kHz, refilled by the streaming thread every few milliseconds.
constexpr size_t streamChunk = 2048;
constexpr int streamBuffers = 4;
constexpr auto streamPeriod = std::chrono::milliseconds(10);
// A repeat count beyond this plays this many times (the queue holds one entry
// per play).
constexpr uint32_t maxQueuedPlays = 1000;

void ignoreAlsaMessage(const char*, int, const char*, int, const char*, ...) {}

// With no sound card ALSA and OpenAL would print their failed probes on stderr;
// the program runs silent instead, without a word. OpenAL reads its setting once,
// at its first use, so every way of opening a device starts here.
void quietSoundLibraries()
{
    setenv("ALSOFT_LOGLEVEL", "0", 0);
    snd_lib_error_set_handler(ignoreAlsaMessage);
}

bool endsWithMid(const std::string& name)
{
    if (name.size() < 4)
        return false;
    std::string tail = name.substr(name.size() - 4);
    for (char& c : tail)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return tail == ".mid";
}

bool finite3(const float v[3])
{
    return std::isfinite(v[0]) && std::isfinite(v[1]) && std::isfinite(v[2]);
}

// A tune being streamed into its source. The streaming thread fills it; the main
// thread only starts it, asks whether it plays, and releases it.
struct Stream {
    std::mutex mutex;
    ALuint source = 0;
    ALuint buffers[streamBuffers] = {};
    std::vector<ALuint> freeBuffers;
    std::unique_ptr<SampleStream> generator;
    std::vector<int16_t> scratch = std::vector<int16_t>(streamChunk);
    int sampleRate = 0;
    std::atomic<bool> playing{false};
    std::atomic<bool> startRequested{false};
    std::atomic<uint32_t> repeats{0};
    bool active = false;   // started and not yet drained
    bool ended = false;    // the generator has nothing more
    bool released = false;
};

struct Clip {
    ALuint source = 0;
    ALuint buffer = 0;
    std::shared_ptr<Stream> stream;
    uint32_t repeats = 0;
};

// Unqueues what the source has played, tops the queue up, and restarts a source
// that ran dry before its stream ended. Runs with the stream's mutex held and its
// context current.
void serviceStream(Stream& s)
{
    if (s.released)
        return;
    if (s.startRequested.exchange(false)) {
        alSourceStop(s.source);
        alSourcei(s.source, AL_BUFFER, 0);
        s.freeBuffers.assign(s.buffers, s.buffers + streamBuffers);
        s.generator->start(s.repeats.load());
        s.ended = false;
        s.active = true;
        // A start asked for while the last play was draining: that play's end
        // may have cleared the flag after play() set it.
        s.playing = true;
    }
    if (!s.active)
        return;

    ALint processed = 0;
    alGetSourcei(s.source, AL_BUFFERS_PROCESSED, &processed);
    while (processed-- > 0) {
        ALuint done = 0;
        alSourceUnqueueBuffers(s.source, 1, &done);
        s.freeBuffers.push_back(done);
    }
    while (!s.ended && !s.freeBuffers.empty()) {
        size_t n = s.generator->render(s.scratch.data(), streamChunk);
        if (n < streamChunk)
            s.ended = true;
        if (n == 0)
            break;
        ALuint buffer = s.freeBuffers.back();
        s.freeBuffers.pop_back();
        alBufferData(buffer, AL_FORMAT_MONO16, s.scratch.data(), static_cast<ALsizei>(n * sizeof(int16_t)),
                     s.sampleRate);
        alSourceQueueBuffers(s.source, 1, &buffer);
    }

    ALint queued = 0;
    alGetSourcei(s.source, AL_BUFFERS_QUEUED, &queued);
    if (queued == 0) {
        // Everything rendered has been heard.
        if (s.ended) {
            s.active = false;
            s.playing = false;
        }
        return;
    }
    ALint state = AL_STOPPED;
    alGetSourcei(s.source, AL_SOURCE_STATE, &state);
    if (state != AL_PLAYING)
        alSourcePlay(s.source);
}

} // namespace

struct OpenALSoundBackend::Impl {
    ALCdevice* device = nullptr;
    ALCcontext* context = nullptr;
    bool loopback = false;
    int rate = 44100;
    LPALCRENDERSAMPLESSOFT renderSamples = nullptr;
    std::string searchDirectory;
    std::vector<std::unique_ptr<Clip>> clips;   // clip id = index + 1

    std::mutex streamsMutex;
    std::vector<std::shared_ptr<Stream>> streams;
    std::condition_variable wake;
    bool wakeRequested = false;
    bool quit = false;
    std::thread worker;

    // Makes this device's context current on the calling thread.
    bool use()
    {
        if (!context)
            return false;
        if (alcGetCurrentContext() != context)
            alcMakeContextCurrent(context);
        return true;
    }

    Clip* find(SoundClipId id)
    {
        if (id <= 0 || static_cast<size_t>(id) > clips.size())
            return nullptr;
        return clips[static_cast<size_t>(id) - 1].get();
    }

    // Released clips leave their slots free for the next ones, so a player that
    // loads and releases clip after clip keeps a table of constant size.
    SoundClipId add(std::unique_ptr<Clip> clip)
    {
        for (size_t i = 0; i < clips.size(); ++i) {
            if (!clips[i]) {
                clips[i] = std::move(clip);
                return static_cast<SoundClipId>(i + 1);
            }
        }
        clips.push_back(std::move(clip));
        return static_cast<SoundClipId>(clips.size());
    }

    void serviceAll()
    {
        std::vector<std::shared_ptr<Stream>> list;
        {
            std::lock_guard<std::mutex> lock(streamsMutex);
            list = streams;
        }
        for (auto& s : list) {
            std::lock_guard<std::mutex> lock(s->mutex);
            serviceStream(*s);
        }
    }

    void runWorker()
    {
        auto setThreadContext =
            reinterpret_cast<PFNALCSETTHREADCONTEXTPROC>(alcGetProcAddress(device, "alcSetThreadContext"));
        if (setThreadContext)
            setThreadContext(context);
        else
            alcMakeContextCurrent(context);
        for (;;) {
            {
                std::unique_lock<std::mutex> lock(streamsMutex);
                wake.wait_for(lock, streamPeriod, [this] { return quit || wakeRequested; });
                if (quit)
                    break;
                wakeRequested = false;
            }
            serviceAll();
        }
        if (setThreadContext)
            setThreadContext(nullptr);
    }

    void startWorker()
    {
        if (loopback || worker.joinable())
            return;
        worker = std::thread([this] { runWorker(); });
    }

    void stopWorker()
    {
        {
            std::lock_guard<std::mutex> lock(streamsMutex);
            quit = true;
        }
        wake.notify_all();
        if (worker.joinable())
            worker.join();
    }

    void poke()
    {
        {
            std::lock_guard<std::mutex> lock(streamsMutex);
            wakeRequested = true;
        }
        wake.notify_all();
    }

    SoundClipId loadTune(const std::string& path, float minDistance, float maxDistance);
    SoundClipId loadSound(const std::string& path, float minDistance, float maxDistance);
    void releaseStream(const std::shared_ptr<Stream>& stream);
};

namespace {

ALuint makeSource(float minDistance, float maxDistance)
{
    ALuint source = 0;
    alGetError();
    alGenSources(1, &source);
    if (alGetError() != AL_NO_ERROR)
        return 0;
    alSourcef(source, AL_REFERENCE_DISTANCE, minDistance);
    alSourcef(source, AL_MAX_DISTANCE, maxDistance);
    alSourcef(source, AL_ROLLOFF_FACTOR, 1.0f);
    alSourcei(source, AL_SOURCE_RELATIVE, AL_FALSE);
    return source;
}

} // namespace

SoundClipId OpenALSoundBackend::Impl::loadSound(const std::string& path, float minDistance, float maxDistance)
{
    MonoSound sound;
    if (!readMonoSound(path, sound))
        return 0;
    auto clip = std::make_unique<Clip>();
    alGetError();
    alGenBuffers(1, &clip->buffer);
    if (alGetError() != AL_NO_ERROR)
        return 0;
    alBufferData(clip->buffer, AL_FORMAT_MONO16, sound.samples.data(),
                 static_cast<ALsizei>(sound.samples.size() * sizeof(int16_t)), sound.sampleRate);
    // Checked here: making the source clears the error state first.
    if (alGetError() != AL_NO_ERROR) {
        alDeleteBuffers(1, &clip->buffer);
        return 0;
    }
    clip->source = makeSource(minDistance, maxDistance);
    if (alGetError() != AL_NO_ERROR || !clip->source) {
        if (clip->source)
            alDeleteSources(1, &clip->source);
        alDeleteBuffers(1, &clip->buffer);
        return 0;
    }
    return add(std::move(clip));
}

SoundClipId OpenALSoundBackend::Impl::loadTune(const std::string& path, float minDistance, float maxDistance)
{
    SampleStreamOpener opener = tuneOpener();
    if (!opener)
        return 0;
    std::unique_ptr<SampleStream> generator = opener(path, rate);
    if (!generator)
        return 0;
    auto stream = std::make_shared<Stream>();
    stream->generator = std::move(generator);
    stream->sampleRate = rate;
    stream->source = makeSource(minDistance, maxDistance);
    if (!stream->source)
        return 0;
    alGetError();
    alGenBuffers(streamBuffers, stream->buffers);
    if (alGetError() != AL_NO_ERROR) {
        alDeleteSources(1, &stream->source);
        return 0;
    }
    auto clip = std::make_unique<Clip>();
    clip->source = stream->source;
    clip->stream = stream;
    {
        std::lock_guard<std::mutex> lock(streamsMutex);
        streams.push_back(stream);
    }
    startWorker();
    return add(std::move(clip));
}

void OpenALSoundBackend::Impl::releaseStream(const std::shared_ptr<Stream>& stream)
{
    {
        std::lock_guard<std::mutex> lock(streamsMutex);
        streams.erase(std::remove(streams.begin(), streams.end(), stream), streams.end());
    }
    std::lock_guard<std::mutex> lock(stream->mutex);
    stream->released = true;
    stream->playing = false;
    alSourceStop(stream->source);
    alSourcei(stream->source, AL_BUFFER, 0);
    alDeleteSources(1, &stream->source);
    alDeleteBuffers(streamBuffers, stream->buffers);
    stream->generator.reset();
}

OpenALSoundBackend::OpenALSoundBackend(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}

std::unique_ptr<OpenALSoundBackend> OpenALSoundBackend::openDevice()
{
    auto impl = std::make_unique<Impl>();
    quietSoundLibraries();
    impl->device = alcOpenDevice(nullptr);
    if (impl->device) {
        // No effect sends: the clips use none, and each would cost every voice memory.
        const ALCint attributes[] = {ALC_MAX_AUXILIARY_SENDS, 0, 0};
        impl->context = alcCreateContext(impl->device, attributes);
        if (!impl->context) {
            alcCloseDevice(impl->device);
            impl->device = nullptr;
        }
    }
    if (impl->context) {
        ALCint frequency = 0;
        alcGetIntegerv(impl->device, ALC_FREQUENCY, 1, &frequency);
        if (frequency > 0)
            impl->rate = frequency;
        impl->use();
        alDistanceModel(AL_INVERSE_DISTANCE_CLAMPED);
    }
    return std::unique_ptr<OpenALSoundBackend>(new OpenALSoundBackend(std::move(impl)));
}

std::unique_ptr<OpenALSoundBackend> OpenALSoundBackend::openLoopback(int sampleRate)
{
    auto impl = std::make_unique<Impl>();
    impl->loopback = true;
    impl->rate = sampleRate;
    quietSoundLibraries();
    auto openLoopbackDevice =
        reinterpret_cast<LPALCLOOPBACKOPENDEVICESOFT>(alcGetProcAddress(nullptr, "alcLoopbackOpenDeviceSOFT"));
    impl->renderSamples =
        reinterpret_cast<LPALCRENDERSAMPLESSOFT>(alcGetProcAddress(nullptr, "alcRenderSamplesSOFT"));
    if (openLoopbackDevice && impl->renderSamples)
        impl->device = openLoopbackDevice(nullptr);
    if (impl->device) {
        const ALCint attributes[] = {ALC_FORMAT_CHANNELS_SOFT, ALC_STEREO_SOFT,
                                     ALC_FORMAT_TYPE_SOFT,     ALC_FLOAT_SOFT,
                                     ALC_FREQUENCY,            sampleRate,
                                     ALC_HRTF_SOFT,            ALC_FALSE,
                                     ALC_MAX_AUXILIARY_SENDS,  0,
                                     0};
        impl->context = alcCreateContext(impl->device, attributes);
        if (!impl->context) {
            alcCloseDevice(impl->device);
            impl->device = nullptr;
        }
    }
    if (impl->context) {
        impl->use();
        alDistanceModel(AL_INVERSE_DISTANCE_CLAMPED);
    }
    return std::unique_ptr<OpenALSoundBackend>(new OpenALSoundBackend(std::move(impl)));
}

OpenALSoundBackend::~OpenALSoundBackend()
{
    impl_->stopWorker();
    if (!impl_->use())
        return;
    for (size_t i = 0; i < impl_->clips.size(); ++i)
        releaseClip(static_cast<SoundClipId>(i + 1));
    if (alcGetCurrentContext() == impl_->context)
        alcMakeContextCurrent(nullptr);
    alcDestroyContext(impl_->context);
    alcCloseDevice(impl_->device);
}

bool OpenALSoundBackend::hasDevice() const
{
    return impl_->context != nullptr;
}

int OpenALSoundBackend::sampleRate() const
{
    return impl_->rate;
}

bool OpenALSoundBackend::renderLoopback(float* out, int frames)
{
    if (!impl_->loopback || !impl_->use() || frames <= 0)
        return false;
    // Tunes are refilled between slices no longer than what one stream holds.
    constexpr int slice = static_cast<int>(streamChunk);
    while (frames > 0) {
        int n = std::min(frames, slice);
        impl_->serviceAll();
        impl_->renderSamples(impl_->device, out, n);
        out += 2 * n;
        frames -= n;
    }
    impl_->serviceAll();
    return true;
}

void OpenALSoundBackend::setSearchDirectory(const std::string& directory)
{
    impl_->searchDirectory = directory;
}

SoundClipId OpenALSoundBackend::loadClip(const std::string& name, float minDistance, float maxDistance)
{
    if (!impl_->use() || name.empty())
        return 0;
    std::string path = nativePath(name);
    if (path.front() != '/' && !impl_->searchDirectory.empty())
        path = nativePath(impl_->searchDirectory) + "/" + path;
    if (endsWithMid(path))
        return impl_->loadTune(path, minDistance, maxDistance);
    return impl_->loadSound(path, minDistance, maxDistance);
}

void OpenALSoundBackend::setPosition(SoundClipId id, float x, float y, float z)
{
    Clip* clip = impl_->find(id);
    const float v[3] = {x, y, z};
    if (!clip || !finite3(v) || !impl_->use())
        return;
    // Left-handed to right-handed: the axis ahead of the listener changes sign.
    alSource3f(clip->source, AL_POSITION, x, y, -z);
}

void OpenALSoundBackend::setListenerPosition(float x, float y, float z)
{
    const float v[3] = {x, y, z};
    if (!finite3(v) || !impl_->use())
        return;
    alListener3f(AL_POSITION, x, y, -z);
}

void OpenALSoundBackend::setListenerOrientation(const float front[3], const float top[3])
{
    if (!finite3(front) || !finite3(top) || !impl_->use())
        return;
    const double cx = double(front[1]) * top[2] - double(front[2]) * top[1];
    const double cy = double(front[2]) * top[0] - double(front[0]) * top[2];
    const double cz = double(front[0]) * top[1] - double(front[1]) * top[0];
    const double f2 = double(front[0]) * front[0] + double(front[1]) * front[1] + double(front[2]) * front[2];
    const double t2 = double(top[0]) * top[0] + double(top[1]) * top[1] + double(top[2]) * top[2];
    // Zero or parallel vectors give no orientation; the listener keeps its last.
    if (cx * cx + cy * cy + cz * cz <= 1e-12 * f2 * t2 || f2 == 0 || t2 == 0)
        return;
    const float orientation[6] = {front[0], front[1], -front[2], top[0], top[1], -top[2]};
    alListenerfv(AL_ORIENTATION, orientation);
}

void OpenALSoundBackend::setRepeats(SoundClipId id, uint32_t repeats)
{
    if (Clip* clip = impl_->find(id))
        clip->repeats = repeats;
}

void OpenALSoundBackend::play(SoundClipId id)
{
    Clip* clip = impl_->find(id);
    if (!clip || !impl_->use())
        return;
    if (clip->stream) {
        clip->stream->repeats = clip->repeats;
        clip->stream->playing = true;
        clip->stream->startRequested = true;
        impl_->poke();
        return;
    }
    alSourceStop(clip->source);
    alSourcei(clip->source, AL_BUFFER, 0);
    const uint32_t plays = std::min(clip->repeats, maxQueuedPlays - 1) + 1;
    for (uint32_t i = 0; i < plays; ++i)
        alSourceQueueBuffers(clip->source, 1, &clip->buffer);
    alSourcePlay(clip->source);
}

bool OpenALSoundBackend::isPlaying(SoundClipId id)
{
    Clip* clip = impl_->find(id);
    if (!clip || !impl_->use())
        return false;
    if (clip->stream)
        return clip->stream->playing;
    ALint state = AL_STOPPED;
    alGetSourcei(clip->source, AL_SOURCE_STATE, &state);
    return state == AL_PLAYING;
}

void OpenALSoundBackend::releaseClip(SoundClipId id)
{
    Clip* clip = impl_->find(id);
    if (!clip || !impl_->use())
        return;
    if (clip->stream) {
        impl_->releaseStream(clip->stream);
    } else {
        alSourceStop(clip->source);
        alSourcei(clip->source, AL_BUFFER, 0);
        alDeleteSources(1, &clip->source);
        alDeleteBuffers(1, &clip->buffer);
    }
    impl_->clips[static_cast<size_t>(id) - 1].reset();
}

void OpenALSoundBackend::stopAll()
{
    if (!impl_->use())
        return;
    for (auto& clip : impl_->clips) {
        if (!clip)
            continue;
        if (clip->stream) {
            std::lock_guard<std::mutex> lock(clip->stream->mutex);
            clip->stream->startRequested = false;
            clip->stream->active = false;
            clip->stream->playing = false;
        }
        alSourceStop(clip->source);
    }
}

} // namespace platform
