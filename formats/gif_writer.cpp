// A GIF89a writer: one image, a global colour table of the picture's own colours
// and LZW-compressed pixel codes.
#include "formats/gif_writer.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <unordered_map>

namespace formats {

namespace {

constexpr int maxCodes = 4096;

// Packs variable-width codes, least significant bit first, into the 255-byte
// sub-blocks GIF image data is stored in.
class CodeWriter {
public:
    explicit CodeWriter(std::vector<std::uint8_t>& out) : out_(out) {}

    void put(int code, int width)
    {
        bits_ |= static_cast<std::uint32_t>(code) << count_;
        count_ += width;
        while (count_ >= 8) {
            byte(static_cast<std::uint8_t>(bits_ & 0xff));
            bits_ >>= 8;
            count_ -= 8;
        }
    }

    void finish()
    {
        if (count_ > 0)
            byte(static_cast<std::uint8_t>(bits_ & 0xff));
        bits_ = 0;
        count_ = 0;
        flushBlock();
        out_.push_back(0); // block terminator
    }

private:
    void byte(std::uint8_t b)
    {
        block_.push_back(b);
        if (block_.size() == 255)
            flushBlock();
    }

    void flushBlock()
    {
        if (block_.empty())
            return;
        out_.push_back(static_cast<std::uint8_t>(block_.size()));
        out_.insert(out_.end(), block_.begin(), block_.end());
        block_.clear();
    }

    std::vector<std::uint8_t>& out_;
    std::vector<std::uint8_t> block_;
    std::uint32_t bits_ = 0;
    int count_ = 0;
};

void lzwEncode(const std::vector<std::uint8_t>& indices, int minCodeSize, std::vector<std::uint8_t>& out)
{
    const int clearCode = 1 << minCodeSize;
    const int endCode = clearCode + 1;
    CodeWriter writer(out);
    std::unordered_map<std::uint32_t, int> table; // (prefix code << 8 | index) -> code
    int codeSize = minCodeSize + 1;
    int nextCode = endCode + 1;

    auto reset = [&] {
        table.clear();
        codeSize = minCodeSize + 1;
        nextCode = endCode + 1;
    };

    writer.put(clearCode, codeSize);
    int prefix = indices[0];
    for (size_t i = 1; i < indices.size(); ++i) {
        const std::uint8_t index = indices[i];
        const std::uint32_t key = static_cast<std::uint32_t>(prefix) << 8 | index;
        auto found = table.find(key);
        if (found != table.end()) {
            prefix = found->second;
            continue;
        }
        writer.put(prefix, codeSize);
        if (nextCode < maxCodes) {
            table.emplace(key, nextCode++);
            // A decoder learns each code one step later than this encoder, so
            // the width grows once a code beyond the current width exists.
            if (nextCode > (1 << codeSize) && codeSize < 12)
                ++codeSize;
        } else {
            writer.put(clearCode, codeSize);
            reset();
        }
        prefix = index;
    }
    writer.put(prefix, codeSize);
    writer.put(endCode, codeSize);
    writer.finish();
}

void put16(std::vector<std::uint8_t>& out, int value)
{
    out.push_back(static_cast<std::uint8_t>(value & 0xff));
    out.push_back(static_cast<std::uint8_t>((value >> 8) & 0xff));
}

} // namespace

bool saveGIF(const Picture& picture, const std::string& path, std::string& error)
{
    if (picture.width <= 0 || picture.height <= 0 || picture.width > 0xffff || picture.height > 0xffff ||
        picture.rgba.size() != static_cast<size_t>(picture.width) * picture.height * 4) {
        error = "the picture has no pixels or is too large for a GIF";
        return false;
    }

    std::vector<std::uint32_t> palette;
    std::unordered_map<std::uint32_t, std::uint8_t> paletteIndex;
    std::vector<std::uint8_t> indices(static_cast<size_t>(picture.width) * picture.height);
    for (size_t i = 0; i < indices.size(); ++i) {
        const std::uint8_t* p = &picture.rgba[i * 4];
        const std::uint32_t rgb = static_cast<std::uint32_t>(p[0]) << 16 | p[1] << 8 | p[2];
        auto found = paletteIndex.find(rgb);
        if (found == paletteIndex.end()) {
            if (palette.size() == 256) {
                error = "more than 256 colours for a GIF";
                return false;
            }
            found = paletteIndex.emplace(rgb, static_cast<std::uint8_t>(palette.size())).first;
            palette.push_back(rgb);
        }
        indices[i] = found->second;
    }

    int bits = 1;
    while ((1u << bits) < palette.size())
        ++bits;
    palette.resize(size_t{1} << bits, 0);

    std::vector<std::uint8_t> out = {'G', 'I', 'F', '8', '9', 'a'};
    put16(out, picture.width);
    put16(out, picture.height);
    out.push_back(static_cast<std::uint8_t>(0x80 | 0x70 | (bits - 1))); // global table, 8-bit colour
    out.push_back(0);                                                  // background colour
    out.push_back(0);                                                  // square pixels
    for (std::uint32_t rgb : palette) {
        out.push_back(static_cast<std::uint8_t>(rgb >> 16));
        out.push_back(static_cast<std::uint8_t>(rgb >> 8));
        out.push_back(static_cast<std::uint8_t>(rgb));
    }
    out.push_back(0x2c); // image descriptor
    put16(out, 0);
    put16(out, 0);
    put16(out, picture.width);
    put16(out, picture.height);
    out.push_back(0); // no local table, not interlaced
    const int minCodeSize = bits < 2 ? 2 : bits;
    out.push_back(static_cast<std::uint8_t>(minCodeSize));
    lzwEncode(indices, minCodeSize, out);
    out.push_back(0x3b); // trailer

    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) {
        error = std::strerror(errno);
        return false;
    }
    const bool written = std::fwrite(out.data(), 1, out.size(), file) == out.size();
    const bool closed = std::fclose(file) == 0;
    if (!written || !closed) {
        error = "could not write the file";
        return false;
    }
    return true;
}

} // namespace formats
