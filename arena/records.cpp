#include "arena/records.h"

#include <cmath>

Plane planes[planeCount];
Block blocks[blockCount];
Pillar pillars[pillarCount];
Crate crates[crateCount];
Building buildings[buildingCount];
Part billboards[billboardCount];
GridCell grid[gridSize][gridSize];

dWorldID world;
dSpaceID space;
dJointGroupID contactGroup;
dGeomID ground;
dGeomID arenaWalls[4];
float sceneStartTime;

int cellOf(double coordinate)
{
    double scaled = coordinate * 0.02;
    // NaN fails both comparisons; anything beyond the int range is off the grid.
    if (!(scaled > -2147483648.0 && scaled < 2147483647.0))
        return -1;
    return static_cast<int>(scaled);
}
