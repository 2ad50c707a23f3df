// Runs the real arena headless for a number of turns with every plane under
// autopilot and fighting on, and reports where a turn's time goes: ODE's
// collision pass, ODE's step, and the game's own work (the game step, the
// building check and the game rules inside the near callback).
//
//   arena_turn_bench [turns [milliseconds per turn]]
//
// The clock is the test clock, advanced by the given milliseconds per turn
// (17 by default, about 60 turns per second of game time), so every run plays
// the same game.

#include "arena/buildings.h"
#include "arena/collision.h"
#include "arena/game_step.h"
#include "arena/records.h"
#include "arena/scene.h"
#include "arena/sound_hooks.h"
#include "arena/tunables.h"
#include "arena/turn.h"
#include "platform/clock.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace {

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// The pass as ODE alone would run it for this arena: a ray pair is tested for
// one point and gets no contact, hinged bodies are passed over, and every other
// pair gets its contact joints. What nearCallback costs beyond this is the
// game's rules.
void bareCallback(void*, dGeomID o1, dGeomID o2)
{
    if (dGeomGetClass(o1) == dRayClass || dGeomGetClass(o2) == dRayClass) {
        dContactGeom point;
        dCollide(o1, o2, 1, &point, sizeof(dContactGeom));
        return;
    }
    dBodyID b1 = dGeomGetBody(o1);
    dBodyID b2 = dGeomGetBody(o2);
    if (b1 && b2 && dAreConnectedExcluding(b1, b2, dJointTypeContact))
        return;
    makeContacts(o1, o2);
}

struct Times {
    double gameStep = 0;   // simTick
    double buildings = 0;  // checkBuildingHits
    double barePass = 0;   // the pass with contacts only
    double pass = 0;       // the pass with nearCallback
    double step = 0;       // dWorldQuickStep
    double rest = 0;       // sounds hook, emptying the group, end of turn
};

} // namespace

int main(int argc, char** argv)
{
    int turns = argc > 1 ? std::atoi(argv[1]) : 20000;
    int msPerTurn = argc > 2 ? std::atoi(argv[2]) : 17;
    if (turns <= 0 || msPerTurn <= 0) {
        std::fprintf(stderr, "usage: %s [turns [milliseconds per turn]]\n", argv[0]);
        return 2;
    }

    int64_t calendar = 1765000000;
    uint32_t ms = 100000;
    platform::setTestTicks(ms);
    platform::setTestCalendarTime(calendar);
    initScene();
    for (auto& p : planes)
        p.autopilot = 1;
    Action = 1;

    Times t;
    for (int turn = 0; turn < turns; ++turn) {
        ms += static_cast<uint32_t>(msPerTurn);
        platform::setTestTicks(ms);
        if (ms / 1000 != (ms - msPerTurn) / 1000)
            platform::setTestCalendarTime(++calendar);

        auto start = Clock::now();
        simTick();
        t.gameStep += secondsSince(start);

        start = Clock::now();
        if (buildingsBuilt)
            checkBuildingHits();
        t.buildings += secondsSince(start);

        // The same state, once without the game's rules, to tell their cost apart.
        start = Clock::now();
        dSpaceCollide(space, nullptr, bareCallback);
        t.barePass += secondsSince(start);
        dJointGroupEmpty(contactGroup);

        start = Clock::now();
        runCollisionPass();
        t.pass += secondsSince(start);

        start = Clock::now();
        dWorldQuickStep(world, TStepSz);
        t.step += secondsSince(start);

        start = Clock::now();
        soundHooks.afterStep();
        dJointGroupEmpty(contactGroup);
        turnEndSteps();
        t.rest += secondsSince(start);
    }
    destroyScene();

    double rules = t.pass > t.barePass ? t.pass - t.barePass : 0;
    double own = t.gameStep + t.buildings + rules;
    double turnTime = t.gameStep + t.buildings + t.pass + t.step + t.rest;
    double odeAlone = t.barePass + t.step;
    std::printf("arena turns: %d, %d ms of game time each\n", turns, msPerTurn);
    std::printf("turns per second: %.0f (%.1f us per turn)\n", turns / turnTime, 1e6 * turnTime / turns);
    std::printf("collision pass:   %5.1f %% of a turn (bare pass %.1f %%, rules %.1f %%)\n",
                100 * t.pass / turnTime, 100 * t.barePass / turnTime, 100 * rules / turnTime);
    std::printf("physics step:     %5.1f %%\n", 100 * t.step / turnTime);
    std::printf("game's own work:  %5.1f %% (game step %.1f %%, building check %.1f %%, rules %.1f %%)\n",
                100 * own / turnTime, 100 * t.gameStep / turnTime, 100 * t.buildings / turnTime,
                100 * rules / turnTime);
    std::printf("rest of turn:     %5.1f %%\n", 100 * t.rest / turnTime);
    std::printf("turn / (bare pass + step): %.3f\n", turnTime / odeAlone);
    return 0;
}
