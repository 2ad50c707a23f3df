#include "arena/geom_tags.h"

#include "arena/records.h"

#include <cstdint>

void tagGeom(dGeomID geom, GeomKind kind, int index)
{
    auto packed = (static_cast<uintptr_t>(kind) << 16) | static_cast<uintptr_t>(index & 0xffff);
    dGeomSetData(geom, reinterpret_cast<void*>(packed));
}

GeomKind geomKind(dGeomID geom)
{
    auto packed = reinterpret_cast<uintptr_t>(dGeomGetData(geom));
    return static_cast<GeomKind>(packed >> 16);
}

int geomIndex(dGeomID geom)
{
    auto packed = reinterpret_cast<uintptr_t>(dGeomGetData(geom));
    return static_cast<int>(packed & 0xffff);
}

int planeOfPart(dGeomID geom)
{
    if (geomKind(geom) != GeomKind::PlanePart)
        return -1;
    int p = geomIndex(geom);
    return p < planeCount ? p : -1;
}

int planeOfBubble(dGeomID geom)
{
    if (geomKind(geom) != GeomKind::Bubble)
        return -1;
    int p = geomIndex(geom);
    if (p >= planeCount || planes[p].bubbleCount <= 0 || planes[p].bubble.geom != geom)
        return -1;
    return p;
}

int pillarOfGeom(dGeomID geom)
{
    if (geomKind(geom) != GeomKind::Pillar)
        return -1;
    int i = geomIndex(geom);
    return i < pillarCount ? i : -1;
}
