// Decoding of GIF files, apart from the other picture kinds: the program reads
// only the first image of a GIF.
#pragma once

#include "formats/picture.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace formats {

// Decodes the first image of the GIF file held in `data`, on a canvas of the
// file's logical screen (grown to hold the image if the screen is smaller).
// Data cut short or broken part way leaves the undecoded pixels black. Fails,
// with `error` set and `picture` empty, when there is no image, the header or a
// colour table is cut short, or the canvas would have more than `maxPixels`.
bool decodeGIF(const std::uint8_t* data, size_t size, long long maxPixels, Picture& picture, std::string& error);

} // namespace formats
