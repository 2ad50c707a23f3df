#include "arena/scene.h"

#include "arena/autopilot.h"
#include "arena/buildings.h"
#include "arena/collision.h"
#include "arena/flight.h"
#include "arena/game_modes.h"
#include "arena/geom_tags.h"
#include "arena/path_search.h"
#include "arena/records.h"
#include "arena/sound_hooks.h"
#include "arena/tunables.h"
#include "platform/clock.h"
#include "platform/random.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>

namespace {

bool worldExists = false;

void (*odeErrorReport)(const char* text) = nullptr;

// ODE's own argument checks end the program, as they do by default, after the
// report has been shown.
void odeError(int errnum, const char* msg, va_list ap)
{
    char text[512];
    int n = std::snprintf(text, sizeof text, "ODE Error %d: ", errnum);
    if (n > 0 && static_cast<size_t>(n) < sizeof text)
        std::vsnprintf(text + n, sizeof text - static_cast<size_t>(n), msg, ap);
    if (odeErrorReport)
        odeErrorReport(text);
    else
        std::fprintf(stderr, "%s\n", text);
    std::abort();
}

void odeMessage(int errnum, const char* msg, va_list ap)
{
    std::fprintf(stderr, "ODE Message %d: ", errnum);
    std::vfprintf(stderr, msg, ap);
    std::fputc('\n', stderr);
}

void setBoxMass(dBodyID body, dReal density, dReal lx, dReal ly, dReal lz, dReal total)
{
    dMass m;
    dMassSetZero(&m);
    dMassSetBox(&m, density, lx, ly, lz);
    dMassAdjust(&m, total);
    dBodySetMass(body, &m);
}

void setSphereMass(dBodyID body, dReal density, dReal radius, dReal total)
{
    dMass m;
    dMassSetZero(&m);
    dMassSetSphere(&m, density, radius);
    dMassAdjust(&m, total);
    dBodySetMass(body, &m);
}

Part makeSpherePart(dReal x, dReal y, dReal z, int plane)
{
    Part part;
    part.body = dBodyCreate(world);
    dBodySetPosition(part.body, x, y, z);
    setSphereMass(part.body, 1, 1, 1);
    part.geom = dCreateSphere(space, 1);
    dGeomSetBody(part.geom, part.body);
    tagGeom(part.geom, GeomKind::PlanePart, plane);
    return part;
}

Part makeBoxPart(dReal x, dReal y, dReal z, dReal lx, dReal ly, dReal lz, int plane)
{
    Part part;
    part.body = dBodyCreate(world);
    dBodySetPosition(part.body, x, y, z);
    setBoxMass(part.body, 1, lx, ly, lz, 1);
    part.geom = dCreateBox(space, lx, ly, lz);
    dGeomSetBody(part.geom, part.body);
    tagGeom(part.geom, GeomKind::PlanePart, plane);
    dBodySetAutoDisableFlag(part.body, 1);
    return part;
}

dJointID makeHinge(dBodyID first, dBodyID second, dReal ax, dReal ay, dReal az, bool locked)
{
    dJointID joint = dJointCreateHinge(world, nullptr);
    dJointAttach(joint, first, second);
    dJointSetHingeAxis(joint, 0, -90, 0);
    dJointSetHingeAnchor(joint, ax, ay, az);
    if (locked) {
        dJointSetHingeParam(joint, dParamLoStop, 0);
        dJointSetHingeParam(joint, dParamHiStop, 0);
    }
    return joint;
}

void buildCrates()
{
    for (int k = 0; k < crateCount; ++k) {
        Crate& crate = crates[k];
        crate.body = dBodyCreate(world);
        dBodySetPosition(crate.body, 200, 200, 20 * k + 10);
        setBoxMass(crate.body, 0.05, 20, 20, 20, 0.05);
        crate.geom = dCreateBox(space, 20, 20, 20);
        dGeomSetBody(crate.geom, crate.body);
        tagGeom(crate.geom, GeomKind::CrateBox, k);
        dBodySetAutoDisableFlag(crate.body, 1);
        dBodyDisable(crate.body);
    }
}

void buildPlane(int i)
{
    Plane& p = planes[i];
    const dReal h = 70 + i;
    const dReal y = 30 + 20 * i;

    p.team = i;
    p.lastShotTime = 0;
    p.Enemy = -1;
    p.Helth = 100;
    p.State = 1;
    p.autopilot = 0;
    p.throttle = 0;
    p.Sensing = 0;
    p.Mood = 0;
    p.GrndHit = 0;
    p.lastHitBy = -1;

    p.scanRay = dCreateRay(space, 399.99);
    tagGeom(p.scanRay, GeomKind::ScanRay, i);
    p.rayHitPos[0] = p.rayHitPos[1] = p.rayHitPos[2] = 0;
    p.RayHit = 0;

    p.colour[0] = randomColourComponent();
    p.colour[1] = randomColourComponent();
    p.colour[2] = randomColourComponent();
    if (p.colour[1] < 0.3f)
        p.colour[1] = 0.5f;

    p.tail = makeSpherePart(h - 3, y, 11.25, i);
    p.rightTip = makeSpherePart(h + 4.5, y - 3.5, 11.25, i);
    p.leftTip = makeSpherePart(h + 4.5, y + 3.5, 11.25, i);
    p.fuselage = makeBoxPart(h + 1.5, y, 10.75, 10, 2, 0.5, i);
    p.wing = makeBoxPart(h + 4.5, y, 11.25, 1, 8, 0.1, i);

    p.joints[0] = makeHinge(p.wing.body, p.rightTip.body, h + 4.5, y - 3.5, 11.25, true);
    p.joints[1] = makeHinge(p.wing.body, p.leftTip.body, h + 4.5, y + 3.5, 11.25, true);
    p.joints[2] = makeHinge(p.fuselage.body, p.tail.body, h - 3, y, 11.25, true);
    p.joints[3] = makeHinge(p.fuselage.body, p.wing.body, h + 5, y, 11.25, false);
    p.joints[4] = makeHinge(p.fuselage.body, p.wing.body, h + 4, y, 11.25, false);
}

void buildBlocks()
{
    int k = 0;
    while (k < blockCount) {
        int cx = platform::drawRandom() % 24;
        int cy = platform::drawRandom() % 24;
        if (grid[cx][cy].block || cx <= 4 || cy <= 4)
            continue;
        int floors = platform::drawRandom() % blockFloorRange + 1;
        if (floors < blockMinFloors)
            floors = blockMinFloors;
        float height = 15.0f * floors;

        Block& b = blocks[k];
        b.geom = dCreateBox(space, 50, 50, height);
        dGeomSetPosition(b.geom, 50 * cx + 25, 50 * cy + 25, height / 2);
        tagGeom(b.geom, GeomKind::Block, k);
        grid[cx][cy].block = 1;
        b.x = 50.0f * cx + 25;
        b.y = 50.0f * cy + 25;
        b.height = height;
        b.colour[0] = randomColourComponent();
        b.colour[1] = randomColourComponent();
        b.colour[2] = randomColourComponent();
        if (b.colour[0] < 0.3f)
            b.colour[0] = 0.7f;
        b.converted = 0;
        b.floors = floors;
        b.cellX = cx;
        b.cellY = cy;
        ++k;
    }
}

void buildPillars()
{
    int k = 0;
    while (k < pillarCount) {
        int cx = platform::drawRandom() % 24;
        int cy = platform::drawRandom() % 24;
        if (grid[cx][cy].block || grid[cx][cy].pillar || cx <= 2 || cy <= 2)
            continue;
        platform::drawRandom(); // drawn and not used

        Pillar& pillar = pillars[k];
        pillar.body = dBodyCreate(world);
        dBodySetPosition(pillar.body, 50 * cx + 25, 50 * cy + 25, 10);
        setBoxMass(pillar.body, 0.01, 9, 9, 20, 0.01);
        pillar.geom = dCreateBox(space, 9, 9, 20);
        dGeomSetBody(pillar.geom, pillar.body);
        tagGeom(pillar.geom, GeomKind::Pillar, k);
        dBodySetAutoDisableFlag(pillar.body, 1);
        pillar.hit = 0;
        grid[cx][cy].pillar = 1;
        ++k;
    }
}

void buildBillboard()
{
    dMatrix3 r;
    dRFromAxisAndAngle(r, 0, -99, 0, 3.14);
    dGeomID plate = dCreateBox(space, 100, 1, 100);
    dGeomSetPosition(plate, 245, 7, 50);
    dGeomSetRotation(plate, r);
    tagGeom(plate, GeomKind::Billboard, 0);
    billboards[0].geom = plate;
}

void buildWalls()
{
    struct WallBox { dReal lx, ly, lz, x, y, z; };
    const WallBox walls[4] = {
        {1250, 10, 9000, 625, 0, 4500},
        {1250, 10, 9000, 625, 1250, 4500},
        {10, 1250, 9000, 0, 625, 4500},
        {10, 1250, 9000, 1250, 625, 4500},
    };
    for (int w = 0; w < 4; ++w) {
        arenaWalls[w] = dCreateBox(space, walls[w].lx, walls[w].ly, walls[w].lz);
        dGeomSetPosition(arenaWalls[w], walls[w].x, walls[w].y, walls[w].z);
        tagGeom(arenaWalls[w], GeomKind::Wall, w);
    }
}

} // namespace

void setOdeErrorReport(void (*report)(const char* text))
{
    odeErrorReport = report;
}

float randomColourComponent()
{
    return static_cast<float>((platform::drawRandom() % 100 + 30) / 100);
}

void initScene()
{
    soundHooks.sceneStarting();
    sceneStartTime = platform::nowSeconds();

    dSetErrorHandler(odeError);
    dSetDebugHandler(odeError);
    dSetMessageHandler(odeMessage);
    dInitODE2(0);
    worldExists = true;

    world = dWorldCreate();
    space = dHashSpaceCreate(nullptr);
    dWorldSetCFM(world, 0.001);
    dWorldSetERP(world, 1.001);
    dWorldSetContactMaxCorrectingVel(world, 0.1);
    dWorldSetContactSurfaceLayer(world, 0.001);
    dWorldSetQuickStepNumIterations(world, 20);
    contactGroup = dJointGroupCreate(0);
    dWorldSetGravity(world, 0, 0, Gravity);
    ground = dCreatePlane(space, 0, 0, 1, 0);
    tagGeom(ground, GeomKind::Ground, 0);

    buildCrates();
    for (int i = 0; i < planeCount; ++i)
        buildPlane(i);
    platform::seedRandomFromTime();
    buildBlocks();
    blocksToBuildings();
    buildPillars();
    buildBillboard();
    buildWalls();
}

void shutdownWorld()
{
    if (!worldExists)
        return;
    dJointGroupDestroy(contactGroup);
    dSpaceDestroy(space);
    dWorldDestroy(world);
    dCloseODE();
    worldExists = false;
}

bool sceneExists()
{
    return worldExists;
}

void destroyScene()
{
    shutdownWorld();
    for (auto& p : planes)
        p = Plane{};
    for (auto& b : blocks)
        b = Block{};
    for (auto& p : pillars)
        p = Pillar{};
    for (auto& c : crates)
        c = Crate{};
    for (auto& b : buildings)
        b = Building{};
    for (auto& b : billboards)
        b = Part{};
    for (auto& column : grid)
        for (auto& cell : column)
            cell = GridCell{};
    world = nullptr;
    space = nullptr;
    contactGroup = nullptr;
    ground = nullptr;
    for (auto& w : arenaWalls)
        w = nullptr;
    sceneStartTime = 0;
    resetCollisionState();
    resetBuildingState();
    resetFlightState();
    resetPathSearch();
    resetAutopilotState();
    resetGameModeState();
    resetTunables();
    platform::seedRandom(1);
    // ODE keeps a random state of its own across dCloseODE; start it afresh so
    // that a rebuilt arena runs as the first one did.
    dRandSetSeed(0);
}
