#include "platform/offscreen_gl/offscreen_gl.h"

#include <GL/gl.h>
#include <SDL.h>

#include <climits>

#include <dlfcn.h>

namespace platform {

void keepGLDriverMapped()
{
#if defined(__SANITIZE_ADDRESS__)
    static bool done = false;
    if (done)
        return;
    done = true;
    dlopen("swrast_dri.so", RTLD_NOW | RTLD_NODELETE);
    dlopen("/usr/lib/x86_64-linux-gnu/dri/swrast_dri.so", RTLD_NOW | RTLD_NODELETE);
#endif
}

std::pair<int, int> largestViewport()
{
    GLint largest[2] = {0, 0};
    if (OffscreenGL probe(1, 1); probe.ok())
        glGetIntegerv(GL_MAX_VIEWPORT_DIMS, largest);
    if (largest[0] <= 0 || largest[1] <= 0)
        return {INT_MAX, INT_MAX};
    return {largest[0], largest[1]};
}

OffscreenGL::OffscreenGL(int width, int height)
{
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        error_ = SDL_GetError();
        return;
    }
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 16);
    SDL_Window* window = SDL_CreateWindow("offscreen", 0, 0, width, height,
                                          SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
    if (!window) {
        error_ = SDL_GetError();
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        return;
    }
    SDL_GLContext context = SDL_GL_CreateContext(window);
    if (!context) {
        error_ = SDL_GetError();
        SDL_DestroyWindow(window);
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        return;
    }
    SDL_GL_MakeCurrent(window, context);
    keepGLDriverMapped();
    window_ = window;
    context_ = context;
}

OffscreenGL::~OffscreenGL()
{
    if (context_) {
        SDL_GL_MakeCurrent(static_cast<SDL_Window*>(window_), nullptr);
        SDL_GL_DeleteContext(static_cast<SDL_GLContext>(context_));
    }
    if (window_) {
        SDL_DestroyWindow(static_cast<SDL_Window*>(window_));
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
    }
}

} // namespace platform
