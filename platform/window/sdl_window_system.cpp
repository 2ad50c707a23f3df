// The window system on SDL2. Sizes are client sizes (the window manager draws
// any frame outside them), so adjusting a rectangle leaves it as it is. A mode
// accepted by changeDisplaySettings takes effect when the popup window that uses
// it is made; the mode before it is noted, for a stop that ends the program at
// once to put back. A host's child window is made with Xlib and handed to SDL.
#include "platform/display_name.h"
#include "platform/offscreen_gl/offscreen_gl.h"
#include "platform/stop_signals.h"
#include "platform/window/sdl_events.h"
#include "platform/window/window_system.h"
#include "platform/window/x11_host.h"

#include <SDL.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace platform {

struct DeviceContext {
    Window* window = nullptr;
    int pixelFormat = 0;
};

struct Window {
    SDL_Window* sdl = nullptr;
    WindowProcedure procedure = nullptr;
    unsigned long child = 0;  // the X window inside a host, for a preview
    unsigned long own = 0;    // else SDL's X window, watched for its destruction
    bool fullscreen = false;
    bool closeSent = false;   // the window's or host's disappearance has been reported
    DeviceContext dc;
};

struct RenderContext {
    SDL_GLContext context = nullptr;
};

namespace {

class SdlWindowSystem final : public WindowSystem {
public:
    ModuleHandle moduleHandle() override { return &moduleToken; }

    bool registerClass(const WindowClass& windowClass) override
    {
        if (!windowClass.name || !windowClass.procedure || classes.count(windowClass.name))
            return false;
        if (!startVideo())
            return false;
        classes[windowClass.name] = windowClass.procedure;
        return true;
    }

    bool unregisterClass(const char* name, ModuleHandle) override
    {
        if (!name || classes.erase(name) == 0)
            return false;
        if (classes.empty())
            releaseEverything();
        return true;
    }

    int32_t changeDisplaySettings(const DisplayMode* mode, uint32_t) override
    {
        if (!mode) {
            for (auto& window : windows)
                if (window->fullscreen) {
                    SDL_SetWindowFullscreen(window->sdl, 0);
                    window->fullscreen = false;
                }
            modeChosen = false;
            setLastWords(nullptr);
            return DISP_CHANGE_SUCCESSFUL;
        }
        if (!videoUp)
            return DISP_CHANGE_FAILED;
        // The display's own modes; the size decides (the colour depth of a
        // mode on this system is whatever the display has).
        int count = SDL_GetNumDisplayModes(0);
        for (int i = 0; i < count; ++i) {
            SDL_DisplayMode candidate;
            if (SDL_GetDisplayMode(0, i, &candidate) != 0)
                continue;
            bool widthFits = !(mode->fields & DM_PELSWIDTH) || candidate.w == static_cast<int>(mode->width);
            bool heightFits = !(mode->fields & DM_PELSHEIGHT) || candidate.h == static_cast<int>(mode->height);
            if (widthFits && heightFits) {
                chosenMode = candidate;
                modeChosen = true;
                return DISP_CHANGE_SUCCESSFUL;
            }
        }
        return DISP_CHANGE_BADMODE;
    }

    void showCursor(bool show) override
    {
        if (videoUp)
            SDL_ShowCursor(show ? SDL_ENABLE : SDL_DISABLE);
    }

    bool adjustWindowRectEx(Rect&, uint32_t, bool, uint32_t) override { return true; }

    WindowHandle createWindowEx(uint32_t, const char* className, const char* title, uint32_t style,
                                int x, int y, int width, int height, HostWindow parent,
                                ModuleHandle) override
    {
        auto found = className ? classes.find(className) : classes.end();
        if (found == classes.end() || !videoUp)
            return nullptr;
        auto window = std::make_unique<Window>();
        window->procedure = found->second;
        window->dc.window = window.get();
        if (style & WS_CHILD) {
            if (!makeChild(*window, title, width, height, parent))
                return nullptr;
        } else {
            Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN;
            bool useMode = (style & WS_POPUP) && modeChosen;
            if (style & WS_POPUP)
                flags |= SDL_WINDOW_BORDERLESS;
            if (useMode) {
                flags |= SDL_WINDOW_FULLSCREEN;
                setLastWords(nullptr);  // not while the noted modes are renewed
                x11::rememberDisplayMode();
                setLastWords(x11::putBackDisplayMode);
            }
            if (style & WS_THICKFRAME)
                flags |= SDL_WINDOW_RESIZABLE;
            window->sdl = SDL_CreateWindow(title ? title : "", x, y, std::max(width, 1),
                                           std::max(height, 1), flags);
            if (!window->sdl)
                return nullptr;
            if (useMode) {
                SDL_SetWindowDisplayMode(window->sdl, &chosenMode);
                window->fullscreen = true;
            }
            window->own = x11::watchWindow(window->sdl);
        }
        windows.push_back(std::move(window));
        return windows.back().get();
    }

    bool destroyWindow(WindowHandle window) override
    {
        auto found = findWindow(window);
        if (found == windows.end())
            return false;
        std::erase_if(queue, [window](const Message& m) { return m.window == window; });
        x11::destroySdlWindow(window->sdl);
        if (window->child)
            x11::destroyChild(window->child);
        windows.erase(found);
        return true;
    }

    DeviceContextHandle getDC(WindowHandle window) override
    {
        return findWindow(window) == windows.end() ? nullptr : &window->dc;
    }

    bool releaseDC(WindowHandle window, DeviceContextHandle dc) override
    {
        return findWindow(window) != windows.end() && dc == &window->dc;
    }

    int choosePixelFormat(DeviceContextHandle dc, const PixelFormatDescriptor& pfd) override
    {
        const uint32_t needed = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL;
        if (!validDC(dc) || (pfd.flags & needed) != needed || pfd.pixelType != PFD_TYPE_RGBA)
            return 0;
        return 1;
    }

    bool setPixelFormat(DeviceContextHandle dc, int format, const PixelFormatDescriptor& pfd) override
    {
        // A window's format is set once.
        if (!validDC(dc) || format != 1 || dc->pixelFormat != 0)
            return false;
        SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, (pfd.flags & PFD_DOUBLEBUFFER) ? 1 : 0);
        SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, pfd.depthBits);
        SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, pfd.stencilBits);
        dc->pixelFormat = format;
        return true;
    }

    RenderContextHandle createContext(DeviceContextHandle dc) override
    {
        if (!validDC(dc) || dc->pixelFormat == 0)
            return nullptr;
        SDL_GLContext context = SDL_GL_CreateContext(dc->window->sdl);
        if (!context)
            return nullptr;
        keepGLDriverMapped();
        contexts.push_back(std::make_unique<RenderContext>(RenderContext{context}));
        return contexts.back().get();
    }

    bool makeCurrent(DeviceContextHandle dc, RenderContextHandle rc) override
    {
        if (!dc && !rc)
            return !videoUp || SDL_GL_MakeCurrent(nullptr, nullptr) == 0;
        if (!validDC(dc) || findContext(rc) == contexts.end())
            return false;
        return SDL_GL_MakeCurrent(dc->window->sdl, rc->context) == 0;
    }

    bool deleteContext(RenderContextHandle rc) override
    {
        auto found = findContext(rc);
        if (found == contexts.end())
            return false;
        SDL_GL_DeleteContext(rc->context);
        contexts.erase(found);
        return true;
    }

    bool swapBuffers(DeviceContextHandle dc) override
    {
        if (!validDC(dc))
            return false;
        SDL_GL_SwapWindow(dc->window->sdl);
        return true;
    }

    void showWindow(WindowHandle window, int) override
    {
        if (findWindow(window) != windows.end())
            SDL_ShowWindow(window->sdl);
    }

    void setForegroundWindow(WindowHandle window) override
    {
        if (findWindow(window) != windows.end())
            SDL_RaiseWindow(window->sdl);
    }

    void setFocus(WindowHandle window) override
    {
        if (findWindow(window) != windows.end())
            SDL_SetWindowInputFocus(window->sdl);
    }

    bool setWindowText(WindowHandle window, const char* text) override
    {
        if (findWindow(window) == windows.end())
            return false;
        SDL_SetWindowTitle(window->sdl, text ? text : "");
        return true;
    }

    bool getClientRect(HostWindow window, Rect& rect) override
    {
        int width = 0;
        int height = 0;
        if (!x11::clientSize(window, width, height))
            return false;
        rect = Rect{0, 0, width, height};
        return true;
    }

    bool getCursorPos(Point& point) override
    {
        if (!videoUp)
            return false;
        int x = 0;
        int y = 0;
        if (!x11::pointerPosition(x, y))
            SDL_GetGlobalMouseState(&x, &y);
        point = Point{x, y};
        return true;
    }

    bool peekMessage(Message& message) override
    {
        if (queue.empty() && quitPosted) {
            quitPosted = false;
            message = Message{nullptr, WM_QUIT, static_cast<uintptr_t>(quitCode), 0};
            return true;
        }
        if (stopRequested() && !stopSent && !windows.empty()) {
            // A termination signal: the window is asked to close, as when its
            // close button is pressed.
            stopSent = true;
            noteOrdinaryEnd();
            queue.push_back(Message{windows.front().get(), WM_CLOSE, 0, 0});
        }
        if (queue.empty() && videoUp)
            fillQueue();
        if (queue.empty())
            return false;
        message = queue.front();
        queue.pop_front();
        return true;
    }

    void translateMessage(const Message&) override {}

    intptr_t dispatchMessage(const Message& message) override
    {
        if (findWindow(message.window) == windows.end())
            return 0;
        return message.window->procedure(message.window, message.message, message.wParam,
                                         message.lParam);
    }

    void postQuitMessage(int exitCode) override
    {
        quitPosted = true;
        quitCode = exitCode;
    }

    intptr_t defWindowProc(WindowHandle, uint32_t, uintptr_t, intptr_t) override { return 0; }

private:
    // The video system starts with the first class and then stays up until the
    // process ends: SDL 2 cannot be relied on to start its X11 video a second
    // time in one process.
    bool startVideo()
    {
        if (videoUp)
            return true;
        SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
        // The termination signals are the program's own (stop_signals.h).
        SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
        // X11 unless SDL_VIDEODRIVER says otherwise: the preview's host is an X
        // window, and probing for other systems first can leave SDL with a
        // display whose modes read as 0 by 0.
        SDL_SetHint(SDL_HINT_VIDEODRIVER, "x11");
        if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
            // The display's absence in the words of the settings dialog.
            const char* name = std::getenv("DISPLAY");
            std::string why = name && name[0] && x11::displayOpens(name) ? SDL_GetError() : unopenedDisplay();
            std::fprintf(stderr, "skarvel: the saver cannot start: %s\n", why.c_str());
            return false;
        }
        std::atexit([] { SDL_QuitSubSystem(SDL_INIT_VIDEO); });
        x11::trapErrors();
        x11::endWhenDisplayLost();
        videoUp = true;
        return true;
    }

    // The last class has gone: every window and context with it.
    void releaseEverything()
    {
        while (!windows.empty())
            destroyWindow(windows.back().get());
        while (!contexts.empty())
            deleteContext(contexts.back().get());
        queue.clear();
        modeChosen = false;
        x11::closeDisplay();
    }

    bool makeChild(Window& window, const char* title, int width, int height, HostWindow parent)
    {
        const char* driver = SDL_GetCurrentVideoDriver();
        if (!parent || !driver || std::strcmp(driver, "x11") != 0)
            return false;
        // A host larger than GL can draw (the software driver crashes drawing
        // past its largest viewport): the preview draws at most that.
        static const std::pair<int, int> largest = largestViewport();
        unsigned long child = x11::createChild(parent, std::min(width, largest.first),
                                               std::min(height, largest.second));
        if (!child)
            return false;
        SDL_SetHint(SDL_HINT_VIDEO_FOREIGN_WINDOW_OPENGL, "1");
        window.sdl = SDL_CreateWindowFrom(reinterpret_cast<void*>(static_cast<uintptr_t>(child)));
        if (!window.sdl) {
            x11::destroyChild(child);
            return false;
        }
        window.child = child;
        x11::listenThroughSdl(window.sdl, child);
        SDL_SetWindowTitle(window.sdl, title ? title : "");
        return true;
    }

    // Queues the message of the first event that gives one; events that give
    // none are passed over. A window that another program destroyed, or a
    // preview whose host has gone, is asked to close.
    void fillQueue()
    {
        for (auto& window : windows)
            if (!window->closeSent &&
                (window->child ? x11::childOrHostGone(window->child) : x11::windowGone(window->own))) {
                window->closeSent = true;
                queue.push_back(Message{window.get(), WM_CLOSE, 0, 0});
            }
        if (!queue.empty())
            return;
        SDL_Event event;
        while (SDL_PollEvent(&event)) {
            Window* target = windowOf(event);
            bool minimised = target && (SDL_GetWindowFlags(target->sdl) & SDL_WINDOW_MINIMIZED);
            Message message;
            if (messageFromEvent(event, target, minimised, message)) {
                queue.push_back(message);
                return;
            }
        }
    }

    // The window an event belongs to; events without one go to the first.
    Window* windowOf(const SDL_Event& event)
    {
        Uint32 id = 0;
        switch (event.type) {
        case SDL_KEYDOWN:
        case SDL_KEYUP:
            id = event.key.windowID;
            break;
        case SDL_MOUSEMOTION:
            id = event.motion.windowID;
            break;
        case SDL_WINDOWEVENT:
            id = event.window.windowID;
            break;
        default:
            break;
        }
        for (auto& window : windows)
            if (SDL_GetWindowID(window->sdl) == id)
                return window.get();
        if (event.type == SDL_WINDOWEVENT || windows.empty())
            return nullptr;
        return windows.front().get();
    }

    std::vector<std::unique_ptr<Window>>::iterator findWindow(WindowHandle window)
    {
        return std::find_if(windows.begin(), windows.end(),
                            [window](const auto& w) { return w.get() == window; });
    }

    std::vector<std::unique_ptr<RenderContext>>::iterator findContext(RenderContextHandle rc)
    {
        return std::find_if(contexts.begin(), contexts.end(),
                            [rc](const auto& c) { return c.get() == rc; });
    }

    // Compares addresses only: a stale handle is never followed.
    bool validDC(DeviceContextHandle dc)
    {
        return dc && std::any_of(windows.begin(), windows.end(),
                                 [dc](const auto& w) { return &w->dc == dc; });
    }

    static inline const char moduleToken = 0;
    std::map<std::string, WindowProcedure> classes;
    std::vector<std::unique_ptr<Window>> windows;
    std::vector<std::unique_ptr<RenderContext>> contexts;
    std::deque<Message> queue;
    bool videoUp = false;
    bool modeChosen = false;
    SDL_DisplayMode chosenMode{};
    bool quitPosted = false;
    int quitCode = 0;
    bool stopSent = false;
};

} // namespace

WindowSystem& sdlWindowSystem()
{
    static SdlWindowSystem system;
    return system;
}

} // namespace platform
