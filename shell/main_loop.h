// The main loop: one turn runs the simulation's steps, then takes one window
// message or draws one frame. No frame limiter, no waiting.
#pragma once

// The steps of a turn that belong to other parts of the program, in turn order.
// Tests and benchmarks may replace them to watch the order.
struct TurnSteps {
    void (*demonstration)();    // step 1
    void (*controls)();         // step 3
    void (*frameRate)();        // step 4
    void (*simulation)();       // steps 5 to 10
    int (*draw)();              // step 11, when no message waits and the window is not minimised
    void (*endOfTurn)();        // step 12
};
extern TurnSteps turnSteps;
// The steps the program runs.
TurnSteps defaultTurnSteps();

struct LoopState {
    bool done = false;
    int exitCode = 0;
};

// One turn. Sets state.done when the quit message was taken (exit code: its
// parameter) or Escape was down in a turn without a message (exit code 0).
void runTurn(LoopState& state);

// Turns until done; returns the exit code.
int runMainLoop();
