#include "fake_window_system.h"

#include <algorithm>

using namespace platform;

namespace {
char windowToken;
char dcToken;
char rcToken;
char moduleToken;
} // namespace

WindowHandle FakeWindowSystem::window() const
{
    return windowExists ? reinterpret_cast<WindowHandle>(&windowToken) : nullptr;
}

bool FakeWindowSystem::called(const std::string& name) const
{
    return std::find(calls.begin(), calls.end(), name) != calls.end();
}

std::vector<std::string> FakeWindowSystem::callsFrom(const std::string& from) const
{
    auto first = std::find(calls.begin(), calls.end(), from);
    return {first, calls.end()};
}

bool FakeWindowSystem::step(const std::string& name)
{
    calls.push_back(name);
    return failing.count(name) == 0;
}

ModuleHandle FakeWindowSystem::moduleHandle()
{
    return &moduleToken;
}

bool FakeWindowSystem::registerClass(const WindowClass& windowClass)
{
    if (!step("registerClass"))
        return false;
    procedure = windowClass.procedure;
    return true;
}

bool FakeWindowSystem::unregisterClass(const char*, ModuleHandle)
{
    return step("unregisterClass");
}

int32_t FakeWindowSystem::changeDisplaySettings(const DisplayMode* mode, uint32_t)
{
    if (!step(mode ? "changeDisplaySettings" : "restoreDisplaySettings"))
        return DISP_CHANGE_BADMODE;
    return DISP_CHANGE_SUCCESSFUL;
}

void FakeWindowSystem::showCursor(bool show)
{
    step(show ? "showCursor" : "hideCursor");
}

bool FakeWindowSystem::adjustWindowRectEx(Rect&, uint32_t, bool, uint32_t)
{
    return step("adjustWindowRectEx");
}

WindowHandle FakeWindowSystem::createWindowEx(uint32_t exStyleArg, const char*, const char* titleArg,
                                              uint32_t styleArg, int, int, int widthArg, int heightArg,
                                              HostWindow parentArg, ModuleHandle)
{
    exStyle = exStyleArg;
    style = styleArg;
    width = widthArg;
    height = heightArg;
    parent = parentArg;
    title = titleArg ? titleArg : "";
    if (!step("createWindowEx") || ((styleArg & WS_CHILD) && parentArg != host))
        return nullptr;
    windowExists = true;
    return window();
}

bool FakeWindowSystem::destroyWindow(WindowHandle)
{
    if (!step("destroyWindow"))
        return false;
    windowExists = false;
    return true;
}

DeviceContextHandle FakeWindowSystem::getDC(WindowHandle)
{
    return step("getDC") ? reinterpret_cast<DeviceContextHandle>(&dcToken) : nullptr;
}

bool FakeWindowSystem::releaseDC(WindowHandle, DeviceContextHandle)
{
    return step("releaseDC");
}

int FakeWindowSystem::choosePixelFormat(DeviceContextHandle, const PixelFormatDescriptor&)
{
    return step("choosePixelFormat") ? 1 : 0;
}

bool FakeWindowSystem::setPixelFormat(DeviceContextHandle, int, const PixelFormatDescriptor&)
{
    return step("setPixelFormat");
}

RenderContextHandle FakeWindowSystem::createContext(DeviceContextHandle)
{
    return step("createContext") ? reinterpret_cast<RenderContextHandle>(&rcToken) : nullptr;
}

bool FakeWindowSystem::makeCurrent(DeviceContextHandle dc, RenderContextHandle)
{
    return step(dc ? "makeCurrent" : "releaseCurrent");
}

bool FakeWindowSystem::deleteContext(RenderContextHandle)
{
    return step("deleteContext");
}

bool FakeWindowSystem::swapBuffers(DeviceContextHandle)
{
    return step("swapBuffers");
}

void FakeWindowSystem::showWindow(WindowHandle, int)
{
    step("showWindow");
}

void FakeWindowSystem::setForegroundWindow(WindowHandle)
{
    step("setForegroundWindow");
}

void FakeWindowSystem::setFocus(WindowHandle)
{
    step("setFocus");
}

bool FakeWindowSystem::setWindowText(WindowHandle, const char* text)
{
    windowText = text ? text : "";
    return step("setWindowText");
}

bool FakeWindowSystem::getClientRect(HostWindow windowArg, Rect& rect)
{
    if (!step("getClientRect") || windowArg != host)
        return false;
    rect = hostClient;
    return true;
}

bool FakeWindowSystem::getCursorPos(Point& point)
{
    point = cursor;
    return step("getCursorPos");
}

bool FakeWindowSystem::peekMessage(Message& message)
{
    calls.push_back("peekMessage");
    if (!messages.empty()) {
        message = messages.front();
        messages.pop_front();
        if (message.message != WM_QUIT && !message.window)
            message.window = window();
        return true;
    }
    if (quitPosted) {
        quitPosted = false;
        message = Message{nullptr, WM_QUIT, static_cast<uintptr_t>(quitCode), 0};
        return true;
    }
    return false;
}

void FakeWindowSystem::translateMessage(const Message&)
{
    calls.push_back("translateMessage");
}

intptr_t FakeWindowSystem::dispatchMessage(const Message& message)
{
    calls.push_back("dispatchMessage");
    return procedure ? procedure(message.window, message.message, message.wParam, message.lParam) : 0;
}

void FakeWindowSystem::postQuitMessage(int exitCode)
{
    calls.push_back("postQuitMessage");
    quitPosted = true;
    quitCode = exitCode;
}

intptr_t FakeWindowSystem::defWindowProc(WindowHandle, uint32_t, uintptr_t, intptr_t)
{
    calls.push_back("defWindowProc");
    return 0;
}

BoxRecorder::BoxRecorder(const FakeWindowSystem* watched) : fake(watched)
{
    setMessageBoxHook([this](const std::string& text, const std::string& title, uint32_t flags) {
        boxes.push_back(Box{text, title, flags});
        callsBefore.push_back(fake ? fake->calls.size() : 0);
        return (flags & 0x0F) == MB_YESNO ? answer : IDOK;
    });
}

BoxRecorder::~BoxRecorder()
{
    setMessageBoxHook({});
}

std::vector<std::string> BoxRecorder::texts() const
{
    std::vector<std::string> result;
    for (const auto& box : boxes)
        result.push_back(box.text);
    return result;
}
