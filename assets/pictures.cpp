// The program's 19 pictures: simple patterns, each with a main colour of its own
// and white corners, written as the BMP, JPEG and GIF files the program loads.
// Several sides are not powers of two, so the loader's sizing is exercised.
#include "assets/assets.h"

#include "formats/gif_writer.h"
#include "platform/image/picture.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>

namespace {

struct Colour {
    std::uint8_t r, g, b;
};

constexpr Colour white{255, 255, 255};

Colour shade(Colour c, int percent)
{
    auto scale = [percent](std::uint8_t v) { return static_cast<std::uint8_t>(v * percent / 100); };
    return {scale(c.r), scale(c.g), scale(c.b)};
}

Colour lighten(Colour c)
{
    auto mix = [](std::uint8_t v) { return static_cast<std::uint8_t>((v + 255) / 2); };
    return {mix(c.r), mix(c.g), mix(c.b)};
}

class Canvas {
public:
    Canvas(int width, int height, Colour background) : picture(width, height)
    {
        fillRect(0, 0, width, height, background);
    }

    void set(int x, int y, Colour c) { fillRect(x, y, 1, 1, c); }

    void fillRect(int x0, int y0, int w, int h, Colour c) { picture.fill(x0, y0, w, h, c.r, c.g, c.b); }

    void frame(int x0, int y0, int w, int h, int thickness, Colour c)
    {
        fillRect(x0, y0, w, thickness, c);
        fillRect(x0, y0 + h - thickness, w, thickness, c);
        fillRect(x0, y0, thickness, h, c);
        fillRect(x0 + w - thickness, y0, thickness, h, c);
    }

    void disc(int cx, int cy, int radius, Colour c)
    {
        for (int y = cy - radius; y <= cy + radius; ++y)
            for (int x = cx - radius; x <= cx + radius; ++x)
                if ((x - cx) * (x - cx) + (y - cy) * (y - cy) <= radius * radius)
                    set(x, y, c);
    }

    // A triangle pointing up, so that an upside-down picture shows at a glance.
    void triangleUp(int cx, int top, int height, Colour c)
    {
        for (int row = 0; row < height; ++row)
            fillRect(cx - row / 2, top + row, row + 1, 1, c);
    }

    // Stripes across the picture at 45 degrees.
    void diagonalStripes(int period, int width, Colour c)
    {
        for (int y = 0; y < picture.height; ++y)
            for (int x = 0; x < picture.width; ++x)
                if ((x + y) % period < width)
                    set(x, y, c);
    }

    void whiteCorners()
    {
        const int side = std::max(8, std::min(picture.width, picture.height) / 8);
        fillRect(0, 0, side, side, white);
        fillRect(picture.width - side, 0, side, side, white);
        fillRect(0, picture.height - side, side, side, white);
        fillRect(picture.width - side, picture.height - side, side, side, white);
    }

    formats::Picture picture;
};

// Squares of a lighter tone set into every other cell.
Canvas checker(int w, int h, Colour main, int cell)
{
    Canvas c(w, h, main);
    for (int y = 0; y < h; y += cell)
        for (int x = 0; x < w; x += cell)
            if ((x / cell + y / cell) % 2)
                c.fillRect(x + cell / 4, y + cell / 4, cell / 2, cell / 2, lighten(main));
    return c;
}

Canvas horizontalBands(int w, int h, Colour main, int period)
{
    Canvas c(w, h, main);
    for (int y = 0; y < h; y += period)
        c.fillRect(0, y, w, period / 4, shade(main, 50));
    return c;
}

Canvas grid(int w, int h, Colour main, int spacing)
{
    Canvas c(w, h, main);
    for (int i = 0; i < std::max(w, h); i += spacing) {
        c.fillRect(i, 0, 2, h, shade(main, 40));
        c.fillRect(0, i, w, 2, shade(main, 40));
    }
    c.disc(w / 3, h / 2, std::min(w, h) / 8, lighten(main));
    return c;
}

// A billboard plate: a border and three shapes.
Canvas plate(int w, int h, Colour main)
{
    Canvas c(w, h, main);
    const int border = std::max(3, h / 16);
    c.frame(0, 0, w, h, border, shade(main, 40));
    const int size = h / 3;
    c.disc(w / 4, h / 2, size / 2, lighten(main));
    c.triangleUp(w / 2, h / 2 - size / 2, size, shade(main, 40));
    c.fillRect(3 * w / 4 - size / 2, h / 2 - size / 2, size, size, lighten(main));
    return c;
}

Canvas stripes(int w, int h, Colour main)
{
    Canvas c(w, h, main);
    c.diagonalStripes(16, 5, lighten(main));
    return c;
}

// A crate side: a frame of planks and a cross brace.
Canvas crate(int w, int h, Colour main)
{
    Canvas c(w, h, main);
    const int plank = std::max(4, w / 10);
    c.frame(0, 0, w, h, plank, shade(main, 60));
    for (int i = 0; i < w; ++i) {
        c.fillRect(i, i * h / w - 1, 2, 3, shade(main, 60));
        c.fillRect(i, (w - 1 - i) * h / w - 1, 2, 3, shade(main, 60));
    }
    return c;
}

Canvas bricks(int w, int h, Colour main)
{
    Canvas c(w, h, main);
    const int rowHeight = 12, brick = 24;
    const Colour mortar = lighten(main);
    for (int y = 0; y < h; y += rowHeight) {
        c.fillRect(0, y, w, 2, mortar);
        const int offset = (y / rowHeight) % 2 ? brick / 2 : 0;
        for (int x = offset; x < w; x += brick)
            c.fillRect(x, y, 2, rowHeight, mortar);
    }
    return c;
}

// A wall with rows of windows.
Canvas windows(int w, int h, Colour main, Colour glass)
{
    Canvas c(w, h, main);
    const int cell = 16;
    for (int y = cell / 2; y + cell / 2 <= h - cell / 2; y += cell)
        for (int x = cell / 2; x + cell / 2 <= w - cell / 2; x += cell)
            c.fillRect(x + 2, y + 2, cell / 2 - 2, cell / 2 - 2, glass);
    return c;
}

Canvas dots(int w, int h, Colour main, int spacing)
{
    Canvas c(w, h, main);
    for (int y = spacing / 2; y < h; y += spacing)
        for (int x = spacing / 2; x < w; x += spacing)
            c.disc(x, y, spacing / 6, shade(main, 55));
    return c;
}

// Short blades of grass scattered in a fixed pattern; the ground repeats it.
Canvas grass(int w, int h, Colour main)
{
    Canvas c(w, h, main);
    unsigned state = 12345;
    for (int i = 0; i < w * h / 40; ++i) {
        state = state * 1103515245u + 12345u;
        const int x = static_cast<int>((state >> 8) % static_cast<unsigned>(w));
        const int y = static_cast<int>((state >> 20) % static_cast<unsigned>(h));
        c.fillRect(x, y, 1, 3, shade(main, 60));
    }
    return c;
}

enum class Format { bmp, jpeg, gif };

bool writeOne(const std::filesystem::path& file, Canvas canvas, Format format)
{
    canvas.whiteCorners();
    std::string error;
    bool ok = false;
    switch (format) {
    case Format::bmp:
        ok = platform::saveBMP(canvas.picture, file.string(), error);
        break;
    case Format::jpeg:
        ok = platform::saveJPEG(canvas.picture, file.string(), 92, error);
        break;
    case Format::gif:
        ok = formats::saveGIF(canvas.picture, file.string(), error);
        break;
    }
    if (!ok)
        std::fprintf(stderr, "cannot write %s: %s\n", file.string().c_str(), error.c_str());
    return ok;
}

} // namespace

bool writePictures(const std::string& out)
{
    const std::filesystem::path data = std::filesystem::path(out) / "data";
    const std::filesystem::path info = std::filesystem::path(out) / "info";
    for (const std::filesystem::path& folder : {data, info}) {
        std::error_code ec;
        std::filesystem::create_directories(folder, ec);
        if (ec) {
            std::fprintf(stderr, "cannot make the picture folder %s: %s\n", folder.string().c_str(),
                         ec.message().c_str());
            return false;
        }
    }

    // Main colours are set apart in steps of 64 per component, so no two are
    // alike even after JPEG compression.
    const Format jpeg = Format::jpeg;
    return writeOne(data / "lowres.bmp", checker(64, 64, {32, 160, 160}, 16), Format::bmp) &&
           writeOne(data / "pac.bmp", horizontalBands(100, 90, {224, 224, 32}, 12), Format::bmp) &&
           writeOne(data / "map.bmp", grid(200, 200, {96, 160, 32}, 25), Format::bmp) &&
           writeOne(data / "bb1.jpg", plate(256, 128, {224, 160, 32}), jpeg) &&
           writeOne(data / "bb3.gif", plate(160, 96, {32, 96, 224}), Format::gif) &&
           writeOne(data / "bb2.jpg", stripes(128, 64, {160, 32, 160}), jpeg) &&
           writeOne(info / "1.jpg", crate(64, 64, {160, 96, 32}), jpeg) &&
           writeOne(info / "2.jpg", crate(64, 64, {224, 32, 32}), jpeg) &&
           writeOne(info / "3.jpg", dots(96, 96, {224, 96, 160}, 16), jpeg) &&
           writeOne(info / "4.jpg", checker(128, 128, {96, 96, 96}, 32), jpeg) &&
           writeOne(info / "5.jpg", stripes(80, 80, {32, 224, 224}), jpeg) &&
           writeOne(info / "6.jpg", dots(64, 128, {96, 32, 160}, 16), jpeg) &&
           writeOne(info / "7.jpg", windows(128, 128, {160, 160, 96}, {96, 96, 32}), jpeg) &&
           writeOne(info / "8.jpg", windows(128, 128, {224, 96, 32}, {255, 240, 160}), jpeg) &&
           writeOne(info / "9.jpg", horizontalBands(45, 46, {32, 96, 32}, 8), jpeg) &&
           writeOne(info / "10.jpg", bricks(128, 96, {160, 96, 96}), jpeg) &&
           writeOne(info / "11.jpg", grass(128, 128, {96, 160, 96}), jpeg) &&
           writeOne(info / "12.jpg", windows(128, 160, {96, 96, 160}, {32, 32, 96}), jpeg) &&
           writeOne(info / "13.jpg", windows(128, 160, {224, 224, 160}, {255, 255, 224}), jpeg);
}
