// Times what the fonts cost: building both list sets at start-up (the first
// build includes fontconfig's and FreeType's own start), and drawing a status
// line with the bitmap font. Needs an X display (a hidden window holds the GL
// context).
//
//   fonts_bench [builds]

#include "render/fonts.h"
#include "platform/offscreen_gl/offscreen_gl.h"

#include <GL/gl.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace {

using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

} // namespace

int main(int argc, char** argv)
{
    const int builds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;
    platform::OffscreenGL gl(640, 480);
    if (!gl.ok()) {
        std::fprintf(stderr, "no GL context: %s\n", gl.error().c_str());
        return 1;
    }

    double first = 0, bitmapTotal = 0, outlineTotal = 0;
    for (int i = 0; i < builds; ++i) {
        auto start = Clock::now();
        buildFont();
        glFinish();
        const double bitmap = msSince(start);
        start = Clock::now();
        buildOutlineFont();
        glFinish();
        const double outline = msSince(start);
        if (i == 0)
            first = bitmap + outline;
        bitmapTotal += bitmap;
        outlineTotal += outline;
        if (i + 1 < builds)
            killFonts();
    }

    const int lines = 2000;
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, 640, 0, 480, -1, 1);
    auto start = Clock::now();
    for (int i = 0; i < lines; ++i) {
        glRasterPos2i(5, 5 + i % 470);
        printText("FpsNow[%.2f], Gravity:[%.2f], TStepSz:[%.3f], ThrustF:[%.2f], cnP:[%d], GameMode(n)[%d]",
                  60.0, -0.5, 0.05, 0.3, 0, 1);
    }
    glFinish();
    const double perLine = msSince(start) / lines;
    killFonts();

    std::printf("first build (both fonts, cold): %.1f ms\n", first);
    std::printf("mean build over %d: bitmap font %.1f ms, outline font %.1f ms\n", builds,
                bitmapTotal / builds, outlineTotal / builds);
    std::printf("status line drawn: %.3f ms\n", perLine);
    return 0;
}
