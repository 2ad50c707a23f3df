#include "arena_fixture.h"

#include "arena/buildings.h"
#include "arena/scene.h"
#include "arena/sound_hooks.h"
#include "platform/clock.h"

#include <cmath>

void ArenaTest::SetUp()
{
    platform::setTestTicks(100000);
    platform::setTestCalendarTime(defaultCalendarTime);
    resetSoundHooks();
}

void ArenaTest::TearDown()
{
    destroyScene();
    resetSoundHooks();
    platform::useRealTicks();
    platform::useRealCalendarTime();
}

void ArenaTest::buildScene(int64_t calendarTime)
{
    platform::setTestCalendarTime(calendarTime);
    initScene();
}

int ArenaTest::geomCount()
{
    return dSpaceGetNumGeoms(space);
}

namespace {

int countBody(dBodyID body)
{
    return body ? 1 : 0;
}

bool finiteBody(dBodyID body)
{
    if (!body)
        return true;
    const dReal* p = dBodyGetPosition(body);
    const dReal* v = dBodyGetLinearVel(body);
    for (int i = 0; i < 3; ++i)
        if (!std::isfinite(p[i]) || !std::isfinite(v[i]))
            return false;
    return true;
}

template <typename Fn>
void forEachBody(Fn fn)
{
    for (const auto& plane : planes)
        for (const Part* part : {&plane.rightTip, &plane.leftTip, &plane.tail, &plane.fuselage,
                                 &plane.wing, &plane.bubble})
            fn(part->body);
    for (const auto& crate : crates)
        fn(crate.body);
    for (const auto& pillar : pillars)
        fn(pillar.body);
    for (const auto& building : buildings)
        for (int f = 0; f < building.floors && f < maxBuildingFloors; ++f)
            for (const auto& box : building.floor[f])
                fn(box.body);
}

} // namespace

int ArenaTest::bodyCount()
{
    int n = 0;
    forEachBody([&](dBodyID b) { n += countBody(b); });
    return n;
}

bool ArenaTest::allFinite()
{
    bool ok = true;
    forEachBody([&](dBodyID b) { ok = ok && finiteBody(b); });
    return ok;
}

::testing::AssertionResult bodyAt(dBodyID body, double x, double y, double z, double tolerance)
{
    const dReal* p = dBodyGetPosition(body);
    if (std::fabs(p[0] - x) <= tolerance && std::fabs(p[1] - y) <= tolerance &&
        std::fabs(p[2] - z) <= tolerance)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "body at (" << p[0] << ", " << p[1] << ", " << p[2]
                                         << "), expected (" << x << ", " << y << ", " << z << ")";
}
