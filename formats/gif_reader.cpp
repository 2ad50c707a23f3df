// A GIF reader: the first image of a GIF87a or GIF89a file, drawn on its logical
// screen. A file cut short, or whose compressed data goes wrong part way, keeps
// the pixels decoded before that point; the rest of the screen stays black.
#include "formats/gif_reader.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace formats {

namespace {

constexpr int maxCodes = 4096;

class Bytes {
public:
    Bytes(const std::uint8_t* data, size_t size) : data_(data), size_(size) {}

    bool has(size_t n) const { return size_ - at_ >= n; }
    bool done() const { return at_ >= size_; }
    std::uint8_t byte() { return data_[at_++]; }
    int word()
    {
        const int low = data_[at_], high = data_[at_ + 1];
        at_ += 2;
        return low | high << 8;
    }
    const std::uint8_t* take(size_t n)
    {
        const std::uint8_t* p = data_ + at_;
        at_ += n;
        return p;
    }
    // Skips a run of sub-blocks up to and including its terminator, or to the end.
    void skipBlocks()
    {
        while (!done()) {
            const size_t length = byte();
            if (length == 0)
                return;
            at_ += std::min(length, size_ - at_);
        }
    }

private:
    const std::uint8_t* data_;
    size_t size_;
    size_t at_ = 0;
};

struct Colour {
    std::uint8_t r = 0, g = 0, b = 0;
};

// The colour table that follows a descriptor whose flags say it has one; false
// when the file ends inside it.
bool readTable(Bytes& in, int flags, std::array<Colour, 256>& table, int& count)
{
    if (!(flags & 0x80)) {
        count = 0;
        return true;
    }
    count = 2 << (flags & 7);
    if (!in.has(static_cast<size_t>(count) * 3))
        return false;
    for (int i = 0; i < count; ++i) {
        table[i].r = in.byte();
        table[i].g = in.byte();
        table[i].b = in.byte();
    }
    return true;
}

// Unpacks the LZW codes of an image's data sub-blocks, least significant bit
// first, handing each decoded colour index to `put` until the image is full,
// the end code comes, the data runs out or a code is impossible.
template <typename Put>
void decodeLZW(Bytes& in, int minCodeSize, long long pixels, Put put)
{
    const int clear = 1 << minCodeSize, end = clear + 1;
    std::array<std::uint16_t, maxCodes> prefix{};
    std::array<std::uint8_t, maxCodes> suffix{};
    std::array<std::uint8_t, maxCodes> stack{};
    for (int i = 0; i < clear; ++i)
        suffix[i] = static_cast<std::uint8_t>(i);

    int width = minCodeSize + 1, next = end + 1, previous = -1;
    std::uint8_t first = 0;
    std::uint32_t bits = 0;
    int count = 0;
    size_t blockLeft = 0;
    long long written = 0;

    while (written < pixels) {
        while (count < width) {
            if (blockLeft == 0) {
                if (in.done())
                    return;
                blockLeft = in.byte();
                if (blockLeft == 0)
                    return; // the data's terminator came before the end code
            }
            if (in.done())
                return;
            bits |= static_cast<std::uint32_t>(in.byte()) << count;
            count += 8;
            --blockLeft;
        }
        const int code = static_cast<int>(bits & ((1u << width) - 1));
        bits >>= width;
        count -= width;

        if (code == clear) {
            width = minCodeSize + 1;
            next = end + 1;
            previous = -1;
            continue;
        }
        if (code == end)
            break;
        if (previous < 0) {
            if (code >= clear)
                return; // a first code must be a colour
            first = static_cast<std::uint8_t>(code);
            put(first);
            ++written;
            previous = code;
            continue;
        }
        if (code > next)
            return;

        // Walk the chain of the code (or, for the code about to be made, of the
        // previous one followed by its own first colour) back to its first colour.
        int depth = 0, walk = code;
        if (code == next) {
            stack[depth++] = first;
            walk = previous;
        }
        while (walk >= clear) {
            stack[depth++] = suffix[walk];
            walk = prefix[walk];
        }
        first = static_cast<std::uint8_t>(walk);
        stack[depth++] = first;
        while (depth > 0 && written < pixels) {
            put(stack[--depth]);
            ++written;
        }
        if (next < maxCodes) {
            prefix[next] = static_cast<std::uint16_t>(previous);
            suffix[next] = first;
            ++next;
            if (next == 1 << width && width < 12)
                ++width;
        }
        previous = code;
    }
    in.skipBlocks();
}

} // namespace

bool decodeGIF(const std::uint8_t* data, size_t size, long long maxPixels, Picture& picture, std::string& error)
{
    picture = Picture();
    Bytes in(data, size);
    if (!in.has(13) || (std::memcmp(data, "GIF87a", 6) != 0 && std::memcmp(data, "GIF89a", 6) != 0)) {
        error = "not a GIF picture";
        return false;
    }
    in.take(6);
    const int screenWidth = in.word(), screenHeight = in.word();
    const int screenFlags = in.byte();
    in.byte(); // background colour: the screen outside the image stays black
    in.byte(); // aspect ratio
    std::array<Colour, 256> global{};
    int globalCount = 0;
    if (!readTable(in, screenFlags, global, globalCount)) {
        error = "the GIF file ends inside its colour table";
        return false;
    }

    int transparent = -1;
    while (in.has(1)) {
        const int introducer = in.byte();
        if (introducer == 0x3b)
            break;
        if (introducer == 0x21) {
            if (!in.has(1))
                break;
            const int label = in.byte();
            if (label == 0xf9 && in.has(6)) {
                // Graphic control: a transparent index applies to the next image.
                Bytes peek = in;
                const int length = peek.byte();
                if (length >= 4) {
                    const int flags = peek.byte();
                    peek.word();
                    const int index = peek.byte();
                    transparent = (flags & 1) ? index : -1;
                }
            }
            in.skipBlocks();
            continue;
        }
        if (introducer != 0x2c) {
            error = "the GIF file holds a block of unknown kind";
            return false;
        }
        if (!in.has(9))
            break;
        const int left = in.word(), top = in.word(), width = in.word(), height = in.word();
        const int flags = in.byte();
        std::array<Colour, 256> local{};
        int localCount = 0;
        if (!readTable(in, flags, local, localCount) || !in.has(1))
            break;
        const int minCodeSize = in.byte();

        // The logical screen, grown to hold the image where it says less.
        const int canvasWidth = std::max(screenWidth, left + width);
        const int canvasHeight = std::max(screenHeight, top + height);
        if (width == 0 || height == 0 || canvasWidth == 0 || canvasHeight == 0) {
            error = "the GIF picture has no pixels";
            return false;
        }
        if (static_cast<long long>(canvasWidth) * canvasHeight > maxPixels) {
            error = "the picture has more than " + std::to_string(maxPixels) + " pixels";
            return false;
        }
        if (minCodeSize < 1 || minCodeSize > 11) {
            error = "the GIF picture's data is not LZW codes";
            return false;
        }

        Picture result(canvasWidth, canvasHeight);
        for (size_t i = 3; i < result.rgba.size(); i += 4)
            result.rgba[i] = 255;
        const std::array<Colour, 256>& table = localCount ? local : global;
        const int tableCount = localCount ? localCount : globalCount;

        // Interlaced rows come in four passes: every 8th from 0, every 8th from
        // 4, every 4th from 2, every 2nd from 1.
        const bool interlaced = flags & 0x40;
        static constexpr int passStart[] = {0, 4, 2, 1}, passStep[] = {8, 8, 4, 2};
        int pass = 0, row = 0, column = 0;
        decodeLZW(in, minCodeSize, static_cast<long long>(width) * height, [&](std::uint8_t index) {
            if (row < height) {
                std::uint8_t* p = result.at(left + column, top + row);
                if (index == transparent || index >= tableCount) {
                    p[0] = p[1] = p[2] = 0;
                    p[3] = index == transparent ? 0 : 255;
                } else {
                    p[0] = table[index].r;
                    p[1] = table[index].g;
                    p[2] = table[index].b;
                }
            }
            if (++column < width)
                return;
            column = 0;
            if (!interlaced) {
                ++row;
                return;
            }
            row += passStep[pass];
            while (row >= height && pass < 3) {
                ++pass;
                row = passStart[pass];
            }
        });
        picture = std::move(result);
        return true;
    }
    error = "no picture could be decoded from this GIF file";
    return false;
}

} // namespace formats
