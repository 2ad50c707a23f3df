#include "arena_fixture.h"
#include "plane_pose.h"

#include "arena/autopilot.h"
#include "arena/path_search.h"
#include "arena/sound_hooks.h"
#include "arena/tunables.h"
#include "platform/clock.h"
#include "platform/random.h"

#include <cmath>
#include <vector>

namespace {

constexpr double degreesPerRadian = 57.295827908797776;
constexpr int me = 3;
constexpr int foe = 5;

std::vector<int> taken;
std::vector<int> dropped;
int shots = 0;

class AutopilotTest : public ArenaTest {
protected:
    void SetUp() override
    {
        ArenaTest::SetUp();
        buildScene();
        taken.clear();
        dropped.clear();
        shots = 0;
        soundHooks.enemyTaken = [](int plane) { taken.push_back(plane); };
        soundHooks.enemyDropped = [](int plane) { dropped.push_back(plane); };
        soundHooks.gunFired = [](int) { ++shots; };
        forceScale = 16;
        placePlane(me, 600, 600, 40);
        placePlane(foe, 900, 900, 40);
        planes[me].autopilot = 1;
    }

    // Puts the foe at bearing difference D (degrees, clockwise from the nose of
    // `me`, which faces +x) and distance d.
    static void foeAt(double D, double d)
    {
        placePlane(foe, seenAtX(D, d), seenAtY(D, d), 40);
    }

    // The point at bearing difference D and distance d from `me` at (600, 600).
    static double seenAtX(double D, double d) { return 600 + d * std::cos(-D / degreesPerRadian); }
    static double seenAtY(double D, double d) { return 600 + d * std::sin(-D / degreesPerRadian); }

    static void hunt(int state)
    {
        planes[me].State = state;
        planes[me].Mood = hunting;
        planes[me].Enemy = foe;
    }

    // Runs one step with fresh forces and an open firing gate; tells whether it fired.
    static bool step()
    {
        clearPlaneForces();
        platform::advanceTestTicks(600);
        int before = shots;
        autopilotStep(me);
        return shots > before;
    }

    // +1 when the step turned the nose right, -1 left, 0 not at all; 2 for the
    // strong turns of route following, 1 for steering.
    static double turned()
    {
        return bodyForce(planes[me].tail.body).y / (forceScale * 0.3);
    }

    // The push along the nose on each sphere: thrust 80, brake -16.
    static double alongNose()
    {
        return bodyForce(planes[me].leftTip.body).x;
    }

    static void setRoute(std::initializer_list<std::pair<int, int>> cells)
    {
        int k = 0;
        for (auto [x, y] : cells) {
            planes[me].pathX[k] = x;
            planes[me].pathY[k] = y;
            ++k;
        }
        planes[me].pathLength = k - 1;
        planes[me].pathIndex = k - 1;
    }

    // A calendar second whose first random goal is a free cell other than `own`.
    static void calendarWithFreeGoal(int ownX, int ownY, int& gx, int& gy)
    {
        for (int64_t t = defaultCalendarTime;; ++t) {
            platform::seedRandom(static_cast<uint32_t>(t));
            gx = platform::drawRandom() % 24;
            gy = platform::drawRandom() % 24;
            if (!grid[gx][gy].block && (gx != ownX || gy != ownY)) {
                platform::setTestCalendarTime(t);
                return;
            }
        }
    }
};

} // namespace

TEST_F(AutopilotTest, ChaseFiresOnlyWithinFiveDegreesOnEitherSide)
{
    struct Case { double D; bool fires; int side; };
    const Case cases[] = {{3, true, 1},     {357, true, -1},   {4.9, true, 1},   {355.1, true, -1},
                          {5.1, false, 1},  {354.9, false, -1}, {90, false, 1},  {200, false, -1},
                          {0.01, true, 1}};
    for (const auto& c : cases) {
        placePlane(me, 600, 600, 40);
        foeAt(c.D, 70);
        hunt(chaseEnemy);
        EXPECT_EQ(step(), c.fires) << c.D;
        EXPECT_NEAR(turned(), c.side, 1e-9) << c.D;
        // Farther than 50: the throttle opens whatever step 2 did.
        EXPECT_NEAR(alongNose(), 80, 1e-9) << c.D;
        EXPECT_EQ(planes[me].State, chaseEnemy);
    }
    // The bearings wrap through north: a plane facing south with its foe 3
    // degrees to either side.
    for (double D : {3.0, 357.0}) {
        placePlane(me, 600, 600, 40, -90);
        double a = -M_PI / 2 - D / degreesPerRadian;
        placePlane(foe, 600 + 70 * std::cos(a), 600 + 70 * std::sin(a), 40);
        hunt(chaseEnemy);
        EXPECT_TRUE(step()) << D;
        EXPECT_NEAR(turned(), D < 180 ? 1 : -1, 1e-9) << D;
    }
}

TEST_F(AutopilotTest, ChaseThrustsBeyondFiftyBrakesInsideAndGivesUpBeyondAHundred)
{
    // The foe due right of the nose, outside the firing window.
    struct Case { double d; uint8_t throttleBefore; double push; uint8_t throttleAfter; int state; };
    const Case cases[] = {
        {50, 1, 80, 1, chaseEnemy},  // exactly 50: the throttle keeps its value
        {50, 0, 0, 0, chaseEnemy},
        {50.5, 0, 80, 1, chaseEnemy},
        {49.5, 1, -16, 0, chaseEnemy},
        {100, 0, 80, 1, chaseEnemy},
        {100.5, 0, 80, 1, planPath},
    };
    for (const auto& c : cases) {
        placePlane(me, 600, 600, 40);
        placePlane(foe, 600, 600 - c.d, 40);
        hunt(chaseEnemy);
        planes[me].throttle = c.throttleBefore;
        EXPECT_FALSE(step());
        EXPECT_NEAR(alongNose(), c.push, 1e-9) << c.d;
        EXPECT_EQ(planes[me].throttle, c.throttleAfter) << c.d;
        EXPECT_EQ(planes[me].State, c.state) << c.d;
        EXPECT_NEAR(turned(), 1, 1e-9);
    }
    // Right ahead and close: the throttle closes for the shot and the brake acts.
    placePlane(foe, 640, 600, 40);
    hunt(chaseEnemy);
    planes[me].throttle = 1;
    EXPECT_TRUE(step());
    EXPECT_NEAR(alongNose(), -16, 1e-9);
}

TEST_F(AutopilotTest, FollowingARouteTurnsHardAndCountsWaypointsDown)
{
    // Route (14,12) <- (15,11) <- start; the waypoint (775, 575) lies 8 degrees right.
    setRoute({{14, 12}, {15, 11}, {12, 12}});
    planes[me].pathIndex = 1;
    planes[me].State = followPath;
    EXPECT_FALSE(step());
    EXPECT_NEAR(turned(), 2, 1e-9);
    EXPECT_NEAR(alongNose(), 80, 1e-9);  // within 10 degrees: thrust
    EXPECT_EQ(planes[me].pathIndex, 1);

    // More than 10 degrees off: turn, no thrust. Left of the nose: turn left.
    placePlane(me, 600, 600, 40, -30);
    step();
    EXPECT_NEAR(turned(), -2, 1e-9);
    EXPECT_EQ(alongNose(), 0);
    EXPECT_EQ(planes[me].throttle, 0);

    // Within 50 of the waypoint (775, 575) the next one is taken.
    struct Case { double x; int index; };
    for (const Case& c : {Case{720, 1}, Case{730, 0}, Case{740, 0}}) {
        planes[me].pathIndex = 1;
        placePlane(me, c.x, 575, 40);
        step();
        EXPECT_EQ(planes[me].pathIndex, c.index) << c.x;
        EXPECT_EQ(planes[me].State, followPath);
    }

    // The goal reached without a hunt: a new route is planned in the same step.
    int gx, gy;
    calendarWithFreeGoal(14, 12, gx, gy);
    placePlane(me, 700, 620, 40);
    step();
    EXPECT_EQ(planes[me].State, followPath);
    EXPECT_EQ(planes[me].pathX[0], gx);
    EXPECT_EQ(planes[me].pathY[0], gy);

    // A waypoint exactly behind the nose (D = 180 to the last bit): no turn.
    // Facing +x, the plane's own bearing does not depend on the distance; D falls
    // through 180 as the plane rises towards y 25, and being finer than D's last
    // bit, the first height not above 180 gives 180 itself.
    setRoute({{0, 0}, {2, 0}});
    auto bearingDifference = [](double y) {
        double D = bearingOf(125, y, 25, 25) - bearingOf(125, y, 126, y);
        return D < 0 ? D + 360 : D;
    };
    double low = 25 - 1e-3, high = 25;
    while (std::nextafter(low, high) < high) {
        double mid = low + (high - low) / 2;
        (bearingDifference(mid) > 180 ? low : high) = mid;
    }
    ASSERT_EQ(bearingDifference(high), 180);
    planes[me].pathIndex = 0;
    placePlane(me, 125, high, 40);
    step();
    EXPECT_EQ(turned(), 0);
    EXPECT_EQ(planes[me].throttle, 0);

    // The goal reached while hunting: the chase starts in the same step.
    setRoute({{14, 12}, {13, 12}});
    planes[me].pathIndex = 0;
    placePlane(me, 710, 625, 40);
    placePlane(foe, 730, 625, 40);  // same goal cell, so no replanning
    hunt(followPath);
    EXPECT_TRUE(step());
    EXPECT_EQ(planes[me].State, chaseEnemy);
}

TEST_F(AutopilotTest, PlanningGoesToARandomCellOrToTheEnemysCell)
{
    int gx, gy;
    calendarWithFreeGoal(12, 12, gx, gy);
    planes[me].State = planPath;
    planes[me].FpCount = 4;
    step();
    ASSERT_EQ(planes[me].State, followPath);
    EXPECT_EQ(planes[me].pathX[0], gx);
    EXPECT_EQ(planes[me].pathY[0], gy);
    EXPECT_EQ(planes[me].pathX[planes[me].pathLength], 12);
    EXPECT_EQ(planes[me].pathIndex, planes[me].pathLength - 1);
    EXPECT_EQ(planes[me].FpCount, 0);

    // Another plane planning within the same second draws the same goal.
    placePlane(1, 125, 625, 40);  // cell (2, 12): no block stands below x 250
    planes[1].State = planPath;
    autopilotStep(1);
    ASSERT_EQ(planes[1].State, followPath);
    EXPECT_EQ(planes[1].pathX[0], gx);
    EXPECT_EQ(planes[1].pathY[0], gy);

    // Hunting: the goal is the enemy's cell.
    int ex = 2, ey = 20;
    while (grid[ex][ey].block)
        ++ey;
    placePlane(foe, 50 * ex + 10, 50 * ey + 40, 40);
    hunt(planPath);
    step();
    ASSERT_EQ(planes[me].State, followPath);
    EXPECT_EQ(planes[me].pathX[0], ex);
    EXPECT_EQ(planes[me].pathY[0], ey);
    EXPECT_EQ(planes[me].Mood, hunting);

    // An enemy just off the map's low edge still has cell 0: the random goal
    // stays and the mood says the enemy is off the map.
    placePlane(foe, -20, 300, 40);
    hunt(planPath);
    step();
    EXPECT_EQ(planes[me].Mood, enemyOffMap);
    EXPECT_EQ(planes[me].pathX[0], gx);
}

TEST_F(AutopilotTest, AnEnemyInTheOwnCellIsChasedAtOnce)
{
    placePlane(foe, 630, 601, 40);
    hunt(planPath);
    planes[me].FpCount = 0;
    EXPECT_TRUE(step());  // straight ahead: the chase fires in the same step
    EXPECT_EQ(planes[me].State, chaseEnemy);
    EXPECT_EQ(planes[me].FpCount, 1);
    EXPECT_EQ(pathFound, 0);
}

TEST_F(AutopilotTest, FailedPlanningStaysInPlanningAndCounts)
{
    // The enemy hovers over a block: its cell can never be a goal.
    const Block& b = blocks[0];
    placePlane(foe, b.x, b.y, 60);
    setRoute({{1, 1}, {1, 2}});
    hunt(planPath);
    for (int i = 1; i <= 3; ++i) {
        step();
        EXPECT_EQ(planes[me].State, planPath);
        EXPECT_EQ(planes[me].FpCount, i);
    }
    EXPECT_EQ(planes[me].pathX[0], 1);
    EXPECT_EQ(planes[me].pathY[1], 2);
}

TEST_F(AutopilotTest, EnemyMovesAndReturnsAreNoticedBeforeTheActions)
{
    // Hunting along a route whose goal is no longer the enemy's cell, in either
    // index or both: replan to it.
    for (auto [ex, ey] : {std::pair{5, 17}, std::pair{20, 17}, std::pair{5, 20}}) {
        setRoute({{20, 20}, {13, 12}, {12, 12}});
        planes[me].pathIndex = 1;
        placePlane(foe, 50 * ex + 25, 50 * ey + 25, 40);
        ASSERT_FALSE(grid[ex][ey].block);
        hunt(followPath);
        step();
        EXPECT_EQ(planes[me].pathX[0], ex);
        EXPECT_EQ(planes[me].pathY[0], ey);
        EXPECT_EQ(planes[me].Mood, hunting);
    }

    // An enemy off the map, back over cells 0 to 23 with both coordinates above
    // 0. On the line 0, or over cell 24, it still counts as off the map.
    // Back, the plane plans a route to it in the same step; still off the map,
    // it chases on and gives up at once, the enemy being far.
    struct Case { double x, y; int mood, state; };
    const Case cases[] = {{275, 875, hunting, followPath},   {0.5, 300, hunting, followPath},
                          {300, 0.5, hunting, followPath},   {0, 300, enemyOffMap, planPath},
                          {300, 0, enemyOffMap, planPath},   {1230, 600, enemyOffMap, planPath}};
    for (const auto& c : cases) {
        placePlane(foe, c.x, c.y, 40);
        hunt(chaseEnemy);
        planes[me].Mood = enemyOffMap;
        step();
        EXPECT_EQ(planes[me].Mood, c.mood) << c.x << "," << c.y;
        EXPECT_EQ(planes[me].State, c.state) << c.x << "," << c.y;
    }
}

TEST_F(AutopilotTest, PlanesOffTheGridHeadBackToTheMap)
{
    placePlane(me, -60, 600, 40);
    planes[me].State = followPath;
    step();
    EXPECT_EQ(planes[me].State, returnToMap);
    EXPECT_NEAR(turned(), 1, 1e-9);  // steering, not the hard turn of route following
    EXPECT_NEAR(alongNose(), 80, 1e-9);

    // Cell 24 is on the grid but not on the map: no return is started, and a
    // plane already returning stays so until both cells are 23 or less.
    placePlane(me, 1230, 600, 40);
    planes[me].State = chaseEnemy;
    hunt(chaseEnemy);
    placePlane(foe, 1230, 560, 40);
    step();
    EXPECT_EQ(planes[me].State, chaseEnemy);
    planes[me].State = returnToMap;
    step();
    EXPECT_EQ(planes[me].State, returnToMap);
    placePlane(me, 1190, 600, 40);
    planes[me].Mood = noHunt;
    step();
    EXPECT_NE(planes[me].State, returnToMap);
}

TEST_F(AutopilotTest, GroundAndObstaclesStartRecoveries)
{
    // The scanner ray touched the ground: a recovery, mood kept, firing, no thrust.
    placePlane(me, 600, 600, 3);
    planes[me].State = followPath;
    planes[me].throttle = 1;
    planes[me].GrndHit = 1;
    EXPECT_TRUE(step());
    EXPECT_EQ(planes[me].State, recover);
    EXPECT_EQ(planes[me].GrndHit, 0);
    EXPECT_EQ(planes[me].Mood, noHunt);
    EXPECT_EQ(alongNose(), 0);

    // Too low: it keeps hanging; the checks do not run during a recovery.
    planes[me].Sensing = 1;
    step();
    EXPECT_EQ(planes[me].State, recover);
    EXPECT_EQ(planes[me].Sensing, 1);

    // High enough after a ground hit: plan again, throttle open.
    placePlane(me, 620, 660, 30);
    step();
    EXPECT_EQ(planes[me].throttle, 1);
    EXPECT_NE(planes[me].State, recover);
    // The sensed obstacle left over is acted on next: a second recovery with
    // mood 4, returning to the centre of the cell the plane is now in.
    placePlane(me, 620, 660, 3);
    step();
    EXPECT_EQ(planes[me].State, recover);
    EXPECT_EQ(planes[me].Mood, recoveringFromObstacle);
    EXPECT_EQ(planes[me].Sensing, 0);
    EXPECT_EQ(planes[me].returnPoint[0], 625);
    EXPECT_EQ(planes[me].returnPoint[1], 675);

    // Recovered from the obstacle once tips and tail are above 5 (they sit 0.5
    // above the fuselage): back to the sensed point, mood by the enemy.
    for (double z : {4.0, 4.6}) {
        placePlane(me, 620, 660, z);
        step();
        EXPECT_EQ(planes[me].State, z > 4.5 ? returnToSensed : recover) << z;
        EXPECT_EQ(planes[me].throttle, z > 4.5) << z;
    }
    EXPECT_EQ(planes[me].Mood, noHunt);
    EXPECT_NEAR(alongNose(), 80, 1e-9);
    planes[me].State = recover;
    planes[me].Mood = recoveringFromObstacle;
    planes[me].Enemy = foe;
    step();
    EXPECT_EQ(planes[me].Mood, hunting);
}

TEST_F(AutopilotTest, ReturningToTheSensedPointFiresBrakesAndArrives)
{
    planes[me].State = returnToSensed;
    planes[me].returnPoint[0] = 560;  // behind the nose, 40 away
    planes[me].returnPoint[1] = 600;
    planes[me].Sensing = 1;  // not looked at while returning
    EXPECT_TRUE(step());
    EXPECT_NEAR(alongNose(), -16, 1e-9);
    EXPECT_EQ(planes[me].throttle, 0);
    EXPECT_EQ(planes[me].State, returnToSensed);
    EXPECT_EQ(planes[me].Sensing, 1);

    // Behind within 140 to 220 degrees and farther than 10: brake. Within 15
    // degrees either side of the nose: thrust. Within 5 units: plan again.
    struct Case { double D, d, push; int state; };
    const Case cases[] = {
        {145, 40, -16, returnToSensed}, {135, 40, 0, returnToSensed},
        {215, 40, -16, returnToSensed}, {225, 40, 0, returnToSensed},
        {13, 40, 80, returnToSensed},   {17, 40, 0, returnToSensed},
        {347, 40, 80, returnToSensed},  {343, 40, 0, returnToSensed},
        {0, 5.5, 80, returnToSensed},   {0, 4.5, 80, planPath},
    };
    for (const auto& c : cases) {
        planes[me].State = returnToSensed;
        planes[me].returnPoint[0] = static_cast<float>(seenAtX(c.D, c.d));
        planes[me].returnPoint[1] = static_cast<float>(seenAtY(c.D, c.d));
        step();
        EXPECT_NEAR(alongNose(), c.push, 1e-9) << c.D << " " << c.d;
        EXPECT_EQ(planes[me].State, c.state) << c.D << " " << c.d;
    }
}

TEST_F(AutopilotTest, AMissingOrInvalidEnemyIsNeverRead)
{
    for (int bad : {-1, 7, 9, 1000000, -5}) {
        placePlane(me, 600, 600, 40);
        planes[me].State = chaseEnemy;
        planes[me].Mood = hunting;
        planes[me].Enemy = bad;
        step();
        EXPECT_NE(planes[me].State, chaseEnemy) << bad;
        planes[me].State = followPath;
        planes[me].Mood = enemyOffMap;
        step();
        planes[me].State = recover;
        planes[me].Mood = recoveringFromObstacle;
        step();
        EXPECT_EQ(planes[me].Mood, noHunt) << bad;
    }
    // An enemy whose position is no number is off the map.
    placePlane(foe, NAN, NAN, 40);
    hunt(planPath);
    step();
    EXPECT_EQ(planes[me].Mood, hunting);
}

TEST_F(AutopilotTest, ARecoveryEndingOffTheGridSearchesNothing)
{
    placePlane(me, 1300, 600, 30);  // through the wall: cell 26
    planes[me].State = recover;
    setRoute({{1, 1}, {1, 2}});
    step();
    EXPECT_EQ(planes[me].State, planPath);
    EXPECT_EQ(pathFound, 0);
    EXPECT_EQ(planes[me].pathX[0], 1);
    EXPECT_EQ(openList.count, 0);
    // The next step's checks send it back to the map.
    step();
    EXPECT_EQ(planes[me].State, returnToMap);
}

TEST_F(AutopilotTest, EnemyChoiceByTeamRangeAndHealth)
{
    // Planes 5 and 2 of other teams at 200 and 240: the lower index wins.
    placePlane(5, 800, 600, 40);
    placePlane(2, 600, 840, 40);
    acquireEnemy(me);
    EXPECT_EQ(planes[me].Enemy, 2);
    EXPECT_EQ(planes[me].Mood, hunting);
    EXPECT_EQ(planes[me].State, planPath);
    EXPECT_EQ(taken, std::vector<int>{me});

    // Own team, the dead and the far are passed over.
    planes[me].Enemy = -1;
    planes[2].team = planes[me].team;
    planes[5].Helth = 0;
    placePlane(6, 600, 350, 40);  // exactly 250 away
    acquireEnemy(me);
    EXPECT_EQ(planes[me].Enemy, -1);
    planes[5].Helth = 1;
    acquireEnemy(me);
    EXPECT_EQ(planes[me].Enemy, 5);

    // A living enemy is kept; a dead one is dropped and its autopilot switched off.
    planes[me].State = followPath;
    acquireEnemy(me);
    EXPECT_EQ(planes[me].State, followPath);
    planes[5].Helth = 0;
    planes[5].autopilot = 1;
    acquireEnemy(me);
    EXPECT_EQ(planes[me].Enemy, -1);
    EXPECT_EQ(planes[me].Mood, noHunt);
    EXPECT_EQ(planes[me].State, planPath);
    EXPECT_EQ(planes[5].autopilot, 0);
    EXPECT_EQ(dropped, std::vector<int>{me});
    EXPECT_EQ(taken.size(), 2u);
}

TEST_F(AutopilotTest, TheShooterBecomesTheEnemyAcrossTeamsOnly)
{
    placePlane(5, 800, 600, 40);
    planes[me].Enemy = 5;
    planes[me].Mood = noHunt;
    planes[me].State = followPath;
    planes[me].lastHitBy = 1;
    planes[1].team = planes[me].team;
    acquireEnemy(me);
    EXPECT_EQ(planes[me].Enemy, 5);
    EXPECT_EQ(planes[me].lastHitBy, -1);

    // From another team: replaces a living enemy, mood and state kept, no cue.
    planes[me].lastHitBy = 6;
    acquireEnemy(me);
    EXPECT_EQ(planes[me].Enemy, 6);
    EXPECT_EQ(planes[me].Mood, noHunt);
    EXPECT_EQ(planes[me].State, followPath);
    EXPECT_EQ(planes[me].lastHitBy, -1);
    EXPECT_TRUE(taken.empty());

    // Out-of-range records are cleared without being read.
    planes[me].lastHitBy = 40;
    planes[me].Enemy = 12;
    acquireEnemy(me);
    EXPECT_EQ(planes[me].lastHitBy, -1);
    EXPECT_EQ(planes[me].Enemy, -1);
    EXPECT_TRUE(dropped.empty());
}
