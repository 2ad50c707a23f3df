// The two fonts, held as GL display lists: a bitmap font for the on-screen texts
// and an extruded outline font for the plane numbers.
#pragma once

#include <GL/gl.h>

extern GLuint fontBase;
extern GLuint outlineFontBase;

void buildFont();
void buildOutlineFont();
void killFonts();

// Formats by the printf rules and draws at the current raster position.
void printText(const char* format, ...) __attribute__((format(printf, 1, 2)));
