#include "shell/window_proc.h"

#include "arena/buildings.h"
#include "arena/flight.h"
#include "arena/game_modes.h"
#include "arena/game_step.h"
#include "arena/records.h"
#include "arena/scene.h"
#include "arena/tunables.h"
#include "platform/clock.h"
#include "platform/window/virtual_keys.h"
#include "render/cameras.h"
#include "render/fonts.h"
#include "render/gl_state.h"
#include "render/texts.h"
#include "shell/entry.h"
#include "shell/gl_window.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>

using namespace platform;

uint8_t keyState[256];
uint8_t windowActive = 1;
int menuState = 0;
int mouseMoveCount = 1;
Point mouseOrigin;
float fpsFrameCount = 0.0f;
float fpsWindowStart = 0.0f;
char fpsTitle[64];

namespace {

// The text flags after an F5 press, by the new menuState.
struct TextState {
    uint8_t status, tables, soundDebug, help;
};
constexpr TextState textStates[menuStateCount] = {
    {1, 0, 0, 0},  // 0, reached after 4
    {1, 1, 0, 0},
    {1, 1, 1, 0},
    {0, 0, 0, 1},
    {0, 0, 0, 0},
};

uint8_t toggled(uint8_t flag)
{
    return flag == 0 ? 1 : 0;
}

void nextTextState()
{
    if (++menuState == menuStateCount)
        menuState = 0;
    const TextState& state = textStates[menuState];
    showStatus = state.status;
    showTables = state.tables;
    showSoundDebug = state.soundDebug;
    showHelp = state.help;
}

// A new round of buildings at once. Bodies are made and destroyed only while
// the arena exists.
void newBuildingRound()
{
    if (!sceneExists())
        return;
    destroyBuildings();
    blocksToBuildings();
}

// The action of one key press, if the key has one.
void keyPressed(uint32_t vk)
{
    switch (vk) {
    case 'C':
    case VK_NUMPAD3:
        if (++CameraNo > cameraCount)
            CameraNo = 1;
        break;
    case 'W':
        for (int i = 1; i < planeCount; ++i) {
            planes[i].autopilot = toggled(planes[i].autopilot);
            planes[i].State = 1;  // plan a new route
        }
        break;
    case 'Q':
        Action = toggled(Action);
        for (int i = 1; i < planeCount; ++i)
            planes[i].Mood = 0;
        break;
    case 'P':
        showPaths = toggled(showPaths);
        break;
    case VK_OEM_PERIOD:
        if (++cnP == planeCount)
            cnP = 0;
        break;
    case VK_OEM_COMMA:
        if (--cnP < 0)
            cnP = planeCount - 1;
        break;
    case 'M':
        newBuildingRound();
        break;
    case 'N':
        if (++GameMode == gameModeCount)
            GameMode = 0;
        setGameMode(GameMode);
        break;
    case VK_F5:
        nextTextState();
        break;
    default:
        break;
    }
}

// The mouse rule: the first move captures the origin; a move further than
// mouseMoveLimit from it on either axis deletes the fonts and, outside the
// preview, ends the saver; the next move captures a new origin.
void mouseMoved()
{
    WindowSystem& ws = windowSystem();
    Point cursor;
    if (!ws.getCursorPos(cursor))
        return;  // no position to compare: the move is not counted
    if (mouseMoveCount == 1) {
        mouseOrigin = cursor;
        mouseMoveCount = 2;
        return;
    }
    const int64_t dx = std::llabs(int64_t{cursor.x} - mouseOrigin.x);
    const int64_t dy = std::llabs(int64_t{cursor.y} - mouseOrigin.y);
    if (dx > mouseMoveLimit || dy > mouseMoveLimit) {
        mouseMoveCount = 0;
        killFonts();
        if (!previewMode)
            ws.postQuitMessage(0);
    }
    // Only 1 (capture next) and above 1 (counting) differ in meaning; the count
    // stops short of overflowing under an endless stream of near moves.
    if (mouseMoveCount < std::numeric_limits<int>::max())
        ++mouseMoveCount;
}

bool held(uint32_t vk)
{
    return keyState[vk] != 0;
}

} // namespace

intptr_t windowProc(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam)
{
    WindowSystem& ws = windowSystem();
    switch (message) {
    case WM_ACTIVATE:
        // Only minimising stops the drawing; losing the focus does not.
        windowActive = highWord(wParam) == 0 ? 1 : 0;
        return 0;
    case WM_SYSCOMMAND:
        if (wParam == SC_SCREENSAVE || wParam == SC_MONITORPOWER)
            return 0;
        break;
    case WM_CLOSE:
        ws.postQuitMessage(0);
        return 0;
    case WM_KEYDOWN:
        // Every code the platform delivers is below 256; anything else is
        // not a key and never indexes the table.
        if (wParam < 256) {
            const auto vk = static_cast<uint32_t>(wParam);
            anyKeyPressed = 1;
            keyState[vk] = 1;
            keyFinder = static_cast<int>(vk);
            keyPressed(vk);
        }
        return 0;
    case WM_KEYUP:
        if (wParam < 256)
            keyState[wParam] = 0;
        return 0;
    case WM_SYSKEYUP:
        // A key released while Alt is down: released all the same, then the
        // system's. (A press with Alt down never enters the table.)
        if (wParam < 256)
            keyState[wParam] = 0;
        break;
    case WM_MOUSEMOVE:
        mouseMoved();
        return 0;
    case WM_SIZE:
        resizeGLScene(static_cast<int>(lowWord(static_cast<uintptr_t>(lParam))),
                      static_cast<int>(highWord(static_cast<uintptr_t>(lParam))));
        return 0;
    default:
        break;
    }
    return ws.defWindowProc(window, message, wParam, lParam);
}

void applyControls()
{
    const float now = nowSeconds();
    const bool arena = sceneExists();

    // Flight keys and firing at most at the autopilot's rate. lastAiTick is
    // the autopilot pass's own; it is only read here.
    if (arena && now - lastAiTick > autopilotInterval) {
        if (held(VK_UP))
            applyThrust(cnP);
        if (held(VK_DOWN))
            applyBrake(cnP);
        if (held(VK_LEFT))
            turnLeft(cnP, turnFactor);
        if (held(VK_RIGHT))
            turnRight(cnP, turnFactor);
        if (held(VK_SPACE))
            planeDrag(cnP);
        if (held(VK_CONTROL))
            fireBubble(cnP);
    }

    // The tunables step once per turn, in single precision. A lower bound is
    // tested before the step, so a value may end one step below it.
    if (held('A'))
        DesiredZ += 0.05f;
    if (held('Z') && DesiredZ > 0.0f)
        DesiredZ -= 0.05f;
    if (held(VK_CONTROL) && held('G'))
        Zforce += Zinc;
    if (held('B'))
        Zforce -= Zinc;
    if (held(VK_OEM_4) && ThrustF > 0.0f)
        ThrustF -= 0.01f;
    if (held(VK_OEM_6))
        ThrustF += 0.01f;
    if (held(VK_OEM_PLUS))
        TStepSz += 0.001f;
    if (held(VK_OEM_MINUS) && TStepSz > 0.0001f) {
        // The physics step must stay above 0: a step that would reach 0 or
        // below is not taken.
        const float smaller = TStepSz - 0.001f;
        if (smaller > 0.0f)
            TStepSz = smaller;
    }
    if (held('R') && arena) {
        destroyBuildings();
        buildBuildingRow();
    }
}

void updateFpsTitle()
{
    fpsFrameCount += 1.0f;
    const float now = nowSeconds();
    if (now - fpsWindowStart > fpsWindowSeconds) {
        fpsWindowStart = now;
        // The turns of the window divided by 10, whatever its real length.
        FpsNow = static_cast<float>(fpsFrameCount * 0.1);
        std::snprintf(fpsTitle, sizeof fpsTitle, "FPS: %.1f", FpsNow);
        windowSystem().setWindowText(hWnd, fpsTitle);
        fpsFrameCount = 0.0f;
    }
}

void resetInputState()
{
    std::memset(keyState, 0, sizeof keyState);
    windowActive = 1;
    keyFinder = 0;
    menuState = 0;
    resetTextFlags();
    showHelp = 1;
    mouseMoveCount = 1;
    mouseOrigin = Point{};
    fpsFrameCount = 0.0f;
    fpsWindowStart = 0.0f;
    fpsTitle[0] = '\0';
}
