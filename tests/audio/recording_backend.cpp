#include "recording_backend.h"

#include "platform/sound/sound_backend.h"

#include <cstdio>

namespace {

std::string number(float v)
{
    char text[32];
    std::snprintf(text, sizeof text, "%g", double(v));
    return text;
}

std::string numbers(std::initializer_list<float> values)
{
    std::string text;
    for (float v : values)
        text += " " + number(v);
    return text;
}

class RecordingBackend final : public platform::SoundBackend {
public:
    RecordingBackend() { soundRecording.log.push_back("open"); }
    ~RecordingBackend() override { soundRecording.log.push_back("close"); }

    void setSearchDirectory(const std::string& directory) override
    {
        soundRecording.log.push_back("search " + directory);
    }

    platform::SoundClipId loadClip(const std::string& name, float minDistance, float maxDistance) override
    {
        const int clip = soundRecording.missing.count(name) ? 0 : soundRecording.nextClip++;
        soundRecording.log.push_back("load " + name + numbers({minDistance, maxDistance}) + " -> " +
                                     std::to_string(clip));
        return clip;
    }

    void setPosition(platform::SoundClipId clip, float x, float y, float z) override
    {
        soundRecording.log.push_back("position " + std::to_string(clip) + numbers({x, y, z}));
    }

    void setListenerPosition(float x, float y, float z) override
    {
        soundRecording.log.push_back("listener" + numbers({x, y, z}));
    }

    void setListenerOrientation(const float f[3], const float t[3]) override
    {
        soundRecording.log.push_back("orientation" + numbers({f[0], f[1], f[2], t[0], t[1], t[2]}));
    }

    void setRepeats(platform::SoundClipId clip, uint32_t repeats) override
    {
        soundRecording.log.push_back("repeats " + std::to_string(clip) + " " + std::to_string(repeats));
    }

    void play(platform::SoundClipId clip) override
    {
        soundRecording.log.push_back("play " + std::to_string(clip));
        soundRecording.playing.insert(clip);
    }

    bool isPlaying(platform::SoundClipId clip) override
    {
        if (soundRecording.playingOnSecondLook.erase(clip)) {
            soundRecording.playing.insert(clip);
            return false;
        }
        return soundRecording.playing.count(clip) > 0;
    }

    void releaseClip(platform::SoundClipId clip) override
    {
        soundRecording.log.push_back("release " + std::to_string(clip));
        soundRecording.playing.erase(clip);
    }

    void stopAll() override
    {
        soundRecording.log.push_back("stop");
        soundRecording.playing.clear();
    }
};

std::unique_ptr<platform::SoundBackend> openRecorder()
{
    return std::make_unique<RecordingBackend>();
}

// Built before every object of default priority, so before the sound system.
struct InstallRecorder {
    InstallRecorder() { platform::setSoundBackendFactory(openRecorder); }
};

} // namespace

SoundRecording soundRecording __attribute__((init_priority(101)));
static InstallRecorder installRecorder __attribute__((init_priority(101)));

std::vector<std::string> SoundRecording::entries(const std::string& word) const
{
    std::vector<std::string> found;
    for (const std::string& entry : log)
        if (entry.compare(0, word.size() + 1, word + " ") == 0 || entry == word)
            found.push_back(entry);
    return found;
}
