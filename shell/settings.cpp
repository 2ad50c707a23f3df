#include "shell/settings.h"

int bitsPP = 32;
int screenWidth = 1024;
int screenHeight = 768;
int dFps = 999999;
float boxMass = 0.02f;

void loadSettings() {}
void runSettingsDialog() {}
