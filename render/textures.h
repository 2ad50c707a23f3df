// Turning the program's picture files into mipmapped GL textures.
#pragma once

#include <GL/gl.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace formats {
struct Picture;
}

// Longest path (folder and name) a picture may have, in bytes.
constexpr size_t maxPicturePath = 259;

// One side of the texture made from a picture side of `pixels`: maxSize when the
// picture is larger, otherwise the nearest power of two on a logarithmic scale
// (45 gives 32, 46 gives 64). 0 when there are no pixels.
int textureSide(int pixels, int maxSize);

// The picture stretched over width x height texels, laid out the way GL reads a
// texture: the first row (t = 0) is the picture's bottom row. Each texel is
// red, green, blue, 255.
std::vector<std::uint8_t> stretchBottomUp(const formats::Picture& picture, int width, int height);

// The file a picture name stands for: an "http://" address unchanged, any other
// name in the program's folder (also when the folder is too long for programDir).
std::string picturePath(const char* name);

// Loads the picture `name` into a new texture with a full mipmap chain and leaves
// it bound to GL_TEXTURE_2D. 1 with the texture's name stored through `texture`;
// 0 with nothing stored (and the file and the reason on stderr) when the picture
// cannot be read.
int buildTexture(const char* name, GLuint* texture);
