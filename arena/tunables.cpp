#include "arena/tunables.h"

float FpsNow = 60.0f;
float TStepSz = 0.05f;
float ThrustF = 5.0f;
float DesiredZ = 12.0f;
float Zforce = 13.982993f;
const float Zinc = 0.01f;
const float turnFactor = 2.0f;
float Gravity = -10.005f;
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
    FpsNow = 60.0f;
    TStepSz = 0.05f;
    ThrustF = 5.0f;
    DesiredZ = 12.0f;
    Zforce = 13.982993f;
    Gravity = -10.005f;
    forceScale = 0;
    lastAiTick = 0.0f;
    Action = 0;
    GameMode = 0;
    cnP = 0;
    CameraNo = 1;
    showHelp = 1;
    anyKeyPressed = 0;
}
