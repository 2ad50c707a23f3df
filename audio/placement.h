// Full audio: the 3-D placement of clips and listener, the drawn frame's sound
// step (startAudio installs it as the frameDrawing hook).
#pragma once

void updateSoundPositions();
