#include "fake_window_system.h"

#include "arena/scene.h"
#include "platform/stop_signals.h"
#include "shell/entry.h"
#include "shell/gl_window.h"
#include "tests/platform/settings/config_home.h"

#include <gtest/gtest.h>

using platform::HostWindow;

TEST(ScreenSaverRole, TheSecondCharacterAloneDecides)
{
    const struct {
        const char* text;
        ScreenSaverRole role;
    } cases[] = {
        {"/s", ScreenSaverRole::FullScreen},     {"-S", ScreenSaverRole::FullScreen},
        {"/S", ScreenSaverRole::FullScreen},     {"/save", ScreenSaverRole::FullScreen},
        {"xs", ScreenSaverRole::FullScreen},     {"/p 1234", ScreenSaverRole::Preview},
        {"-P 1234", ScreenSaverRole::Preview},   {"/p", ScreenSaverRole::Preview},
        {"/c", ScreenSaverRole::Settings},       {"/c:1234", ScreenSaverRole::Settings},
        {"/a", ScreenSaverRole::Settings},       {"s", ScreenSaverRole::Settings},
        {"", ScreenSaverRole::Settings},         {" s", ScreenSaverRole::FullScreen},
        {"ps", ScreenSaverRole::FullScreen},     {"sp", ScreenSaverRole::Preview},
    };
    for (const auto& c : cases)
        EXPECT_EQ(screenSaverRole(c.text), c.role) << '"' << c.text << '"';
    EXPECT_EQ(screenSaverRole(nullptr), ScreenSaverRole::Settings);
}

TEST(PreviewHostWindow, ReadsTheNumberAfterTheFirstBlank)
{
    const struct {
        const char* text;
        HostWindow host;
    } cases[] = {
        {"/p 1234", 1234},
        {"-P 1234", 1234},
        {"/p   77", 77},
        {"/p \t 77", 77},
        {"/p +77", 77},
        {"/p 77abc", 77},
        {"/p 12 34", 12},
        {"/p 4294967295", 4294967295ul},
        // No window: no blank, nothing or junk after it, a sign, too large.
        {"/p", 0},
        {"/p1234", 0},
        {"/p ", 0},
        {"/p junk", 0},
        {"/p -5", 0},
        {"/p 4294967296", 0},
        {"/p 99999999999999999999999999", 0},
        {"/p +", 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(previewHostWindow(c.text), c.host) << '"' << c.text << '"';
    EXPECT_EQ(previewHostWindow(nullptr), 0u);
}

class WinMainFailure : public ::testing::Test {
protected:
    void SetUp() override { resetShellState(); }
    void TearDown() override
    {
        destroyScene();
        resetShellState();
    }
    TemporaryConfigHome configHome;  // the full-screen road reads the settings: none of the user's
    FakeWindowSystem fake;
    BoxRecorder recorder{&fake};
};

TEST_F(WinMainFailure, APreviewOfAWindowThatDoesNotExistEndsWithZeroBeforeAnythingIsBuilt)
{
    EXPECT_EQ(winMain("/p 999"), 0);
    EXPECT_EQ(recorder.texts(), std::vector<std::string>{"Window Creation Error."});
    // The host's size could not be read: the window was asked for with 0 by 0,
    // never with whatever happened to be in memory.
    EXPECT_EQ(fake.width, 0);
    EXPECT_EQ(fake.height, 0);
    EXPECT_EQ(fake.parent, 999u);
    EXPECT_FALSE(sceneExists());
    EXPECT_EQ(previewMode, 0);
    EXPECT_FALSE(fake.called("peekMessage"));
}

TEST_F(WinMainFailure, AFullScreenRunWhoseWindowClassFailsEndsWithZero)
{
    fake.failing = {"registerClass"};
    EXPECT_EQ(winMain("/s"), 0);
    EXPECT_EQ(recorder.texts(), std::vector<std::string>{"Failed To Register The Window Class."});
    EXPECT_FALSE(sceneExists());
}

// A stop before any window shows nothing; one while the ODE error box shows releases the window, exit code 0.
TEST_F(WinMainFailure, AStopEndsWithZeroShowingNothingOrReleasingTheWindow)
{
    static const FakeWindowSystem* watched = &fake;
    platform::requestStop();
    EXPECT_EQ(winMain("/s"), 0);
    EXPECT_TRUE(fake.calls.empty());
    EXPECT_EXIT((std::atexit([] { std::fputs(watched->called("restoreDisplaySettings") ? "restored" : "", stderr); }),
                 fullscreen = 1, reportOdeError("ODE Error 2")), ::testing::ExitedWithCode(0), "restored");
    platform::forgetStop();
}
