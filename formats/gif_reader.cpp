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

// The bytes that introduce the blocks after the logical screen.
constexpr int extensionIntroducer = 0x21;
constexpr int imageSeparator = 0x2c;
constexpr int trailer = 0x3b;
constexpr int graphicControlLabel = 0xf9;
// The signature and the logical screen descriptor; an image descriptor after
// its separator.
constexpr size_t headerSize = 13;
constexpr size_t imageDescriptorSize = 9;

struct Palette {
    std::array<Colour, 256> colours{};
    int count = 0;
};

struct Screen {
    int width = 0, height = 0;
    Palette global;
};

// An image descriptor with its local colour table and its LZW code size.
struct Image {
    int left = 0, top = 0, width = 0, height = 0;
    bool interlaced = false;
    Palette local;
    int minCodeSize = 0;
};

bool readScreen(Bytes& in, Screen& screen, std::string& error)
{
    if (!in.has(headerSize)) {
        error = "not a GIF picture";
        return false;
    }
    const std::uint8_t* signature = in.take(6);
    if (std::memcmp(signature, "GIF87a", 6) != 0 && std::memcmp(signature, "GIF89a", 6) != 0) {
        error = "not a GIF picture";
        return false;
    }
    screen.width = in.word();
    screen.height = in.word();
    const int flags = in.byte();
    in.byte(); // background colour: the screen outside the image stays black
    in.byte(); // aspect ratio
    if (!readTable(in, flags, screen.global.colours, screen.global.count)) {
        error = "the GIF file ends inside its colour table";
        return false;
    }
    return true;
}

// An extension after its introducer. Only a graphic control matters: its
// transparent index applies to the next image.
void readExtension(Bytes& in, int& transparent)
{
    if (!in.has(1))
        return;
    const int label = in.byte();
    if (label == graphicControlLabel && in.has(6)) {
        Bytes peek = in;
        const int length = peek.byte();
        if (length >= 4) {
            const int flags = peek.byte();
            peek.word(); // delay
            const int index = peek.byte();
            transparent = (flags & 1) ? index : -1;
        }
    }
    in.skipBlocks();
}

// An image descriptor after its separator, up to the image's data; false when
// the file ends before the data.
bool readImage(Bytes& in, Image& image)
{
    if (!in.has(imageDescriptorSize))
        return false;
    image.left = in.word();
    image.top = in.word();
    image.width = in.word();
    image.height = in.word();
    const int flags = in.byte();
    image.interlaced = flags & 0x40;
    if (!readTable(in, flags, image.local.colours, image.local.count) || !in.has(1))
        return false;
    image.minCodeSize = in.byte();
    return true;
}

// The logical screen, grown to hold the image where it says less; false with
// `error` set when there is nothing to draw, too much, or no LZW data.
bool canvasFor(const Screen& screen, const Image& image, long long maxPixels, int& width, int& height,
               std::string& error)
{
    width = std::max(screen.width, image.left + image.width);
    height = std::max(screen.height, image.top + image.height);
    if (image.width == 0 || image.height == 0 || width == 0 || height == 0) {
        error = "the GIF picture has no pixels";
        return false;
    }
    if (static_cast<long long>(width) * height > maxPixels) {
        error = "the picture has more than " + std::to_string(maxPixels) + " pixels";
        return false;
    }
    if (image.minCodeSize < 1 || image.minCodeSize > 11) {
        error = "the GIF picture's data is not LZW codes";
        return false;
    }
    return true;
}

// The rows of an image in the order its data gives them: top to bottom, or when
// interlaced in four passes: every 8th from 0, every 8th from 4, every 4th from
// 2, every 2nd from 1.
class RowOrder {
public:
    RowOrder(int height, bool interlaced) : height_(height), interlaced_(interlaced) {}
    int row() const { return row_; }
    void next()
    {
        if (!interlaced_) {
            ++row_;
            return;
        }
        row_ += passStep[pass_];
        while (row_ >= height_ && pass_ < 3) {
            ++pass_;
            row_ = passStart[pass_];
        }
    }

private:
    static constexpr int passStart[] = {0, 4, 2, 1}, passStep[] = {8, 8, 4, 2};
    int height_;
    bool interlaced_;
    int pass_ = 0, row_ = 0;
};

// One decoded colour index; an index past the table is drawn black.
void paint(std::uint8_t* p, int index, const Palette& table, int transparent)
{
    if (index == transparent || index >= table.count) {
        p[0] = p[1] = p[2] = 0;
        p[3] = index == transparent ? 0 : 255;
    } else {
        p[0] = table.colours[index].r;
        p[1] = table.colours[index].g;
        p[2] = table.colours[index].b;
    }
}

// The image's data drawn on an opaque black canvas; pixels the data does not
// reach stay black.
Picture drawImage(Bytes& in, const Image& image, const Palette& table, int transparent, int width, int height)
{
    Picture result(width, height);
    for (size_t i = 3; i < result.rgba.size(); i += 4)
        result.rgba[i] = 255;
    RowOrder rows(image.height, image.interlaced);
    int column = 0;
    decodeLZW(in, image.minCodeSize, static_cast<long long>(image.width) * image.height, [&](std::uint8_t index) {
        if (rows.row() < image.height)
            paint(result.at(image.left + column, image.top + rows.row()), index, table, transparent);
        if (++column < image.width)
            return;
        column = 0;
        rows.next();
    });
    return result;
}

} // namespace

bool decodeGIF(const std::uint8_t* data, size_t size, long long maxPixels, Picture& picture, std::string& error)
{
    picture = Picture();
    Bytes in(data, size);
    Screen screen;
    if (!readScreen(in, screen, error))
        return false;
    int transparent = -1;
    while (in.has(1)) {
        const int introducer = in.byte();
        if (introducer == trailer)
            break;
        if (introducer == extensionIntroducer) {
            readExtension(in, transparent);
            continue;
        }
        if (introducer != imageSeparator) {
            error = "the GIF file holds a block of unknown kind";
            return false;
        }
        Image image;
        int width = 0, height = 0;
        if (!readImage(in, image))
            break;
        if (!canvasFor(screen, image, maxPixels, width, height, error))
            return false;
        picture = drawImage(in, image, image.local.count ? image.local : screen.global, transparent, width, height);
        return true;
    }
    error = "no picture could be decoded from this GIF file";
    return false;
}

} // namespace formats
