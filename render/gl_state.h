// The GL state every frame relies on, the viewport and projection, and the
// texture table.
#pragma once

#include <GL/gl.h>

// Texture names of the pictures in "data": entries 0, 2, 3, 5, 6 and 7 are filled
// by initGL, the others stay 0.
extern GLuint dataTexture[8];
// Texture names of "info\1.jpg" to "info\13.jpg": entry k holds picture k + 1.
extern GLuint infoTexture[13];

// Viewport and a 45-degree perspective for a window of this client size.
void resizeGLScene(int width, int height);

// Fixed drawing state and the 19 textures; 1 when every picture loaded, else 0
// (the pictures after the first failure are not tried and texturing stays off).
// Defined with the texture loader (render/textures.cpp).
int initGL();
