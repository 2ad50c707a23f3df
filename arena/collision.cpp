#include "arena/collision.h"

#include "arena/geom_tags.h"
#include "arena/records.h"
#include "arena/sound_hooks.h"

#include <cfloat>

uint64_t CallBackCounter = 0;

namespace {

bool passRunning = false;

bool isRay(dGeomID g)
{
    return dGeomGetClass(g) == dRayClass;
}

// One of plane p's geoms: its five parts or its live bubble.
bool belongsToPlane(dGeomID g, int p)
{
    return planeOfPart(g) == p || planeOfBubble(g) == p;
}

// Plane j, hit by plane i's bubble on the touched part geom.
void hitPlane(int j, int i, dGeomID touched)
{
    Plane& target = planes[j];
    if (target.Helth < 0)
        return;
    target.Helth -= 1;
    target.lastHitBy = i;
    soundHooks.planeHit(dGeomGetBody(touched));
}

} // namespace

dSurfaceParameters contactSurface()
{
    dSurfaceParameters surface{};
    surface.mode = dContactBounce | dContactSoftCFM;
    surface.mu = FLT_MAX;
    surface.bounce = 0.2;
    surface.bounce_vel = 0.1;
    surface.soft_cfm = 0.0000001;
    return surface;
}

bool scanRayContact(dGeomID o1, dGeomID o2)
{
    bool ray1 = isRay(o1);
    bool ray2 = isRay(o2);
    if (ray1 && ray2)
        return true;
    if (!ray1 && !ray2)
        return false;

    dContact contact{};
    if (dCollide(o1, o2, 1, &contact.geom, sizeof(dContact)) != 1)
        return true;

    bool pillarMark = false;
    bool partMark = false;
    bool bubbleMark = false;
    for (int k = 0; k < planeCount; ++k) {
        Plane& plane = planes[k];
        if (plane.RayHit == 1)
            continue;
        if (pillarOfGeom(o1) >= 0 || pillarOfGeom(o2) >= 0)
            pillarMark = true;
        if (planeOfPart(o1) >= 0 || planeOfPart(o2) >= 0)
            partMark = true;
        if (plane.bubbleCount > 0 && (o1 == plane.bubble.geom || o2 == plane.bubble.geom)) {
            bubbleMark = true;
            continue;
        }
        if (pillarMark || partMark || bubbleMark)
            continue;
        if (plane.scanRay == o1 || plane.scanRay == o2) {
            dGeomID other = plane.scanRay == o1 ? o2 : o1;
            plane.RayHit = 1;
            plane.rayHitGeom = other;
            plane.rayHitPos[0] = contact.geom.pos[0];
            plane.rayHitPos[1] = contact.geom.pos[1];
            plane.rayHitPos[2] = contact.geom.pos[2];
            if (other == ground)
                plane.GrndHit = 1;
            else
                plane.Sensing = 1;
        }
    }
    return true;
}

bool pillarContact(dGeomID o1, dGeomID o2)
{
    // A pair is a pillar and a plane's geom, in either order.
    const dGeomID orders[2][2] = {{o1, o2}, {o2, o1}};
    for (const auto& order : orders) {
        int pillar = pillarOfGeom(order[0]);
        if (pillar < 0)
            continue;
        for (int p = 0; p < planeCount; ++p) {
            if (!belongsToPlane(order[1], p))
                continue;
            if (planes[p].team > 0)
                return true;
            pillars[pillar].hit = 1;
        }
    }
    return false;
}

bool shotHit(dGeomID o1, dGeomID o2)
{
    const dGeomID orders[2][2] = {{o1, o2}, {o2, o1}};
    for (const auto& order : orders) {
        int shooter = planeOfBubble(order[0]);
        if (shooter < 0)
            continue;
        int target = planeOfPart(order[1]);
        if (target >= 0 && target != shooter) {
            hitPlane(target, shooter, order[1]);
            return true;
        }
    }
    return false;
}

void nearCallback(void*, dGeomID o1, dGeomID o2)
{
    ++CallBackCounter;
    if (scanRayContact(o1, o2))
        return;

    dBodyID b1 = dGeomGetBody(o1);
    dBodyID b2 = dGeomGetBody(o2);
    if (b1 && b2 && dAreConnectedExcluding(b1, b2, dJointTypeContact))
        return;
    if (pillarContact(o1, o2))
        return;
    shotHit(o1, o2);
    makeContacts(o1, o2);
}

void makeContacts(dGeomID o1, dGeomID o2)
{
    constexpr int maxContacts = 5;
    const dSurfaceParameters surface = contactSurface();
    dContact contacts[maxContacts];
    for (auto& contact : contacts) {
        contact = dContact{};
        contact.surface = surface;
    }
    const int n = dCollide(o1, o2, maxContacts, &contacts[0].geom, sizeof(dContact));
    const dBodyID b1 = dGeomGetBody(o1);
    const dBodyID b2 = dGeomGetBody(o2);
    for (int i = 0; i < n; ++i) {
        dJointID joint = dJointCreateContact(world, contactGroup, &contacts[i]);
        dJointAttach(joint, b1, b2);
    }
}

void runCollisionPass()
{
    passRunning = true;
    dSpaceCollide(space, nullptr, nearCallback);
    passRunning = false;
}

bool collisionPassRunning()
{
    return passRunning;
}

void resetCollisionState()
{
    CallBackCounter = 0;
    passRunning = false;
}
