// The window procedure against a fake window system: the messages it handles,
// the key table's actions, the F5 text states and the mouse rule.
#include "fake_window_system.h"

#include "arena/game_modes.h"
#include "arena/records.h"
#include "arena/scene.h"
#include "arena/tunables.h"
#include "platform/clock.h"
#include "platform/window/sdl_events.h"
#include "platform/window/virtual_keys.h"
#include "render/texts.h"
#include "shell/entry.h"
#include "shell/window_proc.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>

using namespace platform;

namespace {

class WindowProcTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        resetShellState();
        resetTunables();
    }
    void TearDown() override
    {
        resetShellState();
        destroyScene();  // puts the plane records and tunables back
    }
    intptr_t send(uint32_t message, uintptr_t wParam = 0, intptr_t lParam = 0)
    {
        return windowProc(nullptr, message, wParam, lParam);
    }
    void press(uint32_t vk, int times = 1)
    {
        for (int i = 0; i < times; ++i)
            send(WM_KEYDOWN, vk);  // auto-repeat: down after down
        send(WM_KEYUP, vk);
    }
    void moveTo(int x, int y)
    {
        fake.cursor = Point{x, y};
        send(WM_MOUSEMOVE);
    }
    int quits() const
    {
        return static_cast<int>(std::count(fake.calls.begin(), fake.calls.end(), "postQuitMessage"));
    }
    FakeWindowSystem fake;
};

} // namespace

TEST_F(WindowProcTest, KeysAreHeldFromDownToUp)
{
    send(WM_KEYDOWN, 'C');
    EXPECT_EQ(keyState['C'], 1);
    EXPECT_EQ(keyFinder, 'C');
    EXPECT_EQ(anyKeyPressed, 1);
    send(WM_KEYUP, 'C');
    EXPECT_EQ(keyState['C'], 0);
    EXPECT_EQ(anyKeyPressed, 1);

    // A code past the table is no key: nothing is indexed or changed.
    send(WM_KEYDOWN, 0x1FF);
    send(WM_KEYUP, 0x10000);
    EXPECT_EQ(keyFinder, 'C');
}

// A key that types nothing, or a letter of another layout, pressed within the
// first second, from the SDL event on: it is a key press like any other, so the
// demonstration never starts.
TEST_F(WindowProcTest, AnyKeyWithinTheFirstSecondKeepsTheDemonstrationAway)
{
    static char window;
    const struct {
        SDL_Keycode key;
        SDL_Scancode place;
        int vk;
    } cases[] = {{SDLK_LGUI, SDL_SCANCODE_LGUI, 0x5B}, {0xF6, SDL_SCANCODE_SEMICOLON, 0xBA}};
    for (const auto& c : cases) {
        resetShellState();
        resetGameModeState();
        setTestTicks(100000);
        startTime = demoSwitchTime = nowSeconds();
        SDL_Event event{};
        event.type = event.key.type = SDL_KEYDOWN;
        event.key.keysym.sym = c.key;
        event.key.keysym.scancode = c.place;
        Message message;
        ASSERT_TRUE(messageFromEvent(event, reinterpret_cast<WindowHandle>(&window), false, message));
        advanceTestTicks(500);
        windowProc(message.window, message.message, message.wParam, message.lParam);
        EXPECT_EQ(keyFinder, c.vk);
        EXPECT_EQ(keyState[c.vk], 1);
        advanceTestTicks(1000);
        updateDemoMode();
        EXPECT_EQ(demoActive, 0) << SDL_GetScancodeName(c.place);
    }
    resetGameModeState();
    useRealTicks();
}

TEST_F(WindowProcTest, SystemKeysGoToTheDefaultProcedure)
{
    send(WM_SYSKEYDOWN, VK_F10);
    send(WM_SYSKEYDOWN, VK_MENU);
    keyState[VK_OEM_PLUS] = 1;  // held before Alt: released while Alt is held
    send(WM_SYSKEYUP, VK_OEM_PLUS);
    EXPECT_EQ(keyState[VK_OEM_PLUS], 0);
    EXPECT_EQ(keyState[VK_F10], 0);
    EXPECT_EQ(keyState[VK_MENU], 0);
    EXPECT_EQ(anyKeyPressed, 0);
    EXPECT_EQ(fake.calls, (std::vector<std::string>{"defWindowProc", "defWindowProc", "defWindowProc"}));
}

TEST_F(WindowProcTest, CloseQuitsAndTheSaverAndMonitorCommandsAreSwallowed)
{
    send(WM_SYSCOMMAND, SC_SCREENSAVE);
    send(WM_SYSCOMMAND, SC_MONITORPOWER);
    EXPECT_FALSE(fake.called("defWindowProc"));
    send(WM_SYSCOMMAND, SC_SCREENSAVE + 1);
    EXPECT_TRUE(fake.called("defWindowProc"));
    EXPECT_EQ(quits(), 0);
    send(WM_CLOSE);
    EXPECT_EQ(quits(), 1);
}

TEST_F(WindowProcTest, CameraCyclesOneToNineAndKeypadThreeDoesTheSame)
{
    press('C', 8);  // held: every repeated key-down steps on
    EXPECT_EQ(CameraNo, 9);
    press('C');
    EXPECT_EQ(CameraNo, 1);
    CameraNo = 9;
    press(VK_NUMPAD3);
    EXPECT_EQ(CameraNo, 1);
    press(VK_NUMPAD3);
    EXPECT_EQ(CameraNo, 2);
}

TEST_F(WindowProcTest, ControlledPlaneCyclesBothWays)
{
    press(VK_OEM_COMMA);
    EXPECT_EQ(cnP, 6);
    press(VK_OEM_PERIOD);
    EXPECT_EQ(cnP, 0);
    press(VK_OEM_PERIOD, 6);
    EXPECT_EQ(cnP, 6);
    press(VK_OEM_PERIOD);
    EXPECT_EQ(cnP, 0);
}

TEST_F(WindowProcTest, AutopilotFightingAndPathTogglesLeavePlaneZeroAlone)
{
    planes[2].autopilot = 1;
    planes[3].autopilot = 7;  // anything but 0 counts as on
    for (auto& plane : planes)
        plane.Mood = 3;
    press('W');
    press('Q');
    EXPECT_EQ(planes[0].autopilot, 0);
    EXPECT_EQ(planes[0].State, 0);
    EXPECT_EQ(planes[0].Mood, 3);
    for (int i = 1; i < planeCount; ++i) {
        EXPECT_EQ(planes[i].autopilot, i == 2 || i == 3 ? 0 : 1) << i;
        EXPECT_EQ(planes[i].State, 1) << i;  // plan a new route
        EXPECT_EQ(planes[i].Mood, 0) << i;
    }
    EXPECT_EQ(Action, 1);
    Action = 2;
    press('Q');
    EXPECT_EQ(Action, 0);

    press('P');
    EXPECT_EQ(showPaths, 1);
    press('P');
    EXPECT_EQ(showPaths, 0);
}

TEST_F(WindowProcTest, GameModeKeyWrapsAndAppliesTheMode)
{
    GameMode = 2;
    Action = 0;
    planes[4].autopilot = 0;
    press('N');
    EXPECT_EQ(GameMode, 0);
    EXPECT_EQ(Action, 1);
    EXPECT_EQ(planes[4].autopilot, 1);
    press('N');
    EXPECT_EQ(GameMode, 1);
}

TEST_F(WindowProcTest, F5StepsThroughTheTextStates)
{
    using Flags = std::array<int, 4>;  // status, tables, sound read-outs, help
    auto flags = [] { return Flags{showStatus, showTables, showSoundDebug, showHelp}; };
    EXPECT_EQ(flags(), (Flags{1, 1, 0, 1}));
    const Flags cycle[] = {{1, 1, 0, 0}, {1, 1, 1, 0}, {0, 0, 0, 1}, {0, 0, 0, 0}, {1, 0, 0, 0},
                           {1, 1, 0, 0}, {1, 1, 1, 0}};
    int expectedState = 0;
    for (const Flags& expected : cycle) {
        press(VK_F5);
        expectedState = (expectedState + 1) % menuStateCount;
        EXPECT_EQ(menuState, expectedState);
        EXPECT_EQ(flags(), expected) << "menu state " << menuState;
    }
}

TEST_F(WindowProcTest, AMoveOfMoreThan44PixelsOnOneAxisEndsTheSaver)
{
    moveTo(500, 400);  // the first move only captures the origin
    EXPECT_EQ(mouseMoveCount, 2);
    moveTo(544, 356);  // 44 on both axes: near
    moveTo(460, 440);  // 40 on both axes: near
    EXPECT_EQ(quits(), 0);
    EXPECT_EQ(mouseMoveCount, 4);
    moveTo(500, 445);  // 45 in y alone: far
    EXPECT_EQ(quits(), 1);
    EXPECT_EQ(mouseMoveCount, 1);

    // The next move captures a new origin even though it is far from the old one.
    moveTo(900, 700);
    EXPECT_EQ(quits(), 1);
    moveTo(855, 700);  // 45 in x from the new origin
    EXPECT_EQ(quits(), 2);
    EXPECT_EQ(mouseOrigin.x, 900);
}

TEST_F(WindowProcTest, InThePreviewAFarMoveDoesNotEndTheSaver)
{
    previewMode = 1;
    moveTo(10, 10);
    moveTo(200, 10);
    moveTo(10, 10);
    moveTo(200, 200);
    EXPECT_EQ(quits(), 0);
    EXPECT_EQ(mouseMoveCount, 1);
}
