// The drawing routines the scene is made of: placing a body's frame, the
// textured box, the unit sphere, the ground, the axes with the arena frame and
// the planned paths. Immediate-mode GL 1.1; the sphere is a display list.
#pragma once

#include <GL/gl.h>
#include <ode/ode.h>

// List name of the unit sphere; 0 until the first drawSphere makes it.
extern GLuint sphereList;

// How often each icosahedron face is split on the way to the sphere.
constexpr int sphereDepth = 1;

extern const float icosahedronVertices[12][3];
extern const int icosahedronFaces[20][3];

// Pushes the model-view matrix and moves it onto a body or geom placed at pos
// with ODE's 3 x 4 row-major rotation R. The caller pops it.
void pushTransform(const dReal* pos, const dReal* R);

// A box of the given side lengths centred on the origin; every face shows the
// whole bound texture once.
void drawTexturedBox(const dReal* sides);

// The unit sphere with normals, compiled into sphereList on first use.
void drawSphere();

// One face of the sphere: the triangle a, b, c on the unit sphere, split
// depth times.
void drawSpherePatch(const float* a, const float* b, const float* c, int depth);

// The ground quad over the arena, its texture repeated ten times each way.
void drawGround();

// The three axes and the arena's frame on the ground and 10 above it. Leaves
// the line width at 2.5 and the colour white.
void drawAxes();

// Every plane's planned path, 10 above the ground, in the plane's colour.
void drawPaths();
