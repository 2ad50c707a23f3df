// Fonts from the system's font files, and the GL display lists made from their
// glyphs: one list per character code, either a bitmap (drawn at the raster
// position) or a solid, extruded outline in units of the em square.
//
// A face is asked for by name, weight and character height; the name is matched
// through fontconfig to an installed face (see findFontFile) and FreeType reads
// its glyphs. Character codes are single bytes in the Windows ANSI code page
// (Windows-1252); a code with no character there, or whose character the face
// lacks, has no glyph and gets an empty list (it draws nothing and does not move
// on).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace platform {

constexpr int FW_NORMAL = 400;
constexpr int FW_BOLD = 700;

// The installed face file that a request for a face name and weight gets.
struct FontFile {
    std::string path;   // empty when no face was found at all
    int index = 0;      // face index inside the file
    std::string family;
};

// Matches a face name to an installed face. Names of faces that are not free are
// pinned to free faces of the same kind: "arial" to Liberation Sans (its metric
// twin), "Comic Sans MS" to Comic Neue, else DejaVu Sans. A name is taken only
// when the face found really is of the family asked for, so fontconfig's own
// substitutes (such as a script face for an unknown name) are never used; a name
// with no match falls back to DejaVu Sans, and only then to any sans-serif face.
FontFile findFontFile(const std::string& faceName, int weight);

// The Unicode character of a Windows-1252 byte, or 0 for the control codes and
// the five bytes the code page leaves undefined.
char32_t ansiToUnicode(unsigned char code);

// A glyph as a 1-bit bitmap: rows from the bottom row up, each row packed
// most-significant bit first and padded to whole bytes, placed relative to the
// pen position on the baseline.
struct GlyphBitmap {
    bool exists = false;  // false: the code has no glyph in the face
    int width = 0;        // pixels
    int height = 0;
    int left = 0;         // from the pen to the bitmap's left edge
    int top = 0;          // from the baseline up to the bitmap's top row
    int advance = 0;      // whole pixels the pen moves on
    std::vector<std::uint8_t> bits;
};

struct Point2 {
    double x = 0;
    double y = 0;
};

// A glyph as flattened closed contours in em units (the em square is 1.0). Each
// contour is given once (its last point is not the first again); outer contours
// run counter-clockwise and holes clockwise, so the filled side is always to the
// left of the direction of travel.
struct GlyphOutline {
    bool exists = false;
    double advance = 0;  // em units
    std::vector<std::vector<Point2>> contours;
};

// Triangles of a filled glyph, three points each, counter-clockwise.
std::vector<Point2> tessellate(const std::vector<std::vector<Point2>>& contours);

class Font {
public:
    // The face for a font request: `height` is the character (em) height in
    // pixels, written negative as the request writes it (its size is what counts).
    Font(int height, int weight, const std::string& faceName);
    ~Font();
    Font(const Font&) = delete;
    Font& operator=(const Font&) = delete;

    bool ok() const;
    const FontFile& file() const { return file_; }

    // The glyph at the requested pixel height, antialiased and thresholded at
    // half coverage.
    GlyphBitmap bitmap(unsigned char code) const;
    // The glyph's outline, curves cut into chords that lie within `deviation` em
    // units of the curve (0: one design unit of the face).
    GlyphOutline outline(unsigned char code, double deviation) const;

private:
    struct Face;
    std::unique_ptr<Face> face_;
    FontFile file_;
};

// Compiles `count` display lists from `listBase` on, one per code from `first`
// on: a glBitmap that draws the glyph and moves the raster position on by its
// advance. Needs a current GL context. False when the font has no face.
bool useFontBitmaps(const Font& font, unsigned first, unsigned count, unsigned listBase);

// Draws glyphs one after the other at the raster position, each as its list from
// useFontBitmaps would: a glBitmap that moves the raster position on by the
// glyph's advance. Null glyphs and glyphs that do not exist draw nothing and do
// not move on. Needs a current GL context.
void drawGlyphBitmaps(const GlyphBitmap* const* glyphs, size_t count);

// Compiles `count` display lists from `listBase` on, one per code from `first`
// on: the glyph as filled polygons in em units, its front face at z = 0 and,
// when `extrusion` is not 0, a back face at z = -extrusion joined to the front by
// side walls; each list then translates the origin along x by the glyph's
// advance. Needs a current GL context. False when the font has no face.
bool useFontOutlines(const Font& font, unsigned first, unsigned count, unsigned listBase,
                     float deviation, float extrusion);

} // namespace platform
