#include "assets/sound_synth.h"
#include "formats/midi_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <unistd.h>

namespace {

using formats::MidiEvent;
using formats::MidiTune;

std::vector<uint8_t> header(int format, int tracks, int division)
{
    return {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, uint8_t(format), 0, uint8_t(tracks),
            uint8_t(division >> 8), uint8_t(division & 0xff)};
}

void addTrack(std::vector<uint8_t>& file, const std::vector<uint8_t>& body)
{
    file.insert(file.end(), {'M', 'T', 'r', 'k', 0, 0, uint8_t(body.size() >> 8), uint8_t(body.size() & 0xff)});
    file.insert(file.end(), body.begin(), body.end());
}

bool parse(const std::vector<uint8_t>& bytes, MidiTune& tune)
{
    return formats::parseMidiFile(bytes.data(), bytes.size(), tune);
}

TEST(MidiFile, GeneratedTuneReadsBackWithItsTimes)
{
    synth::Tune tune{120, 4, {{0, 5, 100, 64, {{0, 1, 60, 90}, {1.5, 0.5, 64, 80}}}}};
    const auto file = std::filesystem::temp_directory_path() / ("skarvel-tune-" + std::to_string(getpid()) + ".mid");
    ASSERT_TRUE(synth::writeMidi(file.string(), tune));
    std::ifstream in(file, std::ios::binary);
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::filesystem::remove(file);

    MidiTune read;
    ASSERT_TRUE(parse(bytes, read));
    EXPECT_DOUBLE_EQ(read.length, 2.0);
    std::vector<MidiEvent> notes;
    for (const MidiEvent& e : read.events)
        if ((e.status & 0xe0) == 0x80)
            notes.push_back(e);
    ASSERT_EQ(notes.size(), 4u);
    EXPECT_EQ(notes[0].status, 0x90);
    EXPECT_EQ(notes[0].data1, 60);
    EXPECT_DOUBLE_EQ(notes[0].seconds, 0.0);
    EXPECT_EQ(notes[1].status, 0x80);
    EXPECT_DOUBLE_EQ(notes[1].seconds, 0.5);
    EXPECT_EQ(notes[2].data1, 64);
    EXPECT_DOUBLE_EQ(notes[2].seconds, 0.75);
    EXPECT_DOUBLE_EQ(notes[3].seconds, 1.0);
    // The controllers and the instrument come before the first note.
    EXPECT_EQ(read.events.front().status, 0xb0);
    EXPECT_EQ(read.events[2].status, 0xc0);
    EXPECT_EQ(read.events[2].data1, 5);
}

TEST(MidiFile, TempoChangesRunningStatusAndTracksMergeInTimeOrder)
{
    std::vector<uint8_t> file = header(1, 2, 96);
    // Track 1: a note at tick 96 (0.5 s at the default tempo), the tempo doubled
    // there, and its end at tick 192 written with running status.
    addTrack(file, {0x00, 0xff, 0x7f, 0x01, 0x00,             // a meta event that is skipped
                    0x60, 0x90, 60, 100,                       // tick 96
                    0x00, 0xff, 0x51, 0x03, 0x03, 0xd0, 0x90,  // 250000 us per quarter
                    0x60, 60, 0,                               // tick 192, running status
                    0x60, 0xff, 0x2f, 0x00});                  // ends at tick 288
    // Track 2: at tick 96 a program change (one data byte) and a system-exclusive
    // message, then a note-on at tick 192.
    addTrack(file, {0x60, 0xc1, 7, 0x00, 0xf0, 0x02, 0x7e, 0xf7, 0x60, 0x91, 62, 90, 0x00, 0xff, 0x2f, 0x00});

    MidiTune tune;
    ASSERT_TRUE(parse(file, tune));
    ASSERT_EQ(tune.events.size(), 4u);
    EXPECT_EQ(tune.events[0].status, 0x90);
    EXPECT_DOUBLE_EQ(tune.events[0].seconds, 0.5);
    EXPECT_EQ(tune.events[1].status, 0xc1);   // same tick, later track
    EXPECT_DOUBLE_EQ(tune.events[1].seconds, 0.5);
    EXPECT_EQ(tune.events[2].status, 0x90);
    EXPECT_EQ(tune.events[2].data2, 0);
    EXPECT_DOUBLE_EQ(tune.events[2].seconds, 0.75);
    EXPECT_EQ(tune.events[3].status, 0x91);
    EXPECT_DOUBLE_EQ(tune.events[3].seconds, 0.75);
    EXPECT_DOUBLE_EQ(tune.length, 1.0);
}

TEST(MidiFile, MalformedFilesAreRefused)
{
    const std::vector<uint8_t> endOnly = {0x00, 0xff, 0x2f, 0x00};
    auto withTrack = [&](const std::vector<uint8_t>& body) {
        std::vector<uint8_t> f = header(0, 1, 96);
        addTrack(f, body);
        return f;
    };
    MidiTune tune;
    ASSERT_TRUE(parse(withTrack(endOnly), tune));
    EXPECT_DOUBLE_EQ(tune.length, 0.0);

    std::vector<uint8_t> badTag = withTrack(endOnly);
    badTag[0] = 'X';
    EXPECT_FALSE(parse(badTag, tune));
    EXPECT_FALSE(parse(header(0, 0, 96), tune));
    EXPECT_FALSE(parse(withTrack({0x00, 60, 100}), tune)) << "running status with no status before";
    EXPECT_FALSE(parse(withTrack({0xff, 0xff, 0xff, 0xff, 0x7f, 0x90, 60, 100}), tune)) << "delta over four bytes";
    EXPECT_FALSE(parse(withTrack({0x00, 0x90, 60}), tune)) << "message cut short";
    EXPECT_FALSE(parse(withTrack({0x00, 0xff, 0x51, 0x40, 0x07}), tune)) << "meta longer than its track";
    std::vector<uint8_t> longTrack = withTrack(endOnly);
    longTrack[21] = 0x40;   // the track claims more bytes than the file has
    EXPECT_FALSE(parse(longTrack, tune));
    std::vector<uint8_t> cut = withTrack(endOnly);
    cut.resize(10);
    EXPECT_FALSE(parse(cut, tune));
}

} // namespace
