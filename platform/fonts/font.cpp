// Glyphs of a face through FreeType: thresholded bitmaps at a pixel height, and
// outlines in em units with their curves cut into chords.

#include "platform/fonts/fonts.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace platform {

char32_t ansiToUnicode(unsigned char code)
{
    // 0x80 to 0x9F, where the code page differs from Latin-1; 0 is undefined.
    static const char32_t high[32] = {
        0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
        0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
        0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
        0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
    };
    if (code < 0x20 || code == 0x7F)
        return 0;
    if (code >= 0x80 && code < 0xA0)
        return high[code - 0x80];
    return code;
}

struct Font::Face {
    FT_Library library = nullptr;
    FT_Face face = nullptr;

    ~Face()
    {
        if (face)
            FT_Done_Face(face);
        if (library)
            FT_Done_FreeType(library);
    }

    // The face's glyph index for a code, 0 when it has none.
    FT_UInt glyphIndex(unsigned char code) const
    {
        char32_t c = ansiToUnicode(code);
        return c ? FT_Get_Char_Index(face, c) : 0;
    }
};

Font::Font(int height, int weight, const std::string& faceName)
    : file_(findFontFile(faceName, weight))
{
    if (file_.path.empty())
        return;
    auto face = std::make_unique<Face>();
    if (FT_Init_FreeType(&face->library) != 0)
        return;
    if (FT_New_Face(face->library, file_.path.c_str(), file_.index, &face->face) != 0) {
        face->face = nullptr;
        return;
    }
    FT_Select_Charmap(face->face, FT_ENCODING_UNICODE);
    int pixels = height == 0 ? 12 : std::abs(height);
    if (FT_Set_Pixel_Sizes(face->face, 0, pixels) != 0)
        return;
    face_ = std::move(face);
}

Font::~Font() = default;

bool Font::ok() const
{
    return face_ != nullptr;
}

GlyphBitmap Font::bitmap(unsigned char code) const
{
    GlyphBitmap glyph;
    if (!face_)
        return glyph;
    FT_UInt index = face_->glyphIndex(code);
    if (index == 0 || FT_Load_Glyph(face_->face, index, FT_LOAD_RENDER) != 0)
        return glyph;
    const FT_GlyphSlot slot = face_->face->glyph;
    const FT_Bitmap& source = slot->bitmap;
    glyph.exists = true;
    glyph.advance = static_cast<int>((slot->advance.x + 32) >> 6);
    if (source.pixel_mode != FT_PIXEL_MODE_GRAY && source.pixel_mode != FT_PIXEL_MODE_MONO)
        return glyph;
    glyph.width = static_cast<int>(source.width);
    glyph.height = static_cast<int>(source.rows);
    glyph.left = slot->bitmap_left;
    glyph.top = slot->bitmap_top;
    const int rowBytes = (glyph.width + 7) / 8;
    glyph.bits.assign(static_cast<size_t>(rowBytes) * glyph.height, 0);
    for (int row = 0; row < glyph.height; ++row) {
        // FreeType's rows run top down (for a positive pitch), GL's bottom up.
        const unsigned char* in = source.pitch >= 0
            ? source.buffer + static_cast<ptrdiff_t>(row) * source.pitch
            : source.buffer + static_cast<ptrdiff_t>(glyph.height - 1 - row) * -source.pitch;
        std::uint8_t* out = glyph.bits.data() + static_cast<size_t>(glyph.height - 1 - row) * rowBytes;
        for (int x = 0; x < glyph.width; ++x) {
            bool on = source.pixel_mode == FT_PIXEL_MODE_GRAY ? in[x] >= 128
                                                              : (in[x / 8] >> (7 - x % 8)) & 1;
            if (on)
                out[x / 8] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
        }
    }
    return glyph;
}

namespace {

// Collects an outline's contours, cutting each curve into as many equal steps
// of its parameter as keep the chords within the tolerance (the chord's distance
// from a curve is at most |second derivative| / 8 per squared step).
struct Flattener {
    double tolerance;  // design units
    std::vector<std::vector<Point2>> contours;
    Point2 pen;

    static Point2 point(const FT_Vector* v) { return {double(v->x), double(v->y)}; }

    int steps(double secondDerivative) const
    {
        double n = std::ceil(std::sqrt(secondDerivative / (8 * tolerance)));
        return std::clamp(static_cast<int>(n), 1, 64);
    }

    void add(Point2 p)
    {
        contours.back().push_back(p);
        pen = p;
    }

    static int moveTo(const FT_Vector* to, void* user)
    {
        auto* self = static_cast<Flattener*>(user);
        self->contours.emplace_back();
        self->add(point(to));
        return 0;
    }

    static int lineTo(const FT_Vector* to, void* user)
    {
        static_cast<Flattener*>(user)->add(point(to));
        return 0;
    }

    static int conicTo(const FT_Vector* control, const FT_Vector* to, void* user)
    {
        auto* self = static_cast<Flattener*>(user);
        const Point2 p0 = self->pen, p1 = point(control), p2 = point(to);
        const int n = self->steps(2 * std::hypot(p0.x - 2 * p1.x + p2.x, p0.y - 2 * p1.y + p2.y));
        for (int i = 1; i <= n; ++i) {
            const double t = double(i) / n, s = 1 - t;
            self->add({s * s * p0.x + 2 * s * t * p1.x + t * t * p2.x,
                       s * s * p0.y + 2 * s * t * p1.y + t * t * p2.y});
        }
        return 0;
    }

    static int cubicTo(const FT_Vector* control1, const FT_Vector* control2, const FT_Vector* to,
                       void* user)
    {
        auto* self = static_cast<Flattener*>(user);
        const Point2 p0 = self->pen, p1 = point(control1), p2 = point(control2), p3 = point(to);
        const double bend = std::max(std::hypot(p0.x - 2 * p1.x + p2.x, p0.y - 2 * p1.y + p2.y),
                                     std::hypot(p1.x - 2 * p2.x + p3.x, p1.y - 2 * p2.y + p3.y));
        const int n = self->steps(6 * bend);
        for (int i = 1; i <= n; ++i) {
            const double t = double(i) / n, s = 1 - t;
            const double a = s * s * s, b = 3 * s * s * t, c = 3 * s * t * t, d = t * t * t;
            self->add({a * p0.x + b * p1.x + c * p2.x + d * p3.x,
                       a * p0.y + b * p1.y + c * p2.y + d * p3.y});
        }
        return 0;
    }
};

bool samePoint(Point2 a, Point2 b)
{
    return a.x == b.x && a.y == b.y;
}

// Drops repeated points and the closing point, and contours that enclose nothing.
void tidy(std::vector<std::vector<Point2>>& contours)
{
    for (auto& contour : contours) {
        auto end = std::unique(contour.begin(), contour.end(), samePoint);
        contour.erase(end, contour.end());
        while (contour.size() > 1 && samePoint(contour.front(), contour.back()))
            contour.pop_back();
    }
    std::erase_if(contours, [](const std::vector<Point2>& c) { return c.size() < 3; });
}

} // namespace

GlyphOutline Font::outline(unsigned char code, double deviation) const
{
    GlyphOutline glyph;
    if (!face_ || face_->face->units_per_EM == 0)
        return glyph;
    FT_UInt index = face_->glyphIndex(code);
    if (index == 0 || FT_Load_Glyph(face_->face, index, FT_LOAD_NO_SCALE) != 0)
        return glyph;
    const FT_GlyphSlot slot = face_->face->glyph;
    if (slot->format != FT_GLYPH_FORMAT_OUTLINE)
        return glyph;

    const double em = face_->face->units_per_EM;
    Flattener flattener{deviation > 0 ? deviation * em : 1.0, {}, {}};
    FT_Outline_Funcs funcs{};
    funcs.move_to = &Flattener::moveTo;
    funcs.line_to = &Flattener::lineTo;
    funcs.conic_to = &Flattener::conicTo;
    funcs.cubic_to = &Flattener::cubicTo;
    if (FT_Outline_Decompose(&slot->outline, &funcs, &flattener) != 0)
        return glyph;
    tidy(flattener.contours);

    // TrueType outlines fill to the right of their direction, PostScript ones to
    // the left; turn the former round so that every glyph fills to the left.
    const bool fillsRight = FT_Outline_Get_Orientation(&slot->outline) == FT_ORIENTATION_TRUETYPE;
    for (auto& contour : flattener.contours) {
        if (fillsRight)
            std::reverse(contour.begin(), contour.end());
        for (Point2& p : contour)
            p = {p.x / em, p.y / em};
    }
    glyph.exists = true;
    glyph.advance = slot->metrics.horiAdvance / em;
    glyph.contours = std::move(flattener.contours);
    return glyph;
}

} // namespace platform
