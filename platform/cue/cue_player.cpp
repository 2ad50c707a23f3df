#include "platform/cue/cue_player.h"

#include "platform/paths.h"

namespace platform {

namespace {

CueSink cueSink = nullptr;

// The cue source sits on the listener, so distance never softens it.
constexpr float cueDistance = 1.0f;

} // namespace

CuePlayer::CuePlayer(std::unique_ptr<SoundBackend> device) : device_(std::move(device)) {}

CuePlayer::~CuePlayer()
{
    if (device_)
        device_->releaseClip(current_);
}

void CuePlayer::play(const std::string& name)
{
    if (!device_)
        return;
    device_->releaseClip(current_);
    current_ = device_->loadClip(nativePath(name), cueDistance, cueDistance);
    device_->play(current_);
}

bool CuePlayer::playing()
{
    return device_ && device_->isPlaying(current_);
}

void playCue(const std::string& name)
{
    if (cueSink) {
        cueSink(name);
        return;
    }
    // The device opens with the first cue and closes at exit.
    static CuePlayer player(openDefaultSoundBackend());
    player.play(name);
}

void setCueSink(CueSink sink)
{
    cueSink = sink;
}

} // namespace platform
