// The template dialog on a real X display, driven from inside its own event
// loop: each step runs from a timer while the dialog waits for the user.
#include <functional>
#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include "platform/dialog/dialog.h"

namespace {

using platform::DialogControlKind;
using Step = std::function<void(GtkWindow*)>;

const platform::DialogTemplate testDialog{
    "Dialog Under Test", 0, 0, 200, 80, "Sans", 8,
    {
        {platform::dialogIdOk, DialogControlKind::defaultPushButton, "OK", 10, 60, 40, 12},
        {10, DialogControlKind::edit, "", 80, 8, 60, 14},
        {-1, DialogControlKind::rightLabel, "First", 10, 10, 60, 11},
        {platform::dialogIdCancel, DialogControlKind::pushButton, "Cancel", 60, 60, 40, 12},
        {11, DialogControlKind::edit, "", 80, 28, 60, 14},
        {-1, DialogControlKind::groupBox, "Group", 5, 0, 150, 50},
        {7, DialogControlKind::pushButton, "Other", 110, 60, 40, 12},
        {-1, DialogControlKind::leftLabel, "Line one\nLine two", 160, 5, 35, 40},
    },
};

// Runs the steps one per timer tick once the dialog shows. Should the dialog
// still be open long after the last step, it is closed, so a broken dialog fails
// the test rather than hanging it.
class Driver {
public:
    explicit Driver(std::vector<Step> steps) : steps_(std::move(steps))
    {
        source_ = g_timeout_add(40, &Driver::tick, this);
    }

    ~Driver()
    {
        if (source_)
            g_source_remove(source_);
    }

private:
    static gboolean tick(gpointer data)
    {
        auto& driver = *static_cast<Driver*>(data);
        gboolean again = driver.step();
        if (!again)
            driver.source_ = 0;
        return again;
    }

    gboolean step()
    {
        Driver& driver = *this;
        GtkWindow* window = findDialog();
        if (!window)
            return ++driver.idle_ < 250;
        if (driver.next_ < driver.steps_.size()) {
            driver.steps_[driver.next_++](window);
            return TRUE;
        }
        if (++driver.idle_ > 150) {
            ADD_FAILURE() << "the dialog did not close";
            gtk_window_close(window);
            return FALSE;
        }
        return TRUE;
    }

    static GtkWindow* findDialog()
    {
        GList* windows = gtk_window_list_toplevels();
        GtkWindow* found = nullptr;
        for (GList* item = windows; item; item = item->next) {
            GtkWindow* window = GTK_WINDOW(item->data);
            const char* title = gtk_window_get_title(window);
            if (title && std::string(title) == testDialog.title && gtk_widget_get_visible(GTK_WIDGET(window)))
                found = window;
        }
        g_list_free(windows);
        return found;
    }

    std::vector<Step> steps_;
    size_t next_ = 0;
    int idle_ = 0;
    guint source_ = 0;
};

// The dialog's controls in the order they were made.
std::vector<GtkWidget*> controls(GtkWindow* window)
{
    std::vector<GtkWidget*> found;
    GtkWidget* fixed = gtk_bin_get_child(GTK_BIN(window));
    GList* children = gtk_container_get_children(GTK_CONTAINER(fixed));
    for (GList* item = children; item; item = item->next)
        found.push_back(GTK_WIDGET(item->data));
    g_list_free(children);
    return found;
}

GtkWidget* control(GtkWindow* window, size_t index)
{
    return controls(window).at(index);
}

// A key press as the window system would deliver it to the dialog.
void press(GtkWindow* window, guint key, GdkModifierType modifiers = GdkModifierType(0))
{
    GdkDisplay* display = gtk_widget_get_display(GTK_WIDGET(window));
    GdkEvent* event = gdk_event_new(GDK_KEY_PRESS);
    event->key.window = GDK_WINDOW(g_object_ref(gtk_widget_get_window(GTK_WIDGET(window))));
    event->key.time = GDK_CURRENT_TIME;
    event->key.keyval = key;
    event->key.state = modifiers;
    GdkKeymapKey* keys = nullptr;
    gint count = 0;
    if (gdk_keymap_get_entries_for_keyval(gdk_keymap_get_for_display(display), key, &keys, &count) && count > 0) {
        event->key.hardware_keycode = static_cast<guint16>(keys[0].keycode);
        event->key.group = static_cast<guint8>(keys[0].group);
    }
    g_free(keys);
    gdk_event_set_device(event, gdk_seat_get_keyboard(gdk_display_get_default_seat(display)));
    gtk_main_do_event(event);
    gdk_event_free(event);
}

int run(std::map<int, std::string>& texts, std::vector<Step> steps)
{
    Driver driver(std::move(steps));
    std::string error;
    int result = platform::runModalDialog(testDialog, texts, error);
    EXPECT_EQ(error, "");
    return result;
}

TEST(TemplateDialog, ShowsTheFieldsAndGivesTheirTextsBackOnOk)
{
    std::map<int, std::string> texts{{10, "given"}};
    int result = run(texts, {
        [](GtkWindow* window) {
            auto all = controls(window);
            ASSERT_EQ(all.size(), testDialog.controls.size());
            EXPECT_STREQ(gtk_entry_get_text(GTK_ENTRY(all[1])), "given");
            EXPECT_STREQ(gtk_entry_get_text(GTK_ENTRY(all[4])), "");
            EXPECT_STREQ(gtk_label_get_text(GTK_LABEL(all[2])), "First");
            EXPECT_STREQ(gtk_frame_get_label(GTK_FRAME(all[5])), "Group");
            // The first tab stop has the focus, and the default button is OK.
            EXPECT_EQ(gtk_window_get_focus(window), all[0]);
            EXPECT_EQ(gtk_window_get_default_widget(window), all[0]);
            // Controls keep the template's proportions: the second field lies
            // below the first, the Cancel button right of OK.
            GtkAllocation first, second, ok, cancel;
            gtk_widget_get_allocation(all[1], &first);
            gtk_widget_get_allocation(all[4], &second);
            gtk_widget_get_allocation(all[0], &ok);
            gtk_widget_get_allocation(all[3], &cancel);
            EXPECT_GT(second.y, first.y + first.height / 2);
            EXPECT_GT(cancel.x, ok.x + ok.width / 2);
            gtk_entry_set_text(GTK_ENTRY(all[4]), "typed");
        },
        [](GtkWindow* window) { gtk_button_clicked(GTK_BUTTON(control(window, 0))); },
    });
    EXPECT_EQ(result, platform::dialogIdOk);
    EXPECT_EQ(texts, (std::map<int, std::string>{{10, "given"}, {11, "typed"}}));
}

TEST(TemplateDialog, TabFollowsTheTemplateOrderAndEscapeCancels)
{
    std::map<int, std::string> texts;
    auto focusIs = [](size_t index) {
        return [index](GtkWindow* window) { EXPECT_EQ(gtk_window_get_focus(window), control(window, index)); };
    };
    auto key = [](guint keyval, GdkModifierType modifiers = GdkModifierType(0)) {
        return [keyval, modifiers](GtkWindow* window) { press(window, keyval, modifiers); };
    };
    int result = run(texts, {
        focusIs(0), key(GDK_KEY_Tab), focusIs(1), key(GDK_KEY_Tab), focusIs(3), key(GDK_KEY_Tab),
        focusIs(4), key(GDK_KEY_Tab), focusIs(6), key(GDK_KEY_Tab), focusIs(0),
        key(GDK_KEY_Tab, GDK_SHIFT_MASK), focusIs(6), key(GDK_KEY_Escape),
    });
    EXPECT_EQ(result, platform::dialogIdCancel);
}

TEST(TemplateDialog, EnterInAFieldPressesTheDefaultButton)
{
    std::map<int, std::string> texts;
    int result = run(texts, {
        [](GtkWindow* window) { gtk_widget_grab_focus(control(window, 4)); },
        [](GtkWindow* window) { press(window, GDK_KEY_Return); },
    });
    EXPECT_EQ(result, platform::dialogIdOk);
}

TEST(TemplateDialog, TheCloseBoxCancelsAndOtherButtonsGiveTheirIds)
{
    std::map<int, std::string> texts;
    EXPECT_EQ(run(texts, {[](GtkWindow* window) { gtk_window_close(window); }}), platform::dialogIdCancel);
    EXPECT_EQ(run(texts, {[](GtkWindow* window) { gtk_button_clicked(GTK_BUTTON(control(window, 6))); }}), 7);
    EXPECT_EQ(run(texts, {[](GtkWindow* window) { gtk_button_clicked(GTK_BUTTON(control(window, 3))); }}),
              platform::dialogIdCancel);
}

} // namespace
