// The GL state every frame relies on, the viewport and projection, and the
// texture table.
#pragma once

#include <GL/gl.h>

extern GLuint dataTexture[8];
extern GLuint infoTexture[13];

// Viewport and a 45-degree perspective for a window of this client size.
void resizeGLScene(int width, int height);

// Fixed drawing state and the 19 textures; 1 when every picture loaded, else 0.
int initGL();
