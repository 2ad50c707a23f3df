// Tunes rendered by the synthesizer: on their own, and streamed into the
// loopback device's sources.
#include "loopback_helpers.h"

#include "formats/sound_font_subset.h"
#include "platform/midi/midi_tunes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <sys/stat.h>
#include <tuple>
#include <unistd.h>

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

// A format-0 file written byte by byte, for what the tune writer does not make:
// bank selects, program changes on the drum channel and in mid-tune.
std::string writeProgramTune(ScratchFolder& folder)
{
    struct Event {
        uint32_t tick;
        std::vector<uint8_t> bytes;
    };
    std::vector<Event> events = {
        {0, {0xc0, 39}},                   // synth bass
        {0, {0xb1, 0, 1}}, {0, {0xc1, 24}}, // bank 1, which the font lacks: its bank 0 guitar
        {0, {0xc9, 61}},                   // a drum kit the font lacks: the standard kit
        {0, {0xc3, 48}},                   // strings, then a flute from the second beat
        {960, {0xc3, 73}},
    };
    for (uint32_t beat = 0; beat < 4; ++beat) {
        const uint32_t t = beat * 480;
        for (auto [channel, key] : {std::pair{0, 36 + int(beat)}, {1, 60 + 2 * int(beat)}, {2, 72}, {3, 67}})
            events.push_back({t, {uint8_t(0x90 | channel), uint8_t(key), 100}}),
                events.push_back({t + 400, {uint8_t(0x80 | channel), uint8_t(key), 0}});
        events.push_back({t, {0x99, uint8_t(beat % 2 ? 38 : 36), 110}});
        events.push_back({t + 240, {0x99, 42, 90}});
    }
    std::stable_sort(events.begin(), events.end(), [](auto& a, auto& b) { return a.tick < b.tick; });
    std::vector<uint8_t> track;
    uint32_t last = 0;
    for (const Event& e : events) {
        uint32_t delta = e.tick - last;
        last = e.tick;
        uint8_t bytes[4];
        int n = 0;
        bytes[n++] = uint8_t(delta & 0x7f);
        while (delta >>= 7)
            bytes[n++] = uint8_t(0x80 | (delta & 0x7f));
        while (n > 0)
            track.push_back(bytes[--n]);
        track.insert(track.end(), e.bytes.begin(), e.bytes.end());
    }
    track.insert(track.end(), {0x00, 0xff, 0x2f, 0x00});
    std::vector<uint8_t> file = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, 0x01, 0xe0, 'M', 'T', 'r', 'k'};
    for (int shift = 24; shift >= 0; shift -= 8)
        file.push_back(uint8_t(track.size() >> shift));
    file.insert(file.end(), track.begin(), track.end());
    const std::string path = (folder.path() / "programs.mid").string();
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(file.data()), long(file.size()));
    return path;
}

// The synthesizer holds only the presets its tunes select; every sample must come
// out as with the whole font, also for a tune that comes while another plays.
TEST(MidiTune, TrimmedSoundFontSoundsLikeTheWholeFont)
{
    ScratchFolder folder;
    const std::string programs = writeProgramTune(folder);
    const std::string parts = (folder.path() / "parts.mid").string();
    synth::writeMidi(parts, {140, 4,
                             {{0, 80, 100, 40, {{0, 1, 64, 100}, {1, 1, 67, 100}, {2, 2, 71, 90}}},
                              {1, 4, 90, 90, {{0, 3, 52, 100}}},
                              {9, 0, 100, 64, {{0, 0.5, 36, 120}, {2, 0.5, 40, 120}}}}});

    auto play = [&](bool trimmed) {
        platform::setMidiSoundFontTrimming(trimmed);
        auto first = platform::openMidiTune(programs, rate);
        auto second = platform::openMidiTune(parts, rate);
        first->start(1);
        std::vector<int16_t> out(rate);
        first->render(out.data(), out.size());
        second->start(0);   // its programs are loaded while the first plays
        for (int i = 0; i < 5; ++i) {
            int16_t a[4410], b[4410];
            const size_t na = first->render(a, 4410), nb = second->render(b, 4410);
            out.insert(out.end(), a, a + na);
            out.insert(out.end(), b, b + nb);
        }
        return out;
    };
    const std::vector<int16_t> whole = play(false);
    const std::vector<int16_t> trimmed = play(true);
    platform::setMidiSoundFontTrimming(true);

    ASSERT_EQ(trimmed.size(), whole.size());
    EXPECT_GT(rms(whole, 0, rate), 300);
    EXPECT_GT(rms(whole, rate, whole.size()), 300);
    size_t differing = 0;
    for (size_t i = 0; i < whole.size(); ++i)
        differing += whole[i] != trimmed[i];
    EXPECT_EQ(differing, 0u);
}

TEST(MidiTune, ChannelNineIsTheDrumKitAndOtherChannelsAreNot)
{
    ScratchFolder folder;
    // The same key on the drum channel and on a piano channel.
    const std::string drums = (folder.path() / "drums.mid").string();
    const std::string piano = (folder.path() / "piano.mid").string();
    synth::writeMidi(drums, {120, 2, {{9, 0, 100, 64, {{0, 0.5, 38, 110}}}}});
    synth::writeMidi(piano, {120, 2, {{0, 0, 100, 64, {{0, 0.5, 38, 110}}}}});
    // Three tunes at once, as the saver plays them: the drum channel of every
    // slot must stay a drum channel, whichever slot a tune takes.
    std::vector<std::unique_ptr<platform::SampleStream>> streams;
    for (int i = 0; i < 3; ++i) {
        streams.push_back(platform::openMidiTune(i % 2 ? piano : drums, rate));
        ASSERT_NE(streams.back(), nullptr);
        streams.back()->start(0);
    }
    std::vector<int16_t> first = renderAll(*streams[0], 4 * rate);
    std::vector<int16_t> second = renderAll(*streams[1], 4 * rate);
    std::vector<int16_t> third = renderAll(*streams[2], 4 * rate);
    ASSERT_GT(rms(first, 0, rate / 2), 50);
    ASSERT_GT(rms(second, 0, rate / 2), 50);
    size_t n = std::min(first.size(), second.size());
    size_t same = 0;
    for (size_t i = 0; i < n; ++i)
        same += first[i] == second[i];
    EXPECT_LT(same, n / 2) << "the drum note sounds like the piano note";
    // Two tunes with the same drum part sound alike, in any slot.
    ASSERT_EQ(first.size(), third.size());
    EXPECT_EQ(first, third);
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
    // So is a tune or font in a FIFO's place or larger than any of its kind; one at the limit plays.
    const std::string font = "/usr/share/sounds/sf2/TimGM6mb.sf2", fifo = (folder.path() / "fifo").string();
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const auto grown = [&](const std::string& from, const char* name, uint64_t size) {
        std::filesystem::copy_file(from, folder.path() / name);
        std::filesystem::resize_file(folder.path() / name, size);
        return (folder.path() / name).string();
    };
    alarm(60);  // a read that waits on the FIFO ends the tests instead of hanging them
    for (const auto& [tuneFile, fontFile, plays] : std::vector<std::tuple<std::string, std::string, bool>>{
             {fifo, font, false}, {tune, fifo, false},
             {grown(tune, "huge.mid", platform::maxMidiFileBytes + 1), font, false},
             {grown(tune, "largest.mid", platform::maxMidiFileBytes), font, true},
             {tune, grown(font, "huge.sf2", formats::maxSoundFontBytes + 1), false},
             {tune, grown(font, "largest.sf2", formats::maxSoundFontBytes), true}}) {
        platform::setMidiSoundFont(fontFile);
        stream = platform::openMidiTune(tuneFile, rate);
        EXPECT_EQ(stream ? (stream->start(0), stream->render(buffer, 256)) : 0, plays * 256u) << tuneFile << fontFile;
    }
    alarm(0);
    platform::setMidiSoundFont(font);
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
