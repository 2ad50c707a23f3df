#include "platform/fonts/fonts.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

using platform::Point2;

namespace {

// Twice the signed area of a closed polygon: positive when counter-clockwise.
double signedArea(const std::vector<Point2>& contour)
{
    double sum = 0;
    for (size_t i = 0; i < contour.size(); ++i) {
        const Point2 a = contour[i], b = contour[(i + 1) % contour.size()];
        sum += a.x * b.y - b.x * a.y;
    }
    return sum / 2;
}

double trianglesArea(const std::vector<Point2>& corners, bool* allCounterClockwise)
{
    double sum = 0;
    *allCounterClockwise = true;
    for (size_t i = 0; i + 2 < corners.size(); i += 3) {
        double area = signedArea({corners[i], corners[i + 1], corners[i + 2]});
        *allCounterClockwise = *allCounterClockwise && area >= 0;
        sum += area;
    }
    return sum;
}

std::vector<Point2> square(double x0, double y0, double size, bool clockwise)
{
    std::vector<Point2> s{{x0, y0}, {x0 + size, y0}, {x0 + size, y0 + size}, {x0, y0 + size}};
    if (clockwise)
        std::reverse(s.begin(), s.end());
    return s;
}

bool bitAt(const platform::GlyphBitmap& g, int x, int rowFromBottom)
{
    const int rowBytes = (g.width + 7) / 8;
    return (g.bits[rowFromBottom * rowBytes + x / 8] >> (7 - x % 8)) & 1;
}

int litInRow(const platform::GlyphBitmap& g, int rowFromBottom)
{
    int lit = 0;
    for (int x = 0; x < g.width; ++x)
        lit += bitAt(g, x, rowFromBottom);
    return lit;
}

} // namespace

TEST(FontMatch, PinsTheRequestedFacesToFreeTwins)
{
    struct Case {
        const char* name;
        int weight;
        const char* family;
        const char* file;
    } cases[] = {
        {"arial", platform::FW_BOLD, "Liberation Sans", "LiberationSans-Bold."},
        {"ARIAL", platform::FW_NORMAL, "Liberation Sans", "LiberationSans-Regular."},
        {"Comic Sans MS", platform::FW_BOLD, "Comic Neue", "ComicNeue-Bold."},
        // An unknown name never gets fontconfig's substitute (a script face).
        {"No Such Face At All", platform::FW_BOLD, "DejaVu Sans", "DejaVuSans-Bold."},
        {"", platform::FW_BOLD, "DejaVu Sans", "DejaVuSans-Bold."},
    };
    for (const Case& c : cases) {
        const platform::FontFile file = platform::findFontFile(c.name, c.weight);
        EXPECT_EQ(file.family, c.family) << c.name;
        EXPECT_NE(file.path.find(c.file), std::string::npos) << c.name << ": " << file.path;
    }
}

TEST(FontMatch, MapsWindowsAnsiCodes)
{
    EXPECT_EQ(platform::ansiToUnicode('A'), U'A');
    EXPECT_EQ(platform::ansiToUnicode(' '), U' ');
    EXPECT_EQ(platform::ansiToUnicode(0x80), U'\u20AC');
    EXPECT_EQ(platform::ansiToUnicode(0x9F), U'\u0178');
    EXPECT_EQ(platform::ansiToUnicode(0xE9), U'\u00E9');
    EXPECT_EQ(platform::ansiToUnicode(0xFF), U'\u00FF');
    for (unsigned char none : {0x00, 0x09, 0x1F, 0x7F, 0x81, 0x8D, 0x8F, 0x90, 0x9D})
        EXPECT_EQ(platform::ansiToUnicode(none), 0u) << int(none);
}

TEST(FontBitmaps, GlyphsAreThresholdedAndStoredBottomRowFirst)
{
    platform::Font font(-10, platform::FW_BOLD, "arial");
    ASSERT_TRUE(font.ok());

    const platform::GlyphBitmap t = font.bitmap('T');
    ASSERT_TRUE(t.exists);
    ASSERT_GT(t.height, 4);
    // A 10-pixel face: capitals about 7 pixels tall, standing on the baseline.
    EXPECT_LE(t.height, 10);
    EXPECT_EQ(t.top, t.height);
    EXPECT_EQ(t.bits.size(), size_t((t.width + 7) / 8 * t.height));
    // The bar is the last row stored, the stem alone the first.
    EXPECT_GE(litInRow(t, t.height - 1), t.width - 1);
    EXPECT_LE(litInRow(t, 0), 3);
    EXPECT_GE(litInRow(t, 0), 1);

    const platform::GlyphBitmap i = font.bitmap('i'), w = font.bitmap('W');
    EXPECT_GT(w.advance, i.advance);
    EXPECT_GE(i.advance, 2);

    const platform::GlyphBitmap space = font.bitmap(' ');
    EXPECT_TRUE(space.exists);
    EXPECT_GT(space.advance, 0);
    EXPECT_TRUE(space.bits.empty());

    EXPECT_FALSE(font.bitmap('\t').exists);
    EXPECT_FALSE(font.bitmap(0x7F).exists);
    EXPECT_FALSE(font.bitmap(0x81).exists);
}

TEST(FontOutlines, ContoursAreInEmUnitsAndFillToTheLeft)
{
    // One face with PostScript outlines and one with TrueType outlines, whose
    // contours run the other way round.
    for (const char* name : {"Comic Sans MS", "arial"}) {
        platform::Font font(-12, platform::FW_BOLD, name);
        ASSERT_TRUE(font.ok()) << name;
        const platform::GlyphOutline o = font.outline('O', 0.0);
        ASSERT_TRUE(o.exists) << name;
        ASSERT_EQ(o.contours.size(), 2u) << name;
        double outer = signedArea(o.contours[0]), hole = signedArea(o.contours[1]);
        if (std::abs(hole) > std::abs(outer))
            std::swap(outer, hole);
        EXPECT_GT(outer, 0.1) << name;
        EXPECT_LT(hole, 0) << name;
        EXPECT_LT(outer, 1.0) << name;
        EXPECT_GT(o.advance, 0.4) << name;
        EXPECT_LT(o.advance, 1.2) << name;
        for (const auto& contour : o.contours)
            for (const Point2& p : contour) {
                EXPECT_GT(p.x, -0.2);
                EXPECT_LT(p.x, o.advance + 0.2);
                EXPECT_GT(p.y, -0.3);
                EXPECT_LT(p.y, 1.0);
            }

        const platform::GlyphOutline space = font.outline(' ', 0.0);
        EXPECT_TRUE(space.exists);
        EXPECT_TRUE(space.contours.empty());
        EXPECT_GT(space.advance, 0.1);
        EXPECT_FALSE(font.outline(0, 0.0).exists);
        EXPECT_FALSE(font.outline('\t', 0.0).exists);
    }
}

TEST(Tessellation, FillsByNonZeroWindingInCounterClockwiseTriangles)
{
    bool ccw = false;
    // A square with a square hole.
    EXPECT_NEAR(trianglesArea(platform::tessellate({square(0, 0, 1, false), square(0.25, 0.25, 0.5, true)}), &ccw),
                0.75, 1e-9);
    EXPECT_TRUE(ccw);
    // Two overlapping squares running the same way fill their union once.
    EXPECT_NEAR(trianglesArea(platform::tessellate({square(0, 0, 1, false), square(0.5, 0.5, 1, false)}), &ccw),
                1.75, 1e-9);
    EXPECT_TRUE(ccw);
    EXPECT_TRUE(platform::tessellate({}).empty());

    // A glyph fills its outer contour less its hole.
    platform::Font font(-12, platform::FW_BOLD, "Comic Sans MS");
    const platform::GlyphOutline o = font.outline('O', 0.0);
    ASSERT_EQ(o.contours.size(), 2u);
    EXPECT_NEAR(trianglesArea(platform::tessellate(o.contours), &ccw),
                signedArea(o.contours[0]) + signedArea(o.contours[1]), 1e-9);
    EXPECT_TRUE(ccw);
}
