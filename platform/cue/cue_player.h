// Cue sounds: a sound file played by name, at once and without waiting for it to
// end, in place of the multimedia library's simple file-playing call.
#pragma once

#include "platform/sound/sound_backend.h"

#include <memory>
#include <string>

namespace platform {

// Starts the named file (backslashes allowed; relative names are looked up from
// the current directory) and returns at once. A cue still playing is stopped
// first. A missing or unreadable file plays nothing and says nothing.
void playCue(const std::string& name);

// Tests: every later cue goes to the sink instead of the sound device (null puts
// the device back).
using CueSink = void (*)(const std::string& name);
void setCueSink(CueSink sink);

// Plays cues on one device, one at a time.
class CuePlayer {
public:
    explicit CuePlayer(std::unique_ptr<SoundBackend> device);
    ~CuePlayer();
    CuePlayer(const CuePlayer&) = delete;
    CuePlayer& operator=(const CuePlayer&) = delete;

    void play(const std::string& name);
    // True while the last cue started is still sounding.
    bool playing();

private:
    std::unique_ptr<SoundBackend> device_;
    SoundClipId current_ = 0;
};

} // namespace platform
