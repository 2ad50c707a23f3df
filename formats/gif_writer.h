// Writing pictures as GIF files (the generator of the program's own pictures
// uses it).
#pragma once

#include "formats/picture.h"

#include <string>

namespace formats {

// Writes one image with a global colour table of the picture's own colours; the
// alpha bytes are dropped. A GIF holds at most 256 distinct colours: a picture
// with more fails, as does a file that cannot be written, with `error` set.
bool saveGIF(const Picture& picture, const std::string& path, std::string& error);

} // namespace formats
