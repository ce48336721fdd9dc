// The web view baseline of bench/gui: a bare WebKitGTK 4.1 program. It is a separate program of
// the benchmark, not part of 笑料工坊, so it uses GTK and WebKit directly and links WebKit as
// any WebKit program does. A small window offers one button where the main window has 创意提交;
// each press opens a window holding only a web view of the submission window's view size that
// loads ADDRESS, with the settings of platform/gtk/webkit_view.cpp: one ephemeral context made at
// the first press and kept for the run (making it starts WebKit's network process, so it is not
// done before the press, as the program does not do it before its first view either), no
// sandbox, no hardware acceleration, a 16-pixel default font, zoom 1.0. The close button destroys
// the view's window; the next press opens a new one.
//
//   bare_webview LAUNCHER_TITLE VIEW_TITLE ADDRESS
#include <gtk/gtk.h>
#include <webkit2/webkit2.h>

namespace {

struct Run {
    const char* view_title;
    const char* address;
    WebKitWebContext* context = nullptr;
};

void OpenView(GtkButton*, gpointer data) {
    auto* run = static_cast<Run*>(data);
    if (!run->context) {
        run->context = webkit_web_context_new_ephemeral();
        webkit_web_context_set_sandbox_enabled(run->context, FALSE);
    }
    WebKitSettings* settings =
        webkit_settings_new_with_settings("default-font-size", 16, "hardware-acceleration-policy",
                                          WEBKIT_HARDWARE_ACCELERATION_POLICY_NEVER, nullptr);
    GtkWidget* view = GTK_WIDGET(g_object_new(WEBKIT_TYPE_WEB_VIEW, "web-context", run->context,
                                              "settings", settings, nullptr));
    g_object_unref(settings);
    webkit_web_view_set_zoom_level(WEBKIT_WEB_VIEW(view), 1.0);
    webkit_web_view_load_uri(WEBKIT_WEB_VIEW(view), run->address);

    GtkWidget* window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    gtk_window_set_title(GTK_WINDOW(window), run->view_title);
    gtk_widget_set_size_request(view, 432, 224);
    gtk_container_add(GTK_CONTAINER(window), view);
    gtk_widget_show_all(window);
}

}  // namespace

int main(int argc, char** argv) {
    // As in the program, which turns GL off before GTK starts.
    g_setenv("GDK_GL", "disable", TRUE);
    if (!gtk_init_check(&argc, &argv) || argc < 4) return 1;

    Run run{argv[2], argv[3]};

    GtkWidget* window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    gtk_window_set_title(GTK_WINDOW(window), argv[1]);
    gtk_window_set_resizable(GTK_WINDOW(window), FALSE);
    g_signal_connect(window, "destroy", G_CALLBACK(gtk_main_quit), nullptr);
    GtkWidget* fixed = gtk_fixed_new();
    gtk_widget_set_size_request(fixed, 391, 160);
    gtk_container_add(GTK_CONTAINER(window), fixed);
    GtkWidget* button = gtk_button_new_with_label("打开");
    gtk_widget_set_size_request(button, 80, 24);
    gtk_fixed_put(GTK_FIXED(fixed), button, 155, 64);
    g_signal_connect(button, "clicked", G_CALLBACK(OpenView), &run);
    gtk_widget_show_all(window);
    gtk_main();
    if (run.context) g_object_unref(run.context);
    return 0;
}
