// The nine cameras: where the eye stands and what it looks at, worked out from
// the controlled plane's position each drawn frame. Cameras 2, 8 and 9 move
// with a state of their own that lasts from frame to frame.
#pragma once

#include <optional>

struct Vec3 {
    double x, y, z;
};

constexpr int cameraCount = 9;
constexpr int chaseRingSize = 1000;

extern double camAngle;       // camera 2's orbit angle, radians from +x towards +y
extern float Camx, Camy;      // camera 2's eye
extern const float camSpeed;  // only shown in camera 2's read-out
extern float cam8Eye[3];      // camera 8's eye; initGL puts it at (150, 150, 100)
extern float chaseRing[chaseRingSize][3];  // camera 9's past eye points
extern int chaseRingIndex;                  // next entry of chaseRing to write

// What the cameras read from the controlled plane: the positions of its
// fuselage (T) and tail (C), the fuselage's velocity (V), and points given in
// the fuselage's own frame (x forward, y left, z up) in world coordinates.
struct PlaneRefs {
    Vec3 T, C, V;
    Vec3 behind;     // (-30, 0, 10)
    Vec3 cockpit;    // (-3, 0, 2)
    Vec3 farBehind;  // (-200, 0, 10)
    Vec3 side;       // (0, -30, 3)
};

// Reads the reference values of a plane whose bodies exist.
PlaneRefs readPlaneRefs(int plane);

struct CameraView {
    Vec3 eye, target;  // the up vector is always +z
};

// Camera 2's read-out: the values of its orbit step in this frame. `bearing`
// is the camera's bearing from the plane, `desired` the bearing of the point
// behind the plane and `difference` the turn between them, all in degrees.
struct Camera2Readout {
    float camDist;
    float Camx, Camy;
    double Dx, Dy;
    float difference, bearing, desired;
};

// The view of camera `cameraNo` (1 to 9) for this frame, stepping the state of
// cameras 2, 8 and 9. fpsNow is the measured turn rate. Camera 2 fills
// `readout`; an unknown camera number gives no view.
std::optional<CameraView> placeCamera(int cameraNo, const PlaneRefs& refs, float fpsNow,
                                      Camera2Readout* readout = nullptr);

// Puts the camera state back to its start values.
void resetCameraState();
