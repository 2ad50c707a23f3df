#include "platform/window/window_system.h"

namespace platform {

WindowSystem& sdlWindowSystem();

namespace {
WindowSystem* installed = nullptr;
}

WindowSystem& windowSystem()
{
    return installed ? *installed : sdlWindowSystem();
}

void setWindowSystem(WindowSystem* replacement)
{
    installed = replacement;
}

} // namespace platform
