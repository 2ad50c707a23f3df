#include "arena/buildings.h"

#include "arena/collision.h"
#include "arena/geom_tags.h"
#include "arena/records.h"
#include "arena/sound_hooks.h"
#include "platform/random.h"

uint8_t buildingsBuilt = 0;
int32_t BuildingHit = 0;

namespace {

struct FloorBox {
    dReal lx, ly, lz;     // sides
    dReal dx, dy, dz;     // centre relative to (footprint centre, floor base)
    dReal density;        // also the total mass
};

// Four walls and the slab of one floor, in build order.
const FloorBox floorBoxTable[floorBoxes] = {
    {0.5, 28, 15, -15, 1.25, 7.5, 0.1},
    {0.5, 28, 15, 15, 1.25, 7.5, 0.1},
    {30, 0.5, 15, 0, 16.75, 7.5, 0.1},
    {30, 0.5, 15, 0, -14.25, 7.5, 0.1},
    {35, 35, 0.5, 0, 1.75, 15.25, 1.1},
};

// Makes the floors of building `index` around the footprint centre (cx, cy).
// Every box starts asleep and stays where it was made until something wakes it.
void raiseFloors(int index, dReal cx, dReal cy)
{
    Building& building = buildings[index];
    dMass mass;
    for (int f = 0; f < building.floors; ++f) {
        dReal base = 15.5 * f;
        for (int k = 0; k < floorBoxes; ++k) {
            const FloorBox& box = floorBoxTable[k];
            Part& part = building.floor[f][k];
            part.body = dBodyCreate(world);
            dBodySetPosition(part.body, cx + box.dx, cy + box.dy, base + box.dz);
            dMassSetBox(&mass, box.density, box.lx, box.ly, box.lz);
            dMassAdjust(&mass, box.density);
            dBodySetMass(part.body, &mass);
            part.geom = dCreateBox(space, box.lx, box.ly, box.lz);
            dGeomSetBody(part.geom, part.body);
            tagGeom(part.geom, GeomKind::BuildingBox, index);
            dBodySetAutoDisableFlag(part.body, 1);
            dBodyDisable(part.body);
        }
    }
}

} // namespace

void buildBuilding(int index, int floors, float x, float y, float r, float g, float b)
{
    if (collisionPassRunning())
        return;
    platform::seedRandomFromTime();

    Building& building = buildings[index];
    building.x = x;
    building.y = y;
    building.colour[0] = r;
    building.colour[1] = g;
    building.colour[2] = b;
    // The floor table holds 99 floors; a taller request is cut to that.
    building.floors = floors > maxBuildingFloors ? maxBuildingFloors : floors;
    building.z = 0;
    building.hit = 0;
    building.done = 0;
    if (building.floors <= 0)
        return;
    raiseFloors(index, x, y);
}

void destroyBuildings()
{
    if (collisionPassRunning())
        return;
    soundHooks.buildingsTearingDown();
    for (auto& building : buildings) {
        for (int f = 0; f < building.floors && f < maxBuildingFloors; ++f) {
            for (auto& part : building.floor[f]) {
                if (part.body)
                    dBodyDestroy(part.body);
                if (part.geom)
                    dGeomDestroy(part.geom);
                part = Part{};
            }
        }
    }
}

void blocksToBuildings()
{
    if (collisionPassRunning())
        return;
    buildingsBuilt = 1;
    for (int i = 0; i < buildingCount; ++i) {
        int k = blockCount - 1;
        while (k >= 0 && blocks[k].converted)
            --k;
        if (k >= 0) {
            Block& block = blocks[k];
            dGeomSetPosition(block.geom, block.x, block.y, block.height - 10000);
            buildBuilding(i, block.floors, block.x, block.y,
                          block.colour[0], block.colour[1], block.colour[2]);
            block.converted = 1;
            grid[block.cellX][block.cellY].block = 0;
        } else {
            const Block& first = blocks[0];
            buildBuilding(i, first.floors, 125.0f + 50 * i, 25,
                          first.colour[0], first.colour[1], first.colour[2]);
        }
    }
    bool anyLeft = false;
    for (const auto& block : blocks)
        anyLeft = anyLeft || !block.converted;
    if (!anyLeft) {
        for (auto& block : blocks)
            block.converted = 0;
    }
}

void checkBuildingHits()
{
}

void buildBuildingRow()
{
}

void resetBuildingState()
{
    buildingsBuilt = 0;
    BuildingHit = 0;
}
