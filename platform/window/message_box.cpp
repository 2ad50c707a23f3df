#include "platform/window/message_box.h"

#include "platform/modal/modal_wait.h"
#include "platform/stop_signals.h"

#include <gtk/gtk.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace platform {

namespace {

MessageBoxHook& hook()
{
    static MessageBoxHook installed;
    return installed;
}

bool isQuestion(uint32_t flags)
{
    return (flags & 0x0F) == MB_YESNO;
}

int firstButton(uint32_t flags)
{
    return isQuestion(flags) ? IDYES : IDOK;
}

int answerFromEnvironment(const char* answer, uint32_t flags)
{
    if (!isQuestion(flags))
        return IDOK;
    return std::strcmp(answer, "yes") == 0 ? IDYES : IDNO;
}

struct Showing {
    bool done = false;
    bool destroyed = false;
    int answer = 0;
};

void onResponse(GtkDialog*, gint response, gpointer data)
{
    auto& showing = *static_cast<Showing*>(data);
    if (!showing.done) {
        showing.done = true;
        showing.answer = response;
    }
}

// Taken down from outside (the window manager): as if closed.
void onDestroy(GtkWidget*, gpointer data)
{
    static_cast<Showing*>(data)->destroyed = true;
    onResponse(nullptr, GTK_RESPONSE_DELETE_EVENT, data);
}

bool openDisplay()
{
    // Numbers are written the same way in every locale, boxes or not.
    if (!gdk_display_get_default())
        gtk_disable_setlocale();
    return gtk_init_check(nullptr, nullptr);
}

// The box in a wait of its own that a termination signal also ends, so that a
// box never keeps the program from ending.
int showOnScreen(const char* text, const char* title, uint32_t flags)
{
    const int escapeAnswer = isQuestion(flags) ? IDNO : IDOK;
    if (stopRequested())
        return escapeAnswer;
    if (!openDisplay())
        return firstButton(flags);
    GtkMessageType type = GTK_MESSAGE_INFO;
    switch (flags & 0xF0) {
    case MB_ICONSTOP:
        type = GTK_MESSAGE_ERROR;
        break;
    case MB_ICONEXCLAMATION:
        type = GTK_MESSAGE_WARNING;
        break;
    default:
        break;
    }
    GtkWidget* box = gtk_message_dialog_new(nullptr, GTK_DIALOG_MODAL, type, GTK_BUTTONS_NONE, "%s", text);
    gtk_window_set_title(GTK_WINDOW(box), title);
    if (isQuestion(flags)) {
        gtk_dialog_add_buttons(GTK_DIALOG(box), "_Yes", IDYES, "_No", IDNO, nullptr);
        gtk_dialog_set_default_response(GTK_DIALOG(box), IDYES);
    } else {
        gtk_dialog_add_button(GTK_DIALOG(box), "_OK", IDOK);
        gtk_dialog_set_default_response(GTK_DIALOG(box), IDOK);
    }
    Showing showing;
    g_signal_connect(box, "response", G_CALLBACK(onResponse), &showing);
    gulong destroyHandler = g_signal_connect(box, "destroy", G_CALLBACK(onDestroy), &showing);
    gtk_widget_show_all(box);
    gtk_window_present(GTK_WINDOW(box));
    // A termination signal closes the box as Escape would.
    waitModal(showing.done, [&showing] { onResponse(nullptr, GTK_RESPONSE_DELETE_EVENT, &showing); });
    if (!showing.destroyed) {
        g_signal_handler_disconnect(box, destroyHandler);
        gtk_widget_destroy(box);
    }
    while (gtk_events_pending())
        gtk_main_iteration_do(FALSE);
    // Closed without a button: the answer Escape gives.
    return showing.answer == IDOK || showing.answer == IDYES || showing.answer == IDNO ? showing.answer
                                                                                     : escapeAnswer;
}

} // namespace

int messageBox(const char* text, const char* title, uint32_t flags)
{
    std::fprintf(stderr, "%s: %s\n", title, text);
    std::fflush(stderr);
    if (hook())
        return hook()(text, title, flags);
    if (const char* answer = std::getenv("SKARVEL_MESSAGE_BOX_ANSWER"))
        return answerFromEnvironment(answer, flags);
    return showOnScreen(text, title, flags);
}

void setMessageBoxHook(MessageBoxHook replacement)
{
    hook() = std::move(replacement);
}

} // namespace platform
