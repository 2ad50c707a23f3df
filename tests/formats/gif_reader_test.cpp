// The GIF reader on files from the program's own writer, patched the ways other
// writers and broken files lay them out.
#include "formats/gif_reader.h"
#include "formats/gif_writer.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

namespace fs = std::filesystem;

namespace {

constexpr long long anySize = 1LL << 25;

// Eight rows, each its own colour, so that a row in the wrong place shows.
formats::Picture stripes(int w, int h)
{
    formats::Picture p(w, h);
    for (int y = 0; y < h; ++y)
        p.fill(0, y, w, 1, static_cast<std::uint8_t>(20 + 25 * y), static_cast<std::uint8_t>(200 - 20 * y), 90);
    return p;
}

std::vector<std::uint8_t> gifBytes(const formats::Picture& picture)
{
    const fs::path path = fs::temp_directory_path() / ("skarvel-gif-" + std::to_string(::getpid()) + ".gif");
    std::string error;
    EXPECT_TRUE(formats::saveGIF(picture, path.string(), error)) << error;
    std::ifstream in(path, std::ios::binary);
    std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    fs::remove(path);
    return bytes;
}

// The offset of the image descriptor (the writer puts no extension before it).
size_t imageAt(const std::vector<std::uint8_t>& gif)
{
    const size_t table = (gif[10] & 0x80) ? (2u << (gif[10] & 7)) * 3 : 0;
    EXPECT_EQ(gif[13 + table], 0x2c);
    return 13 + table;
}

void putWord(std::vector<std::uint8_t>& gif, size_t at, int value)
{
    gif[at] = static_cast<std::uint8_t>(value & 0xff);
    gif[at + 1] = static_cast<std::uint8_t>(value >> 8);
}

bool decode(const std::vector<std::uint8_t>& gif, formats::Picture& picture, std::string& error)
{
    return formats::decodeGIF(gif.data(), gif.size(), anySize, picture, error);
}

bool samePixel(const formats::Picture& a, int ax, int ay, const formats::Picture& b, int bx, int by)
{
    return std::equal(a.at(ax, ay), a.at(ax, ay) + 3, b.at(bx, by));
}

bool isBlack(const formats::Picture& p, int x, int y)
{
    const std::uint8_t* px = p.at(x, y);
    return px[0] == 0 && px[1] == 0 && px[2] == 0;
}

} // namespace

TEST(GifReader, InterlacedRowsLandInTheirPasses)
{
    // The rows stored in pass order (0, 8 / 4 / 2, 6, 10 / 1, 3, 5, 7, 9, 11),
    // then marked interlaced: the decoded picture has them back in place.
    const formats::Picture upright = stripes(5, 12);
    const int order[] = {0, 8, 4, 2, 6, 10, 1, 3, 5, 7, 9, 11};
    formats::Picture stored(5, 12);
    for (int i = 0; i < 12; ++i)
        std::copy(upright.at(0, order[i]), upright.at(0, order[i]) + 5 * 4, stored.at(0, i));
    std::vector<std::uint8_t> gif = gifBytes(stored);
    gif[imageAt(gif) + 9] |= 0x40;

    formats::Picture loaded;
    std::string error;
    ASSERT_TRUE(decode(gif, loaded, error)) << error;
    ASSERT_EQ(loaded.width, 5);
    ASSERT_EQ(loaded.height, 12);
    for (int y = 0; y < 12; ++y)
        EXPECT_TRUE(samePixel(loaded, 2, y, upright, 2, y)) << "row " << y;
}

TEST(GifReader, AFileCutShortKeepsTheRowsDecodedBeforeTheCut)
{
    const formats::Picture original = stripes(64, 8);
    std::vector<std::uint8_t> gif = gifBytes(original);
    const size_t image = imageAt(gif);
    formats::Picture loaded;
    std::string error;

    // Cut inside the compressed data: the first row is there, the last is black.
    std::vector<std::uint8_t> cut(gif.begin(), gif.begin() + static_cast<long>(image + 11 + (gif.size() - image) / 3));
    ASSERT_TRUE(decode(cut, loaded, error)) << error;
    ASSERT_EQ(loaded.width, 64);
    EXPECT_TRUE(samePixel(loaded, 10, 0, original, 10, 0));
    EXPECT_TRUE(isBlack(loaded, 63, 7));

    // Cut before the image's data, or inside its descriptor or the colour table:
    // there is no picture.
    for (size_t length : {image + 11, image + 4, size_t{14}, size_t{5}}) {
        SCOPED_TRACE(length);
        cut.assign(gif.begin(), gif.begin() + static_cast<long>(length));
        loaded = original;
        error.clear();
        const bool ok = decode(cut, loaded, error);
        if (length == image + 11) {
            // The code size is there but not a code: a black picture.
            ASSERT_TRUE(ok) << error;
            EXPECT_TRUE(isBlack(loaded, 0, 0));
        } else {
            EXPECT_FALSE(ok);
            EXPECT_FALSE(error.empty());
            EXPECT_TRUE(loaded.rgba.empty());
        }
    }
}

TEST(GifReader, AnImageSmallerThanItsScreenIsDrawnAtItsPlace)
{
    const formats::Picture original = stripes(4, 6);
    std::vector<std::uint8_t> gif = gifBytes(original);
    const size_t image = imageAt(gif);
    putWord(gif, 6, 10);        // screen 10 x 9
    putWord(gif, 8, 9);
    putWord(gif, image + 1, 3); // image at 3, 2
    putWord(gif, image + 3, 2);

    formats::Picture loaded;
    std::string error;
    ASSERT_TRUE(decode(gif, loaded, error)) << error;
    ASSERT_EQ(loaded.width, 10);
    ASSERT_EQ(loaded.height, 9);
    EXPECT_TRUE(samePixel(loaded, 3, 2, original, 0, 0));
    EXPECT_TRUE(samePixel(loaded, 6, 7, original, 3, 5));
    EXPECT_TRUE(isBlack(loaded, 0, 0));
    EXPECT_TRUE(isBlack(loaded, 9, 8));

    // A screen smaller than the image grows to hold it.
    putWord(gif, 6, 1);
    putWord(gif, 8, 1);
    ASSERT_TRUE(decode(gif, loaded, error)) << error;
    EXPECT_EQ(loaded.width, 7);
    EXPECT_EQ(loaded.height, 8);
}

TEST(GifReader, ExtensionsAreSkippedAndTheTransparentColourIsBlack)
{
    const formats::Picture original = stripes(3, 4);
    std::vector<std::uint8_t> gif = gifBytes(original);
    const size_t image = imageAt(gif);
    // A comment, then a graphic control naming colour 0 (the writer's first
    // colour, row 0's) transparent.
    const std::uint8_t extensions[] = {0x21, 0xfe, 3, 'a', 'b', 'c', 0, 0x21, 0xf9, 4, 1, 0, 0, 0, 0};
    gif.insert(gif.begin() + static_cast<long>(image), std::begin(extensions), std::end(extensions));

    formats::Picture loaded;
    std::string error;
    ASSERT_TRUE(decode(gif, loaded, error)) << error;
    ASSERT_EQ(loaded.height, 4);
    EXPECT_TRUE(isBlack(loaded, 1, 0));
    EXPECT_EQ(loaded.at(1, 0)[3], 0);
    EXPECT_TRUE(samePixel(loaded, 1, 3, original, 1, 3));
}

TEST(GifReader, BrokenFilesFailOrStopCleanly)
{
    const formats::Picture original = stripes(16, 8);
    const std::vector<std::uint8_t> good = gifBytes(original);
    const size_t image = imageAt(good);
    formats::Picture loaded;
    std::string error;

    struct Case {
        const char* what;
        size_t at;
        std::uint8_t value;
        bool decodes;
    } cases[] = {
        {"an unknown block kind", image, 0x44, false},
        {"an image of width 0", image + 5, 0, false},
        {"a code size beyond LZW", image + 10, 12, false},
        {"a first code that is no colour", image + 12, 0xff, true},
        {"data whose codes run past the table", image + 14, 0xff, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<std::uint8_t> gif = good;
        gif[c.at] = c.value;
        if (c.at == image + 5)
            gif[image + 6] = 0;
        error.clear();
        EXPECT_EQ(decode(gif, loaded, error), c.decodes) << error;
        if (c.decodes) {
            EXPECT_EQ(loaded.rgba.size(), size_t{16} * 8 * 4);
        } else {
            EXPECT_FALSE(error.empty());
            EXPECT_TRUE(loaded.rgba.empty());
        }
    }

    // A screen of more pixels than allowed is refused before any is taken.
    std::vector<std::uint8_t> gif = good;
    putWord(gif, 6, 0xffff);
    putWord(gif, 8, 0xffff);
    EXPECT_FALSE(formats::decodeGIF(gif.data(), gif.size(), 1 << 20, loaded, error));
    EXPECT_NE(error.find("more than"), std::string::npos) << error;
}

TEST(GifReader, DataHoldingASecondGifDecodesWithinThePicture)
{
    // Found by fuzzing: image data into which another GIF's header was spliced.
    // The system's GIF decoder freed memory it never allocated on this file.
    static const char found[] =
    "\x47\x49\x46\x38\x39\x61\xa0\x00\x60\x00\xf1\x00\x00\xff\xff\xff\x0c\x26\x59\x20\x60\xe0\x8f\xaf"
    "\xef\x2c\x00\x00\x00\x00\xa0\x00\x60\x00\x00\x02\xff\x84\x8f\x16\xcb\xed\x0f\xa3\x9c\xb4\xda\x8b"
    "\x73\xda\x7c\xe7\x0f\x86\xe2\x48\x32\xdd\xc9\x95\xea\xca\xb6\x14\x0a\x1f\xee\x4c\xd7\x60\x1c\xdb"
    "\xfa\xce\x2f\x38\xdc\x0b\x0a\x57\x3f\x94\xe0\x88\x4c\x2a\x97\xcc\xa6\xf3\x09\x8d\x4a\xa7\xd4\x6a"
    "\xf1\x54\xcd\x6a\xb7\xdc\xae\x17\x79\xed\x7c\xc7\xe4\x47\x49\x46\x38\x39\x61\x04\x00\x04\x00\x80"
    "\x00\x00\x00\x10\x00\xff\xff\xff\x2c\x00\x00\x00\x78\x55\x0c\x16\x00\x04\x00\x00\x02\x02\x4c\x01"
    "\x00\x3b\xe8\xe8\xd8\xf8\x28\x59\x18\x39\x69\xb9\x57\x79\xa9\x39\x97\xb9\xe9\xb9\xd6\xf9\x29\x3a"
    "\x98\x98\x98\x98\x98\x98\x98\x98\x98\x98\x98\x98\x98\x98\x98\x98\x98\x98\x98\x98\x98\x0e\x05\x4a"
    "\x6e\xff\xe0\x00\x10\x4a\x46\x49\x46\x00\xe8\x51\xa8\x1c\x3a\xb3\xf8\xe4\x1a\x35\xca\x54\x00\x45"
    "\x9b\x56\xe9\xda\x00\x25\x00\x03\x00\x00\x00\x02\x00\x00\x00\x01\x00\x10\x00\x00\x00\x00\x00\x10"
    "\xa8\xa1\x81\xe9\x75\xf8\xc8\x03\x31\x80\x08\xc8\x1d\x08\x90\xf8\x87\x89\x07\xa0\xb8\x85\x8a\x06"
    "\xb0\xa8\x87\x8b\x00\xc0\x98\x87\x8c\x34\xd6\x21\xe3\x10\x3a\xee\xa8\x81\x8b\x3c\xfe\x08\x24\x04"
    "\x39\x00\x00\x00\x00\x00\x00\x00\x49\x10\x47\x26\xc9\xe4\x0e\xff\xe0\x00\x10\x4a\x46\x49\x46\x00"
    "\x4b\x36\x09\xe5\x0c\x31\x14\x00\x00\x3b";
    const std::vector<std::uint8_t> gif(found, found + sizeof found - 1);
    ASSERT_EQ(gif.size(), 322u);
    formats::Picture loaded;
    std::string error;
    ASSERT_TRUE(decode(gif, loaded, error)) << error;
    EXPECT_EQ(loaded.width, 160);
    EXPECT_EQ(loaded.height, 96);
}
