// Whole frames of the arena, read back in GL feedback mode.
#include "arena/geom_tags.h"
#include "arena/records.h"
#include "arena/sound_hooks.h"
#include "arena/tunables.h"
#include "arena_fixture.h"
#include "feedback.h"
#include "gl_context.h"
#include "render/cameras.h"
#include "render/scene.h"
#include "render/texts.h"

#include <GL/glu.h>
#include <gtest/gtest.h>

#include <cmath>

namespace {

constexpr double tolerance = 5e-3;

bool at(const FeedbackVertex& v, double x, double y, double z)
{
    return std::fabs(v.x - x) <= tolerance && std::fabs(v.y - y) <= tolerance && std::fabs(v.z - z) <= tolerance;
}

class SceneTest : public ArenaTest {
protected:
    void SetUp() override
    {
        ArenaTest::SetUp();
        ASSERT_TRUE(testContext().ok()) << testContext().error();
        resetCameraState();
        resetTextFlags();
        buildScene();
        CameraNo = 4;
    }
    void TearDown() override
    {
        resetCameraState();
        resetTextFlags();
        ArenaTest::TearDown();
    }

    // One frame from camera 4, mapped back to world coordinates.
    Feedback frame()
    {
        const PlaneRefs refs = readPlaneRefs(cnP);
        const auto view = modelViewAfter([&] {
            glTranslatef(0, 0, -1);
            gluLookAt(625, 625, 1000, refs.T.x, refs.T.y, refs.T.z, 0, 0, 1);
        });
        int result = 0;
        GLint depthBefore = 0, depthAfter = 0;
        Feedback fb = captureFeedback(
            [&] {
                glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depthBefore);
                result = drawScene();
                glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depthAfter);
            },
            view.data());
        EXPECT_EQ(result, 1);
        EXPECT_EQ(depthAfter, depthBefore);
        return fb;
    }

    // Boxes within the view: the blocks that gave their place to a building lie
    // 10000 below the ground, out of it.
    static int boxCount()
    {
        int boxes = blockCount + billboardCount + pillarCount + 2 * planeCount + crateCount;
        for (const Building& b : buildings)
            boxes += floorBoxes * b.floors;
        for (const Block& b : blocks)
            boxes -= b.converted ? 1 : 0;
        return boxes;
    }
};

TEST_F(SceneTest, FrameDrawsEveryObjectOnce)
{
    const Feedback fb = frame();
    const int spheres = 3 * planeCount;
    EXPECT_EQ(static_cast<int>(fb.polygons.size()), 2 + 12 * boxCount() + 80 * spheres);
    // Axes and frame, seven rays in each plane's turn, and the health bars.
    EXPECT_EQ(fb.lines.size(), 9u + planeCount * planeCount + planeCount);

    // A fired bubble adds one sphere; paths add their segments.
    Plane& p2 = planes[2];
    p2.bubble.geom = dCreateSphere(space, 2);
    tagGeom(p2.bubble.geom, GeomKind::Bubble, 2);
    dGeomSetPosition(p2.bubble.geom, 100, 100, 20);
    p2.bubbleCount = 1;
    p2.pathLength = 2;
    showPaths = 1;
    const Feedback more = frame();
    EXPECT_EQ(more.polygons.size(), fb.polygons.size() + 80);
    EXPECT_EQ(more.lines.size(), fb.lines.size() + 2);
}

TEST_F(SceneTest, SoundsArePlacedOnceAFrameBeforeTheTexts)
{
    static int placed;
    static int placedBeforeTexts;
    placed = 0;
    placedBeforeTexts = -1;
    soundHooks.frameDrawing = [] { ++placed; };
    soundHooks.readouts = [](SoundReadouts&) {
        placedBeforeTexts = placed;
        return false;
    };
    showSoundDebug = 1;
    frame();
    EXPECT_EQ(placed, 1);
    EXPECT_EQ(placedBeforeTexts, 1);
}

TEST_F(SceneTest, EveryRayIsDrawnSevenTimesAndItsHitPointReset)
{
    for (int k = 0; k < planeCount; ++k) {
        Plane& p = planes[k];
        dGeomRaySet(p.scanRay, 100 + k, 200, 30, 1, 0, 0);
        p.scanDir[0] = 2.04;
        p.scanDir[1] = 0;
        p.scanDir[2] = 0;
        p.rayHitPos[0] = 500 + k;
        p.rayHitPos[1] = 600;
        p.rayHitPos[2] = 40;
    }
    const Feedback fb = frame();
    for (int k = 0; k < planeCount; ++k) {
        const Plane& p = planes[k];
        EXPECT_DOUBLE_EQ(p.rayHitPos[0], 102.04 + k);
        EXPECT_DOUBLE_EQ(p.rayHitPos[1], 200);
        EXPECT_DOUBLE_EQ(p.rayHitPos[2], 30);
        int drawn = 0;
        for (const auto& line : fb.lines) {
            if (!at(line[0], 100 + k, 200, 30))
                continue;
            // In plane 0's turn to the stored hit point, then to the ray's first
            // 2.04 units, each time in the colour of the plane whose turn it is.
            if (drawn == 0)
                EXPECT_TRUE(at(line[1], 500 + k, 600, 40));
            else
                EXPECT_TRUE(at(line[1], 102.04 + k, 200, 30));
            const float* colour = planes[drawn].colour;
            EXPECT_FLOAT_EQ(line[0].colour[0], colour[0]);
            EXPECT_FLOAT_EQ(line[0].colour[1], colour[1]);
            EXPECT_FLOAT_EQ(line[0].colour[2], colour[2]);
            ++drawn;
        }
        EXPECT_EQ(drawn, planeCount) << "ray of plane " << k;
    }
}

TEST_F(SceneTest, HealthBarsStandAFifthOfTheHealthInWholeUnits)
{
    const int health[planeCount] = {100, 19, -19, 40, -40, 0, 99};
    const double height[planeCount] = {5, 0, 0, 2, -2, 0, 4};
    for (int k = 0; k < planeCount; ++k)
        planes[k].Helth = health[k];
    const Feedback fb = frame();
    for (int k = 0; k < planeCount; ++k) {
        dVector3 top;
        dBodyGetRelPointPos(planes[k].fuselage.body, 0, 0, 1, top);
        int found = 0;
        for (const auto& line : fb.lines)
            if (at(line[0], top[0], top[1], top[2])) {
                ++found;
                EXPECT_TRUE(at(line[1], top[0], top[1], top[2] + height[k])) << "plane " << k;
                EXPECT_EQ(line[0].colour[0], 1.0f);
                EXPECT_EQ(line[0].colour[1], 0.0f);
                EXPECT_EQ(line[0].colour[2], 0.0f);
            }
        EXPECT_EQ(found, 1) << "plane " << k;
    }
}

} // namespace
