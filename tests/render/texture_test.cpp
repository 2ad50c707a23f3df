#include "platform/image/picture.h"
#include "platform/offscreen_gl/offscreen_gl.h"
#include "platform/paths.h"
#include "render/cameras.h"
#include "render/gl_state.h"
#include "render/program_dir.h"
#include "render/textures.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

const char* const pictureNames[] = {
    "data/lowres.bmp", "data/pac.bmp", "data/map.bmp", "data/bb1.jpg", "data/bb3.gif", "data/bb2.jpg",
    "info/1.jpg",      "info/2.jpg",   "info/3.jpg",   "info/4.jpg",   "info/5.jpg",   "info/6.jpg",
    "info/7.jpg",      "info/8.jpg",   "info/9.jpg",   "info/10.jpg",  "info/11.jpg",  "info/12.jpg",
    "info/13.jpg",
};

void setProgramDir(const std::string& dir)
{
    ASSERT_LT(dir.size(), sizeof programDir);
    std::memset(programDir, 0, sizeof programDir);
    std::memcpy(programDir, dir.data(), dir.size());
}

class TextureTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { gl = std::make_unique<platform::OffscreenGL>(); }
    static void TearDownTestSuite() { gl.reset(); }

    void SetUp() override
    {
        ASSERT_TRUE(gl->ok()) << gl->error();
        dir = fs::temp_directory_path() /
              ("skarvel-tex-" + std::to_string(::getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir / "sub");
        setProgramDir(dir.string() + "/");
        std::memset(dataTexture, 0, sizeof dataTexture);
        std::memset(infoTexture, 0, sizeof infoTexture);
        glDisable(GL_TEXTURE_2D);
    }
    void TearDown() override { fs::remove_all(dir); }

    void save(const formats::Picture& p, const std::string& name)
    {
        std::string error;
        ASSERT_TRUE(platform::saveBMP(p, (dir / name).string(), error)) << error;
    }

    static std::vector<std::uint8_t> texels(int level, int& width, int& height)
    {
        glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_WIDTH, &width);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_HEIGHT, &height);
        std::vector<std::uint8_t> out(static_cast<size_t>(width) * height * 4);
        glGetTexImage(GL_TEXTURE_2D, level, GL_RGBA, GL_UNSIGNED_BYTE, out.data());
        return out;
    }

    static inline std::unique_ptr<platform::OffscreenGL> gl;
    fs::path dir;
};

struct Rgba {
    int r, g, b, a;
    bool operator==(const Rgba&) const = default;
};
std::ostream& operator<<(std::ostream& os, const Rgba& c)
{
    return os << "(" << c.r << "," << c.g << "," << c.b << "," << c.a << ")";
}
Rgba texel(const std::vector<std::uint8_t>& t, int width, int x, int row)
{
    const std::uint8_t* p = &t[(static_cast<size_t>(row) * width + x) * 4];
    return {p[0], p[1], p[2], p[3]};
}

} // namespace

TEST(TextureSide, NearestPowerOfTwoOnALogScaleClampedToTheLargest)
{
    const int cases[][2] = {{1, 1},     {2, 2},     {3, 4},      {45, 32},    {46, 64},     {90, 64},
                            {91, 128},  {100, 128}, {724, 512},  {725, 1024}, {1024, 1024}, {2048, 2048}};
    for (const auto& c : cases)
        EXPECT_EQ(textureSide(c[0], 4096), c[1]) << c[0] << " pixels";
    EXPECT_EQ(textureSide(4097, 4096), 4096);
    EXPECT_EQ(textureSide(3000, 2048), 2048);
    EXPECT_EQ(textureSide(0, 4096), 0);
    EXPECT_EQ(textureSide(-5, 4096), 0);
}

TEST(PicturePath, AddressesStayAsTheyAreAndOtherNamesGoInTheProgramFolder)
{
    setProgramDir("/opt/saver/");
    EXPECT_EQ(picturePath("data\\pac.bmp"), "/opt/saver/data/pac.bmp");
    EXPECT_EQ(picturePath("http://host/a\\b.jpg"), "http://host/a\\b.jpg");
    EXPECT_EQ(picturePath("x http://host/a.jpg"), "x http://host/a.jpg");
    EXPECT_EQ(picturePath("HTTP://host/a.jpg"), "/opt/saver/HTTP://host/a.jpg");
}

TEST_F(TextureTest, TextureIsBottomRowFirstInRGBOrderStretchedToPowersOfTwo)
{
    // 45 x 46: top half red, bottom half blue, an orange strip down the left.
    formats::Picture p(45, 46);
    p.fill(0, 0, 45, 23, 255, 0, 0);
    p.fill(0, 23, 45, 23, 0, 0, 255);
    p.fill(0, 0, 8, 46, 200, 120, 40);
    save(p, "sub/redblue.bmp");

    GLuint name = 0;
    ASSERT_EQ(buildTexture("sub\\redblue.bmp", &name), 1);
    EXPECT_NE(name, 0u);
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(static_cast<GLuint>(bound), name);

    int w = 0, h = 0;
    const std::vector<std::uint8_t> t = texels(0, w, h);
    ASSERT_EQ(w, 32);
    ASSERT_EQ(h, 64);
    EXPECT_EQ(texel(t, w, 31, 0), (Rgba{0, 0, 255, 255}));    // t = 0: the picture's bottom
    EXPECT_EQ(texel(t, w, 31, 63), (Rgba{255, 0, 0, 255}));   // last row: the picture's top
    EXPECT_EQ(texel(t, w, 0, 0), (Rgba{200, 120, 40, 255}));  // left stays left, no BGR swap
    EXPECT_EQ(texel(t, w, 0, 63), (Rgba{200, 120, 40, 255}));

    GLint mag = 0, min = 0, alpha = -1, wrapS = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &mag);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &min);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &wrapS);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_ALPHA_SIZE, &alpha);
    EXPECT_EQ(mag, GL_LINEAR);
    EXPECT_EQ(min, GL_LINEAR_MIPMAP_NEAREST);
    EXPECT_EQ(wrapS, GL_REPEAT);
    EXPECT_EQ(alpha, 0) << "three colour components, no alpha";

    // A full mipmap chain down to 1 x 1 (level 6 of 32 x 64).
    int lw = 0, lh = 0;
    texels(6, lw, lh);
    EXPECT_EQ(lw, 1);
    EXPECT_EQ(lh, 1);
}

TEST_F(TextureTest, APictureWiderThanTheLargestTextureIsScaledToExactlyThatWidth)
{
    GLint maxSize = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSize);
    ASSERT_GT(maxSize, 0);
    formats::Picture p(maxSize + 1, 1);
    p.fill(0, 0, maxSize + 1, 1, 10, 20, 30);
    save(p, "wide.bmp");
    GLuint name = 0;
    ASSERT_EQ(buildTexture("wide.bmp", &name), 1);
    GLint w = 0, h = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &w);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &h);
    EXPECT_EQ(w, maxSize);
    EXPECT_EQ(h, 1);
}

TEST_F(TextureTest, FailuresStoreNothingAndSayWhichFileAndWhy)
{
    formats::Picture p(4, 4);
    p.fill(0, 0, 4, 4, 1, 2, 3);

    // The longest path allowed loads; one byte more fails.
    const size_t room = maxPicturePath - std::strlen(programDir);
    ASSERT_GT(room, 8u);
    const std::string fits = std::string(room - 4, 'f') + ".bmp";
    save(p, fits);
    GLuint name = 0;
    EXPECT_EQ(buildTexture(fits.c_str(), &name), 1);
    const std::string tooLong = std::string(room - 3, 'f') + ".bmp";
    save(p, tooLong);

    std::ofstream(dir / "garbage.jpg") << "no picture here";
    // A header for a bitmap of 0 x 0 pixels.
    const unsigned char zero[54] = {'B', 'M', 54, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0, 40, 0, 0, 0,
                                    0,   0,   0,  0, 0, 0, 0, 0, 1, 0, 24, 0};
    std::ofstream(dir / "zero.bmp", std::ios::binary).write(reinterpret_cast<const char*>(zero), sizeof zero);

    const std::string failing[] = {"missing.jpg", tooLong, "garbage.jpg", "zero.bmp", "http://localhost/pic.jpg"};
    for (const std::string& n : failing) {
        SCOPED_TRACE(n);
        GLuint untouched = 12345;
        ::testing::internal::CaptureStderr();
        EXPECT_EQ(buildTexture(n.c_str(), &untouched), 0);
        const std::string said = ::testing::internal::GetCapturedStderr();
        EXPECT_EQ(untouched, 12345u);
        EXPECT_NE(said.find("\"" + picturePath(n.c_str()) + "\""), std::string::npos) << said;
    }
    // A program folder too long for programDir: the whole path is refused, not a name in the current folder read.
    setProgramDir("");
    programDirTooLong = dir.string() + "/" + std::string(300, 'd') + "/";
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(buildTexture(fits.c_str(), &name), 0);
    const std::string said = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("\"" + programDirTooLong + fits + "\": the path is longer than 259 characters"), said.npos);
    programDirTooLong.clear();
}

TEST_F(TextureTest, ResizeSetsTheViewportAndA45DegreePerspective)
{
    const double f = 1.0 / std::tan(22.5 * M_PI / 180.0);
    struct Case {
        int width, height;
        GLint viewport[4];
        double aspect;
    } cases[] = {{800, 600, {0, 0, 800, 600}, 800.0 / 600.0}, {640, 0, {0, 0, 640, 1}, 640.0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.height);
        glMatrixMode(GL_MODELVIEW);
        glTranslatef(1, 2, 3);
        glMatrixMode(GL_PROJECTION);
        resizeGLScene(c.width, c.height);

        GLint viewport[4], mode = 0;
        glGetIntegerv(GL_VIEWPORT, viewport);
        glGetIntegerv(GL_MATRIX_MODE, &mode);
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(viewport[i], c.viewport[i]);
        EXPECT_EQ(mode, GL_MODELVIEW);

        GLdouble m[16], mv[16];
        glGetDoublev(GL_PROJECTION_MATRIX, m);
        glGetDoublev(GL_MODELVIEW_MATRIX, mv);
        const double nearZ = 0.1, farZ = 1500.0;
        const double expected[16] = {f / c.aspect, 0, 0, 0, 0, f, 0, 0, 0, 0, (farZ + nearZ) / (nearZ - farZ), -1,
                                     0, 0, 2 * farZ * nearZ / (nearZ - farZ), 0};
        for (int i = 0; i < 16; ++i) {
            EXPECT_NEAR(m[i], expected[i], 1e-5 * (1 + std::fabs(expected[i]))) << "element " << i;
            EXPECT_EQ(mv[i], (i % 5 == 0) ? 1.0 : 0.0) << "model-view element " << i;
        }
    }

    // A minimised window (width 0) still gets a usable projection.
    resizeGLScene(0, 0);
    GLdouble m[16];
    glGetDoublev(GL_PROJECTION_MATRIX, m);
    for (double v : m)
        EXPECT_TRUE(std::isfinite(v));
}

TEST_F(TextureTest, InitGLLoadsTheProgramsNineteenPicturesAndSetsTheFixedState)
{
    setProgramDir(platform::programDirectory());
    cam8Eye[0] = cam8Eye[1] = cam8Eye[2] = 0;
    ASSERT_EQ(initGL(), 1);

    const GLuint filled[] = {dataTexture[0], dataTexture[2], dataTexture[3], dataTexture[5], dataTexture[6],
                             dataTexture[7]};
    std::vector<GLuint> names(std::begin(filled), std::end(filled));
    names.insert(names.end(), std::begin(infoTexture), std::end(infoTexture));
    for (GLuint n : names)
        EXPECT_TRUE(glIsTexture(n)) << n;
    std::sort(names.begin(), names.end());
    EXPECT_EQ(std::adjacent_find(names.begin(), names.end()), names.end()) << "each picture has its own texture";
    EXPECT_EQ(dataTexture[1], 0u);
    EXPECT_EQ(dataTexture[4], 0u);

    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    for (GLenum off : {GL_LIGHTING, GL_CULL_FACE, GL_BLEND, GL_FOG})
        EXPECT_FALSE(glIsEnabled(off)) << off;
    GLint depthFunc = 0, shade = 0, hint = 0;
    glGetIntegerv(GL_DEPTH_FUNC, &depthFunc);
    glGetIntegerv(GL_SHADE_MODEL, &shade);
    glGetIntegerv(GL_PERSPECTIVE_CORRECTION_HINT, &hint);
    EXPECT_EQ(depthFunc, GL_LEQUAL);
    EXPECT_EQ(shade, GL_SMOOTH);
    EXPECT_EQ(hint, GL_NICEST);
    GLfloat clear[4];
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
    EXPECT_FLOAT_EQ(clear[3], 0.5f);
    EXPECT_EQ(clear[0] + clear[1] + clear[2], 0.0f);
    EXPECT_EQ(cam8Eye[0], 150.0f);
    EXPECT_EQ(cam8Eye[1], 150.0f);
    EXPECT_EQ(cam8Eye[2], 100.0f);
}

TEST_F(TextureTest, InitGLStopsAtTheFirstMissingPictureAndSaysWhich)
{
    const std::string built = platform::programDirectory();
    for (const char* n : pictureNames) {
        fs::create_directories((dir / n).parent_path());
        fs::copy_file(fs::path(built) / n, dir / n);
    }
    fs::remove(dir / "info/9.jpg");

    ::testing::internal::CaptureStderr();
    EXPECT_EQ(initGL(), 0);
    const std::string said = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find(dir.string() + "/info/9.jpg"), std::string::npos) << said;

    for (int i : {0, 2, 3, 5, 6, 7})
        EXPECT_NE(dataTexture[i], 0u) << "data " << i;
    for (int k = 0; k < 8; ++k)
        EXPECT_NE(infoTexture[k], 0u) << "info " << k + 1;
    for (int k = 8; k < 13; ++k)
        EXPECT_EQ(infoTexture[k], 0u) << "info " << k + 1 << " was tried";
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
}
