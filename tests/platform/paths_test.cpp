#include "platform/paths.h"

#include <gtest/gtest.h>

#include <unistd.h>

TEST(Paths, BackslashesBecomeSlashes)
{
    EXPECT_EQ(platform::nativePath("data\\pac.bmp"), "data/pac.bmp");
    EXPECT_EQ(platform::nativePath("info\\13.jpg"), "info/13.jpg");
    EXPECT_EQ(platform::nativePath("data/coin.wav"), "data/coin.wav");
    EXPECT_EQ(platform::nativePath(""), "");
}

TEST(Paths, ProgramAndWorkingFoldersEndWithASlash)
{
    std::string dir = platform::programDirectory();
    ASSERT_FALSE(dir.empty());
    EXPECT_EQ(dir.back(), '/');
    EXPECT_EQ(access((dir + "platform_core_tests").c_str(), X_OK), 0);
    std::string cwd = platform::currentDirectory();
    ASSERT_FALSE(cwd.empty());
    EXPECT_EQ(cwd.back(), '/');
}
