// The wait of a modal GTK window (a message box, the settings dialog), which a
// termination signal also ends, so that no window keeps the program from
// ending.
#pragma once

#include <functional>

namespace platform {

// Turns GTK's main loop until done is true. A stop signal (stop_signals.h),
// noted before the wait or coming during it, calls escape, which closes the
// window as Escape would and so sets done.
void waitModal(const bool& done, const std::function<void()>& escape);

} // namespace platform
