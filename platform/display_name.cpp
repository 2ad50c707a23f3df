#include "platform/display_name.h"

#include <cstdlib>

namespace platform {

std::string unopenedDisplay()
{
    const char* name = std::getenv("DISPLAY");
    return name && name[0] ? std::string("cannot open the display ") + name
                           : std::string("no display (DISPLAY is not set)");
}

} // namespace platform
