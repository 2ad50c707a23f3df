#include "arena/tunables.h"

namespace {

// The start values of every run.
constexpr float startFpsNow = 60.0f;
constexpr float startTStepSz = 0.05f;
constexpr float startThrustF = 5.0f;
constexpr float startDesiredZ = 12.0f;
constexpr float startZforce = 13.982993f;

} // namespace

float FpsNow = startFpsNow;
float TStepSz = startTStepSz;
float ThrustF = startThrustF;
float DesiredZ = startDesiredZ;
float Zforce = startZforce;
const float Zinc = 0.01f;
const float turnFactor = 2.0f;
float Gravity = startGravity;
int forceScale = 0;
float lastAiTick = 0.0f;
uint8_t Action = 0;
int GameMode = 0;
int cnP = 0;
int CameraNo = 1;
uint8_t showHelp = 1;
uint8_t anyKeyPressed = 0;

void resetTunables()
{
    FpsNow = startFpsNow;
    TStepSz = startTStepSz;
    ThrustF = startThrustF;
    DesiredZ = startDesiredZ;
    Zforce = startZforce;
    Gravity = startGravity;
    forceScale = 0;
    lastAiTick = 0.0f;
    Action = 0;
    GameMode = 0;
    cnP = 0;
    CameraNo = 1;
    showHelp = 1;
    anyKeyPressed = 0;
}
