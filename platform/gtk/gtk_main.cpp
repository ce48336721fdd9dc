// Start-up, the message loop, modal dialogs and the orderly end, for the GTK backend.
//   needs: GTK 3.24
//   implemented: the entry point, toolkit set-up without GL, the designs' check, the start-up
//     window, the loop that ends with the last window, modal dialogs in a nested loop with the
//     other windows taking no input, the error box of the run-time error stop, the release of
//     bound libraries at the end and in the stop
//   missing: nothing
#include <cstdio>

#include "gtk_backend.h"
#include "platform/core/runtime_error.h"
#include "platform/core/shutdown.h"
#include "platform/posix/dynamic_library.h"
#include "platform/posix/posix_files.h"

namespace xl::gtk {

Backend g_backend;

namespace {

void ShowErrorBox(const Text& box_text) {
    const std::string text = GbkToUtf8(box_text);
    // Also on standard error, for whoever started the program from a terminal.
    std::fwrite(text.data(), 1, text.size(), stderr);
    std::fflush(stderr);
    if (!g_backend.toolkit_ready) return;
    GtkWidget* box = gtk_message_dialog_new(nullptr, GTK_DIALOG_MODAL, GTK_MESSAGE_ERROR,
                                            GTK_BUTTONS_OK, "%s", text.c_str());
    gtk_window_set_title(GTK_WINDOW(box), GbkToUtf8("错误").c_str());
    gtk_window_set_position(GTK_WINDOW(box), GTK_WIN_POS_CENTER);
    gtk_dialog_run(GTK_DIALOG(box));
    gtk_widget_destroy(box);
}

void ReleaseLibraries() { posix::ReleaseLibraries(); }

void PlaceCentred(LiveWindow& live) {
    GdkDisplay* display = gdk_display_get_default();
    GdkMonitor* monitor = gdk_display_get_primary_monitor(display);
    if (!monitor) monitor = gdk_display_get_monitor(display, 0);
    GdkRectangle screen{0, 0, 0, 0};
    if (monitor) gdk_monitor_get_geometry(monitor, &screen);
    const Point at = CentredOn(screen.width, screen.height, *live.design);
    gtk_window_move(GTK_WINDOW(live.window), screen.x + at.x, screen.y + at.y);
}

void Show(LiveWindow& live) {
    PlaceCentred(live);
    gtk_widget_show_all(live.window);
}

LiveControl* Control(const WindowDesign& window, std::string_view name) {
    if (LiveWindow* live = FindWindow(window)) {
        for (auto& control : live->controls) {
            if (name == control->design->name) return control.get();
        }
    }
    // A handler that names a control of a window that is not open is a fault of the program.
    RuntimeErrorStop(kErrorDesignsUnreadable);
}

}  // namespace
}  // namespace xl::gtk

namespace xl::platform {

using namespace xl::gtk;

int Run(int (*program_main)()) {
    program_main();
    // The orderly end: the clean-up once, then the libraries; the code is the quit request's.
    RunShutdownRoutine();
    ReleaseLibraries();
    return g_backend.quit_code;
}

void SetUp(std::span<const WindowDesign* const> windows, std::span<const HandlerBinding> handlers) {
    posix::TakeRunDirectory();
    InstallStopHooks({ShowErrorBox, ReleaseLibraries});
    // Plain widgets need no GL, and setting it up costs start-up time and memory.
    g_setenv("GDK_GL", "disable", TRUE);
    if (!gtk_init_check(nullptr, nullptr)) RuntimeErrorStop(kErrorStartupWindow);
    g_backend.toolkit_ready = true;
    if (!DesignsAreSound(windows, handlers)) RuntimeErrorStop(kErrorDesignsUnreadable);
    g_backend.designs = windows;
    g_backend.handlers = handlers;
    InstallBaseStyle();
}

void LoadStartupWindow(const WindowDesign& window) {
    LiveWindow* live = BuildWindow(window, nullptr);
    if (!live) RuntimeErrorStop(kErrorStartupWindow);
    GtkWidget* toplevel = live->window;
    if (window.created_handler) FindHandler(g_backend.handlers, window.created_handler)();
    // The creation handler may have ended in a stop, or closed nothing; the window is still ours.
    if (LiveWindow* still = FindWindow(window); still && still->window == toplevel) Show(*still);
}

bool LoadDialog(const WindowDesign& window, const WindowDesign& parent) {
    LiveWindow* owner = FindWindow(parent);
    LiveWindow* live = BuildWindow(window, owner ? GTK_WINDOW(owner->window) : nullptr);
    if (!live) return false;
    // Modal: the toolkit's grab keeps input from every other window of the program, whose
    // timers go on, and gives it back when the dialog is gone.
    gtk_window_set_modal(GTK_WINDOW(live->window), TRUE);
    if (window.created_handler) FindHandler(g_backend.handlers, window.created_handler)();
    Show(*live);
    GMainLoop* loop = g_main_loop_new(nullptr, FALSE);
    live->dialog_loop = loop;
    g_main_loop_run(loop);
    g_main_loop_unref(loop);
    return true;
}

void RunMessageLoop() {
    if (g_backend.windows.empty()) return;
    g_backend.loop_running = true;
    gtk_main();
    g_backend.loop_running = false;
}

Text GetText(const WindowDesign& window, std::string_view name) {
    LiveControl* c = Control(window, name);
    if (GTK_IS_TEXT_VIEW(c->focus)) {
        GtkTextBuffer* buffer = gtk_text_view_get_buffer(GTK_TEXT_VIEW(c->focus));
        GtkTextIter start, end;
        gtk_text_buffer_get_bounds(buffer, &start, &end);
        GOwnedString text(gtk_text_buffer_get_text(buffer, &start, &end, TRUE));
        return Utf8ToGbk(text.get());
    }
    if (GTK_IS_ENTRY(c->focus)) return Utf8ToGbk(gtk_entry_get_text(GTK_ENTRY(c->focus)));
    if (c->label) return Utf8ToGbk(gtk_label_get_text(GTK_LABEL(c->label)));
    return {};
}

void SetText(const WindowDesign& window, std::string_view name, const Text& text) {
    LiveControl* c = Control(window, name);
    const std::string utf8 = GbkToUtf8(text);
    if (GTK_IS_TEXT_VIEW(c->focus)) {
        gtk_text_buffer_set_text(gtk_text_view_get_buffer(GTK_TEXT_VIEW(c->focus)), utf8.c_str(),
                                 static_cast<gint>(utf8.size()));
    } else if (GTK_IS_ENTRY(c->focus)) {
        gtk_entry_set_text(GTK_ENTRY(c->focus), utf8.c_str());
    } else if (c->label) {
        gtk_label_set_text(GTK_LABEL(c->label), utf8.c_str());
    }
}

void SetFocus(const WindowDesign& window, std::string_view name) {
    LiveControl* c = Control(window, name);
    if (c->focus) gtk_widget_grab_focus(c->focus);
}

int ComboSelection(const WindowDesign& window, std::string_view name) {
    LiveControl* c = Control(window, name);
    return GTK_IS_COMBO_BOX(c->focus) ? gtk_combo_box_get_active(GTK_COMBO_BOX(c->focus)) : -1;
}

void SetBrowserAddress(const WindowDesign& window, std::string_view name, const Text& address) {
    // Handed over as it stands: WebKit itself percent-encodes what an address cannot carry.
    NavigateBrowserView(*Control(window, name), GbkToUtf8(address));
}

void RedrawNow(const WindowDesign& window, std::string_view name) {
    LiveControl* c = Control(window, name);
    // Queued repaints are done now; the page is not loaded again.
    gtk_widget_queue_draw(c->widget);
    if (GdkWindow* w = gtk_widget_get_window(c->widget)) {
        G_GNUC_BEGIN_IGNORE_DEPRECATIONS
        gdk_window_process_updates(w, TRUE);
        G_GNUC_END_IGNORE_DEPRECATIONS
    }
}

}  // namespace xl::platform
