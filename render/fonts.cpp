#include "render/fonts.h"

#include "platform/fonts/fonts.h"

#include <cstdarg>
#include <cstdio>
#include <vector>

GLuint fontBase;
GLuint outlineFontBase;

namespace {

constexpr GLsizei bitmapListCount = 96;   // codes 32 to 127
constexpr GLsizei outlineListCount = 256; // codes 0 to 255; 255 stays empty
constexpr unsigned char firstBitmapCode = 32;
constexpr unsigned char lastBitmapCode = 127;
constexpr size_t maxTextLength = 255;     // characters drawn of one text

// The bitmap font's glyphs for the codes 32 to 127, the same that its lists draw,
// kept while the lists exist: printString draws them directly (see there).
std::vector<platform::GlyphBitmap> bitmapGlyphs;

// Reserves `count` list names and has `fill` compile them; when it cannot, the
// names go back and the result is 0.
template <typename Fill>
GLuint makeLists(GLsizei count, Fill fill)
{
    GLuint base = glGenLists(count);
    if (base != 0 && !fill(base)) {
        glDeleteLists(base, count);
        base = 0;
    }
    return base;
}

} // namespace

void buildFont()
{
    if (fontBase != 0)
        return;
    fontBase = makeLists(bitmapListCount, [](GLuint base) {
        platform::Font font(-10, platform::FW_BOLD, "arial");
        if (!platform::useFontBitmaps(font, firstBitmapCode, bitmapListCount, base))
            return false;
        bitmapGlyphs.clear();
        for (int code = firstBitmapCode; code <= lastBitmapCode; ++code)
            bitmapGlyphs.push_back(font.bitmap(static_cast<unsigned char>(code)));
        return true;
    });
}

void buildOutlineFont()
{
    if (outlineFontBase != 0)
        return;
    // Glyphs for codes 0 to 254 in em units, 0.2 deep, curves as close as the
    // face's design allows.
    outlineFontBase = makeLists(outlineListCount, [](GLuint base) {
        platform::Font font(-12, platform::FW_BOLD, "Comic Sans MS");
        return platform::useFontOutlines(font, 0, outlineListCount - 1, base, 0.0f, 0.2f);
    });
}

void killFonts()
{
    if (fontBase != 0)
        glDeleteLists(fontBase, bitmapListCount);
    if (outlineFontBase != 0)
        glDeleteLists(outlineFontBase, outlineListCount);
    fontBase = 0;
    outlineFontBase = 0;
    bitmapGlyphs = {};
}

bool fontsBuilt()
{
    return fontBase != 0 && outlineFontBase != 0;
}

void printString(const char* text)
{
    if (!text || fontBase == 0)
        return;

    // The glyphs are drawn as the bitmaps that the font's lists hold, but given
    // directly rather than by calling the lists: a software GL driver turns each
    // bitmap compiled into a list into a texture of its own and draws every
    // called list as a draw of its own, holding a copy of its whole drawing state
    // (some 64 KB) until the frame is rasterised: for the thousand characters of
    // a frame with the status lines and tables, some 60 MB. Bitmaps given
    // directly are gathered into one texture per run of text. The pixels and the
    // raster position come out the same, once finishTexts has been called (see
    // there). Only the codes 32 to 127 have glyphs.
    if (bitmapGlyphs.size() != size_t(bitmapListCount))
        return;
    const platform::GlyphBitmap* glyphs[maxTextLength];
    size_t count = 0;
    for (size_t i = 0; i < maxTextLength && text[i]; ++i) {
        auto code = static_cast<unsigned char>(text[i]);
        if (code >= firstBitmapCode && code <= lastBitmapCode)
            glyphs[count++] = &bitmapGlyphs[code - firstBitmapCode];
    }
    if (count > 0)
        platform::drawGlyphBitmaps(glyphs, count);
}

void finishTexts()
{
    // The software driver holds a run of glyphs back in its texture and draws it
    // when the run ends: at a glyph of another colour or too far away to share
    // the texture, with the state still that of the texts; or else at its next
    // drawing of anything, with the state of that moment. The last run of a
    // frame's texts was thus drawn with the texture that the scene binds next
    // (the ground's) and came out in another colour than the rest, which the
    // font's lists, drawn at once, never do. A clear of no buffer has the run
    // drawn now and clears nothing; a flush would too, but would also have the
    // frame so far rasterised, some 0.5 ms a frame. Once per step, not per text:
    // runs cut short at every text cost nearly as much as the lists.
    if (fontBase != 0)
        glClear(0);
}

void printText(const char* format, ...)
{
    if (!format || fontBase == 0)
        return;
    char text[maxTextLength + 1];
    va_list args;
    va_start(args, format);
    int length = std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    if (length <= 0)
        return;
    printString(text);
}
