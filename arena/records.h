// The arena's records: planes, blocks, pillars, crates, buildings and the grid,
// with the build-time counts and the ODE handles. All of it is global, with
// static storage, and starts at zero.
#pragma once

#include <ode/ode.h>

#include <cstdint>

constexpr int planeCount = 7;
constexpr int crateCount = 11;
constexpr int blockCount = 51;
constexpr int pillarCount = 36;
constexpr int buildingCount = 7;
constexpr int billboardCount = 1;
constexpr int gridSize = 25;
constexpr int cellSize = 50;
constexpr int arenaSize = gridSize * cellSize;
constexpr int blockFloorRange = 2;
constexpr int blockMinFloors = 2;
constexpr int maxPathEntries = 9999;
constexpr int maxBuildingFloors = 99;
constexpr int floorBoxes = 5;

// One rigid piece of an arena object. body is null while the piece does not exist.
struct Part {
    dBodyID body;
    dGeomID geom;
};

using Crate = Part;

struct Pillar {
    dBodyID body;
    dGeomID geom;
    uint8_t hit;        // touched by a team-0 plane or its bubble; never cleared
};

struct Block {
    dGeomID geom;       // static box 50 x 50 x height
    float colour[3];
    float x, y;         // centre of its cell
    float height;       // 15 x floors
    uint8_t converted;  // has given its place to a building
    int32_t floors;
    int32_t cellX, cellY;
};

struct Plane {
    dJointID joints[5];
    Part rightTip;
    Part leftTip;
    Part tail;
    Part fuselage;
    Part wing;
    Part bubble;
    uint8_t autopilot;
    uint8_t throttle;
    int32_t State;
    int32_t Sensing;
    int32_t GrndHit;
    int32_t bubbleCount;
    float lastShotTime;
    int32_t pathLength;
    int32_t pathIndex;
    int32_t pathX[maxPathEntries];
    int32_t pathY[maxPathEntries];
    int32_t FpCount;
    int32_t team;
    int32_t Helth;
    int32_t Enemy;
    int32_t Mood;
    float colour[3];
    float returnPoint[2];
    dGeomID scanRay;
    dGeomID rayHitGeom;
    dVector3 rayHitPos;
    dVector3 scanDir;
    uint8_t RayHit;
    int32_t lastHitBy;
};

struct GridCell {
    int32_t listState;  // 0 unvisited, 1 open, 2 closed
    int32_t G;
    int32_t H;
    int32_t F;
    int32_t parentX;
    int32_t parentY;
    uint8_t block;
    uint8_t pillar;
};

struct Building {
    Part floor[maxBuildingFloors][floorBoxes];
    int32_t floors;
    float x, y, z;
    float colour[3];
    uint8_t hit;
    uint8_t done;
    float hitTime;
};

extern Plane planes[planeCount];
extern Block blocks[blockCount];
extern Pillar pillars[pillarCount];
extern Crate crates[crateCount];
extern Building buildings[buildingCount];
extern Part billboards[billboardCount];
extern GridCell grid[gridSize][gridSize];

extern dWorldID world;
extern dSpaceID space;
extern dJointGroupID contactGroup;
extern dGeomID ground;
extern dGeomID arenaWalls[4];
extern float sceneStartTime;

// The grid cell of a world coordinate: its integer part after multiplying by
// 0.02, cut toward zero. A non-finite or far-out coordinate gives -1, which lies
// outside the grid like any other out-of-range cell.
int cellOf(double coordinate);

// True when (cx, cy) is a cell of the grid.
inline bool cellInGrid(int cx, int cy)
{
    return cx >= 0 && cx < gridSize && cy >= 0 && cy < gridSize;
}
