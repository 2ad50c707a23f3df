#include "arena/turn.h"

#include "arena/buildings.h"
#include "arena/collision.h"
#include "arena/records.h"
#include "arena/sound_hooks.h"
#include "arena/tunables.h"

void turnStartSteps()
{
}

void turnSimulationSteps()
{
    runCollisionPass();
    dWorldQuickStep(world, TStepSz);
    soundHooks.afterStep();
    dJointGroupEmpty(contactGroup);
}

void turnEndSteps()
{
    for (auto& plane : planes)
        plane.RayHit = 0;
}

void simulateTurn()
{
    turnStartSteps();
    turnSimulationSteps();
    turnEndSteps();
}
