// Every geom of the arena carries a tag in its user data that tells what it
// belongs to, so that the collision rules find a geom's owner without scanning
// the records.
#pragma once

#include <ode/ode.h>

enum class GeomKind : int {
    Untagged = 0,
    Ground,
    CrateBox,
    PlanePart,   // index: the plane
    Bubble,      // index: the plane that fired it
    ScanRay,     // index: the plane
    Block,
    BuildingBox, // index: the building
    Pillar,      // index: the pillar
    Billboard,
    Wall,
};

void tagGeom(dGeomID geom, GeomKind kind, int index);
GeomKind geomKind(dGeomID geom);
int geomIndex(dGeomID geom);

// The plane whose part (one of its five bodies' geoms) this is, or -1.
int planeOfPart(dGeomID geom);
// The plane whose live bubble this is, or -1.
int planeOfBubble(dGeomID geom);
// The pillar whose geom this is, or -1.
int pillarOfGeom(dGeomID geom);
