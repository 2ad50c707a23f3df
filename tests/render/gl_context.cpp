#include "gl_context.h"

platform::OffscreenGL& testContext()
{
    static platform::OffscreenGL context(256, 256);
    return context;
}
