#include "feedback.h"

#include <GL/gl.h>

namespace {

constexpr int viewportSide = 1000;
// x, y, z, then RGBA colour, then the four texture coordinates.
constexpr int vertexFloats = 11;

std::array<double, 16> identity()
{
    return {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
}

FeedbackVertex unproject(const GLfloat* v, const std::array<double, 16>& m)
{
    const double eye[3] = {
        (2.0 * v[0] / viewportSide - 1) * feedbackReach,
        (2.0 * v[1] / viewportSide - 1) * feedbackReach,
        -(2.0 * v[2] - 1) * feedbackReach,
    };
    // The inverse of a rigid motion: rotate back by the transpose.
    double p[3];
    for (int i = 0; i < 3; ++i) {
        p[i] = 0;
        for (int k = 0; k < 3; ++k)
            p[i] += m[4 * i + k] * (eye[k] - m[12 + k]);
    }
    FeedbackVertex out{p[0], p[1], p[2], {v[3], v[4], v[5], v[6]}, v[7], v[8]};
    return out;
}

} // namespace

std::array<double, 16> modelViewAfter(const std::function<void()>& setUp)
{
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    setUp();
    std::array<double, 16> m{};
    glGetDoublev(GL_MODELVIEW_MATRIX, m.data());
    glPopMatrix();
    return m;
}

Feedback captureFeedback(const std::function<void()>& draw, const double* modelView)
{
    std::array<double, 16> m = identity();
    if (modelView)
        for (int i = 0; i < 16; ++i)
            m[i] = modelView[i];

    glViewport(0, 0, viewportSide, viewportSide);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-feedbackReach, feedbackReach, -feedbackReach, feedbackReach, -feedbackReach, feedbackReach);
    glMatrixMode(GL_MODELVIEW);
    glLoadMatrixd(m.data());

    std::vector<GLfloat> buffer(1 << 22);
    glFeedbackBuffer(static_cast<GLsizei>(buffer.size()), GL_3D_COLOR_TEXTURE, buffer.data());
    glRenderMode(GL_FEEDBACK);
    draw();
    const int n = glRenderMode(GL_RENDER);

    Feedback out;
    for (int i = 0; i < n;) {
        const int token = static_cast<int>(buffer[i++]);
        switch (token) {
        case GL_POLYGON_TOKEN: {
            const int count = static_cast<int>(buffer[i++]);
            std::vector<FeedbackVertex> polygon;
            for (int k = 0; k < count; ++k, i += vertexFloats)
                polygon.push_back(unproject(&buffer[i], m));
            out.polygons.push_back(polygon);
            break;
        }
        case GL_LINE_TOKEN:
        case GL_LINE_RESET_TOKEN:
            out.lines.push_back({unproject(&buffer[i], m), unproject(&buffer[i + vertexFloats], m)});
            i += 2 * vertexFloats;
            break;
        case GL_BITMAP_TOKEN:
            ++out.bitmaps;
            i += vertexFloats;
            break;
        case GL_POINT_TOKEN:
        case GL_DRAW_PIXEL_TOKEN:
        case GL_COPY_PIXEL_TOKEN:
            i += vertexFloats;
            break;
        case GL_PASS_THROUGH_TOKEN:
            i += 1;
            break;
        default:
            return out; // unknown token: stop rather than misread the rest
        }
    }
    return out;
}
