#include "render/fonts.h"

#include "platform/fonts/fonts.h"

#include <cstdarg>
#include <cstdio>

GLuint fontBase;
GLuint outlineFontBase;

namespace {

constexpr GLsizei bitmapListCount = 96;   // codes 32 to 127
constexpr GLsizei outlineListCount = 256; // codes 0 to 255; 255 stays empty
constexpr unsigned char firstBitmapCode = 32;
constexpr unsigned char lastBitmapCode = 127;

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
        return platform::useFontBitmaps(font, firstBitmapCode, bitmapListCount, base);
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
}

bool fontsBuilt()
{
    return fontBase != 0 && outlineFontBase != 0;
}

void printText(const char* format, ...)
{
    if (!format || fontBase == 0)
        return;
    char text[256];
    va_list args;
    va_start(args, format);
    int length = std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    if (length <= 0)
        return;

    // Only the bitmap font's codes are drawn; each becomes its list's offset from
    // fontBase, so no byte can reach a list outside the font's own.
    unsigned char offsets[sizeof text];
    GLsizei count = 0;
    for (const char* c = text; *c; ++c) {
        auto code = static_cast<unsigned char>(*c);
        if (code >= firstBitmapCode && code <= lastBitmapCode)
            offsets[count++] = static_cast<unsigned char>(code - firstBitmapCode);
    }
    if (count == 0)
        return;
    glPushAttrib(GL_LIST_BIT);
    glListBase(fontBase);
    glCallLists(count, GL_UNSIGNED_BYTE, offsets);
    glPopAttrib();
}
