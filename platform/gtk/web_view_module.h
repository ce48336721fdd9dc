// The browser view is a module of its own (webkit_view.cpp), loaded at the first opening of a
// window that has one, so that the program's start-up does not load WebKit. This is what the
// module offers the GTK backend; the backend finds it by the entry point's name.
#pragma once

#include <gtk/gtk.h>

namespace xl::gtk {

// Raised whenever the table below changes, so that a stale module beside the program is refused.
inline constexpr int kWebViewModuleVersion = 1;

inline constexpr char kWebViewEntryPoint[] = "xl_web_view_module";

// Addresses are UTF-8; one without a scheme is taken as HTTP.
struct WebViewModule {
    int version;
    // A new view that has started navigating to the address; the caller's widget tree takes its
    // floating reference.
    GtkWidget* (*create)(const char* address);
    // Starts a plain GET of the address in the view and returns at once.
    void (*navigate)(GtkWidget* view, const char* address);
};

using WebViewEntryPoint = const WebViewModule* (*)();

}  // namespace xl::gtk
