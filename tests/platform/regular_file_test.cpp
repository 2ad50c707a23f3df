#include "platform/regular_file.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

class RegularFileTest : public testing::Test {
protected:
    void SetUp() override
    {
        char name[] = "/tmp/skarvel-regular-XXXXXX";
        ASSERT_NE(mkdtemp(name), nullptr);
        dir = name;
    }
    void TearDown() override { std::system(("rm -rf '" + dir + "'").c_str()); }

    std::string write(const std::string& name, const std::string& content)
    {
        const std::string path = dir + "/" + name;
        int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        EXPECT_GE(fd, 0);
        EXPECT_EQ(::write(fd, content.data(), content.size()), static_cast<ssize_t>(content.size()));
        ::close(fd);
        return path;
    }

    std::string dir;
};

// Whatever stands in a data file's place, reading it ends at once: what is no
// regular file, or is larger than its kind's limit, is refused with the reason.
TEST_F(RegularFileTest, OnlyRegularFilesWithinTheLimitAreRead)
{
    const std::string fifo = dir + "/fifo";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const std::string zero = dir + "/zero";
    ASSERT_EQ(symlink("/dev/zero", zero.c_str()), 0);
    const std::string socketPath = dir + "/socket";
    int listening = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    socketPath.copy(address.sun_path, sizeof address.sun_path - 1);
    ASSERT_EQ(bind(listening, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    const std::string huge = write("huge", "");
    ASSERT_EQ(truncate(huge.c_str(), 3LL << 30), 0);  // sparse: 3 GB that take no room
    const std::string linked = dir + "/linked";
    ASSERT_EQ(symlink(write("plain", "abc").c_str(), linked.c_str()), 0);

    struct Row {
        std::string path;
        uint64_t limit;
        bool read;
        bool absent;
        const char* why;
    };
    const Row rows[] = {
        {dir + "/plain", 3, true, false, ""},
        {linked, 3, true, false, ""},
        {write("empty", ""), 0, true, false, ""},
        {dir + "/plain", 2, false, false, "larger than 2 bytes"},
        {huge, uint64_t{1} << 30, false, false, "larger than 1073741824 bytes"},
        {fifo, 100, false, false, "not a regular file"},
        {zero, 100, false, false, "not a regular file"},
        {"/dev/null", 100, false, false, "not a regular file"},
        {socketPath, 100, false, false, "No such device or address"},
        {dir, 100, false, false, "a folder, not a file"},
        {dir + "/missing", 100, false, true, "No such file or directory"},
        {dir + "/plain/below", 100, false, true, "Not a directory"},
    };
    for (const Row& row : rows) {
        std::vector<uint8_t> bytes{1};
        std::string error;
        bool absent = !row.absent;
        EXPECT_EQ(platform::readRegularFile(row.path, row.limit, bytes, error, &absent), row.read) << row.path;
        EXPECT_EQ(absent, row.absent) << row.path;
        EXPECT_EQ(error, row.read ? "" : row.why) << row.path;
        if (!row.read) {
            EXPECT_TRUE(bytes.empty()) << row.path;
        }
    }
    ::close(listening);

    std::vector<uint8_t> bytes;
    std::string error;
    ASSERT_TRUE(platform::readRegularFile(linked, 3, bytes, error));
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "abc");
}

// A file that grows past its limit after it was opened is refused, not read on.
TEST_F(RegularFileTest, AFileGrowingPastItsLimitIsRefused)
{
    const std::string path = write("growing", "12345");
    platform::RegularFile file;
    ASSERT_TRUE(file.open(path, 8));
    write("growing", "123456789");
    std::vector<uint8_t> bytes;
    EXPECT_FALSE(file.readAll(bytes));
    EXPECT_EQ(file.error(), "larger than 8 bytes");
    EXPECT_TRUE(bytes.empty());
}

} // namespace
