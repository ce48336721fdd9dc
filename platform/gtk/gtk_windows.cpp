// Windows and controls built from their designs, for the GTK backend.
//   needs: GTK 3.24
//   implemented: fixed-size windows centred on the primary screen, multi- and single-line edit
//     boxes, push buttons with a default button, transparent labels with a left-press event,
//     a status bar with fixed panes, timers, a drop-down list, the browser view (from
//     gtk_browser_view.cpp); focus order, Tab, Enter, Escape and F1 as the designs want them,
//     also when the browser view hands the focus back; modal dialogs with a nested loop
//   missing: nothing
#include <algorithm>
#include <cmath>

#include "gtk_backend.h"
#include "platform/core/runtime_error.h"
#include "platform/core/word_list.h"
#include "resources/program_icon.h"

namespace xl::gtk {
namespace {

// The toolkit's own look makes an 80 x 24 button 34 pixels tall; the designs' sizes must hold.
// The designs were laid out for a 9-point GUI font: the desktop's font family is kept, at that
// size, or a caption such as 欲提交的词条 runs into the box beside it. The sunken edge of a
// single-line box is a shadow drawn inside it, so that it takes no height from the text.
constexpr char kBaseCss[] = R"css(
.xl-window { font-size: 9pt; }
.xl-window button { min-height: 0; min-width: 0; padding: 0 4px; }
.xl-window entry { min-height: 0; padding: 0 3px; border-radius: 0; color: #000; background: #fff;
                   border: none; box-shadow: inset 1px 1px #7a7a7a, inset -1px -1px #e0e0e0; }
.xl-window combobox button { padding: 0 2px; }
.xl-window combobox box { min-height: 0; }
.xl-edit { border: 1px solid #7a7a7a; background: #fff; }
.xl-edit text { color: #000; background: #fff; }
.xl-edit:not(:focus) text selection, .xl-window entry:not(:focus) selection {
    background: transparent; color: inherit; }
.xl-label { padding: 0; margin: 0; min-height: 0; }
.xl-statusbar { padding: 0; }
.xl-pane { border-style: solid; border-width: 1px; border-color: #a0a0a0 #ffffff #ffffff #a0a0a0;
           padding: 0 3px; }
)css";

std::string Utf8(const char* gbk) { return GbkToUtf8(gbk ? gbk : ""); }

void AddClass(GtkWidget* widget, const char* name) {
    gtk_style_context_add_class(gtk_widget_get_style_context(widget), name);
}

void SetColour(GtkWidget* widget, Rgb colour) {
    Ref<GtkCssProvider> css(gtk_css_provider_new());
    const std::string rule = "label { color: rgb(" + std::to_string(colour.red) + "," +
                             std::to_string(colour.green) + "," + std::to_string(colour.blue) +
                             "); }";
    gtk_css_provider_load_from_data(css.get(), rule.c_str(), -1, nullptr);
    gtk_style_context_add_provider(gtk_widget_get_style_context(widget),
                                   GTK_STYLE_PROVIDER(css.get()),
                                   GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
}

void Run(LiveControl* control) {
    if (control->handler) control->handler();
}

// --- events --------------------------------------------------------------------------------

void OnClicked(GtkButton*, gpointer data) { Run(static_cast<LiveControl*>(data)); }

gboolean OnTimer(gpointer data) {
    Run(static_cast<LiveControl*>(data));
    return G_SOURCE_CONTINUE;
}

gboolean OnLabelPress(GtkWidget* widget, GdkEventButton* event, gpointer data) {
    auto* control = static_cast<LiveControl*>(data);
    if (event->type != GDK_BUTTON_PRESS || event->button != GDK_BUTTON_PRIMARY) return FALSE;
    guint double_click_ms = 400;
    int double_click_distance = 5;
    g_object_get(gtk_widget_get_settings(widget), "gtk-double-click-time", &double_click_ms,
                 "gtk-double-click-distance", &double_click_distance, nullptr);
    if (control->presses.IsSinglePress(event->time, event->x_root, event->y_root, double_click_ms,
                                       double_click_distance)) {
        Run(control);
    }
    return TRUE;
}

// Typing into an integer box admits only digits and "-"; control keys and pasting pass.
gboolean OnIntegerKey(GtkWidget*, GdkEventKey* event, gpointer) {
    if (event->state & (GDK_CONTROL_MASK | GDK_MOD1_MASK)) return FALSE;
    const gunichar c = gdk_keyval_to_unicode(event->keyval);
    if (c == 0 || !g_unichar_isprint(c)) return FALSE;
    return (c >= '0' && c <= '9') || c == '-' ? FALSE : TRUE;
}

LiveControl* FocusedControl(LiveWindow* window) {
    GtkWidget* focus = gtk_window_get_focus(GTK_WINDOW(window->window));
    if (!focus) return nullptr;
    for (auto& control : window->controls) {
        if (control->focus &&
            (control->focus == focus || gtk_widget_is_ancestor(focus, control->focus))) {
            return control.get();
        }
    }
    return nullptr;
}

void MoveFocus(LiveWindow* window, bool forward) {
    const auto& order = window->design->focus_order;
    if (order.empty()) return;
    std::vector<LiveControl*> chain;
    for (const char* name : order) {
        for (auto& control : window->controls) {
            if (std::string_view(control->design->name) == name) chain.push_back(control.get());
        }
    }
    LiveControl* current = FocusedControl(window);
    auto at = std::find(chain.begin(), chain.end(), current);
    std::size_t next = 0;
    if (at == chain.end()) {
        next = forward ? 0 : chain.size() - 1;
    } else {
        const std::size_t i = static_cast<std::size_t>(at - chain.begin());
        next = forward ? (i + 1) % chain.size() : (i + chain.size() - 1) % chain.size();
    }
    gtk_widget_grab_focus(chain[next]->focus);
}

gboolean OnWindowKey(GtkWidget*, GdkEventKey* event, gpointer data) {
    auto* window = static_cast<LiveWindow*>(data);
    LiveControl* focused = FocusedControl(window);
    const bool in_browser = focused && focused->design->kind == ControlKind::BrowserView;
    // A browser view has its keys first. One that the page leaves unhandled comes back here as
    // the same event; by then a Tab has already passed the focus on out of the view.
    if (in_browser) {
        window->view_key_time = event->time;
        window->view_key_value = event->keyval;
        return FALSE;
    }
    if (event->time == window->view_key_time && event->keyval == window->view_key_value) {
        window->view_key_value = 0;
        return TRUE;
    }
    switch (event->keyval) {
    case GDK_KEY_Tab:
    case GDK_KEY_KP_Tab:
    case GDK_KEY_ISO_Left_Tab:
        if (event->state & (GDK_CONTROL_MASK | GDK_MOD1_MASK)) return FALSE;
        MoveFocus(window,
                  event->keyval != GDK_KEY_ISO_Left_Tab && !(event->state & GDK_SHIFT_MASK));
        return TRUE;
    case GDK_KEY_Return:
    case GDK_KEY_KP_Enter:
    case GDK_KEY_ISO_Enter:
        if (focused && focused->design->kind == ControlKind::EditBox &&
            focused->design->style.multiline) {
            return FALSE;
        }
        if (window->default_button) Run(window->default_button);
        return TRUE;
    case GDK_KEY_Escape:
    case GDK_KEY_F1: return TRUE;
    default: return FALSE;
    }
}

// The toolkit moves the focus by itself when a window first shows and when the browser view
// hands the focus back after Tab has passed the page's last link; both follow the design.
gboolean OnWindowFocus(GtkWidget*, GtkDirectionType direction, gpointer data) {
    auto* window = static_cast<LiveWindow*>(data);
    if (direction != GTK_DIR_TAB_FORWARD && direction != GTK_DIR_TAB_BACKWARD) return FALSE;
    if (window->design->focus_order.empty()) return FALSE;
    MoveFocus(window, direction == GTK_DIR_TAB_FORWARD);
    return TRUE;
}

void OnWindowDestroyed(GtkWidget* widget, gpointer) {
    auto& windows = g_backend.windows;
    auto it = std::find_if(windows.begin(), windows.end(),
                           [&](const auto& w) { return w->window == widget; });
    if (it == windows.end()) return;
    std::unique_ptr<LiveWindow> gone = std::move(*it);
    windows.erase(it);
    for (auto& control : gone->controls) {
        if (control->timer) g_source_remove(control->timer);
    }
    if (gone->dialog_loop) g_main_loop_quit(gone->dialog_loop);
    if (windows.empty() && g_backend.loop_running) gtk_main_quit();
}

// --- controls ------------------------------------------------------------------------------

GtkWidget* MakeEditBox(LiveControl& c) {
    const ControlDesign& d = *c.design;
    if (d.style.multiline) {
        GtkWidget* view = gtk_text_view_new();
        gtk_text_view_set_wrap_mode(GTK_TEXT_VIEW(view), GTK_WRAP_WORD_CHAR);
        gtk_text_view_set_accepts_tab(GTK_TEXT_VIEW(view), FALSE);
        gtk_text_view_set_left_margin(GTK_TEXT_VIEW(view), 2);
        gtk_text_view_set_right_margin(GTK_TEXT_VIEW(view), 2);
        const std::string text = Utf8(d.text);
        gtk_text_buffer_set_text(gtk_text_view_get_buffer(GTK_TEXT_VIEW(view)), text.c_str(), -1);
        // No scroll bars, but the view still follows the caret.
        GtkWidget* scroller = gtk_scrolled_window_new(nullptr, nullptr);
        gtk_scrolled_window_set_policy(GTK_SCROLLED_WINDOW(scroller), GTK_POLICY_NEVER,
                                       GTK_POLICY_EXTERNAL);
        gtk_container_add(GTK_CONTAINER(scroller), view);
        AddClass(scroller, "xl-edit");
        c.focus = view;
        return scroller;
    }
    GtkWidget* entry = gtk_entry_new();
    gtk_entry_set_has_frame(GTK_ENTRY(entry), TRUE);
    gtk_entry_set_width_chars(GTK_ENTRY(entry), 1);
    if (d.style.max_length > 0) gtk_entry_set_max_length(GTK_ENTRY(entry), d.style.max_length);
    if (d.style.integer_input) {
        g_signal_connect(entry, "key-press-event", G_CALLBACK(OnIntegerKey), nullptr);
    }
    gtk_entry_set_text(GTK_ENTRY(entry), Utf8(d.text).c_str());
    c.focus = entry;
    return entry;
}

GtkWidget* MakeButton(LiveControl& c) {
    GtkWidget* button = gtk_button_new_with_label(Utf8(c.design->text).c_str());
    g_signal_connect(button, "clicked", G_CALLBACK(OnClicked), &c);
    if (c.design->style.default_button) c.window->default_button = &c;
    c.focus = button;
    return button;
}

GtkWidget* MakeLabel(LiveControl& c) {
    const ControlStyle& s = c.design->style;
    GtkWidget* label = gtk_label_new(Utf8(c.design->text).c_str());
    c.label = label;
    AddClass(label, "xl-label");
    SetColour(label, s.colour);
    const float x = s.align == Align::Centre ? 0.5f : 0.0f;
    gtk_label_set_xalign(GTK_LABEL(label), x);
    if (s.wrap) {
        gtk_label_set_line_wrap(GTK_LABEL(label), TRUE);
        gtk_label_set_line_wrap_mode(GTK_LABEL(label), PANGO_WRAP_WORD);
        gtk_label_set_justify(GTK_LABEL(label),
                              s.align == Align::Centre ? GTK_JUSTIFY_CENTER : GTK_JUSTIFY_LEFT);
        gtk_label_set_yalign(GTK_LABEL(label), 0.0f);
    } else {
        gtk_label_set_yalign(GTK_LABEL(label), 0.5f);
    }
    if (!c.handler) return label;
    // A label has no input window of its own; an invisible event box gives it one.
    GtkWidget* box = gtk_event_box_new();
    gtk_event_box_set_visible_window(GTK_EVENT_BOX(box), FALSE);
    gtk_container_add(GTK_CONTAINER(box), label);
    g_signal_connect(box, "button-press-event", G_CALLBACK(OnLabelPress), &c);
    return box;
}

GtkWidget* MakeStatusBar(LiveControl& c, int client_width) {
    GtkWidget* bar = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 0);
    AddClass(bar, "xl-statusbar");
    const WordList panes = SplitText(c.design->text ? c.design->text : "", "\r\n");
    int left = 0;
    for (int i = 0; i < 2; ++i) {
        const int right = std::min(c.design->style.pane_edges[i], client_width);
        const std::string text = i < panes.Count() ? GbkToUtf8(panes.Entry(i + 1)) : std::string();
        GtkWidget* label = gtk_label_new(text.c_str());
        gtk_label_set_xalign(GTK_LABEL(label), 0.0f);
        gtk_label_set_ellipsize(GTK_LABEL(label), PANGO_ELLIPSIZE_END);
        gtk_label_set_single_line_mode(GTK_LABEL(label), TRUE);
        AddClass(label, "xl-pane");
        gtk_widget_set_size_request(label, std::max(0, right - left), kStatusBarHeight);
        gtk_box_pack_start(GTK_BOX(bar), label, FALSE, FALSE, 0);
        left = right;
    }
    return bar;
}

GtkWidget* MakeComboBox(LiveControl& c) {
    GtkWidget* combo = gtk_combo_box_text_new();
    const WordList items = SplitText(c.design->text ? c.design->text : "", "\r\n");
    for (std::int64_t i = 1; i <= items.Count(); ++i) {
        gtk_combo_box_text_append_text(GTK_COMBO_BOX_TEXT(combo),
                                       GbkToUtf8(items.Entry(i)).c_str());
    }
    gtk_combo_box_set_active(GTK_COMBO_BOX(combo), 0);
    // The item renderer pads 2 pixels above and below, more than a 20-pixel list box has.
    GList* cells = gtk_cell_layout_get_cells(GTK_CELL_LAYOUT(combo));
    for (GList* cell = cells; cell; cell = cell->next) g_object_set(cell->data, "ypad", 0, nullptr);
    g_list_free(cells);
    c.focus = combo;
    return combo;
}

void PlaceIcon(GtkWindow* window) {
    Ref<GdkPixbufLoader> loader(gdk_pixbuf_loader_new_with_type("png", nullptr));
    if (!loader) return;
    if (gdk_pixbuf_loader_write(loader.get(), kProgramIconPng.data(), kProgramIconPng.size(),
                                nullptr) &&
        gdk_pixbuf_loader_close(loader.get(), nullptr)) {
        gtk_window_set_icon(window, gdk_pixbuf_loader_get_pixbuf(loader.get()));
    }
}

// A GtkFixed that gives every child exactly its designed rectangle. GtkFixed gives a child at
// least its minimum size, and a line of the default font is taller than a 16-pixel label.
struct XlDesignLayout {
    GtkFixed parent;
};
struct XlDesignLayoutClass {
    GtkFixedClass parent_class;
};
G_DEFINE_TYPE(XlDesignLayout, xl_design_layout, GTK_TYPE_FIXED)

void AllocateChild(GtkWidget* child, gpointer data) {
    GtkWidget* layout = gtk_widget_get_parent(child);
    const auto* parent = static_cast<const GtkAllocation*>(data);
    GtkRequisition minimum;
    gtk_widget_get_preferred_size(child, &minimum, nullptr);  // the toolkit wants it asked
    int x = 0, y = 0, width = 0, height = 0;
    gtk_container_child_get(GTK_CONTAINER(layout), child, "x", &x, "y", &y, nullptr);
    gtk_widget_get_size_request(child, &width, &height);
    GtkAllocation a = {parent->x + x, parent->y + y, width, height};
    gtk_widget_size_allocate(child, &a);
}

void xl_design_layout_size_allocate(GtkWidget* widget, GtkAllocation* allocation) {
    gtk_widget_set_allocation(widget, allocation);
    gtk_container_foreach(GTK_CONTAINER(widget), AllocateChild, allocation);
}

void xl_design_layout_class_init(XlDesignLayoutClass* klass) {
    GTK_WIDGET_CLASS(klass)->size_allocate = xl_design_layout_size_allocate;
}

void xl_design_layout_init(XlDesignLayout*) {}

void Place(GtkWidget* layout, GtkWidget* child, int x, int y, int width, int height) {
    gtk_widget_set_size_request(child, width, height);
    gtk_fixed_put(GTK_FIXED(layout), child, x, y);
}

}  // namespace

bool PressCounter::IsSinglePress(guint32 time_ms, double x, double y, guint double_click_ms,
                                 int double_click_distance) {
    const bool second = armed_ && time_ms - time_ms_ <= double_click_ms &&
                        std::fabs(x - x_) <= double_click_distance &&
                        std::fabs(y - y_) <= double_click_distance;
    // The press after a double click starts afresh, as a press of its own.
    armed_ = !second;
    time_ms_ = time_ms;
    x_ = x;
    y_ = y;
    return !second;
}

void InstallBaseStyle() {
    Ref<GtkCssProvider> css(gtk_css_provider_new());
    gtk_css_provider_load_from_data(css.get(), kBaseCss, -1, nullptr);
    gtk_style_context_add_provider_for_screen(gdk_screen_get_default(),
                                              GTK_STYLE_PROVIDER(css.get()),
                                              GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
}

LiveWindow* FindWindow(const WindowDesign& design) {
    for (auto& window : g_backend.windows) {
        if (window->design == &design) return window.get();
    }
    return nullptr;
}

LiveWindow* BuildWindow(const WindowDesign& design, GtkWindow* parent) {
    auto live = std::make_unique<LiveWindow>();
    live->design = &design;
    const int client_width = ClientWidth(design);
    const int client_height = ClientHeight(design);

    GtkWidget* window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    live->window = window;
    gtk_window_set_title(GTK_WINDOW(window), Utf8(design.title).c_str());
    gtk_window_set_resizable(GTK_WINDOW(window), FALSE);
    gtk_window_set_skip_taskbar_hint(GTK_WINDOW(window), !design.taskbar_button);
    // A dialog's frame offers no minimise button; a normal window's does.
    gtk_window_set_type_hint(GTK_WINDOW(window), design.minimise_button
                                                     ? GDK_WINDOW_TYPE_HINT_NORMAL
                                                     : GDK_WINDOW_TYPE_HINT_DIALOG);
    if (parent) gtk_window_set_transient_for(GTK_WINDOW(window), parent);
    if (design.program_icon) PlaceIcon(GTK_WINDOW(window));
    AddClass(window, "xl-window");

    GtkWidget* fixed = GTK_WIDGET(g_object_new(xl_design_layout_get_type(), nullptr));
    gtk_widget_set_size_request(fixed, client_width, client_height);
    gtk_container_add(GTK_CONTAINER(window), fixed);

    for (const ControlDesign& d : design.controls) {
        auto control = std::make_unique<LiveControl>();
        LiveControl& c = *control;
        c.design = &d;
        c.window = live.get();
        c.handler = d.handler ? FindHandler(g_backend.handlers, d.handler) : nullptr;
        GtkWidget* widget = nullptr;
        int x = d.x, y = d.y, width = d.width, height = d.height;
        switch (d.kind) {
        case ControlKind::EditBox: widget = MakeEditBox(c); break;
        case ControlKind::Button: widget = MakeButton(c); break;
        case ControlKind::Label: widget = MakeLabel(c); break;
        case ControlKind::ComboBox: widget = MakeComboBox(c); break;
        case ControlKind::StatusBar:
            widget = MakeStatusBar(c, client_width);
            x = 0;
            y = client_height - kStatusBarHeight;
            width = client_width;
            height = kStatusBarHeight;
            break;
        case ControlKind::Timer: break;
        case ControlKind::BrowserView:
            widget = MakeBrowserView(c);
            if (!widget) {
                gtk_widget_destroy(window);
                return nullptr;
            }
            break;
        }
        c.widget = widget;
        if (widget) Place(fixed, widget, x, y, width, height);
        live->controls.push_back(std::move(control));
    }

    g_signal_connect(window, "key-press-event", G_CALLBACK(OnWindowKey), live.get());
    g_signal_connect(window, "focus", G_CALLBACK(OnWindowFocus), live.get());
    g_signal_connect(window, "destroy", G_CALLBACK(OnWindowDestroyed), nullptr);
    // Timers count from the window's creation, before its creation handler runs.
    for (auto& control : live->controls) {
        if (control->design->kind == ControlKind::Timer && control->design->style.period_ms > 0) {
            control->timer = g_timeout_add(static_cast<guint>(control->design->style.period_ms),
                                           OnTimer, control.get());
        }
    }
    g_backend.windows.push_back(std::move(live));
    return g_backend.windows.back().get();
}

}  // namespace xl::gtk
