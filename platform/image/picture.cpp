#include "platform/image/picture.h"

#include "formats/gif_reader.h"
#include "platform/regular_file.h"

#include <SDL.h>
#include <SDL_image.h>

#include <cstring>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace platform {

using formats::Picture;

namespace {

static_assert(maxPictureFileBytes <= 0x7fffffff, "SDL reads a picture in memory of at most INT_MAX bytes");

struct SurfaceFree {
    void operator()(SDL_Surface* s) const { SDL_FreeSurface(s); }
};
using Surface = std::unique_ptr<SDL_Surface, SurfaceFree>;

struct RWClose {
    void operator()(SDL_RWops* rw) const { SDL_RWclose(rw); }
};

// The decoder for the file's contents; only the three kinds the program ships.
const char* pictureKind(SDL_RWops* rw)
{
    if (IMG_isBMP(rw))
        return "BMP";
    if (IMG_isJPG(rw))
        return "JPG";
    if (IMG_isGIF(rw))
        return "GIF";
    return nullptr;
}

// While a picture is decoded on this thread, SDL (and the decoders, which take
// their memory through it) refuses any single allocation larger than the
// biggest picture needs: the decoders allocate the whole size a header declares
// before they read a pixel, so a few broken bytes could otherwise claim
// gigabytes. Everything else goes to the allocator SDL had before.
constexpr size_t maxDecodingAllocation = static_cast<size_t>(maxPicturePixels) * 4 + 4096;
thread_local bool decoding = false;
SDL_malloc_func plainMalloc = nullptr;
SDL_calloc_func plainCalloc = nullptr;
SDL_realloc_func plainRealloc = nullptr;

bool refused(size_t size)
{
    return decoding && size > maxDecodingAllocation;
}

void* boundedMalloc(size_t size)
{
    return refused(size) ? nullptr : plainMalloc(size);
}

void* boundedCalloc(size_t count, size_t size)
{
    return (size != 0 && count > maxDecodingAllocation / size && decoding) ? nullptr : plainCalloc(count, size);
}

void* boundedRealloc(void* memory, size_t size)
{
    return refused(size) ? nullptr : plainRealloc(memory, size);
}

// Bounds the allocations of this thread's decoding for the life of the object.
class DecodingBound {
public:
    DecodingBound()
    {
        static std::once_flag installed;
        std::call_once(installed, [] {
            SDL_free_func plainFree = nullptr;
            SDL_GetMemoryFunctions(&plainMalloc, &plainCalloc, &plainRealloc, &plainFree);
            SDL_SetMemoryFunctions(boundedMalloc, boundedCalloc, boundedRealloc, plainFree);
        });
        decoding = true;
    }
    ~DecodingBound() { decoding = false; }
    DecodingBound(const DecodingBound&) = delete;
    DecodingBound& operator=(const DecodingBound&) = delete;
};

// A surface over the picture's pixels (no copy), for the writers.
Surface wrap(const Picture& picture, std::string& error)
{
    if (picture.width <= 0 || picture.height <= 0 ||
        picture.rgba.size() != static_cast<size_t>(picture.width) * picture.height * 4) {
        error = "the picture has no pixels";
        return nullptr;
    }
    SDL_Surface* s = SDL_CreateRGBSurfaceWithFormatFrom(
        const_cast<std::uint8_t*>(picture.rgba.data()), picture.width, picture.height, 32,
        picture.width * 4, SDL_PIXELFORMAT_RGBA32);
    if (!s)
        error = SDL_GetError();
    return Surface(s);
}

// The picture as 24-bit RGB, which both BMP and JPEG writers take.
Surface asRGB(const Picture& picture, std::string& error)
{
    Surface rgba = wrap(picture, error);
    if (!rgba)
        return nullptr;
    SDL_Surface* rgb = SDL_ConvertSurfaceFormat(rgba.get(), SDL_PIXELFORMAT_RGB24, 0);
    if (!rgb)
        error = SDL_GetError();
    return Surface(rgb);
}

} // namespace

bool loadPicture(const std::string& path, Picture& picture, std::string& error)
{
    picture = Picture();
    if (path.find("http://") != std::string::npos) {
        error = "network addresses are not loaded";
        return false;
    }
    // The whole file, read without waiting on it and only up to the size of
    // the largest picture: a FIFO, a device or a huge file in its place is
    // refused as a broken picture is.
    std::vector<std::uint8_t> bytes;
    if (!readRegularFile(path, maxPictureFileBytes, bytes, error))
        return false;
    if (bytes.empty()) {
        error = "not a BMP, JPEG or GIF picture";  // an empty file: no bytes to tell its kind by
        return false;
    }
    SDL_RWops* raw = SDL_RWFromConstMem(bytes.data(), static_cast<int>(bytes.size()));
    if (!raw) {
        error = SDL_GetError();
        return false;
    }
    std::unique_ptr<SDL_RWops, RWClose> rw(raw);
    const char* kind = pictureKind(raw);
    if (!kind) {
        error = "not a BMP, JPEG or GIF picture";
        return false;
    }
    if (std::strcmp(kind, "GIF") == 0)
        return formats::decodeGIF(bytes.data(), bytes.size(), maxPicturePixels, picture, error);
    DecodingBound bound;
    SDL_ClearError();  // so that a failure reports its own reason, not an older one
    Surface decoded(IMG_LoadTyped_RW(raw, 0, kind));
    if (!decoded) {
        error = IMG_GetError();
        if (error.empty())
            error = std::string("no picture could be decoded from this ") + kind + " file";
        return false;
    }
    if (static_cast<long long>(decoded->w) * decoded->h > maxPicturePixels) {
        error = "the picture has more than " + std::to_string(maxPicturePixels) + " pixels";
        return false;
    }
    Surface rgba(SDL_ConvertSurfaceFormat(decoded.get(), SDL_PIXELFORMAT_RGBA32, 0));
    if (!rgba) {
        error = SDL_GetError();
        return false;
    }
    if (rgba->w <= 0 || rgba->h <= 0) {
        error = "the picture has no pixels";
        return false;
    }
    if (SDL_LockSurface(rgba.get()) != 0) {
        error = SDL_GetError();
        return false;
    }
    Picture result(rgba->w, rgba->h);
    const size_t rowBytes = static_cast<size_t>(rgba->w) * 4;
    for (int y = 0; y < rgba->h; ++y)
        std::memcpy(result.at(0, y), static_cast<const std::uint8_t*>(rgba->pixels) + static_cast<size_t>(y) * rgba->pitch,
                    rowBytes);
    SDL_UnlockSurface(rgba.get());
    picture = std::move(result);
    return true;
}

bool saveBMP(const Picture& picture, const std::string& path, std::string& error)
{
    Surface rgb = asRGB(picture, error);
    if (!rgb)
        return false;
    if (SDL_SaveBMP(rgb.get(), path.c_str()) != 0) {
        error = SDL_GetError();
        return false;
    }
    return true;
}

bool saveJPEG(const Picture& picture, const std::string& path, int quality, std::string& error)
{
    Surface rgb = asRGB(picture, error);
    if (!rgb)
        return false;
    if (IMG_SaveJPG(rgb.get(), path.c_str(), quality) != 0) {
        error = IMG_GetError();
        return false;
    }
    return true;
}

} // namespace platform
