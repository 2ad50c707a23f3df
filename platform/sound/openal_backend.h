// The sound device on OpenAL: one mono 3-D source per clip, the inverse distance
// clamped model, and tunes streamed into their sources while they play.
#pragma once

#include "platform/sound/sound_backend.h"

#include <memory>

namespace platform {

class OpenALSoundBackend final : public SoundBackend {
public:
    // The machine's default output. Without one the backend still works, silently.
    static std::unique_ptr<OpenALSoundBackend> openDevice();
    // A device that sends its output nowhere and mixes only when asked
    // (renderLoopback): stereo 32-bit float at the given rate. Tunes are rendered
    // in step with it, on the calling thread.
    static std::unique_ptr<OpenALSoundBackend> openLoopback(int sampleRate);

    ~OpenALSoundBackend() override;
    OpenALSoundBackend(const OpenALSoundBackend&) = delete;
    OpenALSoundBackend& operator=(const OpenALSoundBackend&) = delete;

    bool hasDevice() const;
    int sampleRate() const;

    // Loopback devices only: mixes `frames` frames of interleaved left/right
    // samples into out. False (and nothing written) on any other device.
    bool renderLoopback(float* out, int frames);

    void setSearchDirectory(const std::string& directory) override;
    SoundClipId loadClip(const std::string& name, float minDistance, float maxDistance) override;
    void setPosition(SoundClipId clip, float x, float y, float z) override;
    void setListenerPosition(float x, float y, float z) override;
    void setListenerOrientation(const float front[3], const float top[3]) override;
    void setRepeats(SoundClipId clip, uint32_t repeats) override;
    void play(SoundClipId clip) override;
    bool isPlaying(SoundClipId clip) override;
    void releaseClip(SoundClipId clip) override;
    void stopAll() override;

    struct Impl;

private:
    explicit OpenALSoundBackend(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> impl_;
};

} // namespace platform
