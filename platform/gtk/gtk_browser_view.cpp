// The browser view control, for the GTK backend. WebKit lives in the view module beside the
// program, loaded here when the first window with a view opens; start-up never loads it.
//   needs: GTK 3.24, GModule
//   implemented: loading the module from the run directory once (a module that is missing, stale
//     or broken makes the window fail to load, and a later opening tries again), creating a view
//     per control, navigation
//   missing: nothing
#include "gtk_backend.h"
#include "web_view_module.h"

namespace xl::gtk {
namespace {

const WebViewModule* LoadWebViewModule() {
    if (g_backend.web_view) return g_backend.web_view;
    const std::string path = GbkToUtf8(platform::PathBesideProgram(XL_WEB_VIEW_MODULE));
    GModuleHandle library(g_module_open(
        path.c_str(), static_cast<GModuleFlags>(G_MODULE_BIND_LAZY | G_MODULE_BIND_LOCAL)));
    if (!library) return nullptr;
    gpointer symbol = nullptr;
    if (!g_module_symbol(library.get(), kWebViewEntryPoint, &symbol) || !symbol) return nullptr;
    const WebViewModule* table = reinterpret_cast<WebViewEntryPoint>(symbol)();
    if (!table || table->version != kWebViewModuleVersion) return nullptr;
    // WebKit registers types and starts threads that outlive any view; it cannot be unloaded.
    g_module_make_resident(library.get());
    g_backend.web_view_library = std::move(library);
    g_backend.web_view = table;
    return table;
}

}  // namespace

GtkWidget* MakeBrowserView(LiveControl& control) {
    const WebViewModule* module = LoadWebViewModule();
    if (!module) return nullptr;
    GtkWidget* view =
        module->create(GbkToUtf8(control.design->text ? control.design->text : "").c_str());
    control.focus = view;
    return view;
}

void NavigateBrowserView(LiveControl& control, const std::string& address) {
    if (!g_backend.web_view || !control.widget) return;
    g_backend.web_view->navigate(control.widget, address.c_str());
}

}  // namespace xl::gtk
