// With no sound device (this program runs with OpenAL told to use a backend that
// does not exist) everything stays silent and harmless.
#include "loopback_helpers.h"

#include <gtest/gtest.h>

TEST(NoSoundDevice, EveryOperationIsHarmlessAndNothingPlays)
{
    ScratchFolder folder;
    folder.writeTone("a.wav", 440, 0.2);
    std::unique_ptr<platform::SoundBackend> device = platform::openDefaultSoundBackend();
    ASSERT_NE(device, nullptr);
    device->setSearchDirectory(folder.path().string());
    platform::SoundClipId clip = device->loadClip("a.wav", 10, 100);
    EXPECT_EQ(clip, 0);
    const float front[3] = {0, 0, 1};
    const float top[3] = {0, 1, 0};
    device->setListenerPosition(1, 2, 3);
    device->setListenerOrientation(front, top);
    device->setPosition(clip, 1, 2, 3);
    device->setRepeats(clip, 1);
    device->play(clip);
    EXPECT_FALSE(device->isPlaying(clip));
    device->releaseClip(clip);
    device->stopAll();
}
