// The OpenAL device rendered through its loopback: what is heard, for how long,
// how loud at a distance, and on which side.
#include "loopback_helpers.h"

#include <gtest/gtest.h>

#include <cmath>

using platform::OpenALSoundBackend;

namespace {

class LoopbackTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        device = OpenALSoundBackend::openLoopback(loopbackRate);
        ASSERT_TRUE(device->hasDevice());
        device->setSearchDirectory(folder.path().string());
    }

    // Loudness of both channels together while the clip plays at a place.
    double loudnessAt(platform::SoundClipId clip, float x, float y, float z)
    {
        device->setPosition(clip, x, y, z);
        device->play(clip);
        Stereo out = render(*device, 0.1);
        return out.rms(0, 800, out.frames()) + out.rms(1, 800, out.frames());
    }

    ScratchFolder folder;
    std::unique_ptr<OpenALSoundBackend> device;
};

constexpr size_t quarterSecond = loopbackRate / 4;
constexpr size_t edgeTolerance = 100;   // frames of resampler blur at the edges

TEST_F(LoopbackTest, ClipPlaysForItsLengthThenRepeatsAsOftenAsAsked)
{
    folder.writeTone("beep.wav", 440, 0.25);
    platform::SoundClipId clip = device->loadClip("beep.wav", 10, 100);
    ASSERT_NE(clip, 0);

    device->play(clip);
    EXPECT_TRUE(device->isPlaying(clip));
    auto [first, last] = render(*device, 0.5).audibleSpan();
    EXPECT_LE(first, edgeTolerance);
    EXPECT_NEAR(double(last), double(quarterSecond), double(edgeTolerance));
    EXPECT_FALSE(device->isPlaying(clip));

    // Two repeats: three plays back to back, with no gap between them.
    device->setRepeats(clip, 2);
    device->play(clip);
    Stereo out = render(*device, 0.6);
    EXPECT_TRUE(device->isPlaying(clip));
    Stereo rest = render(*device, 0.4);
    EXPECT_FALSE(device->isPlaying(clip));
    out.samples.insert(out.samples.end(), rest.samples.begin(), rest.samples.end());
    auto span = out.audibleSpan();
    EXPECT_NEAR(double(span.second), double(3 * quarterSecond), double(edgeTolerance));
    const double firstPlay = out.rms(0, 1000, quarterSecond - 1000);
    for (size_t play = 1; play < 3; ++play) {
        const size_t start = play * quarterSecond;
        EXPECT_NEAR(out.rms(0, start - 500, start + 500), firstPlay, firstPlay * 0.1) << "seam " << play;
        EXPECT_NEAR(out.rms(0, start + 1000, start + quarterSecond - 1000), firstPlay, firstPlay * 0.05);
    }
}

TEST_F(LoopbackTest, GainFallsWithDistanceByTheClampedInverseModel)
{
    folder.writeTone("hum.wav", 440, 1.0);
    platform::SoundClipId clip = device->loadClip("hum.wav", 10, 100);
    ASSERT_NE(clip, 0);
    const double reference = loudnessAt(clip, 0, 0, 10);
    ASSERT_GT(reference, 0.01);
    // Full gain within the minimum distance, min/d out to the maximum, and no
    // softer beyond it.
    const std::pair<float, double> expected[] = {{5, 1.0}, {20, 0.5}, {40, 0.25}, {100, 0.1}, {400, 0.1}};
    for (auto [distance, ratio] : expected)
        EXPECT_NEAR(loudnessAt(clip, 0, 0, distance) / reference, ratio, ratio * 0.03) << "at " << distance;
}

TEST_F(LoopbackTest, SoundOnThePlanesRightComesFromTheRightChannel)
{
    folder.writeTone("hum.wav", 440, 1.0);
    platform::SoundClipId clip = device->loadClip("hum.wav", 10, 1000);
    ASSERT_NE(clip, 0);

    // A level plane at (100, 100, 50) flying along +x: its nose is +x, its left
    // +y, and the listener's top vector points down, as the placement sets it.
    const float front[3] = {2.04f, 0, 0};
    const float top[3] = {0, 0, -5};
    device->setListenerPosition(100, 100, 50);
    device->setListenerOrientation(front, top);

    auto sides = [&](float x, float y, float z) {
        device->setPosition(clip, x, y, z);
        device->play(clip);
        Stereo out = render(*device, 0.1);
        return std::make_pair(out.rms(0, 800, out.frames()), out.rms(1, 800, out.frames()));
    };
    auto [rightL, rightR] = sides(100, 50, 50);
    EXPECT_GT(rightR, 4 * rightL);
    auto [leftL, leftR] = sides(100, 150, 50);
    EXPECT_GT(leftL, 4 * leftR);
    auto [aheadL, aheadR] = sides(150, 100, 50);
    EXPECT_NEAR(aheadL, aheadR, 0.02 * aheadL);

    // The same in the frame's own terms: facing +z with the top along +y, +x is
    // to the right.
    const float plainFront[3] = {0, 0, 1};
    const float plainTop[3] = {0, 1, 0};
    device->setListenerPosition(0, 0, 0);
    device->setListenerOrientation(plainFront, plainTop);
    auto [plainL, plainR] = sides(20, 0, 0);
    EXPECT_GT(plainR, 4 * plainL);
}

TEST_F(LoopbackTest, UnusableValuesAreIgnoredAndTheLastGoodOnesKept)
{
    folder.writeTone("hum.wav", 440, 1.0);
    platform::SoundClipId clip = device->loadClip("hum.wav", 10, 1000);
    const float front[3] = {0, 0, 1};
    const float top[3] = {0, 1, 0};
    device->setListenerOrientation(front, top);
    device->setPosition(clip, 20, 0, 0);

    const float zero[3] = {0, 0, 0};
    const float nan[3] = {NAN, 0, 1};
    const float parallel[3] = {0, 0, 3};
    device->setListenerOrientation(zero, top);
    device->setListenerOrientation(nan, top);
    device->setListenerOrientation(front, parallel);
    device->setListenerPosition(NAN, 0, 0);
    device->setPosition(clip, INFINITY, 0, 0);

    device->play(clip);
    Stereo out = render(*device, 0.1);
    const double left = out.rms(0, 800, out.frames());
    const double right = out.rms(1, 800, out.frames());
    EXPECT_TRUE(std::isfinite(left) && std::isfinite(right));
    EXPECT_GT(right, 4 * left);
}

TEST_F(LoopbackTest, MissingFilesReleasedClipsAndStopAllAreHarmless)
{
    EXPECT_EQ(device->loadClip("no/such.wav", 10, 100), 0);
    EXPECT_EQ(device->loadClip("", 10, 100), 0);
    for (platform::SoundClipId bogus : {0, -3, 999}) {
        device->play(bogus);
        device->setPosition(bogus, 1, 2, 3);
        device->setRepeats(bogus, 5);
        EXPECT_FALSE(device->isPlaying(bogus));
        device->releaseClip(bogus);
    }

    folder.writeTone("a.wav", 440, 1.0);
    folder.writeTone("b.wav", 660, 1.0);
    platform::SoundClipId a = device->loadClip("a.wav", 10, 100);
    platform::SoundClipId b = device->loadClip((folder.path() / "b.wav").string(), 10, 100);
    ASSERT_NE(a, 0);
    ASSERT_NE(b, 0);
    device->play(a);
    device->play(b);
    device->stopAll();
    EXPECT_FALSE(device->isPlaying(a));
    EXPECT_FALSE(device->isPlaying(b));
    EXPECT_EQ(render(*device, 0.05).audibleSpan().second, 0u);

    device->play(a);
    device->releaseClip(a);
    EXPECT_FALSE(device->isPlaying(a));
    device->play(a);
    EXPECT_EQ(render(*device, 0.05).audibleSpan().second, 0u);
}

} // namespace
