#include "render/fonts.h"

#include "arena/tunables.h"
#include "platform/fonts/fonts.h"
#include "platform/offscreen_gl/offscreen_gl.h"
#include "render/gl_state.h"
#include "render/texts.h"
#include "f5_states.h"

#include <gtest/gtest.h>

#include <GL/gl.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace {

constexpr int size = 256;
// The window is the size of a real frame; most cases draw in its lower left.
constexpr int frameWidth = 1024, frameHeight = 768;

// A list that moves the raster position far away: called by mistake, it shows.
void compileTrap(GLuint name)
{
    glNewList(name, GL_COMPILE);
    glBitmap(0, 0, 0, 0, 1000, 1000, nullptr);
    glEndList();
}

// Makes a trap of every free list name below `end`.
void trapFreeNames(GLuint end)
{
    for (GLuint name = 1; name < end; ++name)
        if (!glIsList(name))
            compileTrap(name);
}

// A picture of one grey: text drawn with it bound takes that grey times its own
// colour, whichever texel the driver reads.
GLuint greyTexture(GLubyte grey)
{
    const GLubyte texels[2 * 2 * 4] = {grey, grey, grey, 255, grey, grey, grey, 255,
                                       grey, grey, grey, 255, grey, grey, grey, 255};
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexImage2D(GL_TEXTURE_2D, 0, 3, 2, 2, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels);
    return name;
}

// What a frame does after its texts: a white surface with another picture, in
// the rectangle given (away from the texts).
void drawSurface(GLuint texture, float x0, float y0, float x1, float y1)
{
    glColor3f(1, 1, 1);
    glBindTexture(GL_TEXTURE_2D, texture);
    glRectf(x0, y0, x1, y1);
}

class FontsTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        gl = std::make_unique<platform::OffscreenGL>(frameWidth, frameHeight);
        reference = std::make_unique<platform::Font>(-10, platform::FW_BOLD, "arial");
        outline = std::make_unique<platform::Font>(-12, platform::FW_BOLD, "Comic Sans MS");
    }
    static void TearDownTestSuite()
    {
        outline.reset();
        reference.reset();
        gl.reset();
    }

    void SetUp() override
    {
        ASSERT_TRUE(gl->ok()) << gl->error();
        glDisable(GL_TEXTURE_2D);
        glDisable(GL_DEPTH_TEST);
        // Pixel coordinates, white text.
        glViewport(0, 0, size, size);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(0, size, 0, size, -1, 1);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        glColor3f(1, 1, 1);
        buildFont();
        buildOutlineFont();
    }
    void TearDown() override { killFonts(); }

    static float rasterX()
    {
        GLfloat pos[4];
        glGetFloatv(GL_CURRENT_RASTER_POSITION, pos);
        return pos[0];
    }

    // How far printing `text` from x = 10 moves the raster position.
    static float advanceOf(const std::string& text)
    {
        glRasterPos2i(10, 100);
        printText("%s", text.c_str());
        return rasterX() - 10;
    }

    static int faceAdvance(const std::string& text)
    {
        int sum = 0;
        for (unsigned char c : text)
            sum += reference->bitmap(c).advance;
        return sum;
    }

    static std::vector<unsigned char> pixels()
    {
        std::vector<unsigned char> red(size * size);
        glReadPixels(0, 0, size, size, GL_RED, GL_UNSIGNED_BYTE, red.data());
        return red;
    }

    static size_t litCount()
    {
        auto p = pixels();
        return size_t(std::count_if(p.begin(), p.end(), [](unsigned char v) { return v > 127; }));
    }

    static std::unique_ptr<platform::OffscreenGL> gl;
    static std::unique_ptr<platform::Font> reference;
    static std::unique_ptr<platform::Font> outline;
};

std::unique_ptr<platform::OffscreenGL> FontsTest::gl;
std::unique_ptr<platform::Font> FontsTest::reference;
std::unique_ptr<platform::Font> FontsTest::outline;

TEST_F(FontsTest, BuildsEveryList)
{
    ASSERT_TRUE(fontsBuilt());
    ASSERT_NE(fontBase, 0u);
    ASSERT_NE(outlineFontBase, 0u);
    for (GLuint i = 0; i < 96; ++i)
        EXPECT_TRUE(glIsList(fontBase + i)) << i;
    for (GLuint i = 0; i < 255; ++i)
        EXPECT_TRUE(glIsList(outlineFontBase + i)) << i;
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(FontsTest, TextAdvancesByTheFaceAdvances)
{
    for (std::string text : {"A", "Hello, World!", "PillarOk: [36], Vel: [12.50]", " ~{}|"})
        EXPECT_EQ(advanceOf(text), float(faceAdvance(text))) << text;
    glRasterPos2i(10, 100);
    printText("%d-%.2f-%s", 42, 1.5, "x");
    EXPECT_EQ(rasterX() - 10, float(faceAdvance("42-1.50-x")));
}

TEST_F(FontsTest, DrawsTheGlyphBitmapUprightAtTheRasterPosition)
{
    for (unsigned char c : {'T', 'g', 'W'}) {
        glClear(GL_COLOR_BUFFER_BIT);
        glRasterPos2i(40, 100);
        printText("%c", c);
        const platform::GlyphBitmap g = reference->bitmap(c);
        ASSERT_TRUE(g.exists);
        const std::vector<unsigned char> red = pixels();
        const int rowBytes = (g.width + 7) / 8;
        size_t expectedLit = 0;
        for (int y = 0; y < g.height; ++y)
            for (int x = 0; x < g.width; ++x) {
                bool on = (g.bits[y * rowBytes + x / 8] >> (7 - x % 8)) & 1;
                expectedLit += on;
                int px = 40 + g.left + x, py = 100 - (g.height - g.top) + y;
                EXPECT_EQ(red[py * size + px] > 127, on) << c << " at " << x << "," << y;
            }
        EXPECT_EQ(litCount(), expectedLit) << c;
        EXPECT_GT(expectedLit, 5u);
    }
}

// Text is drawn from the glyphs directly, not through the lists: both must give
// the same pixels and the same raster position, whatever unpacking state the
// caller has left behind, with a picture bound as in every frame, and though the
// frame goes on with another picture.
TEST_F(FontsTest, TextDrawsWhatTheListsDraw)
{
    std::string all;
    for (int c = 32; c < 128; ++c)
        all += char(c);
    const std::string lines[] = {all.substr(0, 48), all.substr(48), "PillarOk: [36], Vel: [12.50] gjpqy"};
    const GLuint textTexture = greyTexture(204), sceneTexture = greyTexture(102);
    glEnable(GL_TEXTURE_2D);

    auto draw = [&](bool throughLists) {
        glClear(GL_COLOR_BUFFER_BIT);
        glColor3f(1, 1, 1);
        glBindTexture(GL_TEXTURE_2D, textTexture);
        int y = 200;
        for (const std::string& line : lines) {
            glRasterPos2i(3, y);
            y -= 30;
            if (throughLists) {
                std::string offsets;
                for (char c : line)
                    offsets += char(c - 32);
                glListBase(fontBase);
                glCallLists(GLsizei(offsets.size()), GL_UNSIGNED_BYTE, offsets.data());
                glListBase(0);
            } else {
                printText("%s", line.c_str());
            }
        }
        if (!throughLists)
            finishTexts();
        const float x = rasterX();
        drawSurface(sceneTexture, 0, 0, size, 20);
        return std::make_pair(pixels(), x);
    };
    const auto expected = draw(true);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glPixelStorei(GL_UNPACK_LSB_FIRST, GL_TRUE);
    const auto drawn = draw(false);
    GLint alignment = 0;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glPixelStorei(GL_UNPACK_LSB_FIRST, GL_FALSE);
    const GLuint textures[] = {textTexture, sceneTexture};
    glDeleteTextures(2, textures);

    EXPECT_EQ(alignment, 4);  // the caller's state is left as it was
    EXPECT_EQ(drawn.second, expected.second);
    EXPECT_TRUE(drawn.first == expected.first);
    EXPECT_EQ(drawn.first[10 * size + 10], 102);  // the surface below the text
    EXPECT_GT(std::count_if(drawn.first.begin(), drawn.first.end(), [](unsigned char v) { return v > 180; }), 500);
}

// The texts of a frame in each F5 state, drawn as the frame draws them: with its
// projection, its depth test, texturing on and a picture bound, then the frame
// goes on with another picture. Each state's text comes out in one colour, the
// one that the font's lists give in that state.
TEST_F(FontsTest, EveryTextOfAFrameHasTheColourOfTheLists)
{
    const GLuint textTexture = greyTexture(204), sceneTexture = greyTexture(102);
    resizeGLScene(frameWidth, frameHeight);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glEnable(GL_TEXTURE_2D);

    // The frame's first steps: the eye one unit back, the texts' red, the
    // picture that the last frame left bound.
    const auto startFrame = [&] {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glLoadIdentity();
        glTranslatef(0, 0, -1);
        glColor3f(1, 0, 0);
        glBindTexture(GL_TEXTURE_2D, textTexture);
    };
    // The red pixels of the frame (the surface, top right, is grey), by colour.
    const auto redColours = [] {
        std::vector<unsigned char> rgb(size_t(frameWidth) * frameHeight * 3);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(0, 0, frameWidth, frameHeight, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
        std::set<int> colours;
        for (size_t i = 0; i < rgb.size(); i += 3)
            if (rgb[i] != 0 && rgb[i + 1] == 0 && rgb[i + 2] == 0)
                colours.insert(rgb[i]);
        return colours;
    };

    startFrame();
    glRasterPos2f(-0.45f, 0.0f);
    glListBase(fontBase - 32);
    glCallLists(1, GL_UNSIGNED_BYTE, "W");  // through the font's own lists
    glListBase(0);
    drawSurface(sceneTexture, 0.3f, 0.2f, 0.5f, 0.35f);
    const std::set<int> lists = redColours();
    ASSERT_EQ(lists.size(), 1u);

    for (const F5State& s : f5States) {
        showF5State(s);
        startFrame();
        TextList texts;
        collectTexts(texts, Vec3{}, Vec3{}, GLStrings{});
        drawTexts(texts);
        drawSurface(sceneTexture, 0.3f, 0.2f, 0.5f, 0.35f);
        const bool shown = s.status || s.tables || s.sound || s.help;
        EXPECT_EQ(redColours(), shown ? lists : std::set<int>{})
            << "status " << int(s.status) << " tables " << int(s.tables) << " sound " << int(s.sound) << " help "
            << int(s.help);
    }
    resetTextFlags();
    showHelp = 1;
    const GLuint textures[] = {textTexture, sceneTexture};
    glDeleteTextures(2, textures);
}

TEST_F(FontsTest, BytesOutsideTheFontDrawNothingAndCallNoOtherList)
{
    trapFreeNames(outlineFontBase + 600);
    std::string outside;
    for (int c = 1; c < 256; ++c)
        if (c < 32 || c > 127)
            outside += char(c);

    GLfloat before[16], after[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, before);
    EXPECT_EQ(advanceOf(outside), 0.0f);
    glGetFloatv(GL_MODELVIEW_MATRIX, after);
    EXPECT_TRUE(std::equal(before, before + 16, after));  // no outline glyph ran
    EXPECT_EQ(litCount(), 0u);

    // The help lines' tabs close up; DEL has no glyph in the face.
    EXPECT_EQ(advanceOf("C\t\t= Change viewing camera."), float(faceAdvance("C= Change viewing camera.")));
    EXPECT_EQ(advanceOf("\x7f"), 0.0f);
}

TEST_F(FontsTest, LongTextIsCutAt255Characters)
{
    const int i = reference->bitmap('i').advance;
    EXPECT_EQ(advanceOf(std::string(255, 'i')), float(255 * i));
    EXPECT_EQ(advanceOf(std::string(1000, 'i')), float(255 * i));
    glRasterPos2i(10, 100);
    printText("%0300d", 7);  // 299 zeros and a 7: the 7 is cut off
    EXPECT_EQ(rasterX() - 10, float(255 * reference->bitmap('0').advance));
}

TEST_F(FontsTest, EmptyOrNullTextDrawsNothing)
{
    EXPECT_EQ(advanceOf(""), 0.0f);
    const char* none = nullptr;
    glRasterPos2i(10, 100);
    printText(none);
    EXPECT_EQ(rasterX(), 10.0f);
    EXPECT_EQ(litCount(), 0u);
}

// The polygons that the outline list of `code` draws, as feedback in window
// coordinates (x, y, z per corner), under an identity projection.
std::vector<std::vector<std::array<GLfloat, 3>>> outlinePolygons(unsigned char code)
{
    std::vector<GLfloat> buffer(1 << 20);
    glFeedbackBuffer(GLsizei(buffer.size()), GL_3D, buffer.data());
    glRenderMode(GL_FEEDBACK);
    glPushMatrix();
    glPushAttrib(GL_LIST_BIT);
    glListBase(outlineFontBase);
    glCallLists(1, GL_UNSIGNED_BYTE, &code);
    glPopAttrib();
    glPopMatrix();
    const GLint values = glRenderMode(GL_RENDER);

    std::vector<std::vector<std::array<GLfloat, 3>>> polygons;
    for (GLint i = 0; i < values;) {
        EXPECT_EQ(buffer[i], GLfloat(GL_POLYGON_TOKEN));
        const int n = int(buffer[i + 1]);
        auto& polygon = polygons.emplace_back();
        for (int v = 0; v < n; ++v)
            polygon.push_back({buffer[i + 2 + 3 * v], buffer[i + 3 + 3 * v], buffer[i + 4 + 3 * v]});
        i += 2 + 3 * n;
    }
    return polygons;
}

bool near(GLfloat a, GLfloat b)
{
    return std::abs(a - b) < 1e-3f;
}

TEST_F(FontsTest, OutlineGlyphsAreSolidsOneFifthOfAnEmDeep)
{
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    const platform::GlyphOutline eight = outline->outline('8', 0.0);

    // A shear (x and y lean with z) keeps every face and wall in sight; window z
    // stays 0.5 + z / 2, so the front face (z = 0) lies at 0.5 and the back
    // face (z = -0.2) at 0.4. Window x of the front is (1 + x) * 128 (em units).
    const GLfloat shear[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0.5f, 0.25f, 1, 0, 0, 0, 0, 1};
    glLoadMatrixf(shear);
    int front = 0, back = 0, sides = 0;
    GLfloat minX = 1e9f, maxX = -1e9f;
    for (const auto& polygon : outlinePolygons('8')) {
        int atFront = 0, atBack = 0;
        for (const auto& p : polygon) {
            atFront += near(p[2], 0.5f);
            atBack += near(p[2], 0.4f);
        }
        EXPECT_EQ(atFront + atBack, int(polygon.size()));
        if (atBack == 0)
            for (const auto& p : polygon) {
                minX = std::min(minX, p[0]);
                maxX = std::max(maxX, p[0]);
            }
        front += atBack == 0;
        back += atFront == 0;
        sides += atFront > 0 && atBack > 0;
    }
    EXPECT_GT(front, 10);
    EXPECT_EQ(back, front);
    EXPECT_GT(sides, 20);
    EXPECT_GE(minX, 128.0f - 1.0f);
    EXPECT_LE(maxX, 128.0f * (1 + float(eight.advance)) + 1.0f);
    EXPECT_GT(maxX - minX, 128.0f * 0.3f);

    // Each list moves the origin on by its glyph's advance.
    glLoadIdentity();
    glPushAttrib(GL_LIST_BIT);
    glListBase(outlineFontBase);
    glCallLists(2, GL_UNSIGNED_BYTE, "88");
    glPopAttrib();
    GLfloat m[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    EXPECT_NEAR(m[12], 2 * eight.advance, 1e-5);
}

TEST_F(FontsTest, AfterKillFontsNothingCallsTheOldLists)
{
    const GLuint oldBase = fontBase, oldOutline = outlineFontBase;
    killFonts();
    EXPECT_FALSE(fontsBuilt());
    EXPECT_FALSE(glIsList(oldBase));
    EXPECT_FALSE(glIsList(oldOutline + '1'));

    // GL may hand the names out again; text must not reach the new lists.
    trapFreeNames(std::max(oldBase + 96, oldOutline + 256) + 100);
    EXPECT_EQ(advanceOf("Still here?"), 0.0f);
    EXPECT_EQ(litCount(), 0u);

    // A second kill (another far mouse move) deletes nobody else's lists.
    killFonts();
    EXPECT_TRUE(glIsList(oldBase));
    EXPECT_TRUE(glIsList(oldOutline + 255));
}

} // namespace
