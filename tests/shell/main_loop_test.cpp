// The order of one turn, with the other parts' steps replaced by recorders that
// write into the fake's call list.
#include "fake_window_system.h"

#include "platform/window/virtual_keys.h"
#include "render/texts.h"
#include "shell/entry.h"
#include "shell/main_loop.h"
#include "shell/window_proc.h"

#include <gtest/gtest.h>

using namespace platform;
using Calls = std::vector<std::string>;

namespace {

FakeWindowSystem* current = nullptr;

void record(const char* name)
{
    current->calls.push_back(name);
}

class MainLoopTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        current = &fake;
        resetShellState();
        WindowClass windowClass;
        windowClass.procedure = windowProc;
        fake.registerClass(windowClass);
        turnSteps = TurnSteps{
            [] { record("demonstration"); },
            [] { record("controls"); },
            [] { record("frameRate"); },
            [] { record("simulation"); },
            [] { record("draw"); return 1; },
            [] { record("endOfTurn"); },
        };
    }
    void TearDown() override
    {
        turnSteps = defaultTurnSteps();
        resetShellState();
        current = nullptr;
    }

    // Runs one turn and returns the calls it made.
    Calls turn()
    {
        fake.calls.clear();
        runTurn(state);
        return fake.calls;
    }

    void queue(uint32_t message, uintptr_t wParam = 0, intptr_t lParam = 0)
    {
        fake.messages.push_back(Message{nullptr, message, wParam, lParam});
    }

    FakeWindowSystem fake;
    BoxRecorder recorder{&fake};
    LoopState state;
};

const Calls simulationSteps = {"demonstration", "controls", "frameRate", "simulation", "peekMessage"};

Calls with(Calls calls, const Calls& more)
{
    calls.insert(calls.end(), more.begin(), more.end());
    return calls;
}

} // namespace

TEST_F(MainLoopTest, ATurnWithoutAMessageDrawsAndSwaps)
{
    EXPECT_EQ(turn(), with(simulationSteps, {"draw", "swapBuffers", "endOfTurn"}));
    EXPECT_EQ(turn(), with(simulationSteps, {"draw", "swapBuffers", "endOfTurn"}));
    EXPECT_EQ(DrawCounter, 2u);
    EXPECT_FALSE(state.done);
}

TEST_F(MainLoopTest, ATurnWithAMessageDispatchesItAndDrawsNothing)
{
    queue(WM_KEYUP, 'C');
    EXPECT_EQ(turn(), with(simulationSteps, {"translateMessage", "dispatchMessage", "endOfTurn"}));
    EXPECT_EQ(DrawCounter, 1u);
    EXPECT_FALSE(state.done);
}

TEST_F(MainLoopTest, AMinimisedWindowIsNotDrawnButStillSwapped)
{
    queue(WM_ACTIVATE, WA_INACTIVE | (1u << 16));
    turn();
    EXPECT_EQ(turn(), with(simulationSteps, {"swapBuffers", "endOfTurn"}));
    // Losing the focus without being minimised does not stop the drawing.
    queue(WM_ACTIVATE, WA_INACTIVE);
    turn();
    EXPECT_EQ(turn(), with(simulationSteps, {"draw", "swapBuffers", "endOfTurn"}));
}

TEST_F(MainLoopTest, EscapeHeldEndsTheLoopInATurnWithoutAMessageWithExitCodeZero)
{
    queue(WM_KEYDOWN, VK_ESCAPE);
    turn();
    EXPECT_FALSE(state.done);
    EXPECT_EQ(turn(), with(simulationSteps, {"draw", "endOfTurn"}));  // no swap
    EXPECT_TRUE(state.done);
    EXPECT_EQ(state.exitCode, 0);
}

TEST_F(MainLoopTest, EscapeEndsTheLoopEvenWhileMinimised)
{
    queue(WM_ACTIVATE, WA_INACTIVE | (1u << 16));
    queue(WM_KEYDOWN, VK_ESCAPE);
    turn();
    turn();
    EXPECT_EQ(turn(), with(simulationSteps, {"endOfTurn"}));
    EXPECT_TRUE(state.done);
}

TEST_F(MainLoopTest, AnEscapeReleasedBeforeATurnWithoutAMessageDoesNotEndTheLoop)
{
    queue(WM_KEYDOWN, VK_ESCAPE);
    queue(WM_KEYUP, VK_ESCAPE);
    turn();
    turn();
    turn();
    EXPECT_FALSE(state.done);
}

TEST_F(MainLoopTest, TheQuitMessageEndsTheLoopAfterTheTurnsLastStep)
{
    queue(WM_CLOSE);
    turn();
    EXPECT_FALSE(state.done);
    EXPECT_EQ(turn(), with(simulationSteps, {"endOfTurn"}));
    EXPECT_TRUE(state.done);
    EXPECT_EQ(state.exitCode, 0);
}
