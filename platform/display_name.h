// The X display the program is told to use, as a user reads of it when it
// cannot be opened.
#pragma once

#include <string>

namespace platform {

// Why the display named by DISPLAY cannot be used: "no display (DISPLAY is not
// set)" when it is unset or empty, else "cannot open the display NAME".
std::string unopenedDisplay();

} // namespace platform
