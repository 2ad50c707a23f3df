// The two fonts, held as GL display lists: a bitmap font for the on-screen texts
// and an extruded outline font for the plane numbers.
#pragma once

#include <GL/gl.h>

// First of the 96 bitmap lists: fontBase + (c - 32) draws code c, 32 to 127.
extern GLuint fontBase;
// First of the 256 outline lists: outlineFontBase + c draws code c. Each list
// draws a solid glyph one em high and 0.2 deep and moves the origin on by its
// advance.
extern GLuint outlineFontBase;

// Both need a current GL context. Each makes its set once.
void buildFont();
void buildOutlineFont();

// Deletes both sets (with the context current). From then on the bases are 0
// and nothing draws text again; a second call does nothing.
void killFonts();

// True while the lists of both fonts exist. Anything that calls the lists
// directly (the scene's plane numbers) asks this first: after killFonts, GL may
// give the old list names to other lists.
bool fontsBuilt();

// Formats by the printf rules and draws at the current raster position with the
// bitmap font, moving the raster position on. Output past 255 characters is cut
// off; bytes outside 32 to 127 (such as TAB) draw nothing and do not move on.
// The driver may hold the last glyphs back and draw them with the state of its
// next drawing: call finishTexts after the last text of a step, before the frame
// goes on with another texture or other state.
void printText(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Draws a text that is already formatted, as printText draws its output.
void printString(const char* text);

// Has GL draw every glyph printed so far, in the state that each was printed in,
// as the font's lists would have drawn them.
void finishTexts();
