#include "render/textures.h"

#include "platform/image/picture.h"
#include "platform/paths.h"
#include "render/cameras.h"
#include "render/gl_state.h"
#include "render/program_dir.h"

#include <GL/glu.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

struct TextureEntry {
    const char* name;
    GLuint* texture;
};

// The pictures in load order. Those the scene does not draw are still required.
const TextureEntry textureTable[] = {
    {"data\\lowres.bmp", &dataTexture[0]}, {"data\\pac.bmp", &dataTexture[2]},
    {"data\\map.bmp", &dataTexture[3]},    {"data\\bb1.jpg", &dataTexture[5]},
    {"data\\bb3.gif", &dataTexture[6]},    {"data\\bb2.jpg", &dataTexture[7]},
    {"info\\1.jpg", &infoTexture[0]},      {"info\\2.jpg", &infoTexture[1]},
    {"info\\3.jpg", &infoTexture[2]},      {"info\\4.jpg", &infoTexture[3]},
    {"info\\5.jpg", &infoTexture[4]},      {"info\\6.jpg", &infoTexture[5]},
    {"info\\7.jpg", &infoTexture[6]},      {"info\\8.jpg", &infoTexture[7]},
    {"info\\9.jpg", &infoTexture[8]},      {"info\\10.jpg", &infoTexture[9]},
    {"info\\11.jpg", &infoTexture[10]},    {"info\\12.jpg", &infoTexture[11]},
    {"info\\13.jpg", &infoTexture[12]},
};

int failTexture(const std::string& path, const std::string& why)
{
    std::fprintf(stderr, "Cannot load the picture \"%s\": %s\n", path.c_str(), why.c_str());
    return 0;
}

} // namespace

int textureSide(int pixels, int maxSize)
{
    if (pixels <= 0)
        return 0;
    if (pixels > maxSize)
        return maxSize;
    const int exponent = static_cast<int>(std::floor(std::log2(static_cast<double>(pixels)) + 0.5));
    return 1 << exponent;
}

std::vector<std::uint8_t> stretchBottomUp(const formats::Picture& picture, int width, int height)
{
    std::vector<std::uint8_t> texels(static_cast<size_t>(width) * height * 4);
    std::uint8_t* out = texels.data();
    for (int row = 0; row < height; ++row) {
        // The texel's centre, measured from the top, picks the picture row.
        const std::int64_t fromTop = height - 1 - row;
        const int y = static_cast<int>((2 * fromTop + 1) * picture.height / (2 * std::int64_t{height}));
        for (int column = 0; column < width; ++column) {
            const int x = static_cast<int>((2 * std::int64_t{column} + 1) * picture.width / (2 * std::int64_t{width}));
            const std::uint8_t* in = picture.at(x, y);
            out[0] = in[0];
            out[1] = in[1];
            out[2] = in[2];
            out[3] = 255;
            out += 4;
        }
    }
    return texels;
}

std::string picturePath(const char* name)
{
    if (std::strstr(name, "http://"))
        return name;
    // A folder too long for programDir still names the whole path, which the
    // length check then refuses, rather than none (a name in the current folder).
    const std::string folder = programDirTooLong.empty()
                                   ? std::string(programDir, strnlen(programDir, sizeof programDir))
                                   : programDirTooLong;
    return folder + platform::nativePath(name);
}

int buildTexture(const char* name, GLuint* texture)
{
    const std::string path = picturePath(name);
    if (path.size() > maxPicturePath)
        return failTexture(path, "the path is longer than 259 characters");

    formats::Picture picture;
    std::string error;
    if (!platform::loadPicture(path, picture, error))
        return failTexture(path, error);

    GLint maxSize = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSize);
    if (maxSize < 1)
        return failTexture(path, "GL gives no largest texture size");

    const int width = textureSide(picture.width, maxSize);
    const int height = textureSide(picture.height, maxSize);
    if (width == 0 || height == 0)
        return failTexture(path, "the picture has no pixels");

    const std::vector<std::uint8_t> texels = stretchBottomUp(picture, width, height);
    glGenTextures(1, texture);
    glBindTexture(GL_TEXTURE_2D, *texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_NEAREST);
    gluBuild2DMipmaps(GL_TEXTURE_2D, 3, width, height, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
    return 1;
}

int initGL()
{
    glShadeModel(GL_SMOOTH);
    glClearColor(0.0f, 0.0f, 0.0f, 0.5f);
    glClearDepth(1.0);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);

    cam8Eye[0] = 150.0f;
    cam8Eye[1] = 150.0f;
    cam8Eye[2] = 100.0f;

    for (const TextureEntry& entry : textureTable)
        if (!buildTexture(entry.name, entry.texture))
            return 0;

    glEnable(GL_TEXTURE_2D);
    return 1;
}
