// One drawn frame of the arena from the selected camera.
#pragma once

// Draws the frame; always returns 1.
int drawScene();
