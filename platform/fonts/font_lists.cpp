// GL display lists from glyphs: bitmaps for text at the raster position, and
// outlines filled by the GLU tessellator and extruded into solids.

#include "platform/fonts/fonts.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <array>
#include <cmath>
#include <deque>

namespace platform {

namespace {

// What the tessellator hands back: the corners of independent triangles (the
// edge-flag callback keeps it from making fans and strips), and the points it
// made where contours cross.
struct Triangulation {
    std::deque<std::array<GLdouble, 3>> points;
    std::vector<Point2> corners;

    static void GLAPIENTRY edgeFlag(GLboolean, void*) {}

    static void GLAPIENTRY vertex(void* point, void* self)
    {
        const auto& p = *static_cast<std::array<GLdouble, 3>*>(point);
        static_cast<Triangulation*>(self)->corners.push_back({p[0], p[1]});
    }

    static void GLAPIENTRY combine(GLdouble coords[3], void*[4], GLfloat[4], void** out, void* self)
    {
        auto& points = static_cast<Triangulation*>(self)->points;
        points.push_back({coords[0], coords[1], coords[2]});
        *out = &points.back();
    }
};

// GLU takes every callback as this type, which stands for any function.
template <typename F>
_GLUfuncptr callback(F* function)
{
    return reinterpret_cast<_GLUfuncptr>(function);
}

double cross(Point2 a, Point2 b, Point2 c)
{
    return (b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x);
}

// The bitmaps are packed one byte per row end, most significant bit first. Call
// with the client pixel-store state saved.
void setGlyphUnpacking()
{
    glPixelStorei(GL_UNPACK_SWAP_BYTES, GL_FALSE);
    glPixelStorei(GL_UNPACK_LSB_FIRST, GL_FALSE);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    glPixelStorei(GL_UNPACK_SKIP_ROWS, 0);
    glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
}

void emitBitmap(const GlyphBitmap& glyph)
{
    // A glyph with no pixels (the space) still needs a bitmap to carry its
    // advance: lists refuse a bitmap without data, so it gets one blank pixel.
    static const GLubyte blank = 0;
    if (glyph.bits.empty())
        glBitmap(1, 1, 0, 0, GLfloat(glyph.advance), 0, &blank);
    else
        glBitmap(glyph.width, glyph.height, GLfloat(-glyph.left), GLfloat(glyph.height - glyph.top),
                 GLfloat(glyph.advance), 0, glyph.bits.data());
}

// One corner of the solid: its normal, then its place (GL_N3F_V3F).
struct Corner {
    GLfloat normal[3];
    GLfloat place[3];
};

// The glyph as one run of triangles: the front face at z = 0, and with an
// extrusion the back face and the side walls. Drawn from an array, the list
// compiles many times faster than from one call per vertex.
void emitSolid(const GlyphOutline& glyph, float extrusion, std::vector<Corner>& corners)
{
    if (glyph.contours.empty())
        return;
    const std::vector<Point2> triangles = tessellate(glyph.contours);
    const auto add = [&corners](GLfloat nx, GLfloat ny, GLfloat nz, Point2 p, GLfloat z) {
        corners.push_back({{nx, ny, nz}, {GLfloat(p.x), GLfloat(p.y), z}});
    };
    corners.clear();
    for (const Point2& p : triangles)
        add(0, 0, 1, p, 0);
    if (extrusion != 0) {
        const GLfloat back = -extrusion;
        // The back face looks the other way, so its triangles run the other way round.
        for (size_t i = triangles.size(); i-- > 0;)
            add(0, 0, -1, triangles[i], back);
        // A wall along each edge, facing away from the filled side (the left).
        for (const auto& contour : glyph.contours) {
            for (size_t i = 0; i < contour.size(); ++i) {
                const Point2 a = contour[i], b = contour[(i + 1) % contour.size()];
                const double length = std::hypot(b.x - a.x, b.y - a.y);
                const GLfloat nx = GLfloat((b.y - a.y) / length), ny = GLfloat((a.x - b.x) / length);
                add(nx, ny, 0, b, 0);
                add(nx, ny, 0, a, 0);
                add(nx, ny, 0, a, back);
                add(nx, ny, 0, b, 0);
                add(nx, ny, 0, a, back);
                add(nx, ny, 0, b, back);
            }
        }
    }
    glInterleavedArrays(GL_N3F_V3F, 0, corners.data());
    glDrawArrays(GL_TRIANGLES, 0, GLsizei(corners.size()));
}

} // namespace

std::vector<Point2> tessellate(const std::vector<std::vector<Point2>>& contours)
{
    Triangulation result;
    GLUtesselator* tess = gluNewTess();
    if (!tess)
        return {};
    gluTessCallback(tess, GLU_TESS_EDGE_FLAG_DATA, callback(&Triangulation::edgeFlag));
    gluTessCallback(tess, GLU_TESS_VERTEX_DATA, callback(&Triangulation::vertex));
    gluTessCallback(tess, GLU_TESS_COMBINE_DATA, callback(&Triangulation::combine));
    gluTessProperty(tess, GLU_TESS_WINDING_RULE, GLU_TESS_WINDING_NONZERO);
    gluTessNormal(tess, 0, 0, 1);

    gluTessBeginPolygon(tess, &result);
    for (const auto& contour : contours) {
        gluTessBeginContour(tess);
        for (const Point2& p : contour) {
            result.points.push_back({p.x, p.y, 0});
            gluTessVertex(tess, result.points.back().data(), &result.points.back());
        }
        gluTessEndContour(tess);
    }
    gluTessEndPolygon(tess);
    gluDeleteTess(tess);

    // Counter-clockwise, whatever order the tessellator chose; a failed polygon
    // leaves an incomplete triangle, which is dropped.
    std::vector<Point2>& corners = result.corners;
    corners.resize(corners.size() / 3 * 3);
    for (size_t i = 0; i < corners.size(); i += 3)
        if (cross(corners[i], corners[i + 1], corners[i + 2]) < 0)
            std::swap(corners[i + 1], corners[i + 2]);
    return std::move(corners);
}

bool useFontBitmaps(const Font& font, unsigned first, unsigned count, unsigned listBase)
{
    if (!font.ok())
        return false;
    // The lists keep the pixels as they were unpacked while compiling.
    glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    setGlyphUnpacking();
    for (unsigned i = 0; i < count; ++i) {
        const unsigned code = first + i;
        glNewList(listBase + i, GL_COMPILE);
        if (code < 256) {
            const GlyphBitmap glyph = font.bitmap(static_cast<unsigned char>(code));
            if (glyph.exists)
                emitBitmap(glyph);
        }
        glEndList();
    }
    glPopClientAttrib();
    return true;
}

void drawGlyphBitmaps(const GlyphBitmap* const* glyphs, size_t count)
{
    glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    setGlyphUnpacking();
    for (size_t i = 0; i < count; ++i)
        if (glyphs[i] && glyphs[i]->exists)
            emitBitmap(*glyphs[i]);
    glPopClientAttrib();
}

bool useFontOutlines(const Font& font, unsigned first, unsigned count, unsigned listBase,
                     float deviation, float extrusion)
{
    if (!font.ok())
        return false;
    // The arrays are read while each list compiles; the caller's array state
    // is left as it was.
    glPushClientAttrib(GL_CLIENT_VERTEX_ARRAY_BIT);
    std::vector<Corner> corners;
    for (unsigned i = 0; i < count; ++i) {
        const unsigned code = first + i;
        glNewList(listBase + i, GL_COMPILE);
        if (code < 256) {
            const GlyphOutline glyph = font.outline(static_cast<unsigned char>(code), deviation);
            if (glyph.exists) {
                emitSolid(glyph, extrusion, corners);
                glTranslatef(GLfloat(glyph.advance), 0, 0);
            }
        }
        glEndList();
    }
    glPopClientAttrib();
    return true;
}

} // namespace platform
