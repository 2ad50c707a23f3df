// The six stored settings of the saver, read for a full-screen run and shown and
// stored by the settings dialog. Gravity lives with the simulation's tunables.
#pragma once

extern int bitsPP;
extern int screenWidth;
extern int screenHeight;
extern int dFps;
extern float boxMass;

// Reads the stored values over the present ones; a missing value keeps its
// present value.
void loadSettings();

// Shows the settings dialog and returns when it closes (OK stores the fields).
void runSettingsDialog();
