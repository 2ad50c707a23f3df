#include "render/gl_state.h"

GLuint dataTexture[8];
GLuint infoTexture[13];

void resizeGLScene(int, int) {}
int initGL() { return 1; }
