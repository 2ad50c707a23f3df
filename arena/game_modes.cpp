#include "arena/game_modes.h"

#include "arena/records.h"
#include "arena/scene.h"
#include "arena/tunables.h"
#include "platform/clock.h"
#include "platform/random.h"

uint8_t demoActive = 0;
float startTime = 0;
float demoSwitchTime = 0;

namespace {

// r, g and b drawn in that order; each is 0 or 1.
void drawColour(float (&colour)[3])
{
    for (float& component : colour)
        component = randomColourComponent();
}

void copyColour(float (&to)[3], const float (&from)[3])
{
    for (int c = 0; c < 3; ++c)
        to[c] = from[c];
}

// Every plane for itself, each in a colour of its own.
void dealDeathMatch()
{
    for (int i = 0; i < planeCount; ++i) {
        Plane& plane = planes[i];
        plane.team = i;
        drawColour(plane.colour);
        if (plane.colour[1] < 0.3f)
            plane.colour[1] = 0.5f;
    }
}

// Four teams: plane i joins team i modulo 4 and wears its colour.
void dealTeams()
{
    constexpr int teamCount = 4;
    float teamColour[teamCount][3];
    for (auto& colour : teamColour) {
        drawColour(colour);
        if (colour[0] < 0.3f)
            colour[0] = 0.5f;
    }
    for (int i = 0; i < planeCount; ++i) {
        planes[i].team = i % teamCount;
        copyColour(planes[i].colour, teamColour[i % teamCount]);
    }
}

// Planes 1 to 6 together in team 1 against plane 0 in team 0.
void dealAllAgainstOne()
{
    float shared[3];
    drawColour(shared);
    if (shared[1] < 0.3f)
        shared[1] = 0.4f;
    for (auto& plane : planes) {
        plane.team = 1;
        copyColour(plane.colour, shared);
    }
    Plane& loner = planes[0];
    loner.team = 0;
    drawColour(loner.colour);
    if (loner.colour[1] < 0.3f)
        loner.colour[1] = 0.5f;
}

} // namespace

void setGameMode(int mode)
{
    platform::seedRandomFromTime();
    switch (mode) {
    case 0:
        dealDeathMatch();
        break;
    case 1:
        dealTeams();
        break;
    case 2:
        dealAllAgainstOne();
        break;
    default:
        break;  // teams and colours stay as they are
    }
    for (int i = 1; i < planeCount; ++i) {
        Plane& plane = planes[i];
        plane.State = 0;
        plane.Mood = 0;
        plane.Enemy = -1;
        plane.autopilot = 1;
    }
    Action = 1;
}

void updateDemoMode()
{
    if (!demoActive) {
        if (anyKeyPressed)
            return;
        if (!(platform::nowSeconds() - startTime > 1.0f))
            return;
        demoActive = 1;
        for (int i = 1; i < planeCount; ++i) {
            planes[i].autopilot = 1;
            planes[i].State = 1;
        }
        Action = 1;
        CameraNo = 1;
        cnP = 0;
    }

    if (platform::nowSeconds() - demoSwitchTime > 11.0f) {
        CameraNo = 8;
        ++cnP;
        if (cnP >= planeCount)
            cnP = 1;
        showHelp = 0;
        demoSwitchTime = platform::nowSeconds();
        for (int i = 1; i < planeCount; ++i) {
            Plane& plane = planes[i];
            if (plane.Helth <= 5) {
                plane.Helth = 100;
                plane.autopilot = 1;
            }
        }
    }

    if (anyKeyPressed) {
        showHelp = 0;
        CameraNo = 1;
        cnP = 0;
        demoActive = 0;
    }
}

void resetGameModeState()
{
    demoActive = 0;
    startTime = 0;
    demoSwitchTime = 0;
}
