#include "formats/picture.h"

#include <algorithm>

namespace formats {

void Picture::fill(int x0, int y0, int w, int h, std::uint8_t r, std::uint8_t g, std::uint8_t b)
{
    const int xEnd = std::min(x0 + w, width), yEnd = std::min(y0 + h, height);
    for (int y = std::max(y0, 0); y < yEnd; ++y)
        for (int x = std::max(x0, 0); x < xEnd; ++x) {
            std::uint8_t* p = at(x, y);
            p[0] = r;
            p[1] = g;
            p[2] = b;
            p[3] = 255;
        }
}

} // namespace formats
