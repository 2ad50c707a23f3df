#include "platform/modal/modal_wait.h"

#include "platform/stop_signals.h"

#include <glib-unix.h>
#include <gtk/gtk.h>

namespace platform {

namespace {

gboolean onStopSignal(gint, GIOCondition, gpointer escape)
{
    noteOrdinaryEnd();
    (*static_cast<const std::function<void()>*>(escape))();
    return G_SOURCE_CONTINUE;  // removed when the wait ends
}

} // namespace

void waitModal(const bool& done, const std::function<void()>& escape)
{
    guint stopWatch = 0;
    if (stopSignalDescriptor() >= 0)
        stopWatch = g_unix_fd_add(stopSignalDescriptor(), G_IO_IN, onStopSignal,
                                  const_cast<std::function<void()>*>(&escape));
    while (!done)
        gtk_main_iteration_do(TRUE);
    if (stopWatch)
        g_source_remove(stopWatch);
}

} // namespace platform
