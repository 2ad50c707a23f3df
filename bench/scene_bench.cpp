// Drawn turns per second at 1024 x 768: the whole main-loop turn (simulation
// steps, the drawn frame with its texts, and waiting for GL to finish it) from
// cameras 1, 4 and 7, and the drawn frame's share of the turn; then the same
// with the texts hidden.
//
// Then the floor under those figures: a turn that draws nothing, a turn whose
// frame is only cleared (the least a drawn frame costs), and what one glyph of
// the texts costs through the bitmap font's display lists against the way
// printText draws it, handing the glyph bitmap to glBitmap directly (the
// software driver treats the two very differently).
//
//   scene_bench [turns per camera]
//
// Needs an X display (run under xvfb-run for Mesa's software GL). The pictures
// are loaded from the program's folder when the build made them; otherwise the
// scene is drawn with no texture bound, which the report says.

#include "arena/records.h"
#include "arena/scene.h"
#include "arena/tunables.h"
#include "arena/turn.h"
#include "platform/fonts/fonts.h"
#include "platform/offscreen_gl/offscreen_gl.h"
#include "platform/paths.h"
#include "render/fonts.h"
#include "render/gl_state.h"
#include "render/program_dir.h"
#include "render/scene.h"
#include "render/texts.h"

#include <GL/gl.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

struct Figures {
    double turnsPerSecond;
    double drawShare;
};

// Main-loop turns with `draw` as the frame.
template <typename Draw>
Figures run(int camera, int turns, Draw draw)
{
    double drawing = 0;
    const auto start = Clock::now();
    for (int i = 0; i < turns; ++i) {
        CameraNo = camera; // the demonstration would otherwise switch cameras
        turnStartSteps();
        ++DrawCounter;
        turnSimulationSteps();
        const auto frameStart = Clock::now();
        draw();
        glFinish();
        drawing += secondsSince(frameStart);
        turnEndSteps();
    }
    const double total = secondsSince(start);
    return {turns / total, drawing / total};
}

Figures run(int camera, int turns)
{
    return run(camera, turns, [] { drawScene(); });
}

struct GlyphCost {
    long glyphs;          // a frame's worth, with every text shown
    double listMicros;    // a glyph through the font's lists
    double directMicros;  // the same glyph drawn by printText (glBitmap directly)
};

// Draws every text line `rounds` times in the text step's state and gives the
// time per glyph, waiting for GL to finish.
template <typename DrawLine>
double microsPerGlyph(const TextList& texts, long glyphs, int rounds, DrawLine drawLine)
{
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    glTranslatef(0, 0, -1);
    glFinish();
    const auto start = Clock::now();
    for (int r = 0; r < rounds; ++r)
        for (const TextLine& line : texts) {
            glColor3fv(line.colour);
            glRasterPos2f(line.x, line.y);
            drawLine(line.text);
        }
    glFinish();
    return secondsSince(start) * 1e6 / (static_cast<double>(glyphs) * rounds);
}

GlyphCost measureGlyphs(int rounds)
{
    TextList texts;
    const PlaneRefs refs = readPlaneRefs(cnP);
    collectTexts(texts, refs.T, refs.V, GLStrings{});
    long glyphs = 0;
    for (const TextLine& line : texts)
        for (const char* c = line.text; *c; ++c)
            glyphs += (*c >= 32 && *c <= 126) ? 1 : 0;

    // The font's own lists, called for the bytes that have a glyph.
    const auto lists = [](const char* text) {
        std::string shown;
        for (const char* c = text; *c; ++c)
            if (*c >= 32 && *c <= 126)
                shown += *c;
        glPushAttrib(GL_LIST_BIT);
        glListBase(fontBase - 32);
        glCallLists(static_cast<GLsizei>(shown.size()), GL_UNSIGNED_BYTE, shown.data());
        glPopAttrib();
    };

    GlyphCost cost{glyphs, 0, 0};
    cost.listMicros = microsPerGlyph(texts, glyphs, rounds, lists);
    cost.directMicros = microsPerGlyph(texts, glyphs, rounds, [](const char* text) { printText("%s", text); });
    return cost;
}

} // namespace

int main(int argc, char** argv)
{
    const int turns = argc > 1 ? std::atoi(argv[1]) : 600;

    platform::OffscreenGL gl(1024, 768);
    if (!gl.ok()) {
        std::fprintf(stderr, "no GL context: %s\n", gl.error().c_str());
        return 1;
    }
    const std::string dir = platform::programDirectory();
    std::strncpy(programDir, dir.c_str(), sizeof programDir - 1);

    resizeGLScene(1024, 768);
    const bool textured = initGL() == 1;
    initScene();
    buildFont();
    buildOutlineFont();
    anyKeyPressed = 1;

    // Other work on the machine slows software GL down; the load says how much.
    if (FILE* load = std::fopen("/proc/loadavg", "r")) {
        char text[64] = {};
        if (std::fgets(text, sizeof text, load))
            std::printf("load average: %s", text);
        std::fclose(load);
    }
    std::printf("renderer: %s\n", reinterpret_cast<const char*>(glGetString(GL_RENDERER)));
    std::printf("textures: %s, fonts: %s, texts on\n", textured ? "loaded" : "missing (none bound)",
                fontsBuilt() ? "built" : "missing");
    run(1, 60); // warm up: sphere list, texture uploads, first simulation turns
    for (int camera : {1, 4, 7}) {
        const Figures f = run(camera, turns);
        std::printf("camera %d: %.1f drawn turns/s, drawing %.0f%% of a turn\n", camera, f.turnsPerSecond,
                    100 * f.drawShare);
    }
    // The same with every text hidden, to tell the texts' cost from the scene's.
    showStatus = showTables = showHelp = 0;
    for (int camera : {1, 4, 7}) {
        const Figures f = run(camera, turns);
        std::printf("camera %d, texts off: %.1f drawn turns/s, drawing %.0f%% of a turn\n", camera,
                    f.turnsPerSecond, 100 * f.drawShare);
    }

    // The floor: the simulation alone, and a frame that is only cleared.
    const Figures simulation = run(1, turns, [] {});
    std::printf("turn without drawing: %.1f turns/s (%.2f ms)\n", simulation.turnsPerSecond,
                1000 / simulation.turnsPerSecond);
    const Figures cleared = run(1, turns, [] { glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT); });
    std::printf("turn whose frame is only cleared: %.1f turns/s, drawing %.0f%% of a turn\n",
                cleared.turnsPerSecond, 100 * cleared.drawShare);

    showStatus = showTables = showHelp = 1;
    const GlyphCost glyphs = measureGlyphs(20);
    std::printf("texts: %ld glyphs a frame, %.2f us a glyph through the font's lists, "
                "%.2f us as printText draws it\n",
                glyphs.glyphs, glyphs.listMicros, glyphs.directMicros);

    killFonts();
    destroyScene();
    return 0;
}
