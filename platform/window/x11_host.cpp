#include "platform/window/x11_host.h"

#include "platform/stop_signals.h"

#include <unistd.h>

#include <GL/glx.h>
#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>

#include <algorithm>
#include <atomic>
#include <map>
#include <mutex>
#include <set>
#include <vector>

namespace platform::x11 {

namespace {

Display* display = nullptr;
// Atomic: the last words of a stop (putBackDisplayMode) make requests from
// another thread.
std::atomic<unsigned long> errorCount{0};
XErrorHandler handlerBefore = nullptr;  // restored when the display closes
bool trappedForGood = false;            // unless the video system started

struct Child {
    unsigned long host = 0;
    Colormap colormap = 0;
};
std::map<unsigned long, Child> children;
std::set<unsigned long> destroyed;

int countError(Display*, XErrorEvent*)
{
    ++errorCount;
    return 0;
}

Display* openDisplay()
{
    if (!display) {
        display = XOpenDisplay(nullptr);
        if (display)
            handlerBefore = XSetErrorHandler(countError);
    }
    return display;
}

// Sends what is queued and tells whether the server reported an error since
// `before`.
bool failedSince(unsigned long before)
{
    XSync(display, False);
    return errorCount != before;
}

bool exists(unsigned long window, XWindowAttributes& attributes)
{
    // X ids are 29 bits; a larger number would be cut short on its way to the
    // server and could name some other window.
    if (window == 0 || window > 0x1FFFFFFFul || !openDisplay())
        return false;
    unsigned long before = errorCount;
    Status ok = XGetWindowAttributes(display, window, &attributes);
    return ok != 0 && !failedSince(before);
}

void collectDestroyed()
{
    while (XPending(display) > 0) {
        XEvent event;
        XNextEvent(display, &event);
        if (event.type == DestroyNotify)
            destroyed.insert(event.xdestroywindow.window);
    }
}

} // namespace

bool clientSize(unsigned long window, int& width, int& height)
{
    XWindowAttributes attributes;
    if (!exists(window, attributes))
        return false;
    width = attributes.width;
    height = attributes.height;
    return true;
}

unsigned long createChild(unsigned long parent, int width, int height)
{
    XWindowAttributes parentAttributes;
    if (!exists(parent, parentAttributes))
        return 0;
    int screen = XScreenNumberOfScreen(parentAttributes.screen);
    int wanted[] = {GLX_RGBA, GLX_DOUBLEBUFFER, GLX_DEPTH_SIZE, 16, None};
    XVisualInfo* visual = glXChooseVisual(display, screen, wanted);

    unsigned long before = errorCount;
    XSetWindowAttributes attributes{};
    unsigned long mask = CWBorderPixel | CWEventMask;
    attributes.border_pixel = 0;
    attributes.event_mask = StructureNotifyMask;
    Colormap colormap = 0;
    Window child;
    unsigned w = static_cast<unsigned>(std::max(width, 1));
    unsigned h = static_cast<unsigned>(std::max(height, 1));
    if (visual) {
        colormap = XCreateColormap(display, parent, visual->visual, AllocNone);
        attributes.colormap = colormap;
        mask |= CWColormap;
        child = XCreateWindow(display, parent, 0, 0, w, h, 0, visual->depth, InputOutput,
                              visual->visual, mask, &attributes);
        XFree(visual);
    } else {
        child = XCreateWindow(display, parent, 0, 0, w, h, 0, CopyFromParent, InputOutput,
                              CopyFromParent, mask, &attributes);
    }
    // Watch the host too, so that the program notices when it goes away.
    XSelectInput(display, parent, StructureNotifyMask);
    XMapWindow(display, child);
    if (failedSince(before)) {
        XDestroyWindow(display, child);
        if (colormap)
            XFreeColormap(display, colormap);
        XSync(display, False);
        return 0;
    }
    children[child] = Child{parent, colormap};
    return child;
}

void destroyChild(unsigned long child)
{
    auto found = children.find(child);
    if (found == children.end() || !display)
        return;
    XDestroyWindow(display, child);
    if (found->second.colormap)
        XFreeColormap(display, found->second.colormap);
    XSync(display, False);
    children.erase(found);
}

void listenThroughSdl(SDL_Window* window, unsigned long child)
{
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11)
        return;
    XSelectInput(info.info.x11.display, child,
                 KeyPressMask | KeyReleaseMask | PointerMotionMask | ButtonPressMask | ButtonReleaseMask |
                     EnterWindowMask | LeaveWindowMask | FocusChangeMask | ExposureMask |
                     StructureNotifyMask | KeymapStateMask | PropertyChangeMask);
    XFlush(info.info.x11.display);
}

bool pointerPosition(int& x, int& y)
{
    if (!openDisplay())
        return false;
    Window root = 0;
    Window child = 0;
    int windowX = 0;
    int windowY = 0;
    unsigned int buttons = 0;
    if (!XQueryPointer(display, DefaultRootWindow(display), &root, &child, &x, &y, &windowX, &windowY,
                       &buttons))
        return false;
    return true;
}

bool childOrHostGone(unsigned long child)
{
    auto found = children.find(child);
    if (found == children.end() || !display)
        return false;
    collectDestroyed();
    return destroyed.count(child) != 0 || destroyed.count(found->second.host) != 0;
}

unsigned long watchWindow(SDL_Window* window)
{
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11 || !openDisplay())
        return 0;
    unsigned long id = info.info.x11.window;
    unsigned long before = errorCount;
    XSelectInput(display, id, StructureNotifyMask);
    if (failedSince(before))
        destroyed.insert(id);  // gone before it could be watched
    return id;
}

bool windowGone(unsigned long window)
{
    if (!window || !display)
        return false;
    collectDestroyed();
    return destroyed.count(window) != 0;
}

void destroySdlWindow(SDL_Window* window)
{
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    Display* sdlDisplay = nullptr;
    if (window && SDL_GetWindowWMInfo(window, &info) && info.subsystem == SDL_SYSWM_X11)
        sdlDisplay = info.info.x11.display;
    SDL_DestroyWindow(window);
    if (sdlDisplay)
        XSync(sdlDisplay, False);
}

bool displayOpens(const char* name)
{
    Display* tried = XOpenDisplay(name);
    if (tried)
        XCloseDisplay(tried);
    return tried != nullptr;
}

namespace {

// The monitors' settings (XRandR) and the screen's size as they were before
// the video system changed the mode: renewed by rememberDisplayMode before the
// change, read by putBackDisplayMode on any thread after. Each takes the lock
// only to hand a whole copy over, never across a request to the server.
struct NotedCrtc {
    RRCrtc crtc;
    int x, y;
    RRMode mode;
    Rotation rotation;
    std::vector<RROutput> outputs;
};
struct NotedMode {
    std::vector<NotedCrtc> crtcs;
    int width = 0, height = 0, widthMM = 0, heightMM = 0;
};
std::mutex notedLock;
NotedMode noted;

} // namespace

void rememberDisplayMode()
{
    int eventBase = 0;
    int errorBase = 0;
    XWindowAttributes screen;
    NotedMode now;
    if (openDisplay() && XRRQueryExtension(display, &eventBase, &errorBase) &&
        XGetWindowAttributes(display, DefaultRootWindow(display), &screen)) {
        const int number = DefaultScreen(display);
        now.width = screen.width, now.height = screen.height;
        now.widthMM = DisplayWidthMM(display, number), now.heightMM = DisplayHeightMM(display, number);
        XRRScreenResources* resources = XRRGetScreenResourcesCurrent(display, DefaultRootWindow(display));
        for (int i = 0; resources && i < resources->ncrtc; ++i) {
            XRRCrtcInfo* crtc = XRRGetCrtcInfo(display, resources, resources->crtcs[i]);
            if (crtc && crtc->mode != None)
                now.crtcs.push_back({resources->crtcs[i], crtc->x, crtc->y, crtc->mode, crtc->rotation,
                                     std::vector<RROutput>(crtc->outputs, crtc->outputs + crtc->noutput)});
            if (crtc)
                XRRFreeCrtcInfo(crtc);
        }
        if (resources)
            XRRFreeScreenResources(resources);
    }
    std::lock_guard<std::mutex> hold(notedLock);
    std::swap(noted, now);
}

void putBackDisplayMode()
{
    NotedMode was;
    {
        std::lock_guard<std::mutex> hold(notedLock);
        was = noted;
    }
    Display* own = was.crtcs.empty() ? nullptr : XOpenDisplay(nullptr);
    if (!own)
        return;
    ::Window root = DefaultRootWindow(own);
    // A screen that grows takes its size before the monitors' larger modes,
    // one that shrinks after their smaller ones; one of the noted size is left
    // alone.
    const int width = DisplayWidth(own, DefaultScreen(own));
    const int height = DisplayHeight(own, DefaultScreen(own));
    const bool grows = width <= was.width && height <= was.height;
    auto resize = [&] {
        if (width != was.width || height != was.height)
            XRRSetScreenSize(own, root, was.width, was.height, was.widthMM, was.heightMM);
    };
    if (grows)
        resize();
    XRRScreenResources* resources = XRRGetScreenResourcesCurrent(own, root);
    for (size_t i = 0; resources && i < was.crtcs.size(); ++i) {
        NotedCrtc& crtc = was.crtcs[i];
        XRRCrtcInfo* now = XRRGetCrtcInfo(own, resources, crtc.crtc);
        if (now && now->mode != crtc.mode)
            XRRSetCrtcConfig(own, resources, crtc.crtc, CurrentTime, crtc.x, crtc.y, crtc.mode, crtc.rotation,
                             crtc.outputs.data(), static_cast<int>(crtc.outputs.size()));
        if (now)
            XRRFreeCrtcInfo(now);
    }
    if (resources)
        XRRFreeScreenResources(resources);
    if (!grows)
        resize();
    XCloseDisplay(own);
}

namespace {

// Nothing can be drawn on or released through a display that has gone, and the
// exit handlers would wait on it for ever: the program ends at once. A server
// that only cut this connection (another program killed the client) still
// answers on a new one, and gets its display mode back.
int displayLost(Display*)
{
    static const char message[] = "skarvel: the X display was lost\n";
    (void)!write(2, message, sizeof message - 1);
    runLastWords();
    _exit(1);
}

} // namespace

void endWhenDisplayLost()
{
    XSetIOErrorHandler(displayLost);
}

unsigned long errorsPassedOver()
{
    return errorCount;
}

void trapErrors()
{
    XSetErrorHandler(countError);
    trappedForGood = true;
}

void closeDisplay()
{
    if (!display)
        return;
    for (auto& [child, record] : children) {
        XDestroyWindow(display, child);
        if (record.colormap)
            XFreeColormap(display, record.colormap);
    }
    children.clear();
    destroyed.clear();
    XCloseDisplay(display);
    display = nullptr;
    if (!trappedForGood)
        XSetErrorHandler(handlerBefore);
    handlerBefore = nullptr;
}

} // namespace platform::x11
