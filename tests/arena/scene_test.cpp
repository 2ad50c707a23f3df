#include "arena_fixture.h"

#include "arena/buildings.h"
#include "arena/geom_tags.h"
#include "arena/scene.h"
#include "arena/tunables.h"
#include "platform/random.h"

#include <cmath>
#include <cstdio>
#include <string>
#include <set>
#include <utility>
#include <vector>

namespace {

// Geoms that construction makes: ground, 11 crates, 7 planes of five parts and a
// ray, 51 blocks, 7 two-floor buildings of five boxes, 36 pillars, the billboard
// and four walls.
constexpr int constructedGeoms = 1 + 11 + 7 * 6 + 51 + 7 * 2 * 5 + 36 + 1 + 4;

void expectColour(const float* c, float r, float g, float b)
{
    EXPECT_FLOAT_EQ(c[0], r);
    EXPECT_FLOAT_EQ(c[1], g);
    EXPECT_FLOAT_EQ(c[2], b);
}

std::vector<std::pair<int, int>> blockCells()
{
    std::vector<std::pair<int, int>> cells;
    for (const auto& b : blocks)
        cells.emplace_back(b.cellX, b.cellY);
    return cells;
}

std::vector<std::pair<double, double>> pillarPlaces()
{
    std::vector<std::pair<double, double>> places;
    for (const auto& p : pillars) {
        const dReal* pos = dBodyGetPosition(p.body);
        places.emplace_back(pos[0], pos[1]);
    }
    return places;
}

} // namespace

TEST(ColourComponent, IsOneFromSeventyUpAndZeroBelow)
{
    // From state 1 the draws are 41, 18467, 6334, 26500: remainders 41, 67, 34, 0.
    platform::seedRandom(1);
    EXPECT_EQ(randomColourComponent(), 0.0f);
    EXPECT_EQ(randomColourComponent(), 0.0f);
    EXPECT_EQ(randomColourComponent(), 0.0f);
    EXPECT_EQ(randomColourComponent(), 0.0f);
    // Find a draw whose remainder is 70 or more and check it gives 1.
    uint32_t state = 1;
    for (int i = 0; i < 50; ++i) {
        platform::seedRandom(state);
        int r = platform::drawRandom();
        uint32_t next = platform::randomState();
        platform::seedRandom(state);
        float c = randomColourComponent();
        EXPECT_EQ(c, r % 100 >= 70 ? 1.0f : 0.0f);
        state = next;
    }
}

TEST_F(ArenaTest, PlaneColoursAreTheSameWhateverTheCalendarTime)
{
    for (int64_t t : {int64_t{0}, int64_t{1765000000}, int64_t{99}}) {
        buildScene(t);
        expectColour(planes[0].colour, 0, 0.5f, 0);
        expectColour(planes[1].colour, 0, 0.5f, 0);
        expectColour(planes[2].colour, 1, 0.5f, 0);
        expectColour(planes[3].colour, 0, 0.5f, 0);
        expectColour(planes[4].colour, 1, 0.5f, 0);
        expectColour(planes[5].colour, 1, 1, 0);
        expectColour(planes[6].colour, 0, 0.5f, 1);
        destroyScene();
    }
}

TEST_F(ArenaTest, WorldParametersReadBackFromTheEngine)
{
    Gravity = -9.81f;
    buildScene();
    EXPECT_DOUBLE_EQ(dWorldGetERP(world), 1.001);
    EXPECT_DOUBLE_EQ(dWorldGetCFM(world), 0.001);
    EXPECT_DOUBLE_EQ(dWorldGetContactMaxCorrectingVel(world), 0.1);
    EXPECT_DOUBLE_EQ(dWorldGetContactSurfaceLayer(world), 0.001);
    EXPECT_EQ(dWorldGetQuickStepNumIterations(world), 20);
    dVector3 g;
    dWorldGetGravity(world, g);
    EXPECT_EQ(g[0], 0);
    EXPECT_EQ(g[1], 0);
    EXPECT_DOUBLE_EQ(g[2], static_cast<double>(-9.81f));
    EXPECT_EQ(dGeomGetClass(ground), dPlaneClass);
    dVector4 params;
    dGeomPlaneGetParams(ground, params);
    EXPECT_EQ(params[2], 1);
    EXPECT_EQ(params[3], 0);
}

TEST_F(ArenaTest, DefaultGravityIsTheBuiltInValue)
{
    buildScene();
    dVector3 g;
    dWorldGetGravity(world, g);
    EXPECT_DOUBLE_EQ(g[2], static_cast<double>(-10.005f));
}

TEST_F(ArenaTest, TheSpaceHoldsEveryConstructedGeom)
{
    buildScene();
    EXPECT_EQ(geomCount(), constructedGeoms);
    // Every geom of the space carries an owner tag.
    for (int i = 0; i < geomCount(); ++i)
        EXPECT_NE(geomKind(dSpaceGetGeom(space, i)), GeomKind::Untagged);
}

TEST_F(ArenaTest, PlanesStandWhereAndAsBuilt)
{
    buildScene();
    const Plane& p0 = planes[0];
    EXPECT_TRUE(bodyAt(p0.tail.body, 67, 30, 11.25));
    EXPECT_TRUE(bodyAt(p0.rightTip.body, 74.5, 26.5, 11.25));
    EXPECT_TRUE(bodyAt(p0.leftTip.body, 74.5, 33.5, 11.25));
    EXPECT_TRUE(bodyAt(p0.fuselage.body, 71.5, 30, 10.75));
    EXPECT_TRUE(bodyAt(p0.wing.body, 74.5, 30, 11.25));
    EXPECT_TRUE(bodyAt(planes[6].tail.body, 73, 150, 11.25));

    for (int i = 0; i < planeCount; ++i) {
        const Plane& p = planes[i];
        EXPECT_EQ(p.team, i);
        EXPECT_EQ(p.Helth, 100);
        EXPECT_EQ(p.State, 1);
        EXPECT_EQ(p.Enemy, -1);
        EXPECT_EQ(p.lastHitBy, -1);
        EXPECT_EQ(p.Mood, 0);
        EXPECT_EQ(p.autopilot, 0);
        EXPECT_EQ(p.bubbleCount, 0);
        EXPECT_EQ(p.bubble.body, nullptr);
        EXPECT_EQ(dGeomGetClass(p.scanRay), dRayClass);
        EXPECT_DOUBLE_EQ(dGeomRayGetLength(p.scanRay), 399.99);
        EXPECT_EQ(dGeomGetBody(p.scanRay), nullptr);

        for (const Part* sphere : {&p.tail, &p.rightTip, &p.leftTip}) {
            EXPECT_EQ(dGeomGetClass(sphere->geom), dSphereClass);
            EXPECT_DOUBLE_EQ(dGeomSphereGetRadius(sphere->geom), 1);
            dMass m;
            dBodyGetMass(sphere->body, &m);
            EXPECT_NEAR(m.mass, 1, 1e-12);
            EXPECT_EQ(dBodyGetAutoDisableFlag(sphere->body), 0);
        }
        dVector3 sides;
        dGeomBoxGetLengths(p.fuselage.geom, sides);
        EXPECT_EQ(sides[0], 10);
        EXPECT_EQ(sides[1], 2);
        EXPECT_EQ(sides[2], 0.5);
        dGeomBoxGetLengths(p.wing.geom, sides);
        EXPECT_EQ(sides[0], 1);
        EXPECT_EQ(sides[1], 8);
        EXPECT_DOUBLE_EQ(sides[2], 0.1);
        for (const Part* box : {&p.fuselage, &p.wing}) {
            dMass m;
            dBodyGetMass(box->body, &m);
            EXPECT_NEAR(m.mass, 1, 1e-12);
            EXPECT_EQ(dBodyGetAutoDisableFlag(box->body), 1);
        }
        // Every body starts unrotated: the nose along +x.
        const dReal* r = dBodyGetRotation(p.fuselage.body);
        EXPECT_EQ(r[0], 1);
        EXPECT_EQ(r[5], 1);
        EXPECT_EQ(r[10], 1);
    }
}

TEST_F(ArenaTest, HingesJoinThePartsWithLockedTips)
{
    buildScene();
    const Plane& p = planes[2];
    const double h = 72;
    const double y = 70;
    struct Expect { dBodyID a, b; double ax, ay, az; bool locked; };
    const Expect expected[5] = {
        {p.wing.body, p.rightTip.body, h + 4.5, y - 3.5, 11.25, true},
        {p.wing.body, p.leftTip.body, h + 4.5, y + 3.5, 11.25, true},
        {p.fuselage.body, p.tail.body, h - 3, y, 11.25, true},
        {p.fuselage.body, p.wing.body, h + 5, y, 11.25, false},
        {p.fuselage.body, p.wing.body, h + 4, y, 11.25, false},
    };
    for (int j = 0; j < 5; ++j) {
        dJointID joint = p.joints[j];
        SCOPED_TRACE(j);
        EXPECT_EQ(dJointGetType(joint), dJointTypeHinge);
        EXPECT_EQ(dJointGetBody(joint, 0), expected[j].a);
        EXPECT_EQ(dJointGetBody(joint, 1), expected[j].b);
        dVector3 anchor, axis;
        dJointGetHingeAnchor(joint, anchor);
        EXPECT_NEAR(anchor[0], expected[j].ax, 1e-9);
        EXPECT_NEAR(anchor[1], expected[j].ay, 1e-9);
        EXPECT_NEAR(anchor[2], expected[j].az, 1e-9);
        dJointGetHingeAxis(joint, axis);
        EXPECT_NEAR(axis[1], -1, 1e-12);
        if (expected[j].locked) {
            EXPECT_EQ(dJointGetHingeParam(joint, dParamLoStop), 0);
            EXPECT_EQ(dJointGetHingeParam(joint, dParamHiStop), 0);
        } else {
            EXPECT_EQ(dJointGetHingeParam(joint, dParamLoStop), -dInfinity);
            EXPECT_EQ(dJointGetHingeParam(joint, dParamHiStop), dInfinity);
        }
    }
    // The hinges are not contact joints: emptying the contact group keeps them.
    dJointGroupEmpty(contactGroup);
    EXPECT_EQ(dBodyGetNumJoints(p.wing.body), 4);
}

TEST_F(ArenaTest, CratesFormASleepingTower)
{
    buildScene();
    for (int k = 0; k < crateCount; ++k) {
        EXPECT_TRUE(bodyAt(crates[k].body, 200, 200, 20 * k + 10));
        EXPECT_FALSE(dBodyIsEnabled(crates[k].body));
        EXPECT_EQ(dBodyGetAutoDisableFlag(crates[k].body), 1);
        dMass m;
        dBodyGetMass(crates[k].body, &m);
        EXPECT_NEAR(m.mass, 0.05, 1e-12);
    }
}

TEST_F(ArenaTest, BillboardAndWallsStandAsBuilt)
{
    buildScene();
    const dReal* pos = dGeomGetPosition(billboards[0].geom);
    EXPECT_EQ(pos[0], 245);
    EXPECT_EQ(pos[1], 7);
    EXPECT_EQ(pos[2], 50);
    dMatrix3 r;
    dRFromAxisAndAngle(r, 0, -99, 0, 3.14);
    const dReal* got = dGeomGetRotation(billboards[0].geom);
    for (int i = 0; i < 12; ++i)
        EXPECT_DOUBLE_EQ(got[i], r[i]);
    EXPECT_EQ(dGeomGetBody(billboards[0].geom), nullptr);

    const double centres[4][3] = {{625, 0, 4500}, {625, 1250, 4500}, {0, 625, 4500}, {1250, 625, 4500}};
    const double sizes[4][3] = {{1250, 10, 9000}, {1250, 10, 9000}, {10, 1250, 9000}, {10, 1250, 9000}};
    for (int w = 0; w < 4; ++w) {
        const dReal* c = dGeomGetPosition(arenaWalls[w]);
        dVector3 s;
        dGeomBoxGetLengths(arenaWalls[w], s);
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(c[i], centres[w][i]);
            EXPECT_EQ(s[i], sizes[w][i]);
        }
    }
}

TEST_F(ArenaTest, BlocksAndPillarsKeepToTheirCellsForManyTimes)
{
    for (int64_t t : {int64_t{1}, int64_t{777}, int64_t{1765000000}, int64_t{1765000001}, int64_t{2000000000}}) {
        SCOPED_TRACE(t);
        buildScene(t);
        std::set<std::pair<int, int>> blockSet;
        for (const auto& b : blocks) {
            EXPECT_GE(b.cellX, 5);
            EXPECT_GE(b.cellY, 5);
            EXPECT_LE(b.cellX, 23);
            EXPECT_LE(b.cellY, 23);
            EXPECT_EQ(b.floors, 2);
            EXPECT_EQ(b.height, 30);
            EXPECT_EQ(b.x, 50 * b.cellX + 25);
            EXPECT_EQ(b.y, 50 * b.cellY + 25);
            EXPECT_TRUE(b.colour[0] == 0.7f || b.colour[0] == 1.0f);
            EXPECT_TRUE(b.colour[1] == 0.0f || b.colour[1] == 1.0f);
            EXPECT_TRUE(b.colour[2] == 0.0f || b.colour[2] == 1.0f);
            EXPECT_TRUE(blockSet.insert({b.cellX, b.cellY}).second) << "two blocks share a cell";
        }
        std::set<std::pair<int, int>> converted;
        for (int k = 44; k <= 50; ++k)
            converted.insert({blocks[k].cellX, blocks[k].cellY});

        std::set<std::pair<int, int>> pillarSet;
        for (const auto& p : pillars) {
            const dReal* pos = dBodyGetPosition(p.body);
            int cx = static_cast<int>((pos[0] - 25) / 50);
            int cy = static_cast<int>((pos[1] - 25) / 50);
            EXPECT_DOUBLE_EQ(pos[0], 50 * cx + 25);
            EXPECT_DOUBLE_EQ(pos[2], 10);
            EXPECT_GE(cx, 3);
            EXPECT_GE(cy, 3);
            EXPECT_LE(cx, 23);
            EXPECT_LE(cy, 23);
            EXPECT_TRUE(dBodyIsEnabled(p.body));
            EXPECT_EQ(p.hit, 0);
            EXPECT_TRUE(pillarSet.insert({cx, cy}).second) << "two pillars share a cell";
            if (blockSet.count({cx, cy})) {
                EXPECT_TRUE(converted.count({cx, cy})) << "pillar on a standing block";
            }
            EXPECT_EQ(grid[cx][cy].pillar, 1);
        }
        int pillarMarks = 0;
        for (auto& column : grid)
            for (auto& cell : column)
                pillarMarks += cell.pillar;
        EXPECT_EQ(pillarMarks, pillarCount);
        destroyScene();
    }
}

TEST_F(ArenaTest, TheSameTimeGivesTheSameLayout)
{
    buildScene(1700000123);
    auto cells = blockCells();
    auto places = pillarPlaces();
    destroyScene();
    buildScene(1700000123);
    EXPECT_EQ(blockCells(), cells);
    EXPECT_EQ(pillarPlaces(), places);
    destroyScene();
    buildScene(1700000124);
    EXPECT_NE(blockCells(), cells);
}

TEST_F(ArenaTest, FirstRoundStandsOnTheHighestBlocks)
{
    buildScene();
    EXPECT_EQ(buildingsBuilt, 1);
    for (int i = 0; i < buildingCount; ++i) {
        const Block& block = blocks[50 - i];
        const Building& building = buildings[i];
        SCOPED_TRACE(i);
        EXPECT_EQ(block.converted, 1);
        EXPECT_EQ(building.floors, 2);
        EXPECT_EQ(building.x, block.x);
        EXPECT_EQ(building.y, block.y);
        for (int c = 0; c < 3; ++c)
            EXPECT_EQ(building.colour[c], block.colour[c]);
        EXPECT_EQ(grid[block.cellX][block.cellY].block, 0);
        const dReal* sunk = dGeomGetPosition(block.geom);
        EXPECT_EQ(sunk[2], 30 - 10000);
        // The test box (floor 0, box 2) sleeps at its place.
        EXPECT_TRUE(bodyAt(building.floor[0][2].body, block.x, block.y + 16.75, 7.5, 1e-4));
        EXPECT_FALSE(dBodyIsEnabled(building.floor[0][2].body));
        EXPECT_TRUE(bodyAt(building.floor[1][4].body, block.x, block.y + 1.75, 15.5 + 15.25, 1e-4));
        dMass m;
        dBodyGetMass(building.floor[1][4].body, &m);
        EXPECT_NEAR(m.mass, 1.1, 1e-12);
        dBodyGetMass(building.floor[0][0].body, &m);
        EXPECT_NEAR(m.mass, 0.1, 1e-12);
    }
    for (int k = 0; k < 44; ++k) {
        EXPECT_EQ(blocks[k].converted, 0);
        EXPECT_EQ(grid[blocks[k].cellX][blocks[k].cellY].block, 1);
    }
}

TEST(OdeErrors, AreReportedBeforeTheProgramEnds)
{
    static std::string reported;
    EXPECT_DEATH(
        {
            setOdeErrorReport([](const char* text) {
                reported = text;
                std::fputs(reported.c_str(), stderr);
            });
            // Building a scene installs the handlers; an argument check then fails.
            initScene();
            dWorldQuickStep(world, -1);
        },
        "ODE Error");
}
