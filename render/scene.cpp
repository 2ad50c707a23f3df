#include "render/scene.h"

#include "arena/records.h"
#include "arena/scene.h"
#include "arena/sound_hooks.h"
#include "arena/tunables.h"
#include "render/cameras.h"
#include "render/drawing.h"
#include "render/fonts.h"
#include "render/gl_state.h"
#include "render/texts.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <cstdio>

namespace {

// Texture slots of the pictures the scene draws with.
GLuint& blockTexture = infoTexture[9];        // info\10.jpg, also the floor slabs
GLuint& billboardTexture = dataTexture[6];    // data\bb3.gif
GLuint& planeTexture = dataTexture[2];        // data\pac.bmp
GLuint& asleepBoxTexture = infoTexture[0];    // info\1.jpg: pillars and crates at rest
GLuint& awakeBoxTexture = infoTexture[1];     // info\2.jpg
GLuint& asleepSideTexture = infoTexture[11];  // info\12.jpg: walls 1 and 2 of a floor
GLuint& awakeSideTexture = infoTexture[12];   // info\13.jpg
GLuint& asleepEndTexture = infoTexture[6];    // info\7.jpg: walls 3 and 4 of a floor
GLuint& awakeEndTexture = infoTexture[7];     // info\8.jpg

TextList texts;

void drawBox(dGeomID geom, const dReal* pos, const dReal* R)
{
    dVector3 sides;
    dGeomBoxGetLengths(geom, sides);
    pushTransform(pos, R);
    drawTexturedBox(sides);
    glPopMatrix();
}

// A box with a body: drawn where its body is.
void drawBodyBox(const Part& part)
{
    drawBox(part.geom, dBodyGetPosition(part.body), dBodyGetRotation(part.body));
}

// A box without a body (blocks, the billboard): drawn where its geom is.
void drawStaticBox(dGeomID geom)
{
    drawBox(geom, dGeomGetPosition(geom), dGeomGetRotation(geom));
}

void drawLoosePart(const Part& part)
{
    glBindTexture(GL_TEXTURE_2D, dBodyIsEnabled(part.body) ? awakeBoxTexture : asleepBoxTexture);
    drawBodyBox(part);
}

void drawPlaneSphere(dGeomID geom)
{
    const dReal r = dGeomSphereGetRadius(geom);
    glEnable(GL_NORMALIZE);
    pushTransform(dGeomGetPosition(geom), dGeomGetRotation(geom));
    glScaled(r, r, r);
    drawSphere();
    glPopMatrix();
    glDisable(GL_NORMALIZE);
}

// Every plane's scanner ray, from its start to the stored hit point, which is
// then put back to the ray's first 2.04 units.
void drawScanRays()
{
    glBegin(GL_LINES);
    for (Plane& plane : planes) {
        dVector3 start, direction;
        dGeomRayGet(plane.scanRay, start, direction);
        glVertex3d(start[0], start[1], start[2]);
        glVertex3d(plane.rayHitPos[0], plane.rayHitPos[1], plane.rayHitPos[2]);
        for (int k = 0; k < 3; ++k)
            plane.rayHitPos[k] = start[k] + plane.scanDir[k];
    }
    glEnd();
}

// The plane's number in the outline font, standing upright above its tail.
void drawPlaneNumber(const Plane& plane, int p)
{
    if (!fontsBuilt())
        return;
    char number[16];
    const int length = std::snprintf(number, sizeof number, "%d", p);
    pushTransform(dGeomGetPosition(plane.tail.geom), dGeomGetRotation(plane.tail.geom));
    glTranslatef(0, 0, 1);
    glRotatef(90, 1, 0, 0);
    glRotatef(90, 0, 1, 0);
    glPushAttrib(GL_LIST_BIT);
    glListBase(outlineFontBase);
    glCallLists(length, GL_UNSIGNED_BYTE, number);
    glPopAttrib();
    glPopMatrix();
}

void drawHealthBar(const Plane& plane)
{
    dVector3 top;
    dBodyGetRelPointPos(plane.fuselage.body, 0, 0, 1, top);
    const int height = plane.Helth / 20;
    glColor3f(1, 0, 0);
    glBegin(GL_LINES);
    glVertex3d(top[0], top[1], top[2]);
    glVertex3d(top[0], top[1], top[2] + height);
    glEnd();
}

void drawPlane(Plane& plane, int p)
{
    glColor3fv(plane.colour);

    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    glEnable(GL_COLOR_MATERIAL);
    glShadeModel(GL_SMOOTH);
    drawPlaneSphere(plane.tail.geom);
    drawPlaneSphere(plane.leftTip.geom);
    drawPlaneSphere(plane.rightTip.geom);
    if (plane.bubbleCount > 0 && plane.bubble.geom)
        drawPlaneSphere(plane.bubble.geom);
    glDisable(GL_LIGHTING);
    glDisable(GL_LIGHT0);
    glDisable(GL_COLOR_MATERIAL);

    drawBodyBox(plane.fuselage);
    drawBodyBox(plane.wing);

    // Every plane's turn draws all seven rays, in its own colour.
    drawScanRays();
    drawPlaneNumber(plane, p);
    drawHealthBar(plane);
}

void drawBuilding(const Building& building)
{
    const int floors = building.floors < maxBuildingFloors ? building.floors : maxBuildingFloors;
    for (int f = 0; f < floors; ++f) {
        const Part* box = building.floor[f];
        // The whole floor shows whether its first wall is awake.
        const bool awake = dBodyIsEnabled(box[0].body);
        glColor3fv(building.colour);
        glBindTexture(GL_TEXTURE_2D, awake ? awakeSideTexture : asleepSideTexture);
        drawBodyBox(box[0]);
        drawBodyBox(box[1]);
        glBindTexture(GL_TEXTURE_2D, awake ? awakeEndTexture : asleepEndTexture);
        drawBodyBox(box[2]);
        drawBodyBox(box[3]);
        glBindTexture(GL_TEXTURE_2D, blockTexture);
        drawBodyBox(box[4]);
    }
}

void drawArena()
{
    glBindTexture(GL_TEXTURE_2D, blockTexture);
    for (const Block& block : blocks) {
        glColor3fv(block.colour);
        drawStaticBox(block.geom);
    }
    glColor3f(1, 1, 1);
    glBindTexture(GL_TEXTURE_2D, billboardTexture);
    drawStaticBox(billboards[0].geom);

    for (const Pillar& pillar : pillars)
        drawLoosePart({pillar.body, pillar.geom});

    glBindTexture(GL_TEXTURE_2D, planeTexture);
    for (int p = 0; p < planeCount; ++p)
        drawPlane(planes[p], p);

    glColor3f(1, 1, 1);
    for (const Crate& crate : crates)
        drawLoosePart(crate);

    for (const Building& building : buildings)
        drawBuilding(building);
}

const char* glText(GLenum name)
{
    return reinterpret_cast<const char*>(glGetString(name));
}

} // namespace

int drawScene()
{
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    glTranslatef(0, 0, -1);
    glColor3f(1, 0, 0);
    if (!sceneExists() || cnP < 0 || cnP >= planeCount)
        return 1;

    const PlaneRefs refs = readPlaneRefs(cnP);
    soundHooks.frameDrawing();

    GLStrings gl{};
    if (showSoundDebug)
        gl = {glText(GL_RENDERER), glText(GL_VENDOR), glText(GL_VERSION)};
    texts.clear();
    collectTexts(texts, refs.T, refs.V, gl);
    drawTexts(texts);

    glColor3f(1, 1, 1);
    Camera2Readout readout{};
    const auto view = placeCamera(CameraNo, refs, FpsNow, &readout);
    if (CameraNo == 2) {
        texts.clear();
        addCamera2Line(texts, readout);
        drawTexts(texts);
    }
    if (view)
        gluLookAt(view->eye.x, view->eye.y, view->eye.z, view->target.x, view->target.y,
                  view->target.z, 0, 0, 1);

    drawGround();
    drawAxes();
    if (showPaths)
        drawPaths();
    drawArena();
    return 1;
}
