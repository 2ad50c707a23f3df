// The SDL window system on a real display, one shared X server for the program.
#include "platform/window/window_system.h"
#include "platform/window/x11_host.h"

#include <gtest/gtest.h>

#include <GL/gl.h>
#include <GL/glx.h>
// Xlib after gtest: its macros (None, Bool) would break gtest's headers.
#include <X11/Xlib.h>

#include <atomic>
#include <chrono>
#include <thread>

using namespace platform;

namespace {

intptr_t recordingProc(WindowHandle, uint32_t message, uintptr_t, intptr_t)
{
    return static_cast<intptr_t>(message) + 1000;
}

class SdlWindowSystemTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        WindowClass windowClass;
        windowClass.procedure = recordingProc;
        windowClass.name = "OpenGL";
        ASSERT_TRUE(ws.registerClass(windowClass));
    }
    void TearDown() override { ws.unregisterClass("OpenGL", ws.moduleHandle()); }

    // Window, device context, pixel format, context made current.
    bool makeGLWindow(uint32_t style, int width, int height, HostWindow parent = 0)
    {
        window = ws.createWindowEx(0, "OpenGL", "test", style, 0, 0, width, height, parent, ws.moduleHandle());
        if (!window)
            return false;
        dc = ws.getDC(window);
        PixelFormatDescriptor pfd;
        pfd.flags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
        pfd.colourBits = 32;
        pfd.depthBits = 16;
        int format = ws.choosePixelFormat(dc, pfd);
        if (!format || !ws.setPixelFormat(dc, format, pfd))
            return false;
        rc = ws.createContext(dc);
        return rc && ws.makeCurrent(dc, rc);
    }

    void release()
    {
        EXPECT_TRUE(ws.makeCurrent(nullptr, nullptr));
        EXPECT_TRUE(ws.deleteContext(rc));
        EXPECT_TRUE(ws.releaseDC(window, dc));
        EXPECT_TRUE(ws.destroyWindow(window));
    }

    WindowSystem& ws = windowSystem();
    WindowHandle window = nullptr;
    DeviceContextHandle dc = nullptr;
    RenderContextHandle rc = nullptr;
};

// A plain window of another client, as a screen-saver host would give.
struct HostWindowOfAnotherClient {
    Display* display = XOpenDisplay(nullptr);
    ::Window id = 0;
    HostWindowOfAnotherClient(unsigned width, unsigned height)
    {
        id = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, width, height, 0, 0, 0xFF00FF);
        XMapWindow(display, id);
        XSync(display, False);
    }
    void destroy()
    {
        XDestroyWindow(display, id);
        XSync(display, False);
    }
    ~HostWindowOfAnotherClient() { XCloseDisplay(display); }
};

} // namespace

TEST_F(SdlWindowSystemTest, AWindowGetsAContextThatDrawsAndIsReleasedOnce)
{
    ASSERT_TRUE(makeGLWindow(WS_OVERLAPPEDWINDOW, 200, 100));
    ws.showWindow(window, SW_SHOW);
    glClearColor(0, 1, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    unsigned char pixel[4] = {};
    glReadPixels(10, 10, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
    EXPECT_EQ(pixel[1], 255);
    EXPECT_TRUE(ws.swapBuffers(dc));
    EXPECT_TRUE(ws.setWindowText(window, "FPS: 0.1"));
    // A format is set once.
    PixelFormatDescriptor pfd;
    pfd.flags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL;
    EXPECT_FALSE(ws.setPixelFormat(dc, 1, pfd));

    release();
    EXPECT_FALSE(ws.destroyWindow(window));
    EXPECT_FALSE(ws.deleteContext(rc));
    EXPECT_FALSE(ws.releaseDC(window, dc));
    EXPECT_FALSE(ws.swapBuffers(dc));
    EXPECT_EQ(ws.getDC(window), nullptr);
}

TEST_F(SdlWindowSystemTest, TheMessageQueueNeverWaitsAndQuitComesAfterQueuedMessages)
{
    ASSERT_TRUE(makeGLWindow(WS_OVERLAPPEDWINDOW, 100, 100));
    Message message;
    auto start = std::chrono::steady_clock::now();
    while (ws.peekMessage(message)) {
        // Whatever the window's appearance produced; each goes to the class procedure.
        EXPECT_EQ(ws.dispatchMessage(message), static_cast<intptr_t>(message.message) + 1000);
    }
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));

    ws.postQuitMessage(7);
    ASSERT_TRUE(ws.peekMessage(message));
    EXPECT_EQ(message.message, WM_QUIT);
    EXPECT_EQ(message.wParam, 7u);
    release();
}

TEST_F(SdlWindowSystemTest, OnlyTheDisplaysOwnSizesAreAccepted)
{
    DisplayMode mode;
    mode.fields = DM_BITSPERPEL | DM_PELSWIDTH | DM_PELSHEIGHT;
    mode.bitsPerPixel = 32;
    mode.width = 1234;
    mode.height = 567;
    EXPECT_EQ(ws.changeDisplaySettings(&mode, CDS_FULLSCREEN), DISP_CHANGE_BADMODE);

    Display* display = XOpenDisplay(nullptr);
    ASSERT_NE(display, nullptr);
    mode.width = static_cast<uint32_t>(DisplayWidth(display, DefaultScreen(display)));
    mode.height = static_cast<uint32_t>(DisplayHeight(display, DefaultScreen(display)));
    XCloseDisplay(display);
    EXPECT_EQ(ws.changeDisplaySettings(&mode, CDS_FULLSCREEN), DISP_CHANGE_SUCCESSFUL);
    EXPECT_EQ(ws.changeDisplaySettings(nullptr, 0), DISP_CHANGE_SUCCESSFUL);
}

TEST_F(SdlWindowSystemTest, AHostThatDoesNotExistGivesNoSizeAndNoWindow)
{
    for (HostWindow bad : {HostWindow{0}, HostWindow{0x1FFFFFF0}, HostWindow{0x100000042ul}}) {
        Rect rect{1, 2, 3, 4};
        EXPECT_FALSE(ws.getClientRect(bad, rect));
        EXPECT_EQ(rect.right, 3);
        EXPECT_EQ(ws.createWindowEx(0, "OpenGL", "Kestrova", WS_CHILD, 0, 0, 10, 10, bad, nullptr), nullptr);
    }
}

// A full-screen window that another program destroys is asked to close; its release takes in its X errors at once.
TEST_F(SdlWindowSystemTest, AWindowThatAnotherProgramDestroysIsAskedToClose)
{
    ASSERT_TRUE(makeGLWindow(WS_POPUP, 120, 90));
    HostWindowOfAnotherClient other(1, 1);
    XDestroyWindow(other.display, glXGetCurrentDrawable()), XSync(other.display, False);
    Message message;
    for (int tries = 200; tries > 0 && !(ws.peekMessage(message) && message.message == WM_CLOSE); --tries)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_EQ(message.message, WM_CLOSE);
    const unsigned long before = x11::errorsPassedOver();
    release();
    EXPECT_GT(x11::errorsPassedOver(), before);
}

TEST_F(SdlWindowSystemTest, APreviewFillsItsHostAndIsAskedToCloseWhenTheHostGoes)
{
    HostWindowOfAnotherClient host(160, 120);
    Rect client;
    ASSERT_TRUE(ws.getClientRect(host.id, client));
    EXPECT_EQ(client.right, 160);
    EXPECT_EQ(client.bottom, 120);
    ASSERT_TRUE(makeGLWindow(WS_CHILD, client.right, client.bottom, host.id));
    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 160);
    EXPECT_EQ(viewport[3], 120);

    host.destroy();
    bool closeAsked = false;
    Message message;
    for (int i = 0; i < 200 && !closeAsked; ++i) {
        while (ws.peekMessage(message))
            closeAsked = closeAsked || (message.message == WM_CLOSE && message.window == window);
        // Drawing into a window that has gone is harmless.
        glClear(GL_COLOR_BUFFER_BIT);
        ws.swapBuffers(dc);
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_TRUE(closeAsked);
    release();
}

// A host larger than GL can draw (the largest an X window can be): the preview takes what GL can.
TEST_F(SdlWindowSystemTest, APreviewIsNoLargerThanGLCanDraw)
{
    HostWindowOfAnotherClient host(32767, 32767);
    ASSERT_TRUE(makeGLWindow(WS_CHILD, 32767, 32767, host.id));
    GLint largest[2] = {};
    glGetIntegerv(GL_MAX_VIEWPORT_DIMS, largest);
    ::Window root, parent, *child = nullptr;
    unsigned count = 0;
    XWindowAttributes size{};
    ASSERT_TRUE(XQueryTree(host.display, host.id, &root, &parent, &child, &count) && count == 1);
    XGetWindowAttributes(host.display, *child, &size);
    XFree(child);
    EXPECT_EQ(std::make_pair(size.width, size.height), std::make_pair(largest[0], largest[1]));
    release();
}

// A stop's last words put the modes back on their own thread while a new full-screen window notes them anew.
TEST(DisplayModeTest, TheModesCanBeNotedAnewWhileTheyArePutBack)
{
    std::atomic<bool> noting{true};
    std::thread lastWords([&noting] { while (noting) x11::putBackDisplayMode(); });
    for (int i = 0; i < 200; ++i, std::this_thread::sleep_for(std::chrono::microseconds(200)))
        x11::rememberDisplayMode();
    noting = false;
    lastWords.join();
}
