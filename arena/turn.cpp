#include "arena/turn.h"

#include "arena/buildings.h"
#include "arena/collision.h"
#include "arena/game_modes.h"
#include "arena/game_step.h"
#include "arena/records.h"
#include "arena/sound_hooks.h"
#include "arena/tunables.h"

void turnStartSteps()
{
    updateDemoMode();
}

void turnSimulationSteps()
{
    simTick();
    if (buildingsBuilt)
        checkBuildingHits();
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
