#include "render/cameras.h"

#include "arena/autopilot.h"
#include "arena/records.h"

#include <cmath>

double camAngle = 5.0;
float Camx = 4.0f;
float Camy = 4.0f;
const float camSpeed = 0.1f;
float cam8Eye[3] = {0, 0, 50};
float chaseRing[chaseRingSize][3];
int chaseRingIndex = 0;

namespace {

constexpr float camera2Distance = 30;
constexpr double camera2DeadBand = 10;
constexpr double cam8JumpDistance = 500;

Vec3 toVec3(const dReal* v)
{
    return {v[0], v[1], v[2]};
}

Vec3 relPoint(dBodyID body, dReal x, dReal y, dReal z)
{
    dVector3 out;
    dBodyGetRelPointPos(body, x, y, z, out);
    return toVec3(out);
}

Vec3 above(const Vec3& v, double dz)
{
    return {v.x, v.y, v.z + dz};
}

// Camera 2 circles the plane at distance 30 and turns, a little each frame,
// the shorter way towards the point behind the plane, with a dead band of 10
// degrees either side.
CameraView orbitCamera(const PlaneRefs& refs, float fpsNow, Camera2Readout* readout)
{
    const Vec3& T = refs.T;
    const Vec3& D = refs.behind;
    const float b = static_cast<float>(bearingOf(T.x, T.y, Camx, Camy));
    const float e = static_cast<float>(bearingOf(T.x, T.y, D.x, D.y));
    float d = e - b;
    if (d < 0)
        d += 360;

    const double turn = fpsNow * 0.0005;
    if (d > 180 && d < 360 - camera2DeadBand)
        camAngle += turn;
    else if (d <= 180 && d > camera2DeadBand)
        camAngle -= turn;

    Camx = static_cast<float>(T.x + camera2Distance * std::cos(camAngle));
    Camy = static_cast<float>(T.y + camera2Distance * std::sin(camAngle));
    if (readout)
        *readout = {camera2Distance, Camx, Camy, D.x, D.y, d, b, e};
    return {{Camx, Camy, refs.C.z + 5}, T};
}

// Camera 8 stays put until the plane is more than 500 away across the ground,
// then jumps to 150 beyond it in +x and +y, at half that distance in height.
CameraView jumpCamera(const PlaneRefs& refs)
{
    const Vec3& E = refs.T;
    const double dx = cam8Eye[0] - E.x;
    const double dy = cam8Eye[1] - E.y;
    const double distance = std::sqrt(dx * dx + dy * dy);
    if (distance > cam8JumpDistance) {
        cam8Eye[0] = static_cast<float>(E.x + 150);
        cam8Eye[1] = static_cast<float>(E.y + 150);
        cam8Eye[2] = static_cast<float>(distance * 0.5);
    }
    return {{cam8Eye[0], cam8Eye[1], cam8Eye[2]}, refs.T};
}

// Camera 9 follows the point behind the plane as it was about a quarter of a
// second of drawn frames ago, from a ring of stored points.
CameraView chaseCamera(const PlaneRefs& refs, float fpsNow)
{
    int i = chaseRingIndex;
    if (i < 0 || i >= chaseRingSize)
        i = 0;
    chaseRing[i][0] = static_cast<float>(refs.behind.x);
    chaseRing[i][1] = static_cast<float>(refs.behind.y);
    chaseRing[i][2] = static_cast<float>(refs.behind.z);

    // The lag is a quarter of the measured rate in frames; at 4000 frames per
    // second and more (or an unmeasured rate) the ring's end bounds it.
    int n = i + 1;
    if (fpsNow * 0.25 < n || n >= chaseRingSize)
        n = 0;
    chaseRingIndex = n;
    return {{chaseRing[n][0], chaseRing[n][1], refs.T.z + 5}, above(refs.T, 7)};
}

} // namespace

PlaneRefs readPlaneRefs(int plane)
{
    dBodyID fuselage = planes[plane].fuselage.body;
    PlaneRefs refs;
    refs.T = toVec3(dBodyGetPosition(fuselage));
    refs.C = toVec3(dBodyGetPosition(planes[plane].tail.body));
    refs.V = toVec3(dBodyGetLinearVel(fuselage));
    refs.behind = relPoint(fuselage, -30, 0, 10);
    refs.cockpit = relPoint(fuselage, -3, 0, 2);
    refs.farBehind = relPoint(fuselage, -200, 0, 10);
    refs.side = relPoint(fuselage, 0, -30, 3);
    return refs;
}

std::optional<CameraView> placeCamera(int cameraNo, const PlaneRefs& refs, float fpsNow,
                                      Camera2Readout* readout)
{
    const Vec3& T = refs.T;
    switch (cameraNo) {
    case 1:
        return CameraView{{refs.behind.x, refs.behind.y, T.z + 5}, above(T, 7)};
    case 2:
        return orbitCamera(refs, fpsNow, readout);
    case 3:
        return CameraView{refs.cockpit, above(T, 2)};
    case 4:
        return CameraView{{625, 625, 1000}, T};
    case 5:
        return CameraView{{refs.farBehind.x, refs.farBehind.y, refs.C.z + 50}, T};
    case 6:
        return CameraView{refs.side, T};
    case 7:
        return CameraView{{625, 625, 1490}, {625, 626, T.z}};
    case 8:
        return jumpCamera(refs);
    case 9:
        return chaseCamera(refs, fpsNow);
    default:
        return std::nullopt;
    }
}

void resetCameraState()
{
    camAngle = 5.0;
    Camx = 4.0f;
    Camy = 4.0f;
    cam8Eye[0] = 0;
    cam8Eye[1] = 0;
    cam8Eye[2] = 50;
    for (auto& entry : chaseRing)
        entry[0] = entry[1] = entry[2] = 0;
    chaseRingIndex = 0;
}
