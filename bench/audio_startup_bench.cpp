// The saver with full audio: the time from the process's start (the audio
// objects are built before main) to the first drawn frame, and the resident
// memory while it runs with its tunes streaming.
//
//   audio_startup_bench [seconds]
//
// Runs the full-screen road of the entry point for the given seconds (10 by
// default) after the first frame, then ends it as Escape would. Needs an X
// display: run under xvfb-run -s "-screen 0 1024x768x24". Without a sound card
// OpenAL's null device stands in, so the mixing and the tune streaming still run.
// Targets: first frame under 1.0 s, resident memory under 200 MB.

#include "audio/audio.h"
#include "audio/sound_clip.h"
#include "platform/window/window_system.h"
#include "shell/entry.h"
#include "shell/main_loop.h"

#include <GL/gl.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

// Seconds since the kernel started this process (10 ms resolution).
double secondsSinceProcessStart()
{
    std::ifstream stat("/proc/self/stat");
    std::string line;
    std::getline(stat, line);
    // Field 22, counted after the command name in parentheses.
    size_t pos = line.rfind(')');
    for (int field = 2; field < 22 && pos != std::string::npos; ++field)
        pos = line.find(' ', pos + 1);
    const double started = std::atof(line.c_str() + pos + 1) / double(sysconf(_SC_CLK_TCK));
    timespec now{};
    clock_gettime(CLOCK_BOOTTIME, &now);
    return double(now.tv_sec) + now.tv_nsec * 1e-9 - started;
}

// A /proc/self/status value in megabytes.
double statusMegabytes(const char* key)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.compare(0, std::strlen(key), key) == 0)
            return std::atof(line.c_str() + std::strlen(key) + 1) / 1024.0;
    return 0;
}

struct EarlyStart {
    Clock::time_point at = Clock::now();
    EarlyStart()
    {
        // Before the sound system opens its device.
        setenv("ALSOFT_DRIVERS", "null", 0);
        setenv("SKARVEL_MESSAGE_BOX_ANSWER", "yes", 1);
        setenv("XDG_CONFIG_HOME", "/nonexistent/skarvel-audio-bench", 1);
    }
};

double runSeconds = 10;
double firstFrame = 0;          // since the process started
double firstFrameInMain = 0;    // since main began
Clock::time_point mainStart, firstFrameAt;
bool drawn = false;
double rss = 0, peak = 0;
int tunesPlaying = 0;
uint64_t frames = 0;
int (*drawScene)() = nullptr;

int drawAndTime()
{
    const int result = drawScene();
    ++frames;
    if (!drawn) {
        glFinish();
        drawn = true;
        firstFrameAt = Clock::now();
        firstFrame = secondsSinceProcessStart();
        firstFrameInMain = std::chrono::duration<double>(firstFrameAt - mainStart).count();
    }
    return result;
}

void (*endOfTurn)() = nullptr;

void endTurnAndMeasure()
{
    endOfTurn();
    if (drawn && std::chrono::duration<double>(Clock::now() - firstFrameAt).count() > runSeconds && rss == 0) {
        rss = statusMegabytes("VmRSS:");
        peak = statusMegabytes("VmHWM:");
        for (SoundClip& clip : musicClips)
            tunesPlaying += clip.isPlaying() ? 1 : 0;
        platform::windowSystem().postQuitMessage(0);
    }
}

} // namespace

static EarlyStart earlyStart __attribute__((init_priority(101)));

int main(int argc, char** argv)
{
    mainStart = Clock::now();
    const double beforeMain = std::chrono::duration<double>(mainStart - earlyStart.at).count();
    if (argc > 1)
        runSeconds = std::atof(argv[1]);
    startAudio();
    turnSteps = defaultTurnSteps();
    drawScene = turnSteps.draw;
    turnSteps.draw = drawAndTime;
    endOfTurn = turnSteps.endOfTurn;
    turnSteps.endOfTurn = endTurnAndMeasure;
    const int code = winMain("/s");
    if (code != 0 || !drawn || rss == 0) {
        std::fprintf(stderr, "the saver did not run its course (exit code %d)\n", code);
        return 1;
    }
    std::printf("process start to the first drawn frame: %.3f s (static construction %.3f s, main %.3f s; "
                "target < 1.0 s)\n",
                firstFrame, beforeMain, firstFrameInMain);
    std::printf("after %.0f s running (%llu frames, %d of 3 tunes playing): resident %.1f MB, peak %.1f MB "
                "(target < 200 MB)\n",
                runSeconds, static_cast<unsigned long long>(frames), tunesPlaying, rss, peak);
    return 0;
}
