// Pictures held as plain RGBA pixels, read from and written to BMP, JPEG and GIF
// files.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace platform {

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

// The most pixels a picture may have (8192 x 4096, or any other shape of that
// area).
constexpr long long maxPicturePixels = 1LL << 25;

// Decodes the BMP, JPEG or GIF file at `path` (the kind is told by the file's
// contents). Network addresses ("http://...") are never fetched and fail, and so
// does a picture of more than maxPicturePixels, without taking the memory its
// header claims. On failure `error` says why and `picture` is left empty.
bool loadPicture(const std::string& path, Picture& picture, std::string& error);

// Writers; the alpha bytes are dropped. Each returns false with `error` set when
// the file cannot be written.
bool saveBMP(const Picture& picture, const std::string& path, std::string& error);
bool saveJPEG(const Picture& picture, const std::string& path, int quality, std::string& error);
// A GIF holds at most 256 distinct colours; a picture with more fails.
bool saveGIF(const Picture& picture, const std::string& path, std::string& error);

} // namespace platform
