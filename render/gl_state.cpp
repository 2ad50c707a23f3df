#include "render/gl_state.h"

#include <GL/glu.h>

GLuint dataTexture[8];
GLuint infoTexture[13];

void resizeGLScene(int width, int height)
{
    if (height == 0)
        height = 1;
    glViewport(0, 0, width, height);

    // A window of width 0 (minimised) would give an aspect ratio of 0 and a
    // projection of infinities; it is drawn as if one pixel wide until the next
    // size change gives a real one.
    const int aspectWidth = width == 0 ? 1 : width;
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45.0, static_cast<GLdouble>(aspectWidth) / static_cast<GLdouble>(height), 0.1, 1500.0);

    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}
