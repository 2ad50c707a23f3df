#include "formats/midi_file.h"

#include <algorithm>
#include <cstring>

namespace formats {

namespace {

constexpr size_t maxTracks = 256;
constexpr size_t maxEvents = 2000000;
constexpr uint32_t defaultTempo = 500000;   // microseconds per quarter note

class Reader {
public:
    Reader(const uint8_t* data, size_t size) : data_(data), size_(size) {}

    bool done() const { return pos_ >= size_; }
    size_t left() const { return size_ - pos_; }

    bool byte(uint8_t& b)
    {
        if (pos_ >= size_)
            return false;
        b = data_[pos_++];
        return true;
    }

    bool bigEndian(uint32_t& value, int bytes)
    {
        value = 0;
        for (int i = 0; i < bytes; ++i) {
            uint8_t b;
            if (!byte(b))
                return false;
            value = (value << 8) | b;
        }
        return true;
    }

    // A variable-length quantity: at most four bytes of seven bits.
    bool varLength(uint32_t& value)
    {
        value = 0;
        for (int i = 0; i < 4; ++i) {
            uint8_t b;
            if (!byte(b))
                return false;
            value = (value << 7) | (b & 0x7f);
            if (!(b & 0x80))
                return true;
        }
        return false;
    }

    bool skip(size_t n)
    {
        if (n > left())
            return false;
        pos_ += n;
        return true;
    }

    bool tag(const char* name)
    {
        if (left() < 4 || std::memcmp(data_ + pos_, name, 4) != 0)
            return false;
        pos_ += 4;
        return true;
    }

    const uint8_t* here() const { return data_ + pos_; }

private:
    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
};

struct TickEvent {
    uint64_t tick;
    uint32_t order;       // file order, to keep simultaneous events stable
    uint32_t tempo;       // non-zero for a tempo change
    MidiEvent event;
};

bool readTrack(Reader& track, uint32_t& order, std::vector<TickEvent>& out, uint64_t& endTick)
{
    uint64_t tick = 0;
    uint8_t running = 0;
    while (!track.done()) {
        uint32_t delta;
        if (!track.varLength(delta))
            return false;
        tick += delta;
        uint8_t status;
        if (!track.byte(status))
            return false;
        if (status == 0xff) {
            uint8_t type;
            uint32_t length;
            if (!track.byte(type) || !track.varLength(length) || length > track.left())
                return false;
            const uint8_t* payload = track.here();
            track.skip(length);
            if (type == 0x51 && length == 3) {
                uint32_t tempo = (uint32_t(payload[0]) << 16) | (uint32_t(payload[1]) << 8) | payload[2];
                if (tempo > 0)
                    out.push_back({tick, order++, tempo, {0, 0, 0, 0}});
            } else if (type == 0x2f) {
                break;
            }
            continue;
        }
        if (status == 0xf0 || status == 0xf7) {
            uint32_t length;
            if (!track.varLength(length) || !track.skip(length))
                return false;
            continue;
        }
        uint8_t data1;
        if (status & 0x80) {
            if (status >= 0xf0)
                return false;   // system common messages do not belong in a file
            running = status;
            if (!track.byte(data1))
                return false;
        } else {
            if (!running)
                return false;
            data1 = status;
            status = running;
        }
        uint8_t data2 = 0;
        const uint8_t kind = status & 0xf0;
        if (kind != 0xc0 && kind != 0xd0 && !track.byte(data2))
            return false;
        if (out.size() >= maxEvents)
            return false;
        out.push_back({tick, order++, 0, {0, status, uint8_t(data1 & 0x7f), uint8_t(data2 & 0x7f)}});
    }
    endTick = std::max(endTick, tick);
    return true;
}

} // namespace

bool parseMidiFile(const uint8_t* data, size_t size, MidiTune& tune)
{
    Reader file(data, size);
    uint32_t headerLength, format, trackCount, division;
    if (!file.tag("MThd") || !file.bigEndian(headerLength, 4) || headerLength < 6 ||
        !file.bigEndian(format, 2) || !file.bigEndian(trackCount, 2) || !file.bigEndian(division, 2) ||
        !file.skip(headerLength - 6))
        return false;
    if (format > 2 || trackCount == 0 || trackCount > maxTracks || division == 0)
        return false;

    // Seconds per tick for SMPTE time; per quarter-note tick otherwise.
    double smpteTickSeconds = 0;
    if (division & 0x8000) {
        const int framesPerSecond = 256 - int(division >> 8);
        const int ticksPerFrame = int(division & 0xff);
        if (framesPerSecond <= 0 || ticksPerFrame <= 0)
            return false;
        smpteTickSeconds = 1.0 / (double(framesPerSecond) * ticksPerFrame);
    }

    std::vector<TickEvent> events;
    uint32_t order = 0;
    uint64_t endTick = 0;
    uint32_t found = 0;
    while (found < trackCount && !file.done()) {
        const bool isTrack = file.tag("MTrk");
        if (!isTrack && !file.skip(4))
            return false;
        uint32_t length;
        if (!file.bigEndian(length, 4) || length > file.left())
            return false;
        if (isTrack) {
            Reader track(file.here(), length);
            if (!readTrack(track, order, events, endTick))
                return false;
            ++found;
        }
        file.skip(length);
    }
    if (found == 0)
        return false;

    std::stable_sort(events.begin(), events.end(),
                     [](const TickEvent& a, const TickEvent& b) { return a.tick < b.tick; });

    tune.events.clear();
    tune.events.reserve(events.size());
    uint32_t tempo = defaultTempo;
    uint64_t lastTick = 0;
    double seconds = 0;
    auto secondsPerTick = [&] {
        return smpteTickSeconds > 0 ? smpteTickSeconds : tempo * 1e-6 / double(division);
    };
    for (const TickEvent& e : events) {
        seconds += double(e.tick - lastTick) * secondsPerTick();
        lastTick = e.tick;
        if (e.tempo) {
            tempo = e.tempo;
            continue;
        }
        MidiEvent event = e.event;
        event.seconds = seconds;
        tune.events.push_back(event);
    }
    tune.length = seconds + double(endTick - lastTick) * secondsPerTick();
    return true;
}

} // namespace formats
