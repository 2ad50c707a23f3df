#include "arena/flight.h"

#include "arena/collision.h"
#include "arena/geom_tags.h"
#include "arena/records.h"
#include "arena/sound_hooks.h"
#include "arena/tunables.h"
#include "platform/clock.h"

namespace {

constexpr float shotInterval = 0.5f;
constexpr dReal bubbleRadius = 2;
constexpr dReal bubbleDensity = 0.05;
constexpr dReal pushFactor = 1000;

bool validPlane(int plane)
{
    return plane >= 0 && plane < planeCount && planes[plane].tail.body;
}

void dragBody(dBodyID body, float k)
{
    // Over one physics step the drag may at most stop the body, never throw it
    // back: with a long step (TStepSz has no upper bound) the plain force
    // would reverse and grow the velocity from step to step until ODE gives up
    // on the bodies' places. At every usual step the force is the plain one.
    dMass mass;
    dBodyGetMass(body, &mass);
    const dReal stopping = TStepSz > 0 ? mass.mass / TStepSz : k;
    const dReal factor = k < stopping ? k : stopping;
    const dReal* v = dBodyGetLinearVel(body);
    dBodyAddForce(body, -factor * v[0], -factor * v[1], -factor * v[2]);
}

void dragPlane(int plane, float k)
{
    Plane& p = planes[plane];
    dragBody(p.tail.body, k);
    dragBody(p.leftTip.body, k);
    dragBody(p.rightTip.body, k);
}

// A side force along the body y axis: +s on the tail, -s on both wing tips
// swings the nose to the right; the opposite signs swing it to the left.
void sideForces(int plane, double tailForce)
{
    if (!validPlane(plane))
        return;
    Plane& p = planes[plane];
    dBodyAddRelForce(p.tail.body, 0, tailForce, 0);
    dBodyAddRelForce(p.leftTip.body, 0, -tailForce, 0);
    dBodyAddRelForce(p.rightTip.body, 0, -tailForce, 0);
}

// The same body-frame force along the nose on each of the three spheres.
void noseForces(int plane, double force)
{
    if (!validPlane(plane))
        return;
    Plane& p = planes[plane];
    dBodyAddRelForce(p.tail.body, force, 0, 0);
    dBodyAddRelForce(p.leftTip.body, force, 0, 0);
    dBodyAddRelForce(p.rightTip.body, force, 0, 0);
}

double turnForce(float factor)
{
    return static_cast<double>(static_cast<float>(forceScale) * factor) * 0.3;
}

// Destroys plane p's bubble. Whatever names it is told first, so that nothing
// reads through its handles afterwards: the sound side drops clips it owns, and
// a scanner ray that last met it forgets it.
void destroyBubble(Plane& p)
{
    soundHooks.bodyDestroying(p.bubble.body);
    for (auto& other : planes)
        if (other.rayHitGeom == p.bubble.geom)
            other.rayHitGeom = nullptr;
    dBodyDestroy(p.bubble.body);
    dGeomDestroy(p.bubble.geom);
    p.bubble = Part{};
    p.bubbleCount -= 1;
}

} // namespace

float dragFactor()
{
    // A rate that is not a number counts as a low one.
    return FpsNow >= 10 ? 50.0f / FpsNow : 0.3f;
}

void planeDrag(int plane)
{
    if (validPlane(plane))
        dragPlane(plane, dragFactor());
}

void allPlanesDrag()
{
    float k = dragFactor();
    for (int i = 0; i < planeCount; ++i)
        if (validPlane(i))
            dragPlane(i, k);
}

void turnRight(int plane, float factor)
{
    sideForces(plane, turnForce(factor));
}

void turnLeft(int plane, float factor)
{
    sideForces(plane, -turnForce(factor));
}

void steerRight(int plane)
{
    turnRight(plane, 1.0f);
}

void steerLeft(int plane)
{
    turnLeft(plane, 1.0f);
}

void applyThrust(int plane)
{
    noseForces(plane, static_cast<float>(forceScale) * ThrustF);
}

void applyBrake(int plane)
{
    noseForces(plane, -static_cast<double>(forceScale));
}

void fireBubble(int plane)
{
    // Bodies and geoms are never made or destroyed inside a collision pass.
    if (!validPlane(plane) || collisionPassRunning())
        return;
    Plane& p = planes[plane];
    float now = platform::nowSeconds();
    if (!(now - p.lastShotTime > shotInterval))
        return;
    p.lastShotTime = now;

    dVector3 muzzle;
    dBodyGetRelPointPos(p.fuselage.body, 6.5, 0, 2, muzzle);

    if (p.bubbleCount > 0 && p.bubble.body)
        destroyBubble(p);

    p.bubble.body = dBodyCreate(world);
    dBodySetPosition(p.bubble.body, muzzle[0], muzzle[1], muzzle[2]);
    dMass mass;
    dMassSetZero(&mass);
    dMassSetSphere(&mass, bubbleDensity, bubbleRadius);
    dBodySetMass(p.bubble.body, &mass);

    p.bubble.geom = dCreateSphere(nullptr, bubbleRadius);
    tagGeom(p.bubble.geom, GeomKind::Bubble, plane);
    dGeomSetBody(p.bubble.geom, p.bubble.body);
    dSpaceAdd(space, p.bubble.geom);
    p.bubbleCount += 1;

    // The push runs along the fuselage from its tail end forward, 9 units long.
    dVector3 front, back;
    dBodyGetRelPointPos(p.fuselage.body, -1, 0, 0, front);
    dBodyGetRelPointPos(p.fuselage.body, -10, 0, 0, back);
    dBodyAddRelForce(p.bubble.body, pushFactor * (front[0] - back[0]),
                     pushFactor * (front[1] - back[1]), pushFactor * (front[2] - back[2]));

    soundHooks.gunFired(plane);
}

void resetFlightState()
{
    // The flight operations keep no state of their own: the force scale and the
    // tunables are reset with the other tunables, and the shot times with the
    // plane records.
}
