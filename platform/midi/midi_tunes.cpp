#include "platform/midi/midi_tunes.h"

#include "formats/midi_file.h"
#include "formats/sound_font_subset.h"
#include "platform/regular_file.h"

#include <fluidsynth.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <deque>
#include <malloc.h>
#include <map>
#include <mutex>
#include <unistd.h>
#include <vector>

namespace platform {

using formats::MidiEvent;
using formats::MidiTune;
using formats::ProgramSet;
using formats::SoundFontSubset;

namespace {

// The longest that the last notes may ring on after a tune's final repetition.
constexpr double maxTailSeconds = 2.0;
// Tunes that one synthesizer plays at once, each on sixteen channels of its own.
constexpr int slotCount = 4;
constexpr int channelsPerTune = 16;
// Frames the synthesizer renders for all its tunes at a time.
constexpr int blockFrames = 64;
// What one tune may hold rendered ahead of its reader before blocks are dropped.
constexpr double maxBufferedSeconds = 2.0;
// The synthesizer's output gain. At its default (0.2) a General MIDI tune
// comes out some 35 dB below full scale, lost under the effects. At this gain
// the program's own tunes (balanced by their generator) come out about 17 dB
// below full scale, and peak about 3 dB below it.
constexpr double tuneGain = 1.06;

// The objects below are never destroyed. The streaming thread starts tunes (and
// so reads them) until the sound device that owns it is closed, which happens at
// exit, possibly after these would have been destroyed: a program that ends
// while its tunes are still starting would otherwise read freed memory.
std::mutex& soundFontMutex()
{
    static std::mutex* m = new std::mutex;
    return *m;
}

std::string& soundFontPath()
{
    static std::string* path = new std::string("/usr/share/sounds/sf2/TimGM6mb.sf2");
    return *path;
}

std::string currentSoundFont()
{
    std::lock_guard<std::mutex> lock(soundFontMutex());
    return soundFontPath();
}

std::atomic<bool> trimSoundFont{true};

// The trimmed fonts that synthesizers have loaded, under the names they were
// loaded by. The synthesizer reads a font's samples when an instrument is first
// chosen, long after loading it, so a name stays here while its synthesizer lives.
struct TrimmedFonts {
    std::mutex mutex;
    std::map<std::string, std::shared_ptr<const SoundFontSubset>> byName;
    uint64_t made = 0;
};

TrimmedFonts& trimmedFonts()
{
    // Never destroyed: tunes held by other static objects are released at exit,
    // possibly after this would have been.
    static TrimmedFonts* fonts = new TrimmedFonts;
    return *fonts;
}

std::string rememberTrimmedFont(std::shared_ptr<const SoundFontSubset> subset)
{
    TrimmedFonts& fonts = trimmedFonts();
    std::lock_guard<std::mutex> lock(fonts.mutex);
    const std::string name = "trimmed#" + std::to_string(++fonts.made) + "#" + subset->path();
    fonts.byName[name] = std::move(subset);
    return name;
}

void forgetTrimmedFont(const std::string& name)
{
    TrimmedFonts& fonts = trimmedFonts();
    std::lock_guard<std::mutex> lock(fonts.mutex);
    fonts.byName.erase(name);
}

// How the synthesizer reads font files: a trimmed font's name through its subset,
// any other name as a plain file.
struct SoundFontFile {
    std::FILE* file = nullptr;
    std::shared_ptr<const SoundFontSubset> subset;
    uint64_t position = 0;
};

// The sound font file at `path`, opened without waiting on it: null when it is
// no regular file or is larger than any sound font.
std::FILE* openSoundFont(const std::string& path)
{
    RegularFile font;
    if (!font.open(path, formats::maxSoundFontBytes))
        return nullptr;
    const int fd = font.release();
    std::FILE* file = fdopen(fd, "rb");
    if (!file)
        close(fd);
    return file;
}

void* openFontFile(const char* name)
{
    std::shared_ptr<const SoundFontSubset> subset;
    {
        TrimmedFonts& fonts = trimmedFonts();
        std::lock_guard<std::mutex> lock(fonts.mutex);
        if (auto it = fonts.byName.find(name); it != fonts.byName.end())
            subset = it->second;
    }
    std::FILE* file = openSoundFont(subset ? subset->path() : std::string(name));
    if (!file)
        return nullptr;
    return new SoundFontFile{file, std::move(subset), 0};
}

int readFontFile(void* buffer, fluid_long_long_t count, void* handle)
{
    auto* f = static_cast<SoundFontFile*>(handle);
    if (count < 0)
        return FLUID_FAILED;
    if (!f->subset)
        return std::fread(buffer, 1, size_t(count), f->file) == size_t(count) ? FLUID_OK : FLUID_FAILED;
    if (!f->subset->read(f->file, f->position, buffer, size_t(count)))
        return FLUID_FAILED;
    f->position += uint64_t(count);
    return FLUID_OK;
}

int seekFontFile(void* handle, fluid_long_long_t offset, int origin)
{
    auto* f = static_cast<SoundFontFile*>(handle);
    if (!f->subset)
        return fseeko(f->file, off_t(offset), origin) == 0 ? FLUID_OK : FLUID_FAILED;
    const int64_t base = origin == SEEK_SET ? 0 : origin == SEEK_CUR ? int64_t(f->position) : int64_t(f->subset->size());
    if ((origin != SEEK_SET && origin != SEEK_CUR && origin != SEEK_END) || base + offset < 0 ||
        uint64_t(base + offset) > f->subset->size())
        return FLUID_FAILED;
    f->position = uint64_t(base + offset);
    return FLUID_OK;
}

fluid_long_long_t tellFontFile(void* handle)
{
    auto* f = static_cast<SoundFontFile*>(handle);
    return f->subset ? fluid_long_long_t(f->position) : fluid_long_long_t(ftello(f->file));
}

int closeFontFile(void* handle)
{
    auto* f = static_cast<SoundFontFile*>(handle);
    std::fclose(f->file);
    delete f;
    return FLUID_OK;
}

class MidiTuneStream;

// One synthesizer with one copy of the sound font for every tune at a rate: a
// font costs megabytes, so the tunes share it. Tune slot s plays file channel c
// on synthesizer channel c * slotCount + s, which the synthesizer renders into
// output group s; all tunes advance together, block by block.
//
// Of the font, the synthesizer holds only the presets of the programs that its
// tunes select (in every bank), loaded as trimmed fonts when a tune first comes;
// where the font cannot be trimmed, it holds the whole font.
class TuneSynth {
public:
    static std::shared_ptr<TuneSynth> forRate(int rate);

    TuneSynth(int rate, const std::string& font, bool trimmed);
    ~TuneSynth();

    bool ok() const { return synth_ != nullptr; }
    int rate() const { return rate_; }

    // Makes the presets of these programs available. Call with the mutex held.
    bool loadPrograms(const ProgramSet& programs);

    // A free slot for the tune, or -1.
    int attach(MidiTuneStream* tune);
    void detach(int slot);

    // Synthesizer channel of a tune's file channel.
    static int channel(int slot, int fileChannel) { return fileChannel * slotCount + slot; }

    // Silences a tune's channels and puts its instruments and controllers back.
    void resetSlot(int slot);
    // Notes still sounding on a tune's channels.
    int voicesOf(int slot);
    // Renders one block for every playing tune.
    void renderBlock();

    fluid_synth_t* synth() { return synth_; }
    std::mutex mutex;

private:
    void setChannelTypes();
    int rate_;
    std::string font_;
    bool trimmed_;
    ProgramSet loaded_;
    bool anyFontLoaded_ = false;
    std::vector<std::string> trimmedNames_;
    fluid_settings_t* settings_ = nullptr;
    fluid_synth_t* synth_ = nullptr;
    MidiTuneStream* tunes_[slotCount] = {};
    float output_[2 * slotCount][blockFrames] = {};
    std::vector<fluid_voice_t*> voices_;

    friend std::shared_ptr<TuneSynth> findOrMake(int rate, const std::string& font, bool trimmed);
};

class MidiTuneStream final : public SampleStream {
public:
    MidiTuneStream(MidiTune tune, int sampleRate) : tune_(std::move(tune)), rate_(sampleRate)
    {
        eventSamples_.reserve(tune_.events.size());
        for (const MidiEvent& e : tune_.events)
            eventSamples_.push_back(toSamples(e.seconds));
        // Every channel starts on program 0.
        programs_.set(0);
        for (const MidiEvent& e : tune_.events)
            if ((e.status & 0xf0) == 0xc0)
                programs_.set(e.data1 & 0x7f);
        lengthSamples_ =
            std::max<uint64_t>(toSamples(tune_.length), eventSamples_.empty() ? 0 : eventSamples_.back());
    }

    ~MidiTuneStream() override
    {
        if (synth_) {
            std::lock_guard<std::mutex> lock(synth_->mutex);
            synth_->resetSlot(slot_);
            synth_->detach(slot_);
        }
    }

    void start(uint32_t repeats) override
    {
        if (!synth_ && !broken_) {
            synth_ = TuneSynth::forRate(rate_);
            slot_ = synth_ ? synth_->attach(this) : -1;
            if (slot_ >= 0) {
                std::lock_guard<std::mutex> lock(synth_->mutex);
                if (!synth_->loadPrograms(programs_)) {
                    synth_->detach(slot_);
                    slot_ = -1;
                }
            }
            if (slot_ < 0) {
                synth_.reset();
                broken_ = true;
            }
        }
        if (broken_)
            return;
        std::lock_guard<std::mutex> lock(synth_->mutex);
        synth_->resetSlot(slot_);
        buffered_.clear();
        next_ = 0;
        position_ = 0;
        repeatsLeft_ = repeats;
        tailing_ = false;
        tailLeft_ = 0;
        finished_ = false;
        started_ = true;
    }

    size_t render(int16_t* out, size_t frames) override
    {
        if (broken_ || !started_)
            return 0;
        std::lock_guard<std::mutex> lock(synth_->mutex);
        size_t written = 0;
        while (written < frames) {
            if (!buffered_.empty()) {
                const size_t n = std::min(frames - written, buffered_.size());
                std::copy_n(buffered_.begin(), n, out + written);
                buffered_.erase(buffered_.begin(), buffered_.begin() + long(n));
                written += n;
            } else if (finished_) {
                started_ = false;
                break;
            } else {
                synth_->renderBlock();
            }
        }
        return written;
    }

    bool playing() const { return started_ && !finished_; }

    // Before a block: the tune's events that fall within it, or the end of its
    // ringing out. Called with the synthesizer's mutex held.
    void beforeBlock()
    {
        if (tailing_) {
            if (tailLeft_ <= 0 || synth_->voicesOf(slot_) == 0)
                finished_ = true;
            return;
        }
        while (next_ < tune_.events.size() && eventSamples_[next_] < position_ + blockFrames)
            send(tune_.events[next_++]);
    }

    // After a block: its share of the output, and the step to the next block.
    void afterBlock(const float* left, const float* right)
    {
        if (finished_)
            return;
        if (buffered_.size() < size_t(maxBufferedSeconds * rate_)) {
            for (int i = 0; i < blockFrames; ++i) {
                const float mono = (left[i] + right[i]) * 0.5f * 32767.0f;
                buffered_.push_back(int16_t(std::clamp(mono, -32768.0f, 32767.0f)));
            }
        }
        if (tailing_) {
            tailLeft_ -= blockFrames;
            return;
        }
        position_ += blockFrames;
        if (next_ == tune_.events.size() && position_ >= lengthSamples_) {
            // An empty tune does not repeat: there would be nothing to hear.
            if (repeatsLeft_ > 0 && lengthSamples_ > 0) {
                --repeatsLeft_;
                next_ = 0;
                position_ -= lengthSamples_;
            } else {
                tailing_ = true;
                tailLeft_ = int64_t(toSamples(maxTailSeconds));
            }
        }
    }

private:
    uint64_t toSamples(double seconds) const
    {
        return seconds > 0 ? static_cast<uint64_t>(std::llround(seconds * rate_)) : 0;
    }

    void send(const MidiEvent& e)
    {
        fluid_synth_t* s = synth_->synth();
        const int channel = TuneSynth::channel(slot_, e.status & 0x0f);
        switch (e.status & 0xf0) {
        case 0x80: fluid_synth_noteoff(s, channel, e.data1); break;
        case 0x90: fluid_synth_noteon(s, channel, e.data1, e.data2); break;
        case 0xa0: fluid_synth_key_pressure(s, channel, e.data1, e.data2); break;
        case 0xb0: fluid_synth_cc(s, channel, e.data1, e.data2); break;
        case 0xc0: fluid_synth_program_change(s, channel, e.data1); break;
        case 0xd0: fluid_synth_channel_pressure(s, channel, e.data1); break;
        case 0xe0: fluid_synth_pitch_bend(s, channel, e.data1 | (e.data2 << 7)); break;
        default: break;
        }
    }

    MidiTune tune_;
    int rate_;
    std::vector<uint64_t> eventSamples_;
    uint64_t lengthSamples_ = 0;
    ProgramSet programs_;
    std::shared_ptr<TuneSynth> synth_;
    int slot_ = -1;
    bool broken_ = false;
    bool started_ = false;
    bool tailing_ = false;
    bool finished_ = false;
    size_t next_ = 0;
    uint64_t position_ = 0;
    int64_t tailLeft_ = 0;
    uint32_t repeatsLeft_ = 0;
    std::deque<int16_t> buffered_;
};

std::shared_ptr<TuneSynth> findOrMake(int rate, const std::string& font, bool trimmed)
{
    // Never destroyed, like the sound font's name above.
    static std::mutex* registryMutex = new std::mutex;
    static auto* registry = new std::vector<std::weak_ptr<TuneSynth>>;
    std::lock_guard<std::mutex> lock(*registryMutex);
    registry->erase(std::remove_if(registry->begin(), registry->end(), [](auto& w) { return w.expired(); }),
                    registry->end());
    for (auto& weak : *registry)
        if (auto synth = weak.lock();
            synth && synth->rate_ == rate && synth->font_ == font && synth->trimmed_ == trimmed)
            return synth;
    auto synth = std::make_shared<TuneSynth>(rate, font, trimmed);
    if (!synth->ok())
        return nullptr;
    registry->push_back(synth);
    return synth;
}

std::shared_ptr<TuneSynth> TuneSynth::forRate(int rate)
{
    return findOrMake(rate, currentSoundFont(), trimSoundFont);
}

TuneSynth::TuneSynth(int rate, const std::string& font, bool trimmed) : rate_(rate), font_(font), trimmed_(trimmed)
{
    // A font that cannot be read makes no synthesizer, and its tunes are silent.
    if (RegularFile file; !file.open(font, formats::maxSoundFontBytes))
        return;
    settings_ = new_fluid_settings();
    if (!settings_)
        return;
    fluid_settings_setnum(settings_, "synth.sample-rate", rate);
    fluid_settings_setint(settings_, "synth.midi-channels", slotCount * channelsPerTune);
    fluid_settings_setint(settings_, "synth.audio-channels", slotCount);
    fluid_settings_setint(settings_, "synth.audio-groups", slotCount);
    fluid_settings_setint(settings_, "synth.lock-memory", 0);
    fluid_settings_setnum(settings_, "synth.gain", tuneGain);
    // Enough notes for a few light tunes at once, and less memory than the default.
    fluid_settings_setint(settings_, "synth.polyphony", 128);
    // Reverb and chorus are shared by all outputs; each tune stays dry instead.
    fluid_settings_setint(settings_, "synth.reverb.active", 0);
    fluid_settings_setint(settings_, "synth.chorus.active", 0);
    // Only the instruments the tunes select have their samples read.
    fluid_settings_setint(settings_, "synth.dynamic-sample-loading", 1);
    synth_ = new_fluid_synth(settings_);
    if (!synth_)
        return;
    fluid_sfloader_t* loader = new_fluid_defsfloader(settings_);
    if (!loader) {
        delete_fluid_synth(synth_);
        synth_ = nullptr;
        return;
    }
    fluid_sfloader_set_callbacks(loader, openFontFile, readFontFile, seekFontFile, tellFontFile, closeFontFile);
    // Ours is asked first. The synthesizer's own loaders stay behind it and
    // open a name that ours refused themselves; the font was found to be a
    // regular file of a sound font's size above, so they meet one only when it
    // is swapped meanwhile.
    fluid_synth_add_sfloader(synth_, loader);
    setChannelTypes();
    voices_.resize(size_t(fluid_synth_get_polyphony(synth_)) + 1);
}

// Each tune's channel 9 is its drum channel, wherever its slot puts it among
// the synthesizer's channels.
void TuneSynth::setChannelTypes()
{
    for (int c = 0; c < slotCount * channelsPerTune; ++c)
        fluid_synth_set_channel_type(synth_, c, c / slotCount == 9 ? CHANNEL_TYPE_DRUM : CHANNEL_TYPE_MELODIC);
}

TuneSynth::~TuneSynth()
{
    if (synth_)
        delete_fluid_synth(synth_);
    if (settings_)
        delete_fluid_settings(settings_);
    for (const std::string& name : trimmedNames_)
        forgetTrimmedFont(name);
}

bool TuneSynth::loadPrograms(const ProgramSet& programs)
{
    const ProgramSet missing = programs & ~loaded_;
    if (missing.none())
        return true;
    // The first font sets every channel's preset; later ones leave the playing
    // tunes' channels alone.
    const int resetPresets = anyFontLoaded_ ? 0 : 1;
    bool loaded = false;
    if (trimmed_) {
        std::shared_ptr<const SoundFontSubset> subset;
        if (std::FILE* original = openSoundFont(font_)) {
            subset = SoundFontSubset::make(original, font_, missing);
            std::fclose(original);
        }
        if (subset) {
            const std::string name = rememberTrimmedFont(std::move(subset));
            if (fluid_synth_sfload(synth_, name.c_str(), resetPresets) != FLUID_FAILED) {
                trimmedNames_.push_back(name);
                loaded_ |= missing;
                loaded = true;
            } else {
                forgetTrimmedFont(name);
            }
        }
    }
    if (!loaded) {
        if (fluid_synth_sfload(synth_, font_.c_str(), resetPresets) == FLUID_FAILED)
            return false;
        loaded_.set();
    }
    if (!anyFontLoaded_) {
        anyFontLoaded_ = true;
        fluid_synth_system_reset(synth_);
        // The reset makes channel 9 of the synthesizer the only drum channel.
        setChannelTypes();
    }
    // Reading a font leaves much freed memory behind; give it back.
    malloc_trim(0);
    return true;
}

int TuneSynth::attach(MidiTuneStream* tune)
{
    std::lock_guard<std::mutex> lock(mutex);
    for (int s = 0; s < slotCount; ++s) {
        if (!tunes_[s]) {
            tunes_[s] = tune;
            return s;
        }
    }
    return -1;
}

void TuneSynth::detach(int slot)
{
    tunes_[slot] = nullptr;
}

void TuneSynth::resetSlot(int slot)
{
    for (int fileChannel = 0; fileChannel < channelsPerTune; ++fileChannel) {
        const int c = channel(slot, fileChannel);
        fluid_synth_all_sounds_off(synth_, c);
        fluid_synth_cc(synth_, c, 121, 0);   // reset all controllers
        fluid_synth_program_change(synth_, c, 0);
    }
}

int TuneSynth::voicesOf(int slot)
{
    std::fill(voices_.begin(), voices_.end(), nullptr);
    fluid_synth_get_voicelist(synth_, voices_.data(), int(voices_.size()), -1);
    int n = 0;
    for (fluid_voice_t* v : voices_) {
        if (!v)
            break;
        if (fluid_voice_is_playing(v) && fluid_voice_get_channel(v) % slotCount == slot)
            ++n;
    }
    return n;
}

void TuneSynth::renderBlock()
{
    for (MidiTuneStream* tune : tunes_)
        if (tune && tune->playing())
            tune->beforeBlock();
    float* outputs[2 * slotCount];
    for (int i = 0; i < 2 * slotCount; ++i) {
        std::fill_n(output_[i], blockFrames, 0.0f);
        outputs[i] = output_[i];
    }
    fluid_synth_process(synth_, blockFrames, 0, nullptr, 2 * slotCount, outputs);
    for (int s = 0; s < slotCount; ++s)
        if (tunes_[s] && tunes_[s]->playing())
            tunes_[s]->afterBlock(output_[2 * s], output_[2 * s + 1]);
}

} // namespace

void enableMidiTunes()
{
    // The synthesizer reports a missing font or file itself; here such a tune is
    // just silent.
    for (int level = FLUID_PANIC; level < LAST_LOG_LEVEL; ++level)
        fluid_set_log_function(level, nullptr, nullptr);
    setTuneOpener(openMidiTune);
}

std::unique_ptr<SampleStream> openMidiTune(const std::string& path, int sampleRate)
{
    if (sampleRate <= 0)
        return nullptr;
    // Missing, unreadable, no regular file or too large: the tune stays silent.
    std::vector<uint8_t> bytes;
    std::string error;
    if (!readRegularFile(path, maxMidiFileBytes, bytes, error))
        return nullptr;
    MidiTune tune;
    if (!formats::parseMidiFile(bytes.data(), bytes.size(), tune))
        return nullptr;
    return std::make_unique<MidiTuneStream>(std::move(tune), sampleRate);
}

void setMidiSoundFont(const std::string& path)
{
    std::lock_guard<std::mutex> lock(soundFontMutex());
    soundFontPath() = path;
}

void setMidiSoundFontTrimming(bool on)
{
    trimSoundFont = on;
}

} // namespace platform
