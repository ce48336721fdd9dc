// The submission window as the GTK backend builds it, in this process: every control where its
// design puts it, and the Tab order. Needs a display and the browser view module in XL_RUN_DIR.
#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "app/handlers.h"
#include "platform/gtk/gtk_backend.h"
#include "platform/posix/posix_files.h"
#include "resources/layouts.h"

namespace xl::gtk {
namespace {

const WindowDesign* const kWindows[] = {&layout::kMainWindow, &layout::kSubmissionWindow};

// Runs the toolkit until the condition holds or five seconds have passed.
template <class Condition>
bool Settle(Condition done) {
    const gint64 deadline = g_get_monotonic_time() + 5 * G_USEC_PER_SEC;
    while (!done() && g_get_monotonic_time() < deadline) g_main_context_iteration(nullptr, FALSE);
    return done();
}

class SubmissionWindowTest : public testing::Test {
protected:
    static void SetUpTestSuite() {
        platform::SetUp(kWindows, kHandlers);
        // The view module lies beside the program, not beside this test.
        posix::UseRunDirectory(std::string(XL_RUN_DIR) + "/");
    }

    void SetUp() override {
        window_ = BuildWindow(layout::kSubmissionWindow, nullptr);
        ASSERT_NE(window_, nullptr) << "no view module in " XL_RUN_DIR;
        gtk_widget_show_all(window_->window);
        ASSERT_TRUE(Settle([&] { return gtk_widget_get_mapped(window_->window); }));
        ASSERT_TRUE(Settle([&] { return gtk_window_get_focus(GTK_WINDOW(window_->window)); }));
    }

    void TearDown() override {
        if (window_) gtk_widget_destroy(window_->window);
        while (g_main_context_iteration(nullptr, FALSE)) {
        }
    }

    LiveControl& Control(std::string_view name) {
        for (auto& control : window_->controls) {
            if (name == control->design->name) return *control;
        }
        ADD_FAILURE() << "no control " << name;
        return *window_->controls.front();
    }

    // The design name of the control that has the focus (a list box gives it to its button).
    std::string Focused() {
        GtkWidget* focus = gtk_window_get_focus(GTK_WINDOW(window_->window));
        for (auto& control : window_->controls) {
            if (control->focus && focus &&
                (focus == control->focus || gtk_widget_is_ancestor(focus, control->focus))) {
                return control->design->name;
            }
        }
        return "(none)";
    }

    // Tab or Shift+Tab, then the focus once it has arrived: out of the browser view it moves
    // only after the page has had the key.
    std::string TabTo(bool shift, const std::string& expected) {
        PressTab(shift);
        Settle([&] { return Focused() == expected; });
        return Focused();
    }

    void PressTab(bool shift) {
        GdkEvent* event = gdk_event_new(GDK_KEY_PRESS);
        event->key.window = GDK_WINDOW(g_object_ref(gtk_widget_get_window(window_->window)));
        event->key.send_event = FALSE;
        event->key.time = static_cast<guint32>(g_get_monotonic_time() / 1000);
        event->key.keyval = shift ? GDK_KEY_ISO_Left_Tab : GDK_KEY_Tab;
        event->key.state = shift ? GDK_SHIFT_MASK : 0;
        GdkKeymapKey* keys = nullptr;
        gint n_keys = 0;
        if (gdk_keymap_get_entries_for_keyval(gdk_keymap_get_for_display(gdk_display_get_default()),
                                              event->key.keyval, &keys, &n_keys) &&
            n_keys > 0) {
            event->key.hardware_keycode = static_cast<guint16>(keys[0].keycode);
            event->key.group = static_cast<guint8>(keys[0].group);
        }
        g_free(keys);
        gdk_event_set_device(
            event, gdk_seat_get_keyboard(gdk_display_get_default_seat(gdk_display_get_default())));
        gtk_main_do_event(event);
        gdk_event_free(event);
    }

    LiveWindow* window_ = nullptr;
};

TEST_F(SubmissionWindowTest, ControlsStandWhereTheDesignPutsThem) {
    GtkWidget* fixed = gtk_bin_get_child(GTK_BIN(window_->window));
    for (const ControlDesign& d : layout::kSubmissionWindow.controls) {
        SCOPED_TRACE(d.name);
        GtkWidget* widget = Control(d.name).widget;
        ASSERT_NE(widget, nullptr);
        int x = -1, y = -1;
        ASSERT_TRUE(gtk_widget_translate_coordinates(widget, fixed, 0, 0, &x, &y));
        GtkAllocation size;
        gtk_widget_get_allocation(widget, &size);
        EXPECT_EQ(x, d.x);
        EXPECT_EQ(y, d.y);
        EXPECT_EQ(size.width, d.width);
        EXPECT_EQ(size.height, d.height);
    }
    int width = 0, height = 0;
    gtk_window_get_size(GTK_WINDOW(window_->window), &width, &height);
    EXPECT_EQ(width, ClientWidth(layout::kSubmissionWindow));
    EXPECT_EQ(height, ClientHeight(layout::kSubmissionWindow));
    EXPECT_FALSE(gtk_window_get_resizable(GTK_WINDOW(window_->window)));
}

TEST_F(SubmissionWindowTest, CategoryListOffersFourItemsAndNoTyping) {
    GtkWidget* combo = Control(layout::kCategoryBox).widget;
    ASSERT_TRUE(GTK_IS_COMBO_BOX_TEXT(combo));
    EXPECT_FALSE(gtk_combo_box_get_has_entry(GTK_COMBO_BOX(combo)));
    EXPECT_EQ(gtk_combo_box_get_active(GTK_COMBO_BOX(combo)), 0);
    GtkTreeModel* items = gtk_combo_box_get_model(GTK_COMBO_BOX(combo));
    EXPECT_EQ(gtk_tree_model_iter_n_children(items, nullptr), 4);
}

TEST_F(SubmissionWindowTest, TabRunsThroughTheDesignOrder) {
    // The window opens with the focus on the first control of the order.
    EXPECT_EQ(Focused(), layout::kCategoryBox);
    // Out of the view the page has the key first and hands the focus back.
    const std::string forward[] = {layout::kEntryBox, layout::kQqBox, "提交", layout::kBrowserView,
                                   layout::kCategoryBox};
    for (const std::string& next : forward) EXPECT_EQ(TabTo(false, next), next);
    const std::string backward[] = {layout::kBrowserView, "提交", layout::kQqBox, layout::kEntryBox,
                                    layout::kCategoryBox};
    for (const std::string& next : backward) EXPECT_EQ(TabTo(true, next), next);
}

}  // namespace
}  // namespace xl::gtk
