#include "arena/autopilot.h"

#include "arena/flight.h"
#include "arena/path_search.h"
#include "arena/records.h"
#include "arena/sound_hooks.h"
#include "arena/tunables.h"
#include "platform/random.h"

#include <algorithm>
#include <cmath>

int32_t apCounter = 0;

namespace {

// 180 / 3.14159: the bearings and the thresholds below are tuned to it.
constexpr double degreesPerRadian = 57.295827908797776;
constexpr double waypointReach = 50;
constexpr double followThrustWindow = 10;
constexpr double returnThrustWindow = 15;
constexpr double firingWindow = 5;
constexpr double chaseRange = 100;
constexpr double chaseClose = 50;
constexpr double returnBrakeDistance = 10;
constexpr double returnReached = 5;
constexpr double recoveredHeight = 5;
constexpr double enemyRange = 250;
constexpr double mapCentre = 600;
// Random goals and enemy cells that count as on the map: 0 to 23.
constexpr int mapCells = gridSize - 1;

struct Point {
    double x, y;
};

Point fuselagePoint(const Plane& p)
{
    const dReal* pos = dBodyGetPosition(p.fuselage.body);
    return {pos[0], pos[1]};
}

bool onMap(int cx, int cy)
{
    return cx >= 0 && cx < mapCells && cy >= 0 && cy < mapCells;
}

double distance(Point a, Point b)
{
    double dx = b.x - a.x;
    double dy = b.y - a.y;
    return std::sqrt(dx * dx + dy * dy);
}

// The plane's enemy, or null when Enemy names no plane.
const Plane* enemyOf(const Plane& p)
{
    return p.Enemy >= 0 && p.Enemy < planeCount ? &planes[p.Enemy] : nullptr;
}

// Where the target lies against the nose: the bearing difference D (0 to 360,
// below 180 to the right) and the distance d.
struct Sight {
    double D;
    double d;
    double offNose() const { return std::min(D, 360 - D); }
};

Sight sight(const Plane& p, Point from, Point target)
{
    Sight s;
    s.d = distance(from, target);
    dVector3 nose;
    dBodyGetRelPointPos(p.fuselage.body, s.d, 0, 0, nose);
    double heading = bearingOf(from.x, from.y, nose[0], nose[1]);
    s.D = bearingOf(from.x, from.y, target.x, target.y) - heading;
    if (s.D < 0)
        s.D += 360;
    return s;
}

void steerTowards(int plane, const Sight& s)
{
    if (s.D > 180)
        steerLeft(plane);
    else
        steerRight(plane);
}

Point cellCentre(int cx, int cy)
{
    return {double(cellSize * cx + cellSize / 2), double(cellSize * cy + cellSize / 2)};
}

// The checks that run outside a recovery and the return to a sensed point.
void runChecks(Plane& p, Point pos)
{
    if (pos.x < 0 || pos.y < 0 || !cellInGrid(startX, startY))
        p.State = returnToMap;

    const Plane* enemy = enemyOf(p);
    if (enemy) {
        Point e = fuselagePoint(*enemy);
        int ex = cellOf(e.x);
        int ey = cellOf(e.y);
        if (p.Mood == enemyOffMap && e.x > 0 && e.y > 0 && onMap(ex, ey)) {
            p.State = planPath;
            p.Mood = hunting;
        }
        if (p.Mood == hunting && p.State == followPath &&
            (ex != p.pathX[0] || ey != p.pathY[0]) && onMap(ex, ey)) {
            if (e.x < 0 || e.y < 0)
                p.Mood = enemyOffMap;
            p.State = planPath;
        }
    }

    if (p.GrndHit) {
        p.throttle = 0;
        p.State = recover;
        p.GrndHit = 0;
    }
    if (p.Sensing && p.State != recover) {
        p.throttle = 0;
        p.State = recover;
        p.Mood = recoveringFromObstacle;
        Point centre = cellCentre(startX, startY);
        p.returnPoint[0] = static_cast<float>(centre.x);
        p.returnPoint[1] = static_cast<float>(centre.y);
        p.Sensing = 0;
    }
}

void followPathAction(int plane, Plane& p, Point pos)
{
    if (p.pathIndex < 0 || p.pathIndex >= maxPathEntries) {
        p.State = planPath;
        return;
    }
    Point target = cellCentre(p.pathX[p.pathIndex], p.pathY[p.pathIndex]);
    Sight s = sight(p, pos, target);
    if (s.D > 180)
        turnLeft(plane, turnFactor);
    else if (s.D < 180)
        turnRight(plane, turnFactor);
    p.throttle = s.offNose() < followThrustWindow ? 1 : 0;
    if (s.d < waypointReach) {
        if (p.pathIndex > 0)
            p.pathIndex -= 1;
        else
            p.State = p.Mood == hunting ? chaseEnemy : planPath;
    }
}

void planPathAction(int plane, Plane& p)
{
    p.FpCount += 1;
    platform::seedRandomFromTime();
    goalX = platform::drawRandom() % mapCells;
    goalY = platform::drawRandom() % mapCells;
    const Plane* enemy = enemyOf(p);
    if (p.Mood == hunting && enemy) {
        Point e = fuselagePoint(*enemy);
        int ex = cellOf(e.x);
        int ey = cellOf(e.y);
        if (onMap(ex, ey)) {
            if (e.x < 0 || e.y < 0) {
                p.Mood = enemyOffMap;
            } else {
                goalX = ex;
                goalY = ey;
            }
        }
        if (goalX == startX && goalY == startY)
            p.State = chaseEnemy;
    }
    // From a cell off the grid the search finds nothing; the plane plans again
    // in its next step, by when check 1 has usually sent it back to the map.
    findPath(plane);
    if (pathFound) {
        p.pathIndex = p.pathLength - 1;
        p.State = followPath;
        p.FpCount = 0;
    }
}

void returnToSensedAction(int plane, Plane& p, Point pos)
{
    fireBubble(plane);
    Sight s = sight(p, pos, {p.returnPoint[0], p.returnPoint[1]});
    steerTowards(plane, s);
    if (s.d > returnBrakeDistance && s.D > 140 && s.D < 220)
        applyBrake(plane);
    p.throttle = s.offNose() < returnThrustWindow ? 1 : 0;
    if (s.d < returnReached)
        p.State = planPath;
}

void chaseEnemyAction(int plane, Plane& p, Point pos)
{
    const Plane* enemy = enemyOf(p);
    if (!enemy) {
        // Nothing to chase: plan a route instead.
        p.State = planPath;
        return;
    }
    Sight s = sight(p, pos, fuselagePoint(*enemy));
    steerTowards(plane, s);
    if (s.offNose() < firingWindow) {
        p.throttle = 0;
        fireBubble(plane);
    }
    if (s.d > chaseRange)
        p.State = planPath;
    if (s.d < chaseClose) {
        p.throttle = 0;
        applyBrake(plane);
    }
    if (s.d > chaseClose)
        p.throttle = 1;
}

void returnToMapAction(int plane, Plane& p, Point pos)
{
    steerTowards(plane, sight(p, pos, {mapCentre, mapCentre}));
    p.throttle = 1;
    if ((pos.x > 0 || pos.y > 0) && onMap(startX, startY))
        p.State = planPath;
}

void recoverAction(int plane, Plane& p)
{
    fireBubble(plane);
    bool high = dBodyGetPosition(p.leftTip.body)[2] > recoveredHeight &&
                dBodyGetPosition(p.rightTip.body)[2] > recoveredHeight &&
                dBodyGetPosition(p.tail.body)[2] > recoveredHeight;
    if (!high) {
        p.throttle = 0;
        return;
    }
    if (p.Mood == recoveringFromObstacle) {
        p.State = returnToSensed;
        p.Mood = enemyOf(p) ? hunting : noHunt;
    } else {
        p.State = planPath;
    }
    p.throttle = 1;
}

} // namespace

double bearingOf(double px, double py, double qx, double qy)
{
    return std::atan2(qx - px, qy - py) * degreesPerRadian + 180;
}

void autopilotStep(int plane)
{
    if (plane < 0 || plane >= planeCount || !planes[plane].fuselage.body)
        return;
    Plane& p = planes[plane];
    // Wraps instead of overflowing after months of running.
    apCounter = static_cast<int32_t>(static_cast<uint32_t>(apCounter) + 1u);
    Point pos = fuselagePoint(p);
    startX = cellOf(pos.x);
    startY = cellOf(pos.y);

    if (p.State != recover && p.State != returnToSensed)
        runChecks(p, pos);

    // Each action runs when the state holds its value at that moment, so a
    // change to a later state is carried out in the same step.
    if (p.State == followPath)
        followPathAction(plane, p, pos);
    if (p.State == planPath)
        planPathAction(plane, p);
    if (p.State == returnToSensed)
        returnToSensedAction(plane, p, pos);
    if (p.State == chaseEnemy)
        chaseEnemyAction(plane, p, pos);
    if (p.State == returnToMap)
        returnToMapAction(plane, p, pos);
    if (p.State == recover)
        recoverAction(plane, p);

    if (p.throttle)
        applyThrust(plane);
}

void acquireEnemy(int plane)
{
    if (plane < 0 || plane >= planeCount)
        return;
    Plane& p = planes[plane];

    if (p.lastHitBy >= 0) {
        if (p.lastHitBy < planeCount && planes[p.lastHitBy].team != p.team)
            p.Enemy = p.lastHitBy;
        p.lastHitBy = -1;
    }

    if (p.Enemy >= 0) {
        Plane* enemy = p.Enemy < planeCount ? &planes[p.Enemy] : nullptr;
        if (enemy && enemy->Helth >= 1)
            return;
        // A dead enemy leaves the game: its autopilot goes off.
        if (enemy)
            enemy->autopilot = 0;
        p.Enemy = -1;
        p.Mood = noHunt;
        p.State = planPath;
        if (enemy)
            soundHooks.enemyDropped(plane);
        return;
    }

    if (!p.fuselage.body)
        return;
    Point own = fuselagePoint(p);
    for (int i = 0; i < planeCount; ++i) {
        const Plane& other = planes[i];
        if (i == plane || other.team == p.team || !other.fuselage.body)
            continue;
        if (distance(own, fuselagePoint(other)) < enemyRange && other.Helth > 0) {
            p.Enemy = i;
            p.Mood = hunting;
            p.State = planPath;
            soundHooks.enemyTaken(plane);
            return;
        }
    }
}

void resetAutopilotState()
{
    apCounter = 0;
}
