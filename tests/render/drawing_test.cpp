// The drawing routines, read back in GL feedback mode.
#include "arena/records.h"
#include "feedback.h"
#include "gl_context.h"
#include "render/drawing.h"
#include "render/gl_state.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>
#include <tuple>

namespace {

constexpr double tolerance = 2e-3;

bool close(double a, double b)
{
    return std::fabs(a - b) <= tolerance;
}

::testing::AssertionResult at(const FeedbackVertex& v, double x, double y, double z)
{
    if (close(v.x, x) && close(v.y, y) && close(v.z, z))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "(" << v.x << ", " << v.y << ", " << v.z << "), expected (" << x
                                         << ", " << y << ", " << z << ")";
}

class DrawingTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(testContext().ok()) << testContext().error(); }
    void TearDown() override
    {
        for (auto& p : planes)
            p = Plane{};
    }
};

TEST_F(DrawingTest, PushTransformPlacesTheBodyFrame)
{
    // 90 degrees about z: rows (0, -1, 0), (1, 0, 0), (0, 0, 1); the fourth
    // element of each row is padding and must not be read.
    const dReal R[12] = {0, -1, 0, 77, 1, 0, 0, 77, 0, 0, 1, 77};
    const dReal pos[3] = {5, 6, 7};
    GLint depthBefore = 0, depthInside = 0, depthAfter = 0;
    const Feedback fb = captureFeedback([&] {
        glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depthBefore);
        pushTransform(pos, R);
        glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depthInside);
        glBegin(GL_LINES);
        glVertex3f(1, 0, 0);
        glVertex3f(0, 2, 3);
        glEnd();
        glPopMatrix();
        glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depthAfter);
    });
    EXPECT_EQ(depthInside, depthBefore + 1);
    EXPECT_EQ(depthAfter, depthBefore);
    ASSERT_EQ(fb.lines.size(), 1u);
    EXPECT_TRUE(at(fb.lines[0][0], 5, 7, 7));
    EXPECT_TRUE(at(fb.lines[0][1], 3, 6, 10));
}

TEST_F(DrawingTest, BoxFacesEachShowTheWholeTexture)
{
    const dReal sides[3] = {2, 4, 6};
    const Feedback fb = captureFeedback([&] { drawTexturedBox(sides); });
    ASSERT_EQ(fb.polygons.size(), 12u); // six quads, two triangles each

    using Corner = std::tuple<int, int, int, int, int>; // x, y, z, s, t
    std::set<Corner> corners;
    for (const auto& polygon : fb.polygons)
        for (const FeedbackVertex& v : polygon)
            corners.insert({static_cast<int>(std::lround(v.x)), static_cast<int>(std::lround(v.y)),
                            static_cast<int>(std::lround(v.z)), static_cast<int>(std::lround(v.s)),
                            static_cast<int>(std::lround(v.t))});
    const std::set<Corner> expected = {
        // z = +3
        {-1, -2, 3, 0, 0}, {1, -2, 3, 1, 0}, {1, 2, 3, 1, 1}, {-1, 2, 3, 0, 1},
        // z = -3
        {-1, -2, -3, 1, 0}, {-1, 2, -3, 1, 1}, {1, 2, -3, 0, 1}, {1, -2, -3, 0, 0},
        // y = +2
        {-1, 2, -3, 0, 1}, {-1, 2, 3, 0, 0}, {1, 2, 3, 1, 0}, {1, 2, -3, 1, 1},
        // y = -2
        {-1, -2, -3, 1, 1}, {1, -2, -3, 0, 1}, {1, -2, 3, 0, 0}, {-1, -2, 3, 1, 0},
        // x = +1
        {1, -2, -3, 1, 0}, {1, 2, -3, 1, 1}, {1, 2, 3, 0, 1}, {1, -2, 3, 0, 0},
        // x = -1
        {-1, -2, -3, 0, 0}, {-1, -2, 3, 1, 0}, {-1, 2, 3, 1, 1}, {-1, 2, -3, 0, 1},
    };
    EXPECT_EQ(corners, expected);
}

TEST_F(DrawingTest, SphereIsEightyOutwardTrianglesCompiledOnce)
{
    GLuint listAfterFirst = 0;
    const Feedback fb = captureFeedback([&] {
        drawSphere();
        listAfterFirst = sphereList;
    });
    ASSERT_NE(sphereList, 0u);
    EXPECT_TRUE(glIsList(sphereList));
    ASSERT_EQ(fb.polygons.size(), 80u) << "the first call both compiles and draws";
    for (const auto& tri : fb.polygons) {
        ASSERT_EQ(tri.size(), 3u);
        double centre[3] = {};
        for (const auto& v : tri) {
            EXPECT_NEAR(std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z), 1.0, tolerance);
            centre[0] += v.x / 3;
            centre[1] += v.y / 3;
            centre[2] += v.z / 3;
        }
        // Counter-clockwise seen from outside: the normal points away from the centre.
        const double ab[3] = {tri[1].x - tri[0].x, tri[1].y - tri[0].y, tri[1].z - tri[0].z};
        const double ac[3] = {tri[2].x - tri[0].x, tri[2].y - tri[0].y, tri[2].z - tri[0].z};
        const double n[3] = {ab[1] * ac[2] - ab[2] * ac[1], ab[2] * ac[0] - ab[0] * ac[2],
                             ab[0] * ac[1] - ab[1] * ac[0]};
        EXPECT_GT(n[0] * centre[0] + n[1] * centre[1] + n[2] * centre[2], 0);
    }

    const GLint listsBefore = glIsList(sphereList + 1);
    const Feedback again = captureFeedback([] {
        glPushMatrix();
        glScaled(2, 2, 2);
        drawSphere();
        glPopMatrix();
    });
    EXPECT_EQ(sphereList, listAfterFirst);
    EXPECT_EQ(glIsList(sphereList + 1), listsBefore);
    ASSERT_EQ(again.polygons.size(), 80u);
    EXPECT_NEAR(std::hypot(again.polygons[0][0].x, again.polygons[0][0].y, again.polygons[0][0].z), 2.0,
                tolerance);
}

TEST_F(DrawingTest, GroundRepeatsItsTextureTenTimesOverTheArena)
{
    GLuint texture = 0;
    glGenTextures(1, &texture);
    infoTexture[10] = texture;
    GLint bound = 0;
    const Feedback fb = captureFeedback([&] {
        drawGround();
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    });
    EXPECT_EQ(static_cast<GLuint>(bound), texture);
    infoTexture[10] = 0;
    glDeleteTextures(1, &texture);

    ASSERT_EQ(fb.polygons.size(), 2u);
    int cornersSeen = 0;
    for (const auto& polygon : fb.polygons)
        for (const FeedbackVertex& v : polygon) {
            EXPECT_TRUE(close(v.z, 0));
            EXPECT_TRUE(close(v.x, 0) || close(v.x, 1250));
            EXPECT_TRUE(close(v.y, 0) || close(v.y, 1250));
            EXPECT_NEAR(v.s, v.x / 125, 1e-4);
            EXPECT_NEAR(v.t, v.y / 125, 1e-4);
            ++cornersSeen;
        }
    EXPECT_EQ(cornersSeen, 6);
}

TEST_F(DrawingTest, AxesAndArenaFrameLeaveWideWhiteLines)
{
    GLfloat width = 0, colour[4] = {};
    const Feedback fb = captureFeedback([&] {
        drawAxes();
        glGetFloatv(GL_LINE_WIDTH, &width);
        glGetFloatv(GL_CURRENT_COLOR, colour);
    });
    EXPECT_FLOAT_EQ(width, 2.5f);
    EXPECT_FLOAT_EQ(colour[0], 1);
    EXPECT_FLOAT_EQ(colour[1], 1);
    EXPECT_FLOAT_EQ(colour[2], 1);
    ASSERT_EQ(fb.lines.size(), 9u);
    // Lines along x are red, along y blue, the z axis green.
    for (const auto& line : fb.lines) {
        const double dx = std::fabs(line[1].x - line[0].x);
        const double dy = std::fabs(line[1].y - line[0].y);
        const float* c = line[0].colour;
        if (dx > 1)
            EXPECT_TRUE(c[0] == 1 && c[1] == 0 && c[2] == 0);
        else if (dy > 1)
            EXPECT_TRUE(c[0] == 0 && c[1] == 0 && c[2] == 1);
        else
            EXPECT_TRUE(c[0] == 0 && c[1] == 1 && c[2] == 0);
    }
    EXPECT_TRUE(at(fb.lines[0][0], -1250, 0, 0));
    EXPECT_TRUE(at(fb.lines[0][1], 1250, 0, 0));
    EXPECT_TRUE(at(fb.lines[3][0], 0, 1250, 0));
    EXPECT_TRUE(at(fb.lines[3][1], 1250, 1250, 0));
    EXPECT_TRUE(at(fb.lines[8][0], 1250, 0, 10));
    EXPECT_TRUE(at(fb.lines[8][1], 1250, 1250, 10));
}

TEST_F(DrawingTest, PathsRunFromStartToGoalTenAboveTheGround)
{
    Plane& p4 = planes[4];
    p4.colour[0] = 0.5f;
    p4.colour[1] = 1;
    p4.colour[2] = 0;
    // Goal first (entry 0), start last (entry pathLength).
    const int xs[4] = {3, 2, 2, 1};
    const int ys[4] = {5, 5, 6, 6};
    std::copy(xs, xs + 4, p4.pathX);
    std::copy(ys, ys + 4, p4.pathY);
    p4.pathLength = 3;
    planes[0].pathLength = 0;
    planes[2].pathLength = -1;
    planes[6].pathLength = 1; // from (0, 0) to (0, 0): one zero-length segment

    double before[16], after[16];
    GLfloat width = 0;
    const Feedback fb = captureFeedback([&] {
        glGetDoublev(GL_MODELVIEW_MATRIX, before);
        drawPaths();
        glGetDoublev(GL_MODELVIEW_MATRIX, after);
        glGetFloatv(GL_LINE_WIDTH, &width);
    });
    EXPECT_TRUE(std::equal(before, before + 16, after));
    EXPECT_FLOAT_EQ(width, 2);
    ASSERT_EQ(fb.lines.size(), 4u);
    // Plane 4's cells are drawn 4 units off their centres.
    EXPECT_TRUE(at(fb.lines[0][0], 79, 329, 10));
    EXPECT_TRUE(at(fb.lines[0][1], 129, 329, 10));
    EXPECT_TRUE(at(fb.lines[1][0], 129, 329, 10));
    EXPECT_TRUE(at(fb.lines[1][1], 129, 279, 10));
    EXPECT_TRUE(at(fb.lines[2][0], 129, 279, 10));
    EXPECT_TRUE(at(fb.lines[2][1], 179, 279, 10));
    EXPECT_FLOAT_EQ(fb.lines[0][0].colour[0], 0.5f);
    EXPECT_FLOAT_EQ(fb.lines[0][0].colour[1], 1);
    EXPECT_TRUE(at(fb.lines[3][0], 31, 31, 10));
}

} // namespace
