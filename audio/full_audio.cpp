// Full audio: the simulation's sound moments, the drawn frames and the texts'
// read-outs go to the clips.
#include "audio/audio.h"
#include "audio/effect_pool.h"
#include "audio/placement.h"
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

// Asks the clips in the order the texts show them: owners, count, gun clips,
// effect clips.
bool readClips(SoundReadouts& readouts)
{
    for (int i = 0; i < effectClipCount; ++i)
        readouts.effectOwners[i] = reinterpret_cast<intptr_t>(myCollide[i].odeBodyID);
    readouts.activeSouceCount = activeSouceCount;
    for (int i = 0; i < planeCount; ++i)
        readouts.gunPlaying[i] = bubbleFly[i].isPlaying();
    for (int i = 0; i < effectClipCount; ++i)
        readouts.effectPlaying[i] = myCollide[i].isPlaying();
    return true;
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
    soundHooks.frameDrawing = updateSoundPositions;
    soundHooks.readouts = readClips;
}
