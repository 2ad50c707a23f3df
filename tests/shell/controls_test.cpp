// The held-key controls on a built arena, the two rebuilding keys, and the
// frame-rate window with its title, all under the test clock.
#include "fake_window_system.h"
#include "tests/arena/arena_fixture.h"

#include "arena/flight.h"
#include "arena/game_step.h"
#include "arena/sound_hooks.h"
#include "arena/tunables.h"
#include "platform/clock.h"
#include "platform/window/virtual_keys.h"
#include "shell/entry.h"
#include "shell/window_proc.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

using namespace platform;

namespace {

int tearDowns = 0;

class ControlsTest : public ArenaTest {
protected:
    void SetUp() override
    {
        ArenaTest::SetUp();
        resetShellState();
        tearDowns = 0;
        soundHooks.buildingsTearingDown = [] { ++tearDowns; };
    }
    void TearDown() override
    {
        resetShellState();
        ArenaTest::TearDown();
    }

    // The autopilot's gate: closed while lastAiTick is less than 0.025 s ago.
    static void gateClosed()
    {
        lastAiTick = nowSeconds();
        advanceTestTicks(20);
    }
    static void gateOpen()
    {
        lastAiTick = nowSeconds();
        advanceTestTicks(30);
    }

    // The force gathered on a plane's three spheres for the next step.
    static double force(int plane)
    {
        double sum = 0;
        for (const Part* part : {&planes[plane].rightTip, &planes[plane].leftTip, &planes[plane].tail}) {
            const dReal* f = dBodyGetForce(part->body);
            sum += std::fabs(f[0]) + std::fabs(f[1]) + std::fabs(f[2]);
        }
        return sum;
    }
    static void clearForces()
    {
        for (const Plane& plane : planes)
            for (const Part* part : {&plane.rightTip, &plane.leftTip, &plane.tail})
                dBodySetForce(part->body, 0, 0, 0);
    }

    // Holds the keys for `turns` turns of the controls, then lets them go.
    static void hold(std::initializer_list<uint32_t> keys, int turns = 1)
    {
        for (uint32_t vk : keys)
            keyState[vk] = 1;
        for (int i = 0; i < turns; ++i)
            applyControls();
        for (uint32_t vk : keys)
            keyState[vk] = 0;
    }

    FakeWindowSystem fake;
};

} // namespace

TEST_F(ControlsTest, FlightKeysActOnTheControlledPlaneOnlyWhenTheAutopilotGateIsOpen)
{
    buildScene();
    forceScale = 20;
    cnP = 3;
    for (uint32_t vk : {VK_UP, VK_DOWN, VK_LEFT, VK_RIGHT}) {
        clearForces();
        gateClosed();
        hold({vk});
        EXPECT_EQ(force(3), 0.0) << "key " << vk;
        gateOpen();
        hold({vk});
        EXPECT_GT(force(3), 1.0) << "key " << vk;
        for (int other = 0; other < planeCount; ++other) {
            if (other != 3) {
                EXPECT_EQ(force(other), 0.0) << "key " << vk << ", plane " << other;
            }
        }
    }
    // The gate is only read: the autopilot pass alone moves it.
    EXPECT_FLOAT_EQ(lastAiTick, nowSeconds() - 0.03f);
}

TEST_F(ControlsTest, CtrlFiresAndCtrlWithGRaisesZforceInEveryTurn)
{
    buildScene();
    const float zforce = Zforce;
    hold({'G'});
    EXPECT_EQ(Zforce, zforce);

    gateClosed();
    hold({VK_CONTROL});
    EXPECT_EQ(planes[0].bubble.body, nullptr);
    EXPECT_EQ(Zforce, zforce);

    gateClosed();
    hold({VK_CONTROL, 'G'});  // no shot through the closed gate, but the step
    EXPECT_EQ(planes[0].bubble.body, nullptr);
    EXPECT_EQ(Zforce, zforce + Zinc);

    gateOpen();
    hold({VK_CONTROL, 'G'});
    EXPECT_NE(planes[0].bubble.body, nullptr);
    EXPECT_EQ(Zforce, zforce + Zinc + Zinc);
}

TEST_F(ControlsTest, TunableKeysStepOncePerTurnAndStopAtTheirBounds)
{
    hold({'A', VK_OEM_6, VK_OEM_PLUS}, 2);
    EXPECT_EQ(DesiredZ, 12.0f + 0.05f + 0.05f);
    EXPECT_EQ(ThrustF, 5.0f + 0.01f + 0.01f);
    EXPECT_EQ(TStepSz, 0.05f + 0.001f + 0.001f);
    resetTunables();

    hold({'B'}, 2000);  // no bound
    EXPECT_LT(Zforce, -5.0f);

    hold({'Z', VK_OEM_4, VK_OEM_MINUS}, 1000);
    // Each bound is tested before the step: a value ends one step below it.
    EXPECT_LT(DesiredZ, 0.0f);
    EXPECT_GT(DesiredZ, -0.001f);
    EXPECT_LT(ThrustF, 0.0f);
    EXPECT_GT(ThrustF, -0.001f);
    EXPECT_GT(TStepSz, 0.0f);
    EXPECT_LT(TStepSz, 1e-7f);
}

TEST_F(ControlsTest, TheTimeStepStaysPositiveWhateverThePlusAndMinusKeysDo)
{
    uint32_t state = 12345;
    float smallest = TStepSz;
    for (int turn = 0; turn < 200000; ++turn) {
        state = state * 1664525u + 1013904223u;
        // Mostly minus, in runs, so that the bottom is reached from many values.
        const uint32_t bits = state >> 24;
        keyState[VK_OEM_MINUS] = bits % 4 != 0;
        keyState[VK_OEM_PLUS] = bits % 7 == 0;
        applyControls();
        smallest = std::fmin(smallest, TStepSz);
        ASSERT_GT(TStepSz, 0.0f) << "turn " << turn;
    }
    EXPECT_LT(smallest, 1e-6f);
}

TEST_F(ControlsTest, HoldingRRaisesTheRowAgainInEveryTurn)
{
    buildScene();
    // Rows raised within one calendar second are alike.
    hold({'R'});
    const int geoms = geomCount();
    const int bodies = bodyCount();
    for (int turn = 2; turn <= 4; ++turn) {
        hold({'R'});
        EXPECT_EQ(tearDowns, turn);
        EXPECT_EQ(geomCount(), geoms);
        EXPECT_EQ(bodyCount(), bodies);
        for (int b = 0; b < buildingCount; ++b)
            EXPECT_EQ(buildings[b].x, 50.0f * b) << "building " << b;
    }
    EXPECT_TRUE(allFinite());
}

TEST_F(ControlsTest, MRaisesANewRoundAtOnce)
{
    buildScene();
    const int geoms = geomCount();
    const int bodies = bodyCount();
    auto converted = [] {
        int n = 0;
        for (const Block& block : blocks)
            n += block.converted;
        return n;
    };
    ASSERT_EQ(converted(), buildingCount);
    windowProc(nullptr, WM_KEYDOWN, 'M', 0);
    EXPECT_EQ(tearDowns, 1);
    EXPECT_EQ(converted(), 2 * buildingCount);
    EXPECT_EQ(geomCount(), geoms);
    EXPECT_EQ(bodyCount(), bodies);
}

TEST_F(ControlsTest, WithoutAnArenaTheArenaKeysDoNothing)
{
    windowProc(nullptr, WM_KEYDOWN, 'M', 0);
    gateOpen();
    hold({'R', VK_UP, VK_CONTROL, 'A'});
    EXPECT_EQ(tearDowns, 0);
    EXPECT_EQ(DesiredZ, 12.05f);
}

TEST_F(ControlsTest, TheFirstTurnClosesAFrameRateWindowThenEveryTenSeconds)
{
    updateFpsTitle();
    EXPECT_EQ(FpsNow, 0.1f);
    EXPECT_EQ(fake.windowText, "FPS: 0.1");
    EXPECT_EQ(fpsFrameCount, 0.0f);

    for (int i = 0; i < 599; ++i)
        updateFpsTitle();
    advanceTestTicks(10000);
    updateFpsTitle();  // exactly 10 s: the window is still open
    EXPECT_EQ(FpsNow, 0.1f);
    advanceTestTicks(1);
    updateFpsTitle();
    EXPECT_FLOAT_EQ(FpsNow, 60.1f);
    EXPECT_EQ(fake.windowText, "FPS: 60.1");
    EXPECT_EQ(std::count(fake.calls.begin(), fake.calls.end(), "setWindowText"), 2);
    EXPECT_EQ(fpsFrameCount, 0.0f);
}
