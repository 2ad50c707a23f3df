// Pictures held as plain RGBA pixels, the form every picture reader and writer
// shares.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace formats {

struct Picture {
    int width = 0;
    int height = 0;
    // width * height pixels of four bytes (red, green, blue, alpha), the top row
    // first.
    std::vector<std::uint8_t> rgba;

    Picture() = default;
    Picture(int w, int h) : width(w), height(h), rgba(static_cast<size_t>(w) * h * 4, 0) {}
    std::uint8_t* at(int x, int y) { return &rgba[(static_cast<size_t>(y) * width + x) * 4]; }
    const std::uint8_t* at(int x, int y) const { return &rgba[(static_cast<size_t>(y) * width + x) * 4]; }

    // Paints a rectangle, clipped to the picture, in one opaque colour.
    void fill(int x0, int y0, int w, int h, std::uint8_t r, std::uint8_t g, std::uint8_t b);
};

} // namespace formats
