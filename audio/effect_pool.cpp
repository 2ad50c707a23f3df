#include "audio/effect_pool.h"

#include "arena/records.h"
#include "audio/sound_clip.h"
#include "platform/clock.h"

#include <cmath>
#include <cstdio>

namespace {

constexpr float clipReuseSeconds = 0.5f;
constexpr dReal fastSpeed = 5;
constexpr dReal hearingRange = 300;

// The clip chosen as free says it is playing after all. A question box here
// would stop the game until answered, and the answer changes nothing, so it is
// only reported on stderr.
void reportBufferInUse()
{
    std::fputs("Error!: Sound buffer already in use.\n", stderr);
}

} // namespace

dReal horizontalDistance(dBodyID a, dBodyID b)
{
    const dReal* p = dBodyGetPosition(a);
    const dReal* q = dBodyGetPosition(b);
    const dReal dx = p[0] - q[0];
    const dReal dy = p[1] - q[1];
    return std::sqrt(dx * dx + dy * dy);
}

void playEffect(dBodyID owner)
{
    bool alreadyOwner = false;
    for (const SoundClip& clip : myCollide)
        if (clip.odeBodyID == owner)
            alreadyOwner = true;

    SoundClip* chosen = nullptr;
    for (SoundClip& clip : myCollide) {
        if (!clip.isPlaying() && platform::nowSeconds() - clip.startTime > clipReuseSeconds) {
            clip.odeBodyID = nullptr;
            chosen = &clip;
        }
    }
    if (alreadyOwner || !chosen)
        return;

    chosen->startTime = platform::nowSeconds();
    if (chosen->isPlaying())
        reportBufferInUse();
    chosen->odeBodyID = owner;
    chosen->play();
}

void impactSoundForBody(dBodyID body)
{
    const dBodyID listenerBody = planes[0].fuselage.body;
    if (!body || !listenerBody)
        return;
    // Speed and distance stay the same over the body's contacts: most bodies
    // rest, and are done with before their joints are walked.
    const dReal* v = dBodyGetLinearVel(body);
    bool fast = false;
    for (int axis = 0; axis < 3; ++axis)
        if (v[axis] > fastSpeed || v[axis] < -fastSpeed)
            fast = true;
    if (!fast || !(horizontalDistance(listenerBody, body) < hearingRange))
        return;
    const int joints = dBodyGetNumJoints(body);
    for (int j = 0; j < joints; ++j)
        if (dJointGetType(dBodyGetJoint(body, j)) == dJointTypeContact)
            playEffect(body);
}

void impactSounds()
{
    for (const Pillar& pillar : pillars)
        impactSoundForBody(pillar.body);
    for (const Crate& crate : crates)
        impactSoundForBody(crate.body);
    for (const Plane& plane : planes) {
        for (const Part* part : {&plane.tail, &plane.leftTip, &plane.rightTip, &plane.fuselage, &plane.wing})
            impactSoundForBody(part->body);
        if (plane.bubbleCount > 0)
            impactSoundForBody(plane.bubble.body);
    }
}

void clearEffectOwners()
{
    for (SoundClip& clip : myCollide)
        clip.odeBodyID = nullptr;
}

void forgetSoundOwner(dBodyID body)
{
    if (!body)
        return;
    for (SoundClip& clip : myCollide)
        if (clip.odeBodyID == body)
            clip.odeBodyID = nullptr;
    for (SoundClip& clip : musicClips)
        if (clip.odeBodyID == body)
            clip.odeBodyID = nullptr;
}
