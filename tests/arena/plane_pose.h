// Puts a plane where a test wants it, and reads back the forces that the
// operations under test added before any step.
#pragma once

#include "arena/records.h"

#include <ode/ode.h>

#include <cmath>

// Places plane k's five parts rigidly around a fuselage centre (x, y, z), the
// nose turned `yawDegrees` anticlockwise from +x seen from above, at rest and
// with no force on any part.
inline void placePlane(int k, double x, double y, double z, double yawDegrees = 0)
{
    struct Offset {
        Part Plane::*part;
        double dx, dy, dz;
    };
    // The parts' centres relative to the fuselage's, as construction lays them.
    const Offset offsets[] = {
        {&Plane::fuselage, 0, 0, 0},  {&Plane::tail, -4.5, 0, 0.5},
        {&Plane::rightTip, 3, -3.5, 0.5}, {&Plane::leftTip, 3, 3.5, 0.5},
        {&Plane::wing, 3, 0, 0.5},
    };
    double a = yawDegrees * M_PI / 180;
    dMatrix3 r;
    dRFromAxisAndAngle(r, 0, 0, 1, a);
    for (const auto& o : offsets) {
        dBodyID body = (planes[k].*o.part).body;
        dBodySetPosition(body, x + o.dx * std::cos(a) - o.dy * std::sin(a),
                         y + o.dx * std::sin(a) + o.dy * std::cos(a), z + o.dz);
        dBodySetRotation(body, r);
        dBodySetLinearVel(body, 0, 0, 0);
        dBodySetAngularVel(body, 0, 0, 0);
        dBodySetForce(body, 0, 0, 0);
        dBodySetTorque(body, 0, 0, 0);
    }
}

// The force added to a body so far in this turn, in the body's own frame.
struct Force {
    double x, y, z;
};

inline Force bodyForce(dBodyID body)
{
    const dReal* f = dBodyGetForce(body);
    dVector3 local;
    dBodyVectorFromWorld(body, f[0], f[1], f[2], local);
    return {local[0], local[1], local[2]};
}

inline Force worldForce(dBodyID body)
{
    const dReal* f = dBodyGetForce(body);
    return {f[0], f[1], f[2]};
}

// Clears the forces on every plane part.
inline void clearPlaneForces()
{
    for (auto& p : planes)
        for (dBodyID b : {p.tail.body, p.leftTip.body, p.rightTip.body, p.fuselage.body, p.wing.body}) {
            dBodySetForce(b, 0, 0, 0);
            dBodySetTorque(b, 0, 0, 0);
        }
}
