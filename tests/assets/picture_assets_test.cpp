#include "assets/assets.h"
#include "platform/image/picture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <unistd.h>

namespace fs = std::filesystem;

TEST(ProgramPictures, NineteenRealPicturesWithWhiteCornersAndAMainColourEach)
{
    const fs::path out = fs::temp_directory_path() / ("skarvel-assets-" + std::to_string(::getpid()));
    ASSERT_TRUE(writePictures(out.string()));

    const char* const names[] = {
        "data/lowres.bmp", "data/pac.bmp", "data/map.bmp", "data/bb1.jpg", "data/bb3.gif", "data/bb2.jpg",
        "info/1.jpg",      "info/2.jpg",   "info/3.jpg",   "info/4.jpg",   "info/5.jpg",   "info/6.jpg",
        "info/7.jpg",      "info/8.jpg",   "info/9.jpg",   "info/10.jpg",  "info/11.jpg",  "info/12.jpg",
        "info/13.jpg",
    };
    std::map<std::array<int, 3>, std::string> mainColours;
    bool somePowerOfTwoMissed = false;
    for (const char* name : names) {
        SCOPED_TRACE(name);
        const fs::path file = out / name;

        // The contents are of the kind the name says.
        std::ifstream in(file, std::ios::binary);
        char magic[4] = {};
        in.read(magic, 4);
        const std::string ext = file.extension().string();
        if (ext == ".bmp")
            EXPECT_EQ(std::string(magic, 2), "BM");
        else if (ext == ".gif")
            EXPECT_EQ(std::string(magic, 4), "GIF8");
        else
            EXPECT_EQ(std::string(magic, 2), "\xff\xd8");

        formats::Picture p;
        std::string error;
        ASSERT_TRUE(platform::loadPicture(file.string(), p, error)) << error;
        EXPECT_GE(std::min(p.width, p.height), 32);
        EXPECT_LE(std::max(p.width, p.height), 256);
        for (int side : {p.width, p.height})
            somePowerOfTwoMissed |= (side & (side - 1)) != 0;

        for (auto [x, y] : {std::pair{0, 0}, {p.width - 1, 0}, {0, p.height - 1}, {p.width - 1, p.height - 1}})
            for (int c = 0; c < 3; ++c)
                EXPECT_GE(p.at(x, y)[c], 225) << "corner " << x << "," << y;

        // The main colour: the most common colour once each component is cut
        // into four ranges.
        std::map<std::array<int, 3>, int> counts;
        for (int y = 0; y < p.height; ++y)
            for (int x = 0; x < p.width; ++x) {
                const std::uint8_t* px = p.at(x, y);
                ++counts[{px[0] / 64, px[1] / 64, px[2] / 64}];
            }
        auto main = std::max_element(counts.begin(), counts.end(),
                                     [](const auto& a, const auto& b) { return a.second < b.second; });
        EXPECT_NE(main->first, (std::array<int, 3>{3, 3, 3})) << "main colour is white";
        auto [it, fresh] = mainColours.emplace(main->first, name);
        EXPECT_TRUE(fresh) << "same main colour as " << it->second;
    }
    EXPECT_TRUE(somePowerOfTwoMissed);
    fs::remove_all(out);
}
