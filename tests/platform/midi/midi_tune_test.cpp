// Tunes rendered by the synthesizer: on their own, and streamed into the
// loopback device's sources.
#include "loopback_helpers.h"

#include "platform/midi/midi_tunes.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

constexpr int rate = 22050;

// One second at 120 beats a minute: a piano note for the first three quarters.
std::string writeShortTune(ScratchFolder& folder)
{
    const std::string file = (folder.path() / "short.mid").string();
    synth::writeMidi(file, {120, 2, {{0, 0, 100, 64, {{0, 1.5, 60, 110}}}}});
    return file;
}

double rms(const std::vector<int16_t>& s, size_t from, size_t to)
{
    double sum = 0;
    for (size_t i = from; i < to && i < s.size(); ++i)
        sum += double(s[i]) * s[i];
    return to > from ? std::sqrt(sum / double(to - from)) : 0;
}

std::vector<int16_t> renderAll(platform::SampleStream& stream, size_t limit)
{
    std::vector<int16_t> out;
    std::vector<int16_t> chunk(1000);
    for (;;) {
        size_t n = stream.render(chunk.data(), chunk.size());
        out.insert(out.end(), chunk.begin(), chunk.begin() + long(n));
        if (n < chunk.size() || out.size() > limit)
            return out;
    }
}

TEST(MidiTune, PlaysForItsLengthRepeatsThenRingsOutAndEnds)
{
    ScratchFolder folder;
    auto stream = platform::openMidiTune(writeShortTune(folder), rate);
    ASSERT_NE(stream, nullptr);
    stream->start(1);
    std::vector<int16_t> out = renderAll(*stream, 10 * rate);
    // Two plays of one second, then at most two seconds of ringing.
    EXPECT_GE(out.size(), size_t(2 * rate));
    EXPECT_LE(out.size(), size_t(4 * rate));
    const double firstPlay = rms(out, 0, rate * 3 / 4);
    EXPECT_GT(firstPlay, 100);
    EXPECT_GT(rms(out, rate, rate + rate * 3 / 4), firstPlay / 3) << "the repetition sounds";
    EXPECT_LT(rms(out, out.size() - 500, out.size()), firstPlay / 10) << "ends quiet";

    // A new start plays it from the top again.
    stream->start(0);
    std::vector<int16_t> again = renderAll(*stream, 10 * rate);
    EXPECT_GE(again.size(), size_t(rate));
    EXPECT_LT(again.size(), out.size());
}

TEST(MidiTune, MissingSoundFontOrFileIsSilence)
{
    ScratchFolder folder;
    const std::string tune = writeShortTune(folder);
    EXPECT_EQ(platform::openMidiTune((folder.path() / "none.mid").string(), rate), nullptr);
    folder.writeTone("not-midi.mid", 440, 0.1);
    EXPECT_EQ(platform::openMidiTune((folder.path() / "not-midi.mid").string(), rate), nullptr);

    platform::setMidiSoundFont((folder.path() / "missing.sf2").string());
    auto stream = platform::openMidiTune(tune, rate);
    ASSERT_NE(stream, nullptr);
    stream->start(5);
    int16_t buffer[256];
    EXPECT_EQ(stream->render(buffer, 256), 0u);
    platform::setMidiSoundFont("/usr/share/sounds/sf2/TimGM6mb.sf2");
}

TEST(MidiTune, StreamsIntoATuneClipOfTheDevice)
{
    ScratchFolder folder;
    writeShortTune(folder);
    platform::enableMidiTunes();
    auto device = platform::OpenALSoundBackend::openLoopback(loopbackRate);
    ASSERT_TRUE(device->hasDevice());
    device->setSearchDirectory(folder.path().string());
    platform::SoundClipId clip = device->loadClip("short.mid", 10, 200);
    ASSERT_NE(clip, 0);
    EXPECT_EQ(device->loadClip("none.mid", 10, 200), 0);

    device->play(clip);
    EXPECT_TRUE(device->isPlaying(clip));
    Stereo first = render(*device, 0.5);
    EXPECT_GT(first.rms(0, 0, first.frames()), 0.005);
    EXPECT_TRUE(device->isPlaying(clip));
    // One second of tune and at most two of ringing.
    for (int i = 0; i < 8 && device->isPlaying(clip); ++i)
        render(*device, 0.5);
    EXPECT_FALSE(device->isPlaying(clip));
    device->releaseClip(clip);
}

} // namespace
