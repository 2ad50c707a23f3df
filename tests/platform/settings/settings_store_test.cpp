#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "platform/settings/settings_store.h"
#include "tests/platform/settings/config_home.h"

using platform::SettingsKey;
using platform::ValueRead;

namespace {

const std::string keyName = "Software\\ScreenSaverKestrova";

class SettingsStoreTest : public ::testing::Test {
protected:
    TemporaryConfigHome home;

    // Stores the values in one go, as the dialog does.
    bool store(std::initializer_list<std::pair<const char*, uint32_t>> values, std::string* error = nullptr)
    {
        auto key = SettingsKey::createForWriting(keyName, error);
        if (!key)
            return false;
        for (auto [name, data] : values)
            key->setDword(name, data);
        return key->close(error);
    }

    ValueRead query(const char* name, uint32_t& data)
    {
        auto key = SettingsKey::openForReading(keyName);
        return key ? key->queryDword(name, data) : ValueRead::missing;
    }

    size_t filesInFolder() const
    {
        size_t count = 0;
        for ([[maybe_unused]] auto& entry : std::filesystem::directory_iterator(home.file().parent_path()))
            ++count;
        return count;
    }
};

TEST(SettingsFilePath, FollowsTheConfigurationFolderRules)
{
    TemporaryConfigHome home;
    EXPECT_EQ(platform::settingsFilePath(), home.folder().string() + "/skarvel/settings.ini");

    std::string oldHome = std::getenv("HOME") ? std::getenv("HOME") : "";
    setenv("HOME", "/home/pilot", 1);
    setenv("XDG_CONFIG_HOME", "relative/folder", 1);  // not absolute: ignored
    EXPECT_EQ(platform::settingsFilePath(), "/home/pilot/.config/skarvel/settings.ini");
    unsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(platform::settingsFilePath(), "/home/pilot/.config/skarvel/settings.ini");
    setenv("XDG_CONFIG_HOME", "/cfg/", 1);
    EXPECT_EQ(platform::settingsFilePath(), "/cfg/skarvel/settings.ini");
    setenv("HOME", oldHome.c_str(), 1);
}

TEST_F(SettingsStoreTest, OpeningForReadingNeedsTheFileAndTheSection)
{
    std::string error = "stale";
    EXPECT_EQ(SettingsKey::openForReading(keyName, &error), nullptr);
    EXPECT_EQ(error, "");  // no file is no error

    home.writeFile("[Software\\Other]\nbitsPP=16\n");
    EXPECT_EQ(SettingsKey::openForReading(keyName), nullptr);

    home.writeFile("[Software\\ScreenSaverKestrova]\n");
    auto key = SettingsKey::openForReading(keyName);
    ASSERT_NE(key, nullptr);
    uint32_t data = 7;
    EXPECT_EQ(key->queryDword("bitsPP", data), ValueRead::missing);
    EXPECT_EQ(data, 7u);
}

TEST_F(SettingsStoreTest, StoresSignedDecimalsAndReadsThemBack)
{
    ASSERT_TRUE(store({{"bitsPP", 32}, {"sGravity", static_cast<uint32_t>(-1000500)}, {"dFps", 0xFFFFFFFFu}}));
    EXPECT_EQ(home.readFile(), "[Software\\ScreenSaverKestrova]\nbitsPP=32\nsGravity=-1000500\ndFps=-1\n");
    EXPECT_EQ(filesInFolder(), 1u);  // no temporary file left behind
    EXPECT_EQ(std::filesystem::status(home.file()).permissions() & std::filesystem::perms::all,
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);

    uint32_t data = 0;
    EXPECT_EQ(query("sGravity", data), ValueRead::found);
    EXPECT_EQ(static_cast<int32_t>(data), -1000500);
    EXPECT_EQ(query("dFps", data), ValueRead::found);
    EXPECT_EQ(data, 0xFFFFFFFFu);
    EXPECT_EQ(query("boxMass", data), ValueRead::missing);

    // Storing again rewrites the lines in place; the last of two sets counts.
    auto key = SettingsKey::createForWriting(keyName);
    key->setDword("bitsPP", 16);
    key->setDword("BITSPP", 24);
    ASSERT_TRUE(key->close());
    EXPECT_EQ(home.readFile(), "[Software\\ScreenSaverKestrova]\nbitsPP=24\nsGravity=-1000500\ndFps=-1\n");
}

TEST_F(SettingsStoreTest, ReadsLenientlyAndRejectsWhatIsNoThirtyTwoBitNumber)
{
    home.writeFile("; comment\n"
                   "bitsPP=99\n"  // before any section: belongs to no key
                   "[ software\\screensaverkestrova ]\n"
                   "  BitsPP  =  16  \n"
                   "bitsPP=24\n"  // a second line of the same name: the first counts
                   "# screenWidth=1\n"
                   "screenWidth=abc\n"
                   "screenHeight=\n"
                   "dFps=2147483648\n"
                   "low=-2147483649\n"
                   "hex=0x10\n"
                   "tail=12abc\n"
                   "[Software\\Other]\n"
                   "boxMass=5\n"
                   "[Software\\ScreenSaverKestrova]\n"
                   "min=-2147483648\n"
                   "plus=+7\n");
    auto key = SettingsKey::openForReading(keyName);
    ASSERT_NE(key, nullptr);
    uint32_t data = 0;
    EXPECT_EQ(key->queryDword("bitsPP", data), ValueRead::found);
    EXPECT_EQ(data, 16u);
    for (const char* name : {"screenWidth", "screenHeight", "dFps", "low", "hex", "tail"}) {
        data = 5;
        EXPECT_EQ(key->queryDword(name, data), ValueRead::unreadable) << name;
        EXPECT_EQ(data, 5u) << name;
    }
    EXPECT_EQ(key->queryDword("boxMass", data), ValueRead::missing);
    EXPECT_EQ(key->queryDword("min", data), ValueRead::found);
    EXPECT_EQ(data, 0x80000000u);
    EXPECT_EQ(key->queryDword("plus", data), ValueRead::found);
    EXPECT_EQ(data, 7u);
}

TEST_F(SettingsStoreTest, WritingKeepsEveryOtherLineOfABrokenFile)
{
    const std::string junk("\x00\xff\xfe binary\x01", 12);
    const std::string before = "[Software\\Other]\r\n"
                               "dFps=5\r\n"
                               "\r\n"
                               "[Software\\ScreenSaverKestrova]\r\n"
                               "screenWidth=800\r\n"
                               "no equals sign here\n" +
                               junk + "\n"
                               "\n"
                               "[Software\\Last]\n"
                               "dFps=7";  // cut off: no line end
    home.writeFile(before);

    uint32_t data = 0;
    EXPECT_EQ(query("screenWidth", data), ValueRead::found);
    EXPECT_EQ(data, 800u);

    ASSERT_TRUE(store({{"screenWidth", 640}, {"dFps", 30}}));
    EXPECT_EQ(home.readFile(), "[Software\\Other]\r\n"
                               "dFps=5\r\n"
                               "\r\n"
                               "[Software\\ScreenSaverKestrova]\r\n"
                               "screenWidth=640\r\n"
                               "no equals sign here\n" +
                                   junk + "\n"
                                   "dFps=30\n"
                                   "\n"
                                   "[Software\\Last]\n"
                                   "dFps=7");  // still without a line end

    // A file without the key gets a section of its own at the end.
    home.writeFile("[Software\\Other]\ndFps=5");
    ASSERT_TRUE(store({{"bitsPP", 16}}));
    EXPECT_EQ(home.readFile(), "[Software\\Other]\ndFps=5\n\n[Software\\ScreenSaverKestrova]\nbitsPP=16\n");
}

TEST_F(SettingsStoreTest, ReadsAnyLineEndsAndAByteOrderMarkAndKeepsThem)
{
    // LF, CRLF and CR: an added line takes the end of the line before it; one holding the number stays.
    home.writeFile("\xEF\xBB\xBF[Software\\ScreenSaverKestrova]\n dFps = +8 \r\nbitsPP=8\r[Other]\r\nx=1");
    ASSERT_TRUE(store({{"dFps", 8}, {"bitsPP", 16}, {"screenWidth", 640}}));
    EXPECT_EQ(home.readFile(),
              "\xEF\xBB\xBF[Software\\ScreenSaverKestrova]\n dFps = +8 \r\nbitsPP=16\rscreenWidth=640\r[Other]\r\nx=1");
}

TEST_F(SettingsStoreTest, ALinkStaysALinkAndTheFileItPointsToIsReplaced)
{
    namespace fs = std::filesystem;
    const fs::path dotfiles = home.file().parent_path() / "dotfiles";
    fs::create_directories(dotfiles);
    fs::create_symlink("dotfiles/a.ini", home.file());  // relative, to a link, to no file yet
    fs::create_symlink("b.ini", dotfiles / "a.ini");
    ASSERT_TRUE(store({{"bitsPP", 16}}));
    EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(dotfiles / "b.ini")));
    EXPECT_EQ(fs::read_symlink(home.file()), "dotfiles/a.ini");
    EXPECT_EQ(std::distance(fs::directory_iterator(dotfiles), {}), 2);  // b.ini, and no temporary file

    // A loop, or a target folder that cannot be written to: nothing is stored, and why is said.
    for (auto [target, why] : {std::pair<fs::path, const char*>{home.file(), "links"}, {"/sys/s.ini", "/sys"}}) {
        fs::remove(dotfiles / "a.ini");
        fs::create_symlink(target, dotfiles / "a.ini");
        std::string error;
        EXPECT_FALSE(store({{"bitsPP", 8}}, &error));
        EXPECT_NE(error.find(why), std::string::npos) << error;
    }
}

TEST_F(SettingsStoreTest, AnUnwritableLocationStoresNothingAndSaysWhy)
{
    // The configuration folder is a plain file: the folder cannot be made.
    std::filesystem::path blocker = home.folder() / "blocker";
    std::ofstream(blocker) << "x";
    setenv("XDG_CONFIG_HOME", blocker.c_str(), 1);
    std::string error;
    EXPECT_EQ(SettingsKey::createForWriting(keyName, &error), nullptr);
    EXPECT_NE(error.find("blocker"), std::string::npos) << error;
    EXPECT_EQ(SettingsKey::openForReading(keyName), nullptr);
    setenv("XDG_CONFIG_HOME", home.folder().c_str(), 1);

    // The settings file is a folder: it can be neither read nor replaced.
    std::filesystem::create_directories(home.file());
    error.clear();
    EXPECT_EQ(SettingsKey::openForReading(keyName, &error), nullptr);
    EXPECT_NE(error, "");
    error.clear();
    EXPECT_FALSE(store({{"bitsPP", 16}}, &error));
    EXPECT_NE(error.find("settings.ini"), std::string::npos) << error;
    EXPECT_TRUE(std::filesystem::is_directory(home.file()));
    EXPECT_EQ(filesInFolder(), 1u);
}

TEST_F(SettingsStoreTest, AFileThatCannotBeReadIsNeverReplaced)
{
    std::filesystem::create_directories(home.file().parent_path());
    ASSERT_EQ(mkfifo(home.file().c_str(), 0600), 0);  // reading must not wait on it either
    std::string error;
    EXPECT_EQ(SettingsKey::openForReading(keyName, &error), nullptr);
    EXPECT_NE(error, "");
    EXPECT_FALSE(store({{"bitsPP", 16}}));
    EXPECT_TRUE(std::filesystem::is_fifo(home.file()));

    // Nor is one larger than a settings file may be (1 MiB), and none is written larger.
    std::filesystem::remove(home.file());
    std::string large = "[Software\\ScreenSaverKestrova]\nbitsPP=8\n";
    large.resize((1 << 20) + 1, ';');
    home.writeFile(large);
    EXPECT_EQ(SettingsKey::openForReading(keyName), nullptr);
    home.writeFile(large.substr(0, large.size() - 20));
    EXPECT_FALSE(store({{"screenWidth", 800}, {"screenHeight", 600}}, &error));
    EXPECT_NE(error.find("larger than 1048576 bytes"), std::string::npos) << error;
    EXPECT_EQ(home.readFile().size(), large.size() - 20);
}

TEST_F(SettingsStoreTest, KeepsTheFileModeAndStoresNothingUnclosed)
{
    home.writeFile("[Software\\ScreenSaverKestrova]\nbitsPP=8\n");
    std::filesystem::permissions(home.file(), std::filesystem::perms::owner_read | std::filesystem::perms::group_read);
    {
        auto key = SettingsKey::createForWriting(keyName);
        key->setDword("bitsPP", 16);  // dropped without close()
    }
    EXPECT_EQ(home.readFile(), "[Software\\ScreenSaverKestrova]\nbitsPP=8\n");

    ASSERT_TRUE(store({{"bitsPP", 16}}));
    EXPECT_EQ(home.readFile(), "[Software\\ScreenSaverKestrova]\nbitsPP=16\n");
    EXPECT_EQ(std::filesystem::status(home.file()).permissions(),
              std::filesystem::perms::owner_read | std::filesystem::perms::group_read);
}

} // namespace
