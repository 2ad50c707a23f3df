#include "render/scene.h"

#include <GL/gl.h>

int drawScene()
{
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    return 1;
}
