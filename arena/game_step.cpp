#include "arena/game_step.h"

#include "arena/autopilot.h"
#include "arena/flight.h"
#include "arena/records.h"
#include "arena/tunables.h"
#include "platform/clock.h"

#include <cmath>

namespace {

constexpr dReal tipExtraLift = 3.99;
constexpr dReal scanLength = 5.0;

void lift(const Plane& p)
{
    dBodyAddForce(p.tail.body, 0, 0, Zforce);
    dBodyAddForce(p.leftTip.body, 0, 0, Zforce + tipExtraLift);
    dBodyAddForce(p.rightTip.body, 0, 0, Zforce + tipExtraLift);
}

bool finite3(const dReal* v)
{
    return std::isfinite(v[0]) && std::isfinite(v[1]) && std::isfinite(v[2]);
}

void placeScanRay(Plane& p)
{
    dVector3 a, b;
    dBodyGetRelPointPos(p.fuselage.body, 5.08, 0, 0.1, a);
    dBodyGetRelPointPos(p.fuselage.body, 1, 0, 0.1, b);
    dVector3 d;
    for (int i = 0; i < 3; ++i) {
        d[i] = 0.5 * (a[i] - b[i]);
        p.scanDir[i] = d[i];
    }
    p.scanDir[3] = 0;
    // The direction is 2.04 long for every pose of the fuselage. A body that has
    // left the realm of numbers keeps its ray where it was rather than handing
    // the space a ray it cannot place.
    if (!finite3(a) || !dSafeNormalize3(d))
        return;
    dGeomRaySetLength(p.scanRay, scanLength);
    dGeomRaySet(p.scanRay, a[0], a[1], a[2], d[0], d[1], d[2]);
}

} // namespace

int forceScaleFor(float fps)
{
    // A rate that is not a number counts as a low one.
    if (!(fps >= 10))
        return 5;
    return static_cast<int>(1000.0f / fps);
}

void holdAltitude(int plane)
{
    if (plane < 0 || plane >= planeCount || !planes[plane].tail.body)
        return;
    const Plane& p = planes[plane];
    const dReal* pos = dBodyGetPosition(p.tail.body);
    const dReal* vel = dBodyGetLinearVel(p.tail.body);
    if (pos[2] < DesiredZ)
        lift(p);
    if (vel[2] < 0)
        lift(p);
}

void updateScanRays()
{
    for (auto& p : planes)
        if (p.fuselage.body && p.scanRay)
            placeScanRay(p);
}

void simTick()
{
    forceScale = forceScaleFor(FpsNow);
    for (int i = 0; i < planeCount; ++i)
        if (planes[i].Helth > 0)
            holdAltitude(i);
    allPlanesDrag();

    float now = platform::nowSeconds();
    if (now - lastAiTick > autopilotInterval) {
        for (int i = 0; i < planeCount; ++i) {
            if (!planes[i].autopilot)
                continue;
            if (planes[i].Helth > 0)
                autopilotStep(i);
            if (Action)
                acquireEnemy(i);
        }
        lastAiTick = platform::nowSeconds();
    }
    updateScanRays();
}
