// The windowing calls of the shell, one small call per step, shaped the way the
// program uses them: a registered window class with its procedure, a window, its
// device context, a pixel format, a GL rendering context, a message queue taken
// one message at a time, the full-screen display mode, the cursor and the title.
//
// The real implementation runs on SDL2, with Xlib for the screen-saver preview's
// child window. Tests install a fake with setWindowSystem, so that each step can
// be made to fail on its own.
#pragma once

#include <cstdint>

namespace platform {

struct Window;
struct DeviceContext;
struct RenderContext;
using WindowHandle = Window*;
using DeviceContextHandle = DeviceContext*;
using RenderContextHandle = RenderContext*;
using ModuleHandle = const void*;

// A window of another program, by its native (X11) id: the preview's host.
// 0 is no window.
using HostWindow = unsigned long;

using WindowProcedure = intptr_t (*)(WindowHandle window, uint32_t message, uintptr_t wParam,
                                     intptr_t lParam);

// Messages. Key messages carry the virtual-key code (virtual_keys.h) in wParam;
// WM_ACTIVATE carries WA_ACTIVE or WA_INACTIVE in the low word of wParam and the
// minimised flag in the high word; WM_SIZE and WM_MOUSEMOVE carry the width or x
// in the low word of lParam and the height or y in the high word. WM_QUIT carries
// the exit code in wParam. Keys held with Alt, and F10, arrive as WM_SYSKEYDOWN
// and WM_SYSKEYUP.
constexpr uint32_t WM_SIZE = 0x0005;
constexpr uint32_t WM_ACTIVATE = 0x0006;
constexpr uint32_t WM_CLOSE = 0x0010;
constexpr uint32_t WM_QUIT = 0x0012;
constexpr uint32_t WM_KEYDOWN = 0x0100;
constexpr uint32_t WM_KEYUP = 0x0101;
constexpr uint32_t WM_SYSKEYDOWN = 0x0104;
constexpr uint32_t WM_SYSKEYUP = 0x0105;
constexpr uint32_t WM_SYSCOMMAND = 0x0112;
constexpr uint32_t WM_MOUSEMOVE = 0x0200;

constexpr uintptr_t SC_SCREENSAVE = 0xF140;
constexpr uintptr_t SC_MONITORPOWER = 0xF170;
constexpr uintptr_t WA_INACTIVE = 0;
constexpr uintptr_t WA_ACTIVE = 1;

// Window class styles, window styles and extended styles.
constexpr uint32_t CS_VREDRAW = 0x0001;
constexpr uint32_t CS_HREDRAW = 0x0002;
constexpr uint32_t CS_OWNDC = 0x0020;
constexpr uint32_t WS_POPUP = 0x80000000;
constexpr uint32_t WS_CHILD = 0x40000000;
constexpr uint32_t WS_CLIPSIBLINGS = 0x04000000;
constexpr uint32_t WS_CLIPCHILDREN = 0x02000000;
constexpr uint32_t WS_THICKFRAME = 0x00040000;
constexpr uint32_t WS_OVERLAPPEDWINDOW = 0x00CF0000;
constexpr uint32_t WS_EX_WINDOWEDGE = 0x00000100;
constexpr uint32_t WS_EX_APPWINDOW = 0x00040000;
constexpr int SW_SHOW = 5;
constexpr int IDI_WINLOGO = 32517;
constexpr int IDC_ARROW = 32512;

// Display modes.
constexpr uint32_t DM_BITSPERPEL = 0x00040000;
constexpr uint32_t DM_PELSWIDTH = 0x00080000;
constexpr uint32_t DM_PELSHEIGHT = 0x00100000;
constexpr uint32_t CDS_FULLSCREEN = 4;
constexpr int32_t DISP_CHANGE_SUCCESSFUL = 0;
constexpr int32_t DISP_CHANGE_FAILED = -1;
constexpr int32_t DISP_CHANGE_BADMODE = -2;

// Pixel formats.
constexpr uint32_t PFD_DOUBLEBUFFER = 0x01;
constexpr uint32_t PFD_DRAW_TO_WINDOW = 0x04;
constexpr uint32_t PFD_SUPPORT_OPENGL = 0x20;
constexpr uint8_t PFD_TYPE_RGBA = 0;
constexpr uint8_t PFD_MAIN_PLANE = 0;

struct Rect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
};

struct Point {
    int32_t x = 0;
    int32_t y = 0;
};

struct Message {
    WindowHandle window = nullptr;
    uint32_t message = 0;
    uintptr_t wParam = 0;
    intptr_t lParam = 0;
};

struct WindowClass {
    uint32_t style = 0;
    WindowProcedure procedure = nullptr;
    int classExtra = 0;
    int windowExtra = 0;
    ModuleHandle instance = nullptr;
    int icon = 0;
    int cursor = 0;
    const char* name = nullptr;
};

// The fields mask says which of the three values are set.
struct DisplayMode {
    uint32_t fields = 0;
    uint32_t bitsPerPixel = 0;
    uint32_t width = 0;
    uint32_t height = 0;
};

struct PixelFormatDescriptor {
    uint16_t version = 1;
    uint32_t flags = 0;
    uint8_t pixelType = PFD_TYPE_RGBA;
    uint8_t colourBits = 0;
    uint8_t alphaBits = 0;
    uint8_t accumBits = 0;
    uint8_t depthBits = 0;
    uint8_t stencilBits = 0;
    uint8_t auxBuffers = 0;
    uint8_t layerType = PFD_MAIN_PLANE;
};

class WindowSystem {
public:
    virtual ~WindowSystem() = default;

    virtual ModuleHandle moduleHandle() = 0;
    virtual bool registerClass(const WindowClass& windowClass) = 0;
    virtual bool unregisterClass(const char* name, ModuleHandle instance) = 0;

    // A mode: switch to it (DISP_CHANGE_SUCCESSFUL) or refuse it. Null: back to
    // the mode the display had.
    virtual int32_t changeDisplaySettings(const DisplayMode* mode, uint32_t flags) = 0;
    virtual void showCursor(bool show) = 0;

    // Turns a client rectangle into the window's outer rectangle.
    virtual bool adjustWindowRectEx(Rect& rect, uint32_t style, bool menu, uint32_t exStyle) = 0;
    // Null on failure. parent is the host window of a WS_CHILD window, else 0.
    virtual WindowHandle createWindowEx(uint32_t exStyle, const char* className, const char* title,
                                        uint32_t style, int x, int y, int width, int height,
                                        HostWindow parent, ModuleHandle instance) = 0;
    virtual bool destroyWindow(WindowHandle window) = 0;

    virtual DeviceContextHandle getDC(WindowHandle window) = 0;
    virtual bool releaseDC(WindowHandle window, DeviceContextHandle dc) = 0;
    // 0 when no format fits.
    virtual int choosePixelFormat(DeviceContextHandle dc, const PixelFormatDescriptor& pfd) = 0;
    virtual bool setPixelFormat(DeviceContextHandle dc, int format, const PixelFormatDescriptor& pfd) = 0;
    virtual RenderContextHandle createContext(DeviceContextHandle dc) = 0;
    // Both null: no context is current any more.
    virtual bool makeCurrent(DeviceContextHandle dc, RenderContextHandle rc) = 0;
    virtual bool deleteContext(RenderContextHandle rc) = 0;
    virtual bool swapBuffers(DeviceContextHandle dc) = 0;

    virtual void showWindow(WindowHandle window, int command) = 0;
    virtual void setForegroundWindow(WindowHandle window) = 0;
    virtual void setFocus(WindowHandle window) = 0;
    virtual bool setWindowText(WindowHandle window, const char* text) = 0;

    // The client area of a host window: {0, 0, width, height}. False, with the
    // rectangle untouched, when there is no such window.
    virtual bool getClientRect(HostWindow window, Rect& rect) = 0;
    // The cursor in screen pixels.
    virtual bool getCursorPos(Point& point) = 0;

    // Takes at most one message and never waits. The quit message comes after
    // the messages already queued.
    virtual bool peekMessage(Message& message) = 0;
    virtual void translateMessage(const Message& message) = 0;
    // Runs the procedure of the message's window; returns its result.
    virtual intptr_t dispatchMessage(const Message& message) = 0;
    virtual void postQuitMessage(int exitCode) = 0;
    virtual intptr_t defWindowProc(WindowHandle window, uint32_t message, uintptr_t wParam,
                                   intptr_t lParam) = 0;
};

// The window system in use: the SDL one unless a test installed another.
WindowSystem& windowSystem();
// Installs a replacement; null goes back to the SDL one.
void setWindowSystem(WindowSystem* replacement);

// The two halves of a message word.
constexpr uint32_t lowWord(uintptr_t value) { return static_cast<uint32_t>(value & 0xFFFF); }
constexpr uint32_t highWord(uintptr_t value) { return static_cast<uint32_t>((value >> 16) & 0xFFFF); }
constexpr intptr_t makeLong(uint32_t low, uint32_t high)
{
    return static_cast<intptr_t>((low & 0xFFFF) | ((high & 0xFFFF) << 16));
}

} // namespace platform
