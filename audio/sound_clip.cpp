#include "audio/sound_clip.h"

#include "platform/clock.h"
#include "platform/midi/midi_tunes.h"
#include "platform/paths.h"

#include <string>


SoundSystem::SoundSystem()
{
    platform::enableMidiTunes();
    performance = platform::openSoundBackend();
    // The current directory as the system reports it, without a trailing
    // separator, then "//sounds".
    std::string directory = platform::currentDirectory();
    if (directory.size() > 1 && directory.back() == '/')
        directory.pop_back();
    setSearchDirectory((directory + "//sounds").c_str());
}

SoundSystem::~SoundSystem()
{
    if (performance)
        performance->stopAll();
    performance.reset();
}

int SoundSystem::setSearchDirectory(const char* directory)
{
    if (performance)
        performance->setSearchDirectory(directory);
    return 0;
}

SoundClip::SoundClip() : performance(soundSystem.performance.get()) {}

SoundClip::~SoundClip()
{
    if (segment && performance)
        performance->releaseClip(segment);
}

void SoundClip::load(const char* fileName, float minDistance, float maxDistance)
{
    if (!performance)
        return;
    // A clip loaded again gives up its earlier file first.
    if (segment)
        performance->releaseClip(segment);
    segment = performance->loadClip(fileName, minDistance, maxDistance);
}

void SoundClip::play()
{
    if (segment)
        performance->play(segment);
}

void SoundClip::setPosition(float x, float y, float z)
{
    if (segment)
        performance->setPosition(segment, x, y, z);
}

void SoundClip::setListener(float x, float y, float z)
{
    if (segment)
        performance->setListenerPosition(x, y, z);
}

void SoundClip::setListener(float x, float y, float z, const float front[3], const float top[3])
{
    setListener(x, y, z);
    setListenerOrientation(front, top);
}

void SoundClip::setListenerOrientation(const float front[3], const float top[3])
{
    if (segment)
        performance->setListenerOrientation(front, top);
}

void SoundClip::setRepeats(uint32_t repeats)
{
    if (segment)
        performance->setRepeats(segment, repeats);
}

bool SoundClip::isPlaying()
{
    return segment && performance->isPlaying(segment);
}

// Built in this order before main, released in reverse order after it: the sound
// system first, since every clip copies its device.
SoundSystem soundSystem;
SoundClip coinClip;
SoundClip myCollide[effectClipCount];
SoundClip musicClips[musicClipCount];
SoundClip bubbleFly[planeCount];

int activeSouceCount = 0;

void loadSounds()
{
    coinClip.load("data/coin.wav", 10, 2000);
    coinClip.setPosition(0, 0, 0);
    coinClip.setListener(0, 0, 0);
    coinClip.setRepeats(1);
    coinClip.play();

    static const char* const tunes[musicClipCount] = {"data/unforgiven.mid", "data/mi2.mid",
                                                      "data/letthebeat.mid"};
    for (int i = 0; i < musicClipCount; ++i) {
        SoundClip& clip = musicClips[i];
        clip.load(tunes[i], 10, 200);
        clip.setPosition(150, 150, 990);
        clip.setRepeats(99);
        clip.play();
        clip.odeBodyID = nullptr;
    }

    for (int i = 0; i < effectClipCount; ++i) {
        SoundClip& clip = myCollide[i];
        const std::string name = "data/" + std::to_string(i) + ".wav";
        clip.load(name.c_str(), 30, 300);
        clip.setPosition(999, 999, 999);
        clip.setRepeats(1);
        clip.odeBodyID = nullptr;
        clip.startTime = platform::nowSeconds();
    }

    for (SoundClip& clip : bubbleFly)
        clip.load("data/gun.wav", 30, 1000);
}
