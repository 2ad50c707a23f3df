// Pictures read from BMP, JPEG and GIF files, and written to BMP and JPEG files,
// through SDL and SDL_image (GIF files through the project's own reader).
#pragma once

#include "formats/picture.h"

#include <string>

namespace platform {

// The most pixels a picture may have (8192 x 4096, or any other shape of that
// area).
constexpr long long maxPicturePixels = 1LL << 25;

// The largest picture file read: the largest picture as an uncompressed 32-bit
// bitmap, with room for its headers and palette. A compressed picture of that
// size is smaller still.
constexpr unsigned long long maxPictureFileBytes = static_cast<unsigned long long>(maxPicturePixels) * 4 + 65536;

// Decodes the BMP, JPEG or GIF file at `path` (the kind is told by the file's
// contents). Network addresses ("http://...") are never fetched and fail, and so
// does a picture of more than maxPicturePixels, without taking the memory its
// header claims, and a file that is no regular file (a FIFO, a device, a socket,
// a folder) or is larger than maxPictureFileBytes, without waiting on it or
// reading it. On failure `error` says why and `picture` is left empty.
bool loadPicture(const std::string& path, formats::Picture& picture, std::string& error);

// Writers; the alpha bytes are dropped. Each returns false with `error` set when
// the file cannot be written.
bool saveBMP(const formats::Picture& picture, const std::string& path, std::string& error);
bool saveJPEG(const formats::Picture& picture, const std::string& path, int quality, std::string& error);

} // namespace platform
