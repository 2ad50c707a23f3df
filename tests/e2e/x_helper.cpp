// What the end-to-end tests need of the X server besides xdotool:
//   x_helper host WIDTH HEIGHT SECONDS   a plain magenta window, as a screen-saver
//                                        host gives one; prints its id, destroys
//                                        it after SECONDS and exits
//   x_helper drawn ID                    counts the window's pixels that are not
//                                        the host's magenta, and those not black
//   x_helper watch SECONDS               reports every top-level window that is
//                                        made: each title it shows ("title ID
//                                        TEXT") and its size when it is mapped
//                                        ("mapped ID WxH+X+Y"), after a first
//                                        line "watching" once it sees them
//   x_helper shot ID FILE                 writes the window's picture as a PPM
//   x_helper differ A B                   compares two PPM pictures of one size:
//                                        "differ N total N", N the pixels that
//                                        differ by more than 48 in a channel
//   x_helper region FILE X Y W H          counts the pixels of each kind in a
//                                        rectangle of a PPM picture: "black N red
//                                        N green N total N" (black: every channel
//                                        below 24; red: red above 150, green and
//                                        blue below 100; green: green 30 above
//                                        both others, as the grass)
//   x_helper mode WxH                    offers a display mode of that size
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xrandr.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr unsigned long hostColour = 0xFF00FF;

int ignoreErrors(Display*, XErrorEvent*)
{
    return 0;
}

double secondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

int host(Display* display, int width, int height, double seconds)
{
    Window window = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0,
                                        static_cast<unsigned>(width), static_cast<unsigned>(height),
                                        0, 0, hostColour);
    XStoreName(display, window, "host");
    XSelectInput(display, window, StructureNotifyMask);
    XMapWindow(display, window);
    for (;;) {
        XEvent event;
        XNextEvent(display, &event);
        if (event.type == MapNotify)
            break;
    }
    std::printf("%lu\n", window);
    std::fflush(stdout);
    auto start = std::chrono::steady_clock::now();
    while (secondsSince(start) < seconds) {
        while (XPending(display) > 0) {
            XEvent event;
            XNextEvent(display, &event);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    XDestroyWindow(display, window);
    XSync(display, False);
    return 0;
}

// The window's pixels, row by row, as 0xRRGGBB.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;

    uint32_t at(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

bool capture(Display* display, Window window, Picture& picture)
{
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(display, window, &attributes))
        return false;
    XImage* image = XGetImage(display, window, 0, 0, static_cast<unsigned>(attributes.width),
                              static_cast<unsigned>(attributes.height), AllPlanes, ZPixmap);
    if (!image)
        return false;
    picture.width = attributes.width;
    picture.height = attributes.height;
    picture.pixels.resize(static_cast<size_t>(picture.width) * picture.height);
    for (int y = 0; y < picture.height; ++y)
        for (int x = 0; x < picture.width; ++x)
            picture.pixels[static_cast<size_t>(y) * picture.width + x] =
                static_cast<uint32_t>(XGetPixel(image, x, y) & 0xFFFFFF);
    XDestroyImage(image);
    return true;
}

int drawn(Display* display, Window window)
{
    Picture picture;
    if (!capture(display, window, picture))
        return 1;
    long notHost = 0;
    long notBlack = 0;
    for (uint32_t pixel : picture.pixels) {
        if (pixel != hostColour)
            ++notHost;
        if (pixel != 0)
            ++notBlack;
    }
    std::printf("drawn %ld nonblack %ld total %zu\n", notHost, notBlack, picture.pixels.size());
    return 0;
}

int shot(Display* display, Window window, const char* file)
{
    Picture picture;
    if (!capture(display, window, picture))
        return 1;
    FILE* out = std::fopen(file, "wb");
    if (!out)
        return 1;
    std::fprintf(out, "P6\n%d %d\n255\n", picture.width, picture.height);
    for (uint32_t pixel : picture.pixels) {
        const unsigned char rgb[3] = {static_cast<unsigned char>(pixel >> 16),
                                      static_cast<unsigned char>(pixel >> 8),
                                      static_cast<unsigned char>(pixel)};
        std::fwrite(rgb, 1, 3, out);
    }
    return std::fclose(out) == 0 ? 0 : 1;
}

// Reads a binary PPM as written by shot.
bool readPicture(const char* file, Picture& picture)
{
    FILE* in = std::fopen(file, "rb");
    if (!in)
        return false;
    int maximum = 0;
    bool ok = std::fscanf(in, "P6 %d %d %d", &picture.width, &picture.height, &maximum) == 3 &&
              maximum == 255 && picture.width > 0 && picture.height > 0 && std::fgetc(in) != EOF;
    if (ok) {
        std::vector<unsigned char> bytes(static_cast<size_t>(picture.width) * picture.height * 3);
        ok = std::fread(bytes.data(), 1, bytes.size(), in) == bytes.size();
        picture.pixels.resize(bytes.size() / 3);
        for (size_t i = 0; ok && i < picture.pixels.size(); ++i)
            picture.pixels[i] = (uint32_t{bytes[3 * i]} << 16) | (uint32_t{bytes[3 * i + 1]} << 8) |
                                bytes[3 * i + 2];
    }
    std::fclose(in);
    return ok;
}

int channel(uint32_t pixel, int shift)
{
    return static_cast<int>((pixel >> shift) & 0xFF);
}

int differ(const char* fileA, const char* fileB)
{
    Picture a;
    Picture b;
    if (!readPicture(fileA, a) || !readPicture(fileB, b) || a.width != b.width || a.height != b.height)
        return 1;
    long different = 0;
    for (size_t i = 0; i < a.pixels.size(); ++i)
        for (int shift : {0, 8, 16})
            if (std::abs(channel(a.pixels[i], shift) - channel(b.pixels[i], shift)) > 48) {
                ++different;
                break;
            }
    std::printf("differ %ld total %zu\n", different, a.pixels.size());
    return 0;
}

int region(const char* file, int x0, int y0, int width, int height)
{
    Picture picture;
    if (!readPicture(file, picture) || x0 < 0 || y0 < 0 || width <= 0 || height <= 0 ||
        x0 + width > picture.width || y0 + height > picture.height)
        return 1;
    long black = 0;
    long red = 0;
    long green = 0;
    for (int y = y0; y < y0 + height; ++y)
        for (int x = x0; x < x0 + width; ++x) {
            const uint32_t pixel = picture.at(x, y);
            const int r = channel(pixel, 16);
            const int g = channel(pixel, 8);
            const int b = channel(pixel, 0);
            if (r < 24 && g < 24 && b < 24)
                ++black;
            else if (r > 150 && g < 100 && b < 100)
                ++red;
            else if (g > r + 30 && g > b + 30)
                ++green;
        }
    std::printf("black %ld red %ld green %ld total %ld\n", black, red, green, static_cast<long>(width) * height);
    return 0;
}

void reportTitle(Display* display, Window window, std::map<Window, std::string>& titles)
{
    char* name = nullptr;
    if (XFetchName(display, window, &name) && name) {
        if (titles[window] != name) {
            titles[window] = name;
            std::printf("title %lu %s\n", window, name);
            std::fflush(stdout);
        }
        XFree(name);
    }
}

int watch(Display* display, double seconds)
{
    Window root = DefaultRootWindow(display);
    XSelectInput(display, root, SubstructureNotifyMask);
    XSync(display, False);
    std::printf("watching\n");
    std::fflush(stdout);
    std::map<Window, std::string> titles;
    auto start = std::chrono::steady_clock::now();
    while (secondsSince(start) < seconds) {
        if (XPending(display) == 0) {
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
            continue;
        }
        XEvent event;
        XNextEvent(display, &event);
        if (event.type == CreateNotify && event.xcreatewindow.parent == root) {
            Window window = event.xcreatewindow.window;
            XSelectInput(display, window, PropertyChangeMask);
            XSync(display, False);
            reportTitle(display, window, titles);
        } else if (event.type == PropertyNotify) {
            reportTitle(display, event.xproperty.window, titles);
        } else if (event.type == MapNotify && event.xmap.event == root) {
            Window window = event.xmap.window;
            XWindowAttributes attributes;
            if (XGetWindowAttributes(display, window, &attributes)) {
                std::printf("mapped %lu %dx%d+%d+%d\n", window, attributes.width, attributes.height,
                            attributes.x, attributes.y);
                std::fflush(stdout);
            }
            reportTitle(display, window, titles);
        }
    }
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    std::string command = argc > 1 ? argv[1] : "";
    // The picture commands need no display.
    if (command == "differ" && argc == 4)
        return differ(argv[2], argv[3]);
    if (command == "region" && argc == 7)
        return region(argv[2], std::atoi(argv[3]), std::atoi(argv[4]), std::atoi(argv[5]), std::atoi(argv[6]));
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "no display\n");
        return 2;
    }
    XSetErrorHandler(ignoreErrors);
    if (command == "host" && argc == 5)
        return host(display, std::atoi(argv[2]), std::atoi(argv[3]), std::atof(argv[4]));
    if (command == "drawn" && argc == 3)
        return drawn(display, std::strtoul(argv[2], nullptr, 0));
    if (command == "watch" && argc == 3)
        return watch(display, std::atof(argv[2]));
    if (command == "shot" && argc == 4)
        return shot(display, std::strtoul(argv[2], nullptr, 0), argv[3]);
    XRRModeInfo mode{};  // Xvfb offers one display mode, but takes more
    if (command == "mode" && argc == 3 && std::sscanf(argv[2], "%ux%u", &mode.width, &mode.height) == 2) {
        mode.name = argv[2], mode.nameLength = static_cast<unsigned>(std::strlen(argv[2]));
        XRRScreenResources* resources = XRRGetScreenResourcesCurrent(display, DefaultRootWindow(display));
        XRRAddOutputMode(display, resources->outputs[0], XRRCreateMode(display, DefaultRootWindow(display), &mode));
        return XSync(display, False), XRRFreeScreenResources(resources), 0;
    }
    std::fprintf(stderr, "usage: x_helper host W H SECONDS | drawn ID | watch SECONDS | shot ID FILE |"
                         " differ A B | region FILE X Y W H | mode WxH\n");
    return 2;
}
