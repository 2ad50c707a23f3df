// Start-up to the first turn: the full-screen road of the entry point (settings,
// window, GL context, GL state and the 19 textures, the arena, both fonts) up to
// the end of the first main-loop turn, with the real window system.
//
//   startup_bench [runs]
//
// Needs an X display: run under xvfb-run -s "-screen 0 1024x768x24" (a display
// without the stored size gets an ordinary window instead, answered without a
// box). The settings are the built-in ones. Target: under 0.5 s.

#include "arena/scene.h"
#include "arena/turn.h"
#include "platform/window/window_system.h"
#include "shell/entry.h"
#include "shell/main_loop.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
Clock::time_point firstTurnEnd;
bool firstTurnDone = false;

// The first turn's last step notes the time and asks the loop to end.
void endOfFirstTurn()
{
    turnEndSteps();
    if (!firstTurnDone) {
        firstTurnDone = true;
        firstTurnEnd = Clock::now();
        platform::windowSystem().postQuitMessage(0);
    }
}

} // namespace

int main(int argc, char** argv)
{
    int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    setenv("SKARVEL_MESSAGE_BOX_ANSWER", "yes", 1);
    setenv("XDG_CONFIG_HOME", "/nonexistent/skarvel-startup-bench", 1);

    std::vector<double> seconds;
    for (int run = 0; run < runs; ++run) {
        resetShellState();
        turnSteps = defaultTurnSteps();
        turnSteps.endOfTurn = endOfFirstTurn;
        firstTurnDone = false;
        auto start = Clock::now();
        int code = winMain("/s");
        destroyScene();
        if (code != 0 || !firstTurnDone) {
            std::fprintf(stderr, "run %d did not reach its first turn (exit code %d)\n", run + 1, code);
            return 1;
        }
        seconds.push_back(std::chrono::duration<double>(firstTurnEnd - start).count());
        std::printf("run %d: %.3f s\n", run + 1, seconds.back());
    }
    std::vector<double> sorted = seconds;
    std::sort(sorted.begin(), sorted.end());
    std::printf("start-up to the first turn: first run %.3f s, median %.3f s, slowest %.3f s (target < 0.5 s)\n",
                seconds.front(), sorted[sorted.size() / 2], sorted.back());
    return 0;
}
