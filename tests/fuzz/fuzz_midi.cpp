// MIDI files through the project's own reader and the tune player: a file that
// reads gives channel messages with seven-bit data in time order, at finite
// times within the tune, and its tune plays through the synthesizer without
// writing more than was asked for.
#include "formats/midi_file.h"
#include "platform/midi/midi_tunes.h"
#include "tests/fuzz/fuzz_support.h"

#include <cmath>
#include <cstdlib>
#include <memory>
#include <string>

namespace {

constexpr int rate = 22050;

// An empty tune started once keeps the synthesizer and its sound font loaded
// from one input to the next.
std::unique_ptr<platform::SampleStream> keeper;

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    const uint8_t empty[] = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, 0, 96,
                             'M', 'T', 'r', 'k', 0, 0, 0, 4, 0, 0xff, 0x2f, 0};
    keeper = platform::openMidiTune(fuzz::writeScratchFile("keeper.mid", empty, sizeof empty), rate);
    fuzz::check(keeper != nullptr);
    keeper->start(0);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    formats::MidiTune tune;
    if (!formats::parseMidiFile(data, size, tune))
        return 0;
    double last = 0;
    for (const formats::MidiEvent& e : tune.events) {
        fuzz::check(std::isfinite(e.seconds) && e.seconds >= last);
        fuzz::check(e.status >= 0x80 && e.status <= 0xef && e.data1 <= 0x7f && e.data2 <= 0x7f);
        last = e.seconds;
    }
    fuzz::check(std::isfinite(tune.length) && tune.length >= last);

    // The first tenth of a second, played twice over where the tune is shorter.
    std::unique_ptr<platform::SampleStream> stream =
        platform::openMidiTune(fuzz::writeScratchFile("tune.mid", data, size), rate);
    fuzz::check(stream != nullptr);
    stream->start(1);
    int16_t samples[rate / 10];
    fuzz::check(stream->render(samples, rate / 10) <= rate / 10);
    return 0;
}
