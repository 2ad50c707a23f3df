#include "platform/image/picture.h"

#include "formats/gif_writer.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

class PictureFiles : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir = fs::temp_directory_path() /
              ("skarvel-picture-" + std::to_string(::getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }
    std::string file(const char* name) const { return (dir / name).string(); }

    fs::path dir;
};

// Four quadrants in colours whose channels all differ, so that a flipped,
// mirrored or channel-swapped picture shows.
formats::Picture quadrants(int w, int h)
{
    formats::Picture p(w, h);
    p.fill(0, 0, w / 2, h / 2, 200, 100, 40);            // top left
    p.fill(w / 2, 0, w - w / 2, h / 2, 30, 180, 90);     // top right
    p.fill(0, h / 2, w / 2, h - h / 2, 60, 20, 220);     // bottom left
    p.fill(w / 2, h / 2, w - w / 2, h - h / 2, 240, 230, 10); // bottom right
    return p;
}

void expectNear(const formats::Picture& p, int x, int y, int r, int g, int b, int tolerance)
{
    const std::uint8_t* px = p.at(x, y);
    EXPECT_NEAR(px[0], r, tolerance) << "at " << x << "," << y;
    EXPECT_NEAR(px[1], g, tolerance) << "at " << x << "," << y;
    EXPECT_NEAR(px[2], b, tolerance) << "at " << x << "," << y;
}

} // namespace

TEST_F(PictureFiles, EachFormatRoundTripsUprightInRGBOrder)
{
    const formats::Picture original = quadrants(48, 36);
    struct Case {
        const char* name;
        int tolerance;
    } cases[] = {{"q.bmp", 0}, {"q.gif", 0}, {"q.jpg", 12}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string error;
        const std::string path = file(c.name);
        bool saved = false;
        if (path.ends_with(".bmp"))
            saved = platform::saveBMP(original, path, error);
        else if (path.ends_with(".gif"))
            saved = formats::saveGIF(original, path, error);
        else
            saved = platform::saveJPEG(original, path, 95, error);
        ASSERT_TRUE(saved) << error;

        formats::Picture loaded;
        ASSERT_TRUE(platform::loadPicture(path, loaded, error)) << error;
        ASSERT_EQ(loaded.width, 48);
        ASSERT_EQ(loaded.height, 36);
        // Sample away from the quadrant borders, where JPEG blurs.
        expectNear(loaded, 8, 6, 200, 100, 40, c.tolerance);
        expectNear(loaded, 40, 6, 30, 180, 90, c.tolerance);
        expectNear(loaded, 8, 30, 60, 20, 220, c.tolerance);
        expectNear(loaded, 40, 30, 240, 230, 10, c.tolerance);
        EXPECT_EQ(loaded.at(0, 0)[3], 255);
    }
}

TEST_F(PictureFiles, GifKeepsEveryPixelOfBusyAndPlainPictures)
{
    // 256 colours in a scrambled order fill the code table many times over, so
    // code widths up to 12 bits and table resets are all exercised.
    formats::Picture busy(211, 157);
    unsigned state = 7;
    for (int y = 0; y < busy.height; ++y)
        for (int x = 0; x < busy.width; ++x) {
            state = state * 1103515245u + 12345u;
            const std::uint8_t v = static_cast<std::uint8_t>(state >> 16);
            busy.fill(x, y, 1, 1, v, static_cast<std::uint8_t>(255 - v), static_cast<std::uint8_t>(v * 7));
        }
    formats::Picture plain(1, 1);
    plain.fill(0, 0, 1, 1, 9, 8, 7);
    formats::Picture bands(300, 3);
    for (int x = 0; x < 300; ++x)
        bands.fill(x, 0, 1, 3, static_cast<std::uint8_t>(x / 100 * 100), 0, 0);

    for (const formats::Picture* p : {&busy, &plain, &bands}) {
        std::string error;
        ASSERT_TRUE(formats::saveGIF(*p, file("g.gif"), error)) << error;
        formats::Picture loaded;
        ASSERT_TRUE(platform::loadPicture(file("g.gif"), loaded, error)) << error;
        ASSERT_EQ(loaded.width, p->width);
        ASSERT_EQ(loaded.height, p->height);
        EXPECT_EQ(loaded.rgba, p->rgba);
    }
}

TEST_F(PictureFiles, WritersRefuseWhatTheyCannotStore)
{
    formats::Picture many(257, 1);
    for (int x = 0; x < 257; ++x)
        many.fill(x, 0, 1, 1, static_cast<std::uint8_t>(x), static_cast<std::uint8_t>(x >> 8), 0);
    std::string error;
    EXPECT_FALSE(formats::saveGIF(many, file("many.gif"), error));
    EXPECT_FALSE(error.empty());

    formats::Picture empty;
    EXPECT_FALSE(formats::saveGIF(empty, file("e.gif"), error));
    EXPECT_FALSE(platform::saveBMP(empty, file("e.bmp"), error));
    EXPECT_FALSE(platform::saveJPEG(empty, file("e.jpg"), 90, error));
    EXPECT_FALSE(platform::saveBMP(quadrants(4, 4), file("no-such-folder/x.bmp"), error));
}

TEST_F(PictureFiles, LoadFailsCleanlyOnWhatIsNotAPicture)
{
    std::ofstream(file("text.jpg")) << "not a picture at all";
    std::ofstream(file("empty.bmp"));
    // A GIF whose colour table runs into the trailer: it has no image at all.
    const char noImage[] = "GIF89a\1\0\1\0\x80\1\0\0\2\2L\1\0;";
    std::ofstream(file("no-image.gif"), std::ios::binary).write(noImage, sizeof noImage - 1);
    std::string error;
    const formats::Picture png = quadrants(8, 8);
    ASSERT_EQ(mkfifo(file("fifo.bmp").c_str(), 0600), 0);
    alarm(60);  // a read that waits on the FIFO ends the tests instead of hanging them
    for (const std::string& path : {file("missing.jpg"), file("text.jpg"), file("empty.bmp"), file("no-image.gif"),
                                    dir.string(), std::string("http://localhost/pic.jpg"), file("fifo.bmp")}) {
        SCOPED_TRACE(path);
        formats::Picture loaded = png;
        error.clear();
        EXPECT_FALSE(platform::loadPicture(path, loaded, error));
        EXPECT_FALSE(error.empty());
        EXPECT_EQ(loaded.width, 0);
        EXPECT_TRUE(loaded.rgba.empty());
    }
    alarm(0);
    // A file of the largest size is read, one larger is not.
    formats::Picture loaded;
    ASSERT_TRUE(platform::saveBMP(png, file("big.bmp"), error));
    fs::resize_file(file("big.bmp"), platform::maxPictureFileBytes);
    EXPECT_TRUE(platform::loadPicture(file("big.bmp"), loaded, error)) << error;
    fs::resize_file(file("big.bmp"), platform::maxPictureFileBytes + 1);
    EXPECT_FALSE(platform::loadPicture(file("big.bmp"), loaded, error));
    // The reason given is that picture's own, not that of a failure before it.
    platform::loadPicture(file("missing.jpg"), loaded, error);
    EXPECT_FALSE(platform::loadPicture(file("no-image.gif"), loaded, error));
    EXPECT_EQ(error.find("missing"), std::string::npos) << error;
    EXPECT_FALSE(platform::loadPicture(file("empty.bmp"), loaded, error));
    EXPECT_EQ(error, "not a BMP, JPEG or GIF picture");
}

TEST_F(PictureFiles, ABitmapWithNoPixelsIsRefused)
{
    // A well-formed header for a 0 x 0, 24-bit bitmap.
    const unsigned char header[54] = {'B', 'M', 54, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0, 40, 0, 0, 0,
                                      0,   0,   0,  0, 0, 0, 0, 0, 1, 0, 24, 0};
    std::ofstream(file("zero.bmp"), std::ios::binary).write(reinterpret_cast<const char*>(header), sizeof header);
    formats::Picture loaded;
    std::string error;
    EXPECT_FALSE(platform::loadPicture(file("zero.bmp"), loaded, error));
    EXPECT_EQ(loaded.width, 0);
}

namespace {

long peakResidentKilobytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

void patchBytes(const std::string& path, size_t offset, std::initializer_list<std::uint8_t> bytes)
{
    std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary);
    file.seekp(static_cast<std::streamoff>(offset));
    for (std::uint8_t b : bytes)
        file.put(static_cast<char>(b));
}

size_t findBytes(const std::string& path, std::initializer_list<std::uint8_t> bytes)
{
    std::ifstream in(path, std::ios::binary);
    const std::string content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return content.find(std::string(bytes.begin(), bytes.end()));
}

} // namespace

TEST_F(PictureFiles, HugeDeclaredSizesAreRefusedWithoutTakingTheMemory)
{
    // Small files whose headers claim 12000 x 12000 pixels (the bitmap top-down):
    // decoding them would take more than a gigabyte each.
    const formats::Picture small = quadrants(16, 16);
    std::string error;
    ASSERT_TRUE(platform::saveBMP(small, file("huge.bmp"), error));
    patchBytes(file("huge.bmp"), 18, {0xe0, 0x2e, 0, 0, 0x20, 0xd1, 0xff, 0xff});
    ASSERT_TRUE(formats::saveGIF(small, file("huge.gif"), error));
    patchBytes(file("huge.gif"), 6, {0xe0, 0x2e, 0xe0, 0x2e});
    const size_t image = findBytes(file("huge.gif"), {0x2c, 0, 0, 0, 0});
    ASSERT_NE(image, std::string::npos);
    patchBytes(file("huge.gif"), image + 5, {0xe0, 0x2e, 0xe0, 0x2e});
    ASSERT_TRUE(platform::saveJPEG(small, file("huge.jpg"), 90, error));
    const size_t frame = findBytes(file("huge.jpg"), {0xff, 0xc0});
    ASSERT_NE(frame, std::string::npos);
    patchBytes(file("huge.jpg"), frame + 5, {0x2e, 0xe0, 0x2e, 0xe0});

    const long before = peakResidentKilobytes();
    for (const char* name : {"huge.bmp", "huge.gif", "huge.jpg"}) {
        SCOPED_TRACE(name);
        formats::Picture loaded;
        error.clear();
        EXPECT_FALSE(platform::loadPicture(file(name), loaded, error));
        EXPECT_FALSE(error.empty());
        EXPECT_TRUE(loaded.rgba.empty());
    }
    EXPECT_LT(peakResidentKilobytes() - before, 200 * 1024);

    // A picture of an ordinary size still loads after these.
    ASSERT_TRUE(formats::saveGIF(small, file("small.gif"), error));
    formats::Picture loaded;
    EXPECT_TRUE(platform::loadPicture(file("small.gif"), loaded, error)) << error;
}
