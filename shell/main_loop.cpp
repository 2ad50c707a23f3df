#include "shell/main_loop.h"

#include "arena/turn.h"
#include "platform/window/virtual_keys.h"
#include "render/scene.h"
#include "render/texts.h"
#include "shell/entry.h"
#include "shell/gl_window.h"
#include "shell/window_proc.h"

using namespace platform;

TurnSteps defaultTurnSteps()
{
    return TurnSteps{turnStartSteps, applyControls, updateFpsTitle, turnSimulationSteps, drawScene,
                     turnEndSteps};
}

TurnSteps turnSteps = defaultTurnSteps();

void runTurn(LoopState& state)
{
    turnSteps.demonstration();
    ++DrawCounter;
    turnSteps.controls();
    turnSteps.frameRate();
    turnSteps.simulation();

    WindowSystem& ws = windowSystem();
    Message message;
    if (ws.peekMessage(message)) {
        if (message.message == WM_QUIT) {
            state.done = true;
            state.exitCode = static_cast<int>(message.wParam);
        } else {
            ws.translateMessage(message);
            ws.dispatchMessage(message);
        }
    } else {
        if (windowActive)
            turnSteps.draw();
        if (keyState[VK_ESCAPE])
            state.done = true;  // a normal end: exit code 0
        else
            ws.swapBuffers(hDC);
    }

    turnSteps.endOfTurn();
}

int runMainLoop()
{
    LoopState state;
    while (!state.done)
        runTurn(state);
    return state.exitCode;
}
