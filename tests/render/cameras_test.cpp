// The nine cameras as a function of the controlled plane's reference values.
#include "arena/records.h"
#include "arena_fixture.h"
#include "render/cameras.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

constexpr double degreesPerRadian = 57.295827908797776;

::testing::AssertionResult near(const Vec3& v, double x, double y, double z, double tolerance = 1e-6)
{
    if (std::fabs(v.x - x) <= tolerance && std::fabs(v.y - y) <= tolerance && std::fabs(v.z - z) <= tolerance)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "(" << v.x << ", " << v.y << ", " << v.z << "), expected (" << x
                                         << ", " << y << ", " << z << ")";
}

// A point 30 from (px, py) at the given bearing (clockwise from above).
Vec3 atBearing(double px, double py, double degrees)
{
    const double theta = (degrees - 180) / degreesPerRadian;
    return {px + 30 * std::sin(theta), py + 30 * std::cos(theta), 0};
}

class CameraTest : public ArenaTest {
protected:
    void SetUp() override
    {
        ArenaTest::SetUp();
        resetCameraState();
    }
    void TearDown() override
    {
        resetCameraState();
        ArenaTest::TearDown();
    }

    CameraView view(int camera, const PlaneRefs& refs, float fps = 60, Camera2Readout* readout = nullptr)
    {
        auto v = placeCamera(camera, refs, fps, readout);
        EXPECT_TRUE(v.has_value());
        return v.value_or(CameraView{});
    }
};

TEST_F(CameraTest, FixedAndAttachedCamerasFromPlaneZerosStartPose)
{
    buildScene();
    const PlaneRefs refs = readPlaneRefs(0);
    // Plane 0 starts level and unrotated: fuselage at (71.5, 30, 10.75), tail
    // at (67, 30, 11.25), nose along +x.
    ASSERT_TRUE(near(refs.T, 71.5, 30, 10.75));
    ASSERT_TRUE(near(refs.C, 67, 30, 11.25));

    const Vec3 T = refs.T;
    struct Expected {
        int camera;
        Vec3 eye, target;
    };
    const Expected cameras[] = {
        {1, {41.5, 30, 15.75}, {71.5, 30, 17.75}},
        {3, {68.5, 30, 12.75}, {71.5, 30, 12.75}},
        {4, {625, 625, 1000}, T},
        {5, {-128.5, 30, 61.25}, T},
        {6, {71.5, 0, 13.75}, T}, // from the plane's right, its -y side
        {7, {625, 625, 1490}, {625, 626, 10.75}},
    };
    for (const Expected& c : cameras) {
        const CameraView v = view(c.camera, refs);
        EXPECT_TRUE(near(v.eye, c.eye.x, c.eye.y, c.eye.z)) << "camera " << c.camera;
        EXPECT_TRUE(near(v.target, c.target.x, c.target.y, c.target.z)) << "camera " << c.camera;
    }

    EXPECT_FALSE(placeCamera(0, refs, 60).has_value());
    EXPECT_FALSE(placeCamera(10, refs, 60).has_value());
}

TEST_F(CameraTest, AttachedCamerasTurnWithThePlane)
{
    buildScene();
    // Turn plane 0's fuselage 90 degrees to the left about z: its nose points
    // along +y and its left along -x.
    dMatrix3 r;
    dRFromAxisAndAngle(r, 0, 0, 1, M_PI / 2);
    dBodySetRotation(planes[0].fuselage.body, r);
    const PlaneRefs refs = readPlaneRefs(0);
    EXPECT_TRUE(near(refs.behind, 71.5, 0, 20.75));
    EXPECT_TRUE(near(view(6, refs).eye, 101.5, 30, 13.75));
}

TEST_F(CameraTest, OrbitCameraFromTheStartTurnsTowardsThePointBehind)
{
    buildScene();
    const PlaneRefs refs = readPlaneRefs(0);
    Camera2Readout readout{};
    const CameraView v = view(2, refs, 60, &readout);
    // From (4, 4) the camera stands at bearing 68.93 from the plane; the point
    // behind it lies at 90, so the orbit turns down by 60 x 0.0005.
    EXPECT_NEAR(readout.bearing, 68.93, 0.01);
    EXPECT_NEAR(readout.desired, 90.0, 0.01);
    EXPECT_NEAR(readout.difference, 21.07, 0.01);
    EXPECT_DOUBLE_EQ(camAngle, 5 - 60 * 0.0005);
    EXPECT_NEAR(Camx, 71.5 + 30 * std::cos(4.97), 1e-4);
    EXPECT_NEAR(Camy, 30 + 30 * std::sin(4.97), 1e-4);
    EXPECT_TRUE(near(v.eye, Camx, Camy, 16.25));
    EXPECT_TRUE(near(v.target, 71.5, 30, 10.75));
    EXPECT_EQ(readout.Camx, Camx);
    EXPECT_DOUBLE_EQ(readout.Dx, 41.5);
    EXPECT_DOUBLE_EQ(readout.Dy, 30);
    EXPECT_EQ(readout.camDist, 30.0f);
}

TEST(OrbitCamera, DeadBandAndShorterWay)
{
    struct Case {
        double cameraBearing, desiredBearing;
        int turn; // -1 down, 0 none, +1 up
    };
    const Case cases[] = {
        {100, 105, 0},  {100, 95, 0},   {100, 109.9, 0}, {100, 90.1, 0},  {100, 115, -1},
        {100, 279, -1}, {100, 281, +1}, {100, 85, +1},   {300, 10, -1},   {10, 300, +1},
    };
    for (const Case& c : cases) {
        resetCameraState();
        PlaneRefs refs{};
        refs.T = {500, 400, 20};
        refs.C = {495, 400, 21};
        const Vec3 cam = atBearing(500, 400, c.cameraBearing);
        Camx = static_cast<float>(cam.x);
        Camy = static_cast<float>(cam.y);
        refs.behind = atBearing(500, 400, c.desiredBearing);
        Camera2Readout readout{};
        placeCamera(2, refs, 60, &readout);
        SCOPED_TRACE(testing::Message() << c.cameraBearing << " -> " << c.desiredBearing << ", d "
                                        << readout.difference);
        EXPECT_DOUBLE_EQ(camAngle, 5 + c.turn * 0.03);
        EXPECT_NEAR(std::hypot(Camx - 500.0, Camy - 400.0), 30, 1e-4);
    }
    // In the first 10 s of a run the rate reads 0.1: a tiny turn per frame.
    resetCameraState();
    PlaneRefs refs{};
    refs.behind = {-30, 0, 10};
    placeCamera(2, refs, 0.1f);
    EXPECT_NEAR(std::fabs(camAngle - 5), 0.00005, 1e-9);
    resetCameraState();
}

TEST(JumpCamera, StaysWithin500AndJumpsBeyond)
{
    resetCameraState();
    cam8Eye[0] = 150;
    cam8Eye[1] = 150;
    cam8Eye[2] = 100;
    PlaneRefs refs{};
    for (Vec3 t : {Vec3{71.5, 30, 10}, Vec3{400, 500, 10}, Vec3{650, 150, 10}}) {
        refs.T = t;
        const CameraView v = placeCamera(8, refs, 60).value();
        EXPECT_TRUE(near(v.eye, 150, 150, 100));
        EXPECT_TRUE(near(v.target, t.x, t.y, t.z));
    }
    refs.T = {700, 150, 12};
    EXPECT_TRUE(near(placeCamera(8, refs, 60)->eye, 850, 300, 275));
    // From there the eye holds again.
    refs.T = {900, 500, 12};
    EXPECT_TRUE(near(placeCamera(8, refs, 60)->eye, 850, 300, 275));
    resetCameraState();
}

TEST(ChaseCamera, LagsAQuarterOfTheRateInFrames)
{
    resetCameraState();
    PlaneRefs refs{};
    refs.T = {10, 20, 30};
    auto frame = [&](int f, float fps) {
        refs.behind = {1000.0 + f, 2000.0 + f, 99};
        return placeCamera(9, refs, fps).value();
    };

    // Below 4 frames per second there is no lag.
    for (int f = 0; f < 5; ++f) {
        const CameraView v = frame(f, 2);
        EXPECT_TRUE(near(v.eye, 1000.0 + f, 2000.0 + f, 35));
        EXPECT_TRUE(near(v.target, 10, 20, 37));
        EXPECT_EQ(chaseRingIndex, 0);
    }

    // At 60, entries 0 to 15 cycle and the eye lags 15 frames; during the
    // first cycle the entry ahead is still zero.
    resetCameraState();
    for (int f = 0; f < 15; ++f)
        EXPECT_TRUE(near(frame(f, 60).eye, 0, 0, 35)) << f;
    for (int f = 15; f < 60; ++f)
        EXPECT_TRUE(near(frame(f, 60).eye, 1000.0 + f - 15, 2000.0 + f - 15, 35)) << f;
    resetCameraState();
}

TEST(ChaseCamera, RingIndexStaysInTheRingAtAnyRate)
{
    for (float fps : {4000.0f, 1e6f, INFINITY, NAN}) {
        resetCameraState();
        PlaneRefs refs{};
        for (int f = 0; f < 2 * chaseRingSize + 5; ++f) {
            refs.behind = {1.0 + f, 0, 0};
            const CameraView v = placeCamera(9, refs, fps).value();
            ASSERT_GE(chaseRingIndex, 0);
            ASSERT_LT(chaseRingIndex, chaseRingSize);
            EXPECT_LE(v.eye.x, 1.0 + f);
        }
    }
    resetCameraState();
}

} // namespace
