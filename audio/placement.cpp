// Full audio: the placement of clips and listener in every drawn frame. The tunes
// are handed to planes near the controlled plane and follow them, the gun clips
// follow their planes' bubbles, the effect clips their owners, and the listener
// rides the controlled plane, looking along its nose.
#include "audio/placement.h"
#include "audio/effect_pool.h"
#include "audio/sound_clip.h"

#include "arena/records.h"
#include "arena/tunables.h"

namespace {

constexpr dReal musicRange = 300;

struct Listener {
    float position[3];
    float front[3];
    float top[3];
};

void placeAt(SoundClip& clip, dBodyID body)
{
    const dReal* p = dBodyGetPosition(body);
    clip.setPosition(float(p[0]), float(p[1]), float(p[2]));
}

// Planes 1 to 6 within 300 of the controlled plane take free tunes, the
// highest-numbered free one first; planes 300 or more away give theirs back.
void handOverMusic(const Plane& controlled)
{
    for (int p = 1; p < planeCount; ++p) {
        const dBodyID fuselage = planes[p].fuselage.body;
        if (!fuselage)
            continue;
        if (horizontalDistance(fuselage, controlled.fuselage.body) < musicRange) {
            bool ownsOne = false;
            SoundClip* candidate = nullptr;
            for (SoundClip& clip : musicClips) {
                if (clip.odeBodyID == fuselage)
                    ownsOne = true;
                if (!clip.odeBodyID)
                    candidate = &clip;
            }
            if (candidate && !ownsOne && planes[p].Helth > 0)
                candidate->odeBodyID = fuselage;
        } else {
            for (SoundClip& clip : musicClips) {
                if (clip.odeBodyID == fuselage) {
                    clip.odeBodyID = nullptr;
                    clip.setPosition(0, 0, 9999);
                }
            }
        }
    }
}

} // namespace

void updateSoundPositions()
{
    if (cnP < 0 || cnP >= planeCount)
        return;
    const Plane& controlled = planes[cnP];
    if (!controlled.fuselage.body || !controlled.tail.body)
        return;

    Listener l;
    const dReal* position = dBodyGetPosition(controlled.fuselage.body);
    // The top vector is half the way from the tail's point 10 above its centre
    // (in its own frame) back to the centre: length 5, pointing down the tail's z.
    dVector3 above;
    dBodyGetRelPointPos(controlled.tail.body, 0, 0, 10, above);
    const dReal* tail = dBodyGetPosition(controlled.tail.body);
    for (int i = 0; i < 3; ++i) {
        l.position[i] = float(position[i]);
        l.front[i] = float(controlled.scanDir[i]);
        l.top[i] = float((tail[i] - above[i]) * 0.5);
    }

    handOverMusic(controlled);

    for (SoundClip& clip : musicClips) {
        if (!clip.odeBodyID)
            continue;
        clip.setListener(l.position[0], l.position[1], l.position[2]);
        placeAt(clip, clip.odeBodyID);
        clip.setListenerOrientation(l.front, l.top);
    }

    for (int i = 0; i < planeCount; ++i) {
        if (planes[i].bubbleCount <= 0 || !planes[i].bubble.body)
            continue;
        placeAt(bubbleFly[i], planes[i].bubble.body);
        bubbleFly[i].setListener(l.position[0], l.position[1], l.position[2], l.front, l.top);
    }

    for (SoundClip& clip : myCollide) {
        if (!clip.odeBodyID)
            continue;
        placeAt(clip, clip.odeBodyID);
        clip.setListener(l.position[0], l.position[1], l.position[2], l.front, l.top);
    }

    activeSouceCount = 0;
    for (SoundClip& clip : myCollide)
        if (clip.isPlaying())
            ++activeSouceCount;
}
