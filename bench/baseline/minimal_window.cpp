// The start-up and memory baseline of bench/gui: a bare GTK 3 program with the controls of the
// main window and nothing else. It is a separate program of the benchmark, not part of 笑料工坊,
// so it uses GTK directly: a multi-line text view in a scrolled window, three buttons, two
// labels, a status bar of two panes and a 3000 ms timer, at the main window's places. No style
// sheet, no icon, no skin, no WebKit; GL is off as in the program.
//
//   minimal_window TITLE
#include <gtk/gtk.h>

namespace {

struct Place {
    int x, y, width, height;
};

void Put(GtkWidget* fixed, GtkWidget* child, Place at) {
    gtk_widget_set_size_request(child, at.width, at.height);
    gtk_fixed_put(GTK_FIXED(fixed), child, at.x, at.y);
}

gboolean Tick(gpointer label) {
    gtk_label_set_text(GTK_LABEL(label), "tick");
    return G_SOURCE_CONTINUE;
}

}  // namespace

int main(int argc, char** argv) {
    // The program turns GL off for the same reason: plain widgets do not need it.
    g_setenv("GDK_GL", "disable", TRUE);
    if (!gtk_init_check(&argc, &argv)) return 1;
    const char* title = argc > 1 ? argv[1] : "minimal window";

    GtkWidget* window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    gtk_window_set_title(GTK_WINDOW(window), title);
    gtk_window_set_resizable(GTK_WINDOW(window), FALSE);
    g_signal_connect(window, "destroy", G_CALLBACK(gtk_main_quit), nullptr);
    GtkWidget* fixed = gtk_fixed_new();
    gtk_widget_set_size_request(fixed, 391, 160);
    gtk_container_add(GTK_CONTAINER(window), fixed);

    GtkWidget* scroller = gtk_scrolled_window_new(nullptr, nullptr);
    gtk_container_add(GTK_CONTAINER(scroller), gtk_text_view_new());
    Put(fixed, scroller, {8, 8, 376, 56});
    Put(fixed, gtk_button_new_with_label("生成"), {7, 64, 80, 24});
    Put(fixed, gtk_button_new_with_label("创意提交"), {155, 64, 80, 24});
    Put(fixed, gtk_button_new_with_label("分享"), {304, 64, 80, 24});
    Put(fixed, gtk_label_new("推荐：系统加速神器-极光哨"), {115, 94, 176, 16});
    GtkWidget* credits = gtk_label_new("创意源于生活！~");
    Put(fixed, credits, {63, 120, 280, 16});

    GtkWidget* bar = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 0);
    GtkWidget* left = gtk_label_new("作者 网址");
    gtk_widget_set_size_request(left, 300, 20);
    gtk_box_pack_start(GTK_BOX(bar), left, FALSE, FALSE, 0);
    GtkWidget* right = gtk_label_new("Var1.0");
    gtk_widget_set_size_request(right, 91, 20);
    gtk_box_pack_start(GTK_BOX(bar), right, FALSE, FALSE, 0);
    Put(fixed, bar, {0, 140, 391, 20});

    g_timeout_add(3000, Tick, credits);
    gtk_widget_show_all(window);
    gtk_main();
    return 0;
}
