// A window system that makes nothing: it records each call by name, answers
// from a script of messages, and fails the calls named in `failing`.
#pragma once

#include "platform/window/message_box.h"
#include "platform/window/window_system.h"

#include <deque>
#include <set>
#include <string>
#include <vector>

class FakeWindowSystem final : public platform::WindowSystem {
public:
    FakeWindowSystem() { platform::setWindowSystem(this); }
    ~FakeWindowSystem() override { platform::setWindowSystem(nullptr); }

    std::vector<std::string> calls;
    std::set<std::string> failing;           // calls that fail
    std::deque<platform::Message> messages;  // peekMessage takes these one by one
    platform::Rect hostClient{0, 0, 320, 240};
    platform::HostWindow host = 1234;        // the one host window that exists

    // Arguments of the last createWindowEx.
    uint32_t exStyle = 0;
    uint32_t style = 0;
    int width = 0;
    int height = 0;
    platform::HostWindow parent = 0;
    std::string title;
    // What getCursorPos answers, and the last text given to setWindowText.
    platform::Point cursor;
    std::string windowText;

    platform::WindowHandle window() const;

    bool called(const std::string& name) const;
    // The calls from the first one named `from` on.
    std::vector<std::string> callsFrom(const std::string& from) const;

    platform::ModuleHandle moduleHandle() override;
    bool registerClass(const platform::WindowClass& windowClass) override;
    bool unregisterClass(const char* name, platform::ModuleHandle instance) override;
    int32_t changeDisplaySettings(const platform::DisplayMode* mode, uint32_t flags) override;
    void showCursor(bool show) override;
    bool adjustWindowRectEx(platform::Rect& rect, uint32_t style, bool menu, uint32_t exStyle) override;
    platform::WindowHandle createWindowEx(uint32_t exStyle, const char* className, const char* title,
                                          uint32_t style, int x, int y, int width, int height,
                                          platform::HostWindow parent, platform::ModuleHandle instance) override;
    bool destroyWindow(platform::WindowHandle window) override;
    platform::DeviceContextHandle getDC(platform::WindowHandle window) override;
    bool releaseDC(platform::WindowHandle window, platform::DeviceContextHandle dc) override;
    int choosePixelFormat(platform::DeviceContextHandle dc, const platform::PixelFormatDescriptor& pfd) override;
    bool setPixelFormat(platform::DeviceContextHandle dc, int format,
                        const platform::PixelFormatDescriptor& pfd) override;
    platform::RenderContextHandle createContext(platform::DeviceContextHandle dc) override;
    bool makeCurrent(platform::DeviceContextHandle dc, platform::RenderContextHandle rc) override;
    bool deleteContext(platform::RenderContextHandle rc) override;
    bool swapBuffers(platform::DeviceContextHandle dc) override;
    void showWindow(platform::WindowHandle window, int command) override;
    void setForegroundWindow(platform::WindowHandle window) override;
    void setFocus(platform::WindowHandle window) override;
    bool setWindowText(platform::WindowHandle window, const char* text) override;
    bool getClientRect(platform::HostWindow window, platform::Rect& rect) override;
    bool getCursorPos(platform::Point& point) override;
    bool peekMessage(platform::Message& message) override;
    void translateMessage(const platform::Message& message) override;
    intptr_t dispatchMessage(const platform::Message& message) override;
    void postQuitMessage(int exitCode) override;
    intptr_t defWindowProc(platform::WindowHandle window, uint32_t message, uintptr_t wParam,
                           intptr_t lParam) override;

private:
    bool step(const std::string& name);

    platform::WindowProcedure procedure = nullptr;
    bool windowExists = false;
    bool quitPosted = false;
    int quitCode = 0;
};

// Records every message box and answers it without showing it.
struct BoxRecorder {
    struct Box {
        std::string text;
        std::string title;
        uint32_t flags;
    };
    std::vector<Box> boxes;
    int answer = platform::IDNO;
    // Where each box came in the fake's calls: the number of calls made before it.
    const FakeWindowSystem* fake = nullptr;
    std::vector<size_t> callsBefore;

    explicit BoxRecorder(const FakeWindowSystem* watched = nullptr);
    ~BoxRecorder();
    std::vector<std::string> texts() const;
};
