#include "shell/entry.h"

#include "arena/game_modes.h"
#include "arena/scene.h"
#include "platform/clock.h"
#include "platform/paths.h"
#include "platform/stop_signals.h"
#include "platform/window/message_box.h"
#include "render/fonts.h"
#include "render/texts.h"
#include "shell/gl_window.h"
#include "shell/main_loop.h"
#include "shell/settings.h"
#include "shell/window_proc.h"

#include <cctype>
#include <cstdlib>
#include <cstring>

using namespace platform;

uint8_t previewMode = 0;

ScreenSaverRole screenSaverRole(const char* argumentText)
{
    if (!argumentText || argumentText[0] == '\0' || argumentText[1] == '\0')
        return ScreenSaverRole::Settings;
    switch (argumentText[1]) {
    case 'p':
    case 'P':
        return ScreenSaverRole::Preview;
    case 's':
    case 'S':
        return ScreenSaverRole::FullScreen;
    default:
        return ScreenSaverRole::Settings;
    }
}

HostWindow previewHostWindow(const char* argumentText)
{
    const char* text = argumentText ? std::strchr(argumentText, ' ') : nullptr;
    if (!text)
        return 0;
    while (std::isspace(static_cast<unsigned char>(*text)))
        ++text;
    if (*text == '+')
        ++text;
    // X window ids fit in 32 bits; anything larger names no window.
    const unsigned long long largest = 0xFFFFFFFFull;
    unsigned long long value = 0;
    bool digits = false;
    for (; std::isdigit(static_cast<unsigned char>(*text)); ++text) {
        digits = true;
        value = value * 10 + static_cast<unsigned>(*text - '0');
        if (value > largest)
            return 0;
    }
    return digits ? static_cast<HostWindow>(value) : 0;
}

void recordProgramDir()
{
    // A folder whose name does not fit is kept whole beside programDir, never
    // cut short: the pictures then fail to load, saying the path is too long.
    std::string dir = programDirectory();
    programDir[0] = '\0';
    programDirTooLong.clear();
    if (dir.size() < sizeof programDir)
        std::memcpy(programDir, dir.c_str(), dir.size() + 1);
    else
        programDirTooLong = dir;
}

void resetShellState()
{
    programDir[0] = '\0';
    programDirTooLong.clear();
    previewMode = 0;
    DrawCounter = 0;
    fullscreen = 0;
    resetInputState();
}

namespace {

// Shut-down, after the loop. The font lists are deleted while their context is
// still current; after killGLWindow no GL call is made.
void shutDown()
{
    killFonts();
    killGLWindow();
    shutdownWorld();
}

} // namespace

void reportOdeError(const char* text)
{
    messageBox(text, "ODE Error", MB_OK | MB_ICONSTOP);
    // Stopped while the box waited: an end as asked, not the error's abort,
    // with the display mode restored. The world is left as it is: ODE is in
    // the middle of a call on it.
    if (stopRequested()) {
        killGLWindow();
        std::exit(0);
    }
}

int winMain(const char* argumentText)
{
    fullscreen = 0;
    recordProgramDir();
    previewMode = 0;
    // Stopped while the program was starting: nothing is shown.
    if (stopRequested())
        return 0;

    switch (screenSaverRole(argumentText)) {
    case ScreenSaverRole::Settings:
        runSettingsDialog();
        return 0;
    case ScreenSaverRole::Preview: {
        HostWindow host = previewHostWindow(argumentText);
        Rect client;  // stays empty when the host cannot be read
        windowSystem().getClientRect(host, client);
        if (!createGLWindow("Kestrova", client.right - client.left, client.bottom - client.top, 32,
                            false, WS_CHILD, host))
            return 0;
        previewMode = 1;
        break;
    }
    case ScreenSaverRole::FullScreen:
        fullscreen = 1;
        loadSettings();
        if (!createGLWindow("Start", screenWidth, screenHeight, bitsPP, true, WS_OVERLAPPEDWINDOW, 0))
            return 0;
        break;
    }

    // Stopped while the window was being made: nothing is built or started.
    if (stopRequested()) {
        killGLWindow();
        return 0;
    }

    setOdeErrorReport(reportOdeError);
    initScene();
    buildFont();
    buildOutlineFont();
    startTime = nowSeconds();
    demoSwitchTime = nowSeconds();

    int exitCode = runMainLoop();
    noteOrdinaryEnd();
    shutDown();
    return exitCode;
}
