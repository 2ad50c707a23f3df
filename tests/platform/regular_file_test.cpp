#include "platform/regular_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <tuple>
#include <unistd.h>

namespace {

// Only a regular file within its limit is read; anything else is refused at once, with the reason.
TEST(RegularFile, OnlyRegularFilesWithinTheLimitAreRead)
{
    alarm(60);  // an open that waits on the FIFO ends the tests instead of hanging them
    char name[] = "/tmp/skarvel-regular-XXXXXX";
    ASSERT_NE(mkdtemp(name), nullptr);
    const std::string dir = std::string(name) + "/";
    std::ofstream(dir + "plain") << "abc";
    ASSERT_EQ(symlink("plain", (dir + "linked").c_str()) | symlink("/dev/zero", (dir + "zero").c_str()), 0);
    ASSERT_EQ(mkfifo((dir + "fifo").c_str(), 0600), 0);
    ASSERT_EQ(mknod((dir + "socket").c_str(), S_IFSOCK | 0600, 0), 0);  // a socket's file, as bind() leaves it
    for (const auto& [file, limit, why, absent] : std::vector<std::tuple<std::string, uint64_t, std::string, bool>>{
             {"plain", 3, "", false}, {"linked", 3, "", false}, {"plain", 2, "larger than 2 bytes", false},
             {"fifo", 9, "not a regular file", false}, {"zero", 9, "not a regular file", false},
             {"socket", 9, "not a regular file", false}, {"", 9, "a folder, not a file", false},
             {"missing", 9, "No such file or directory", true}, {"plain/below", 9, "Not a directory", true}}) {
        std::vector<uint8_t> bytes{1};
        std::string error;
        bool saidAbsent = !absent;
        EXPECT_EQ(platform::readRegularFile(dir + file, limit, bytes, error, &saidAbsent), why.empty()) << file;
        EXPECT_EQ(error, why) << file;
        EXPECT_EQ(saidAbsent, absent) << file;
        EXPECT_EQ(std::string(bytes.begin(), bytes.end()), why.empty() ? "abc" : "") << file;
    }
    alarm(0);

    // A file that grows past its limit after it was opened is refused, not read on.
    platform::RegularFile file;
    ASSERT_TRUE(file.open(dir + "plain", 5));
    std::ofstream(dir + "plain") << "123456789";
    std::vector<uint8_t> bytes;
    EXPECT_FALSE(file.readAll(bytes));
    EXPECT_EQ(file.error(), "larger than 5 bytes");
    std::filesystem::remove_all(dir);
}

} // namespace
