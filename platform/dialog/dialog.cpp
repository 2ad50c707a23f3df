#include "platform/dialog/dialog.h"

#include "platform/display_name.h"
#include "platform/modal/modal_wait.h"

#include <gtk/gtk.h>

namespace platform {

namespace {

struct Session {
    GtkWidget* window = nullptr;
    std::vector<GtkWidget*> tabOrder;
    std::vector<std::pair<int, GtkWidget*>> edits;
    bool done = false;
    bool destroyed = false;
    int result = dialogIdCancel;
};

void finish(Session& session, int id)
{
    if (!session.done) {
        session.done = true;
        session.result = id;
    }
}

void onButtonClicked(GtkButton* button, gpointer data)
{
    int id = GPOINTER_TO_INT(g_object_get_data(G_OBJECT(button), "skarvel-dialog-id"));
    finish(*static_cast<Session*>(data), id);
}

gboolean onDelete(GtkWidget*, GdkEvent*, gpointer data)
{
    finish(*static_cast<Session*>(data), dialogIdCancel);
    return TRUE;  // the dialog is taken down once the loop has ended
}

void onDestroy(GtkWidget*, gpointer data)
{
    auto& session = *static_cast<Session*>(data);
    session.destroyed = true;
    finish(session, dialogIdCancel);
}

// Escape cancels; Tab and Shift+Tab walk the controls in template order rather
// than in GTK's order by position.
gboolean onKeyPress(GtkWidget*, GdkEventKey* event, gpointer data)
{
    auto& session = *static_cast<Session*>(data);
    if (event->keyval == GDK_KEY_Escape) {
        finish(session, dialogIdCancel);
        return TRUE;
    }
    bool tab = event->keyval == GDK_KEY_Tab || event->keyval == GDK_KEY_KP_Tab ||
               event->keyval == GDK_KEY_ISO_Left_Tab;
    if (!tab || session.tabOrder.empty() || (event->state & (GDK_CONTROL_MASK | GDK_MOD1_MASK)))
        return FALSE;
    bool backwards = event->keyval == GDK_KEY_ISO_Left_Tab || (event->state & GDK_SHIFT_MASK);
    GtkWidget* focus = gtk_window_get_focus(GTK_WINDOW(session.window));
    const auto count = static_cast<long>(session.tabOrder.size());
    long next = 0;
    for (long i = 0; i < count; ++i) {
        if (session.tabOrder[static_cast<size_t>(i)] == focus) {
            next = (i + (backwards ? count - 1 : 1)) % count;
            break;
        }
    }
    gtk_widget_grab_focus(session.tabOrder[static_cast<size_t>(next)]);
    return TRUE;
}

// Pixels per dialog unit come from the dialog font: a quarter of the average
// width of the Latin letters across, an eighth of the line height down.
void dialogUnits(GtkWidget* window, double& perUnitX, double& perUnitY)
{
    PangoLayout* layout =
        gtk_widget_create_pango_layout(window, "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    int width = 0;
    int height = 0;
    pango_layout_get_pixel_size(layout, &width, &height);
    g_object_unref(layout);
    double averageWidth = (width + 26) / 52;
    perUnitX = (averageWidth > 0 ? averageWidth : 6.0) / 4.0;
    perUnitY = (height > 0 ? height : 13) / 8.0;
}

GtkCssProvider* installStyle(const DialogTemplate& dialog)
{
    // Compact controls, so that they fit the sizes the template gives them.
    gchar* css = g_strdup_printf(
        "window.skarvel-dialog, window.skarvel-dialog * {"
        " font-family: \"%s\", sans-serif; font-size: %dpt; }"
        "window.skarvel-dialog entry { min-height: 0; padding: 0 3px; }"
        "window.skarvel-dialog button { min-height: 0; min-width: 0; padding: 0 4px; }",
        dialog.fontName.c_str(), dialog.pointSize > 0 ? dialog.pointSize : 8);
    GtkCssProvider* provider = gtk_css_provider_new();
    gtk_css_provider_load_from_data(provider, css, -1, nullptr);
    g_free(css);
    gtk_style_context_add_provider_for_screen(gdk_screen_get_default(), GTK_STYLE_PROVIDER(provider),
                                              GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
    return provider;
}

GtkWidget* makeControl(const DialogControl& control, Session& session, const std::map<int, std::string>& texts)
{
    switch (control.kind) {
    case DialogControlKind::pushButton:
    case DialogControlKind::defaultPushButton: {
        GtkWidget* button = gtk_button_new_with_label(control.text.c_str());
        g_object_set_data(G_OBJECT(button), "skarvel-dialog-id", GINT_TO_POINTER(control.id));
        g_signal_connect(button, "clicked", G_CALLBACK(onButtonClicked), &session);
        session.tabOrder.push_back(button);
        if (control.kind == DialogControlKind::defaultPushButton &&
            !gtk_window_get_default_widget(GTK_WINDOW(session.window))) {
            gtk_widget_set_can_default(button, TRUE);
            gtk_window_set_default(GTK_WINDOW(session.window), button);
        }
        return button;
    }
    case DialogControlKind::rightLabel:
    case DialogControlKind::leftLabel: {
        GtkWidget* label = gtk_label_new(control.text.c_str());
        bool right = control.kind == DialogControlKind::rightLabel;
        gtk_label_set_xalign(GTK_LABEL(label), right ? 1.0f : 0.0f);
        gtk_label_set_yalign(GTK_LABEL(label), 0.0f);
        gtk_label_set_line_wrap(GTK_LABEL(label), !right);
        return label;
    }
    case DialogControlKind::edit: {
        GtkWidget* entry = gtk_entry_new();
        gtk_entry_set_width_chars(GTK_ENTRY(entry), 1);
        gtk_entry_set_activates_default(GTK_ENTRY(entry), TRUE);
        if (auto text = texts.find(control.id); text != texts.end())
            gtk_entry_set_text(GTK_ENTRY(entry), text->second.c_str());
        session.tabOrder.push_back(entry);
        session.edits.emplace_back(control.id, entry);
        return entry;
    }
    case DialogControlKind::groupBox:
        return gtk_frame_new(control.text.empty() ? nullptr : control.text.c_str());
    }
    return nullptr;
}

bool openDisplay(std::string& error)
{
    static bool open = false;
    if (open)
        return true;
    // Numbers in the dialog are read and written the same way in every locale.
    static bool localeKept = false;
    if (!localeKept) {
        gtk_disable_setlocale();
        localeKept = true;
    }
    if (!gtk_init_check(nullptr, nullptr)) {
        error = unopenedDisplay();
        return false;
    }
    open = true;
    return true;
}

} // namespace

int runModalDialog(const DialogTemplate& dialog, std::map<int, std::string>& texts, std::string& error)
{
    if (!openDisplay(error))
        return -1;

    GtkCssProvider* provider = installStyle(dialog);
    Session session;
    session.window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    GtkWindow* window = GTK_WINDOW(session.window);
    gtk_style_context_add_class(gtk_widget_get_style_context(session.window), "skarvel-dialog");
    gtk_window_set_title(window, dialog.title.c_str());
    gtk_window_set_resizable(window, FALSE);
    gtk_window_set_type_hint(window, GDK_WINDOW_TYPE_HINT_DIALOG);
    g_signal_connect(session.window, "delete-event", G_CALLBACK(onDelete), &session);
    g_signal_connect(session.window, "destroy", G_CALLBACK(onDestroy), &session);
    g_signal_connect(session.window, "key-press-event", G_CALLBACK(onKeyPress), &session);

    double perUnitX = 0;
    double perUnitY = 0;
    dialogUnits(session.window, perUnitX, perUnitY);
    auto across = [&](int units) { return static_cast<int>(units * perUnitX + 0.5); };
    auto down = [&](int units) { return static_cast<int>(units * perUnitY + 0.5); };

    GtkWidget* fixed = gtk_fixed_new();
    gtk_widget_set_size_request(fixed, across(dialog.width), down(dialog.height));
    gtk_container_add(GTK_CONTAINER(session.window), fixed);
    for (const DialogControl& control : dialog.controls) {
        GtkWidget* widget = makeControl(control, session, texts);
        if (!widget)
            continue;
        gtk_widget_set_size_request(widget, across(control.width), down(control.height));
        gtk_fixed_put(GTK_FIXED(fixed), widget, across(control.x), down(control.y));
    }
    gtk_window_move(window, across(dialog.x), down(dialog.y));
    if (!session.tabOrder.empty())
        gtk_window_set_focus(window, session.tabOrder.front());
    gtk_widget_show_all(session.window);
    gtk_window_present(window);

    // A termination signal cancels the dialog: nothing is stored.
    waitModal(session.done, [&session] { finish(session, dialogIdCancel); });

    if (!session.destroyed) {
        for (const auto& [id, entry] : session.edits)
            texts[id] = gtk_entry_get_text(GTK_ENTRY(entry));
        gtk_widget_destroy(session.window);
    }
    while (gtk_events_pending())
        gtk_main_iteration_do(FALSE);
    gtk_style_context_remove_provider_for_screen(gdk_screen_get_default(), GTK_STYLE_PROVIDER(provider));
    g_object_unref(provider);
    return session.result;
}

} // namespace platform
