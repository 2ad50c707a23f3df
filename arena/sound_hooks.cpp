#include "arena/sound_hooks.h"

namespace {
void noSound() {}
void noSoundForPlane(int) {}
void noSoundForBody(dBodyID) {}

constexpr SoundHooks silentHooks = {noSound, noSoundForPlane, noSoundForBody, noSound,
                                    noSoundForBody, noSound, noSoundForPlane, noSoundForPlane};

} // namespace

SoundHooks soundHooks = silentHooks;

void resetSoundHooks()
{
    soundHooks = silentHooks;
}
