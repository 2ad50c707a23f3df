// Cue sounds: five short files played by name at five moments of the game, with
// no position and no music.
#include "audio/audio.h"

#include "arena/sound_hooks.h"
#include "platform/cue/cue_player.h"

void startAudio()
{
    resetSoundHooks();
    soundHooks.sceneStarting = [] { platform::playCue("data\\20th_century_fox.wav"); };
    soundHooks.gunFired = [](int) { platform::playCue("data\\gun.wav"); };
    soundHooks.planeHit = [](dBodyID) { platform::playCue("data\\beep_1.wav"); };
    soundHooks.enemyTaken = [](int) { platform::playCue("data\\boing_1.wav"); };
    soundHooks.enemyDropped = [](int) { platform::playCue("data\\hasta_la_vista_baby.wav"); };
}
