// Picture files through the decoder layer and the texture loader's sizing: a
// decoded picture has pixels for its whole size, and stretching it over the
// texture that would be made of it reads only inside it.
#include "platform/image/picture.h"
#include "render/textures.h"
#include "tests/fuzz/fuzz_support.h"

#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string path = fuzz::writeScratchFile("picture", data, size);
    formats::Picture picture;
    std::string error;
    if (!platform::loadPicture(path, picture, error)) {
        fuzz::check(picture.width == 0 && picture.height == 0 && picture.rgba.empty() && !error.empty());
        return 0;
    }
    fuzz::check(picture.width > 0 && picture.height > 0);
    fuzz::check(picture.rgba.size() == static_cast<size_t>(picture.width) * picture.height * 4);

    // A small largest texture size keeps the stretched copy small while still
    // making both smaller and larger textures than the picture.
    const int maxSize = 256;
    const int width = textureSide(picture.width, maxSize);
    const int height = textureSide(picture.height, maxSize);
    fuzz::check(width >= 1 && width <= maxSize && (width & (width - 1)) == 0);
    fuzz::check(height >= 1 && height <= maxSize && (height & (height - 1)) == 0);
    fuzz::check(stretchBottomUp(picture, width, height).size() == static_cast<size_t>(width) * height * 4);
    return 0;
}
