#include "arena/buildings.h"

#include "arena/collision.h"
#include "arena/geom_tags.h"
#include "arena/records.h"
#include "arena/scene.h"
#include "arena/sound_hooks.h"
#include "platform/clock.h"
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

// Destroys whatever boxes a building still holds and nulls their handles, so
// that a second tear-down, or a raise over a standing building, can neither
// destroy a box twice nor leave one behind in the world. Outside a full
// tear-down (which has already freed every effect clip) each body is announced
// to the sound side first, so no clip keeps naming it. A scanner ray that last
// met a box forgets it.
void releaseFloors(Building& building, bool announce)
{
    for (int f = 0; f < building.floors && f < maxBuildingFloors; ++f) {
        for (auto& part : building.floor[f]) {
            if (part.body && announce)
                soundHooks.bodyDestroying(part.body);
            if (part.geom)
                for (auto& plane : planes)
                    if (plane.rayHitGeom == part.geom)
                        plane.rayHitGeom = nullptr;
            if (part.body)
                dBodyDestroy(part.body);
            if (part.geom)
                dGeomDestroy(part.geom);
            part = Part{};
        }
    }
}

// Makes the floors of building `index` around the footprint centre (cx, cy).
// Every box starts asleep and stays where it was made until something wakes it.
void raiseFloors(int index, dReal cx, dReal cy)
{
    Building& building = buildings[index];
    dMass mass;
    dMassSetZero(&mass);
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
    releaseFloors(building, true);
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
    for (auto& building : buildings)
        releaseFloors(building, false);
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
    if (collisionPassRunning())
        return;
    bool allDone = true;
    for (auto& building : buildings) {
        if (!building.hit) {
            // A building without floors has no test box to wake.
            dBodyID testBox = building.floors > 0 ? building.floor[0][2].body : nullptr;
            if (testBox && dBodyIsEnabled(testBox)) {
                building.hit = 1;
                building.hitTime = platform::nowSeconds();
                ++BuildingHit;
            }
        } else if (platform::nowSeconds() - building.hitTime > 10.0f) {
            building.done = 1;
        }
        allDone = allDone && building.done;
    }
    if (allDone) {
        destroyBuildings();
        blocksToBuildings();
    }
}

void buildBuildingRow()
{
    if (collisionPassRunning())
        return;
    // One seed for the whole row: rows raised within one calendar second match.
    platform::seedRandomFromTime();
    for (int b = 0; b < buildingCount; ++b) {
        Building& building = buildings[b];
        releaseFloors(building, true);
        building.floors = platform::drawRandom() % 11 + 1;
        building.z = 0;
        int r0 = platform::drawRandom() % 333;
        building.y = static_cast<float>(1 - r0);
        building.x = static_cast<float>(50 * b);
        for (float& component : building.colour)  // r, g, b in that order
            component = randomColourComponent();
        if (building.colour[0] < 0.3f)
            building.colour[0] = 0.7f;
        building.hit = 0;
        building.done = 0;
        // The row keeps its own reference point; the footprint lies 145 further
        // in x and 9.25 further in y.
        raiseFloors(b, building.x + 145.0, building.y + 9.25);
    }
}

void resetBuildingState()
{
    buildingsBuilt = 0;
    BuildingHit = 0;
}
