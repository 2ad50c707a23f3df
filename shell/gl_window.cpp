#include "shell/gl_window.h"

#include "platform/window/message_box.h"
#include "render/gl_state.h"
#include "shell/window_proc.h"

using namespace platform;

ModuleHandle hInstance = nullptr;
WindowHandle hWnd = nullptr;
DeviceContextHandle hDC = nullptr;
RenderContextHandle hRC = nullptr;
uint8_t fullscreen = 0;

namespace {

const char* const className = "OpenGL";

void shutdownError(const char* text)
{
    messageBox(text, "SHUTDOWN ERROR", MB_OK | MB_ICONINFORMATION);
}

// A step on the way to a working context failed: release what exists (so a
// full-screen mode is restored before the box shows), then say which step.
bool fail(const char* text, const char* title = "ERROR")
{
    killGLWindow();
    messageBox(text, title, MB_OK | MB_ICONEXCLAMATION);
    return false;
}

PixelFormatDescriptor pixelFormat(int bits)
{
    PixelFormatDescriptor pfd;
    pfd.version = 1;
    pfd.flags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    pfd.pixelType = PFD_TYPE_RGBA;
    pfd.colourBits = static_cast<uint8_t>(bits);
    pfd.depthBits = 16;
    pfd.layerType = PFD_MAIN_PLANE;
    return pfd;
}

} // namespace

bool createGLWindow(const char* title, int width, int height, int bits, bool fullscreenWanted,
                    uint32_t style, HostWindow parent)
{
    WindowSystem& ws = windowSystem();
    Rect windowRect{0, 0, width, height};
    fullscreen = fullscreenWanted ? 1 : 0;
    hInstance = ws.moduleHandle();

    WindowClass windowClass;
    windowClass.style = CS_HREDRAW | CS_VREDRAW | CS_OWNDC;
    windowClass.procedure = windowProc;
    windowClass.instance = hInstance;
    windowClass.icon = IDI_WINLOGO;
    windowClass.cursor = IDC_ARROW;
    windowClass.name = className;
    if (!ws.registerClass(windowClass)) {
        messageBox("Failed To Register The Window Class.", "ERROR", MB_OK | MB_ICONEXCLAMATION);
        return false;
    }

    if (fullscreen) {
        DisplayMode mode;
        mode.fields = DM_BITSPERPEL | DM_PELSWIDTH | DM_PELSHEIGHT;
        mode.bitsPerPixel = static_cast<uint32_t>(bits);
        mode.width = static_cast<uint32_t>(width);
        mode.height = static_cast<uint32_t>(height);
        if (ws.changeDisplaySettings(&mode, CDS_FULLSCREEN) != DISP_CHANGE_SUCCESSFUL) {
            if (messageBox("The Requested Fullscreen Mode Is Not Supported By\n"
                           "Your Video Card. Use Windowed Mode Instead?",
                           "GL", MB_YESNO | MB_ICONEXCLAMATION) == IDYES) {
                fullscreen = 0;
            } else {
                messageBox("Program Will Now Close.", "ERROR", MB_OK | MB_ICONSTOP);
                // The display mode was not changed; the class goes again so that
                // the window system is left as it was found.
                ws.unregisterClass(className, hInstance);
                hInstance = nullptr;
                return false;
            }
        }
    }

    uint32_t exStyle;
    uint32_t windowStyle;
    if (fullscreen) {
        ws.showCursor(false);
        exStyle = WS_EX_APPWINDOW;
        windowStyle = WS_POPUP;
    } else {
        exStyle = WS_EX_APPWINDOW | WS_EX_WINDOWEDGE;
        windowStyle = style;
    }
    ws.adjustWindowRectEx(windowRect, windowStyle, false, exStyle);

    hWnd = ws.createWindowEx(exStyle, className, title, windowStyle | WS_CLIPSIBLINGS | WS_CLIPCHILDREN,
                             0, 0, windowRect.right - windowRect.left,
                             windowRect.bottom - windowRect.top, parent, hInstance);
    if (!hWnd)
        return fail("Window Creation Error.");
    hDC = ws.getDC(hWnd);
    if (!hDC)
        return fail("Can't Create A GL Device Context.");
    const PixelFormatDescriptor pfd = pixelFormat(bits);
    int format = ws.choosePixelFormat(hDC, pfd);
    if (!format)
        return fail("Can't Find A Suitable PixelFormat.");
    if (!ws.setPixelFormat(hDC, format, pfd))
        return fail("Can't Set The PixelFormat.");
    hRC = ws.createContext(hDC);
    if (!hRC)
        return fail("Can't Create A GL Rendering Context.");
    if (!ws.makeCurrent(hDC, hRC))
        return fail("Can't Activate The GL Rendering Context.");

    ws.showWindow(hWnd, SW_SHOW);
    ws.setForegroundWindow(hWnd);
    ws.setFocus(hWnd);
    resizeGLScene(width, height);
    if (!initGL())
        return fail("Initialization Failed.", "OpenGL! ERROR");
    return true;
}

void killGLWindow()
{
    WindowSystem& ws = windowSystem();
    if (fullscreen) {
        ws.changeDisplaySettings(nullptr, 0);
        ws.showCursor(true);
    }
    // Every handle is cleared once its release has been tried, so that none is
    // released twice.
    if (hRC) {
        if (!ws.makeCurrent(nullptr, nullptr))
            shutdownError("Release Of DC And RC Failed.");
        if (!ws.deleteContext(hRC))
            shutdownError("Release Rendering Context Failed.");
        hRC = nullptr;
    }
    if (hDC) {
        if (!ws.releaseDC(hWnd, hDC))
            shutdownError("Release Device Context Failed.");
        hDC = nullptr;
    }
    if (hWnd) {
        if (!ws.destroyWindow(hWnd))
            shutdownError("Could Not Release hWnd.");
        hWnd = nullptr;
    }
    if (!ws.unregisterClass(className, hInstance))
        shutdownError("Could Not Unregister Class.");
    hInstance = nullptr;
}
