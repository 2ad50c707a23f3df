#include <cmath>
#include <gtest/gtest.h>
#include <limits>

#include "arena/tunables.h"
#include "tests/platform/settings/config_home.h"
#include "platform/settings/settings_store.h"
#include "platform/window/message_box.h"
#include "shell/settings.h"

namespace {

using Texts = std::map<int, std::string>;

const int allFields[] = {fieldBitsPP, fieldScreenWidth, fieldScreenHeight, fieldDesiredFps, fieldGravity, fieldBoxMass};

// A stand-in for the user at the dialog: remembers what the dialog showed,
// types `typed` over it and closes it with `button`.
struct FakeUser {
    int button = platform::dialogIdOk;
    Texts typed;
    Texts shown;
    std::string title;

    ShowDialog dialog()
    {
        return [this](const platform::DialogTemplate& dialog, Texts& texts, std::string&) {
            title = dialog.title;
            shown = texts;
            for (const auto& [id, text] : typed)
                texts[id] = text;
            return button;
        };
    }
};

class SettingsTest : public ::testing::Test {
protected:
    TemporaryConfigHome home;

    std::string boxes;  // each box shown, as "title: text" lines; none may wait
    void SetUp() override
    {
        resetSettings();
        platform::setMessageBoxHook([this](const std::string& text, const std::string& title, uint32_t) {
            boxes += title + ": " + text + "\n";
            return platform::IDOK;
        });
    }
    void TearDown() override { resetSettings(); platform::setMessageBoxHook(nullptr); }

    // The dialog's run, with settings fresh as at a program start.
    Texts runDialog(FakeUser& user)
    {
        resetSettings();
        runSettingsDialog(user.dialog());
        return user.shown;
    }

    int32_t stored(const char* name)
    {
        auto key = platform::SettingsKey::openForReading(settingsKeyName);
        uint32_t data = 0xDEADBEEF;
        EXPECT_NE(key, nullptr);
        if (key) {
            EXPECT_EQ(key->queryDword(name, data), platform::ValueRead::found) << name;
        }
        return static_cast<int32_t>(data);
    }
};

TEST_F(SettingsTest, OkUnchangedStoresTheDefaultsScaledAndTheDialogShowsThemAgain)
{
    FakeUser user;
    Texts shown = runDialog(user);
    EXPECT_EQ(user.title, "Screen Saver Config.");
    EXPECT_EQ(shown, (Texts{{fieldBitsPP, "32"},
                            {fieldScreenWidth, "1024"},
                            {fieldScreenHeight, "768"},
                            {fieldDesiredFps, "999999"},
                            {fieldGravity, "-10.00500"},
                            {fieldBoxMass, "0.02000"}}));

    EXPECT_EQ(stored("bitsPP"), 32);
    EXPECT_EQ(stored("screenWidth"), 1024);
    EXPECT_EQ(stored("screenHeight"), 768);
    EXPECT_EQ(stored("dFps"), 999999);
    EXPECT_EQ(stored("sGravity"), -1000500);
    EXPECT_EQ(stored("boxMass"), 1999);  // 0.02 as a float is slightly below 0.02

    shown = runDialog(user);
    EXPECT_EQ(shown[fieldGravity], "-10.00500");
    EXPECT_EQ(shown[fieldBoxMass], "0.01999");
    EXPECT_EQ(shown[fieldDesiredFps], "999999");
}

TEST_F(SettingsTest, CancelEscapeCloseBoxAndNoDisplayStoreNothing)
{
    FakeUser user;
    user.button = platform::dialogIdCancel;  // also what Escape and the close box give
    for (int field : allFields)
        user.typed[field] = "5";
    runDialog(user);
    EXPECT_FALSE(home.fileExists());

    home.writeFile("[Software\\ScreenSaverKestrova]\nbitsPP=16\n");
    runDialog(user);
    EXPECT_EQ(home.readFile(), "[Software\\ScreenSaverKestrova]\nbitsPP=16\n");

    auto noDisplay = [](const platform::DialogTemplate&, Texts&, std::string& error) {
        error = "no display (DISPLAY is not set)";
        return -1;
    };
    testing::internal::CaptureStderr();
    runSettingsDialog(noDisplay);
    std::string said = testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("DISPLAY is not set"), std::string::npos) << said;
    EXPECT_EQ(home.readFile(), "[Software\\ScreenSaverKestrova]\nbitsPP=16\n");
}

TEST_F(SettingsTest, WholeNumberFieldsReadAsUnsignedOrZero)
{
    const std::pair<const char*, uint32_t> cases[] = {
        {"32", 32},        {"  640 ", 640},       {"0", 0},          {"-5", 0},    {"+5", 0},
        {"abc", 0},        {"12abc", 0},          {"", 0},           {"1 2", 0},   {"4294967295", 4294967295u},
        {"4294967296", 0}, {"99999999999999", 0}, {"000000000017", 17},
    };
    for (auto [text, value] : cases)
        EXPECT_EQ(readWholeNumberField(text), value) << '"' << text << '"';

    // Shown unsigned: a setting past 2^31 comes back as typed.
    FakeUser user;
    user.typed = {{fieldBitsPP, "-16"}, {fieldScreenWidth, "3000000000"}, {fieldDesiredFps, "30 fps"}};
    runDialog(user);
    EXPECT_EQ(stored("bitsPP"), 0);
    EXPECT_EQ(stored("screenWidth"), -1294967296);
    EXPECT_EQ(stored("dFps"), 0);
    EXPECT_EQ(runDialog(user)[fieldScreenWidth], "3000000000");
}

TEST_F(SettingsTest, RealFieldsReadTheNumberAtTheStart)
{
    const float inf = std::numeric_limits<float>::infinity();
    const std::pair<const char*, float> cases[] = {
        {"-9.81", -9.81f}, {"  +2.5e1xyz", 25.0f}, {".5", 0.5f},  {"5.", 5.0f},    {"1e", 1.0f},
        {"1e+", 1.0f},     {"2E-1kg", 0.2f},       {"abc", 0.0f}, {"", 0.0f},      {"-.e5", 0.0f},
        {"inf", 0.0f},     {"nan", 0.0f},          {"0x1p3", 0.0f}, {"1e50", inf}, {"-1e50", -inf},
        {"1e-50", 0.0f},   {"3,5", 3.0f},
    };
    for (auto [text, value] : cases)
        EXPECT_EQ(readRealField(text), value) << '"' << text << '"';

    // The field is read through a buffer of 255 characters with its zero.
    EXPECT_EQ(readRealField(std::string(253, ' ') + "7"), 7.0f);
    FakeUser user;
    user.typed = {{fieldGravity, std::string(254, ' ') + "7"}, {fieldBoxMass, "0.5 kg"}};
    runDialog(user);
    EXPECT_EQ(stored("sGravity"), 0);
    EXPECT_EQ(stored("boxMass"), 50000);
}

TEST_F(SettingsTest, TypedGravityReachesTheNextFullScreenRun)
{
    FakeUser user;
    user.typed = {{fieldGravity, "-9.81"}, {fieldScreenWidth, "800"}, {fieldScreenHeight, "600"}};
    runDialog(user);
    EXPECT_EQ(stored("sGravity"), -981000);

    resetSettings();
    loadSettings();
    EXPECT_EQ(Gravity, -9.81f);
    EXPECT_EQ(screenWidth, 800);
    EXPECT_EQ(screenHeight, 600);
    EXPECT_EQ(bitsPP, 32);
    EXPECT_FLOAT_EQ(boxMass, 0.01999f);
}

TEST_F(SettingsTest, RealsBeyondTheStoredRangeAreClamped)
{
    const float inf = std::numeric_limits<float>::infinity();
    EXPECT_EQ(storedHundredThousandths(-10.005f), -1000500);
    EXPECT_EQ(storedHundredThousandths(0.02f), 1999);
    EXPECT_EQ(storedHundredThousandths(-0.0000099f), 0);
    EXPECT_EQ(storedHundredThousandths(21474.8359375f), 2147483593);
    EXPECT_EQ(storedHundredThousandths(21474.837890625f), INT32_MAX);  // the next float up
    EXPECT_EQ(storedHundredThousandths(-21474.837890625f), INT32_MIN);
    EXPECT_EQ(storedHundredThousandths(inf), INT32_MAX);
    EXPECT_EQ(storedHundredThousandths(-inf), INT32_MIN);
    EXPECT_EQ(storedHundredThousandths(std::nanf("")), 0);

    FakeUser user;
    user.typed = {{fieldGravity, "1e30"}, {fieldBoxMass, "-1e99"}};
    runDialog(user);
    EXPECT_EQ(stored("sGravity"), INT32_MAX);
    EXPECT_EQ(stored("boxMass"), INT32_MIN);
    loadSettings();
    EXPECT_FLOAT_EQ(Gravity, 21474.83647f);
    EXPECT_FLOAT_EQ(boxMass, -21474.83648f);
}

TEST_F(SettingsTest, APartialFileChangesOnlyItsValues)
{
    home.writeFile("[Software\\ScreenSaverKestrova]\nscreenWidth=800\nsGravity=-981000\n");
    loadSettings();
    EXPECT_EQ(screenWidth, 800);
    EXPECT_EQ(Gravity, -9.81f);
    EXPECT_EQ(bitsPP, 32);
    EXPECT_EQ(screenHeight, 768);
    EXPECT_EQ(dFps, 999999);
    EXPECT_EQ(boxMass, 0.02f);
}

TEST_F(SettingsTest, TheFullScreenRoadReplacesUnusableDisplayValuesAndSaysSo)
{
    const std::string file = "[Software\\ScreenSaverKestrova]\n"
                             "bitsPP=1000\nscreenWidth=0\nscreenHeight=-768\ndFps=-3\n"
                             "sGravity=junk\nboxMass=99999999999\n";
    home.writeFile(file);
    testing::internal::CaptureStderr();
    loadSettings();
    std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(bitsPP, 32);
    EXPECT_EQ(screenWidth, 1024);
    EXPECT_EQ(screenHeight, 768);
    EXPECT_EQ(dFps, -3);  // only shown and stored
    EXPECT_EQ(Gravity, -10.005f);
    EXPECT_EQ(boxMass, 0.02f);
    for (const char* word : {"bitsPP", "screen width 0", "screen height -768", "sGravity", "boxMass"})
        EXPECT_NE(said.find(word), std::string::npos) << word << " in: " << said;
    EXPECT_EQ(home.readFile(), file);  // the store is left as it is

    // The dialog shows what is stored.
    testing::internal::CaptureStderr();
    FakeUser user;
    user.button = platform::dialogIdCancel;
    Texts shown = runDialog(user);
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(shown[fieldBitsPP], "1000");
    EXPECT_EQ(shown[fieldScreenWidth], "0");
    EXPECT_EQ(shown[fieldScreenHeight], "4294966528");
    EXPECT_EQ(shown[fieldGravity], "-10.00500");
}

TEST_F(SettingsTest, ABrokenFileLosesNothingReadable)
{
    using namespace std::string_literals;
    const std::string junk = "\x7f" "ELF\x00\x01\x02 bitsPP\n\xff\xfe=\n"s;
    home.writeFile(junk + "[Software\\ScreenSaverKestrova]\nscreenHeight=600\n" + junk + "screenWidth=8");
    loadSettings();
    EXPECT_EQ(screenHeight, 600);
    EXPECT_EQ(screenWidth, 8);

    FakeUser user;
    user.typed = {{fieldBitsPP, "16"}};
    Texts shown = runDialog(user);
    EXPECT_EQ(shown[fieldScreenWidth], "8");
    std::string after = home.readFile();
    EXPECT_EQ(after.substr(0, junk.size()), junk);
    EXPECT_NE(after.find(junk + "screenWidth=8\n"), std::string::npos);
    EXPECT_EQ(stored("bitsPP"), 16);
    EXPECT_EQ(stored("screenHeight"), 600);
}

TEST_F(SettingsTest, AnUnwritableLocationStoresNothingAndSaysSo)
{
    std::filesystem::path blocker = home.folder() / "blocker";
    std::ofstream(blocker) << "x";
    setenv("XDG_CONFIG_HOME", blocker.c_str(), 1);
    FakeUser user;
    user.typed = {{fieldBitsPP, "16"}};
    testing::internal::CaptureStderr();
    runDialog(user);
    std::string said = testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("not stored"), std::string::npos) << said;
    EXPECT_EQ(bitsPP, 16);  // memory has changed; the program ends right after
    EXPECT_EQ(boxes, said);  // a box says it too, in the same words
}

TEST_F(SettingsTest, AFileThatCannotBeReadIsSaidInOneLine)
{
    std::filesystem::create_directories(home.file());
    testing::internal::CaptureStderr();
    loadSettings();
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "skarvel: cannot read " + home.file().string() + ": a folder, not a file; using the present settings\n");
}

TEST_F(SettingsTest, OkStoresWhatWasReadNumberForNumberAndOnlyWhatWasTypedAnew)
{
    const std::string file = "[Software\\ScreenSaverKestrova]\nbitsPP=-2147483648\nscreenWidth=2147483647\n"
                             "screenHeight=-1\ndFps=0\nsGravity=-70000\nboxMass=3\n";
    home.writeFile(file);
    FakeUser user;
    runDialog(user);
    EXPECT_EQ(home.readFile(), file);
    user.typed = {{fieldGravity, "-0.7"}, {fieldBoxMass, "0.00003"}};  // the second typed back as it was shown
    runDialog(user);
    EXPECT_EQ(stored("sGravity"), -69999);  // -0.7 as a float is slightly above -0.7
    EXPECT_EQ(stored("boxMass"), 3);
}

} // namespace
