// Full audio: the simulation's sound moments go to the clips.
#include "audio/audio.h"
#include "audio/effect_pool.h"
#include "audio/sound_clip.h"

#include "arena/records.h"
#include "arena/sound_hooks.h"

namespace {

// The gun sound starts far off; the next drawn frame moves it to the new bubble.
void gunSound(int plane)
{
    if (plane < 0 || plane >= planeCount)
        return;
    bubbleFly[plane].setPosition(999, 999, 999);
    bubbleFly[plane].play();
}

} // namespace

void startAudio()
{
    resetSoundHooks();
    soundHooks.sceneStarting = loadSounds;
    soundHooks.gunFired = gunSound;
    soundHooks.planeHit = playEffect;
    soundHooks.buildingsTearingDown = clearEffectOwners;
    soundHooks.bodyDestroying = forgetSoundOwner;
    soundHooks.afterStep = impactSounds;
}
