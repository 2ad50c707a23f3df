#include "arena/sound_hooks.h"

namespace {
void noSound() {}
void noSoundForPlane(int) {}
void noSoundForBody(dBodyID) {}
bool noReadouts(SoundReadouts&)
{
    return false;
}

constexpr SoundHooks silentHooks = {noSound, noSoundForPlane, noSoundForBody, noSound, noSoundForBody,
                                    noSound, noSoundForPlane, noSoundForPlane, noSound, noReadouts};

} // namespace

SoundHooks soundHooks = silentHooks;

void resetSoundHooks()
{
    soundHooks = silentHooks;
}
