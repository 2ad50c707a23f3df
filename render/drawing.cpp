#include "render/drawing.h"

#include "arena/records.h"
#include "render/gl_state.h"

#include <cmath>

GLuint sphereList = 0;

namespace {

constexpr float icoX = 0.525731112119133606f;
constexpr float icoZ = 0.850650808352039932f;

void normalise(float* v)
{
    const float length = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
    v[0] /= length;
    v[1] /= length;
    v[2] /= length;
}

void line(float x0, float y0, float z0, float x1, float y1, float z1)
{
    glBegin(GL_LINES);
    glVertex3f(x0, y0, z0);
    glVertex3f(x1, y1, z1);
    glEnd();
}

// Where a path through cell index c is drawn for plane p: the cell's centre,
// moved p units so that paths through the same cells stay apart.
float cellCentre(int c, int p)
{
    return static_cast<float>(cellSize * c + cellSize / 2 + p);
}

} // namespace

const float icosahedronVertices[12][3] = {
    {-icoX, 0, icoZ}, {icoX, 0, icoZ},   {-icoX, 0, -icoZ}, {icoX, 0, -icoZ},
    {0, icoZ, icoX},  {0, icoZ, -icoX},  {0, -icoZ, icoX},  {0, -icoZ, -icoX},
    {icoZ, icoX, 0},  {-icoZ, icoX, 0},  {icoZ, -icoX, 0},  {-icoZ, -icoX, 0},
};

const int icosahedronFaces[20][3] = {
    {0, 4, 1},  {0, 9, 4},  {9, 5, 4},  {4, 5, 8},  {4, 8, 1},
    {8, 10, 1}, {8, 3, 10}, {5, 3, 8},  {5, 2, 3},  {2, 7, 3},
    {7, 10, 3}, {7, 6, 10}, {7, 11, 6}, {11, 0, 6}, {0, 1, 6},
    {6, 1, 10}, {9, 0, 11}, {9, 11, 2}, {9, 2, 5},  {7, 2, 11},
};

void pushTransform(const dReal* pos, const dReal* R)
{
    GLfloat m[16];
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            m[4 * j + i] = static_cast<GLfloat>(R[4 * i + j]);
    m[3] = m[7] = m[11] = 0;
    m[12] = static_cast<GLfloat>(pos[0]);
    m[13] = static_cast<GLfloat>(pos[1]);
    m[14] = static_cast<GLfloat>(pos[2]);
    m[15] = 1;
    glPushMatrix();
    glMultMatrixf(m);
}

void drawTexturedBox(const dReal* sides)
{
    const float hx = static_cast<float>(sides[0] * 0.5);
    const float hy = static_cast<float>(sides[1] * 0.5);
    const float hz = static_cast<float>(sides[2] * 0.5);

    glBegin(GL_QUADS);
    // z = +hz
    glTexCoord2f(0, 0); glVertex3f(-hx, -hy, hz);
    glTexCoord2f(1, 0); glVertex3f(hx, -hy, hz);
    glTexCoord2f(1, 1); glVertex3f(hx, hy, hz);
    glTexCoord2f(0, 1); glVertex3f(-hx, hy, hz);
    // z = -hz
    glTexCoord2f(1, 0); glVertex3f(-hx, -hy, -hz);
    glTexCoord2f(1, 1); glVertex3f(-hx, hy, -hz);
    glTexCoord2f(0, 1); glVertex3f(hx, hy, -hz);
    glTexCoord2f(0, 0); glVertex3f(hx, -hy, -hz);
    // y = +hy
    glTexCoord2f(0, 1); glVertex3f(-hx, hy, -hz);
    glTexCoord2f(0, 0); glVertex3f(-hx, hy, hz);
    glTexCoord2f(1, 0); glVertex3f(hx, hy, hz);
    glTexCoord2f(1, 1); glVertex3f(hx, hy, -hz);
    // y = -hy
    glTexCoord2f(1, 1); glVertex3f(-hx, -hy, -hz);
    glTexCoord2f(0, 1); glVertex3f(hx, -hy, -hz);
    glTexCoord2f(0, 0); glVertex3f(hx, -hy, hz);
    glTexCoord2f(1, 0); glVertex3f(-hx, -hy, hz);
    // x = +hx
    glTexCoord2f(1, 0); glVertex3f(hx, -hy, -hz);
    glTexCoord2f(1, 1); glVertex3f(hx, hy, -hz);
    glTexCoord2f(0, 1); glVertex3f(hx, hy, hz);
    glTexCoord2f(0, 0); glVertex3f(hx, -hy, hz);
    // x = -hx
    glTexCoord2f(0, 0); glVertex3f(-hx, -hy, -hz);
    glTexCoord2f(1, 0); glVertex3f(-hx, -hy, hz);
    glTexCoord2f(1, 1); glVertex3f(-hx, hy, hz);
    glTexCoord2f(0, 1); glVertex3f(-hx, hy, -hz);
    glEnd();
}

void drawSpherePatch(const float* a, const float* b, const float* c, int depth)
{
    if (depth <= 0) {
        glNormal3fv(a);
        glVertex3fv(a);
        glNormal3fv(b);
        glVertex3fv(b);
        glNormal3fv(c);
        glVertex3fv(c);
        return;
    }
    float ab[3], bc[3], ca[3];
    for (int k = 0; k < 3; ++k) {
        ab[k] = (a[k] + b[k]) / 2;
        bc[k] = (b[k] + c[k]) / 2;
        ca[k] = (a[k] + c[k]) / 2;
    }
    normalise(ab);
    normalise(bc);
    normalise(ca);
    drawSpherePatch(a, ab, ca, depth - 1);
    drawSpherePatch(ab, b, bc, depth - 1);
    drawSpherePatch(ab, bc, ca, depth - 1);
    drawSpherePatch(ca, bc, c, depth - 1);
}

void drawSphere()
{
    if (sphereList == 0) {
        sphereList = glGenLists(1);
        glNewList(sphereList, GL_COMPILE);
        glBegin(GL_TRIANGLES);
        // Reversed corner order: counter-clockwise seen from outside.
        for (const auto& face : icosahedronFaces)
            drawSpherePatch(icosahedronVertices[face[2]], icosahedronVertices[face[1]],
                            icosahedronVertices[face[0]], sphereDepth);
        glEnd();
        glEndList();
    }
    glCallList(sphereList);
}

void drawGround()
{
    glBindTexture(GL_TEXTURE_2D, infoTexture[10]);
    glBegin(GL_QUADS);
    glTexCoord2f(0, 0);
    glVertex3f(0, 0, 0);
    glTexCoord2f(10, 0);
    glVertex3f(arenaSize, 0, 0);
    glTexCoord2f(10, 10);
    glVertex3f(arenaSize, arenaSize, 0);
    glTexCoord2f(0, 10);
    glVertex3f(0, arenaSize, 0);
    glEnd();
}

void drawAxes()
{
    constexpr float a = arenaSize;

    glLineWidth(5);
    glColor3f(1, 0, 0);
    line(-a, 0, 0, a, 0, 0);
    glColor3f(0, 0, 1);
    line(0, -a, 0, 0, a, 0);
    glColor3f(0, 1, 0);
    line(0, 0, -a, 0, 0, a);

    // The arena's frame on the ground; its other two edges lie on the axes.
    glLineWidth(2.5f);
    glColor3f(1, 0, 0);
    line(0, a, 0, a, a, 0);
    glColor3f(0, 0, 1);
    line(a, 0, 0, a, a, 0);

    // The whole frame again, 10 above the ground.
    line(0, 0, 10, 0, a, 10);
    glColor3f(1, 0, 0);
    line(0, 0, 10, a, 0, 10);
    line(0, a, 10, a, a, 10);
    glColor3f(0, 0, 1);
    line(a, 0, 10, a, a, 10);

    glColor3f(1, 1, 1);
}

void drawPaths()
{
    glTranslatef(0, 0, 10);
    for (int p = 0; p < planeCount; ++p) {
        const Plane& plane = planes[p];
        glLineWidth(2);
        // A path never holds more entries than its arrays; a longer stored length
        // draws only the entries that exist.
        const int last = plane.pathLength < maxPathEntries ? plane.pathLength : maxPathEntries - 1;
        if (last < 1)
            continue;
        glColor3fv(plane.colour);
        glBegin(GL_LINES);
        for (int i = last; i >= 1; --i) {
            glVertex3f(cellCentre(plane.pathX[i], p), cellCentre(plane.pathY[i], p), 0);
            glVertex3f(cellCentre(plane.pathX[i - 1], p), cellCentre(plane.pathY[i - 1], p), 0);
        }
        glEnd();
    }
    glTranslatef(0, 0, -10);
}
