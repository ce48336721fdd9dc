// The browser view, for the GTK backend, built as a module of its own that the backend loads at
// the first opening of a window that has a view (see web_view_module.h and docs/webview.md).
//   needs: WebKitGTK 4.1, GTK 3.24
//   implemented: a view that navigates on creation, addresses without a scheme taken as HTTP,
//     plain GET navigation, the medium page font size, helper processes that start as root and
//     without a GPU
//   missing: the Windows component's silent and offline settings, which WebKit does not have:
//     it shows script dialogs itself, as the component does when not silent, and has no
//     offline mode
#include <webkit2/webkit2.h>

#include <memory>
#include <string>
#include <string_view>

#include "web_view_module.h"

namespace xl::gtk {
namespace {

// The middle of the five text sizes of the Windows component is its "medium" size, 12 points at
// 96 dpi, which is also what CSS calls medium: 16 pixels. WebKit takes the size in pixels.
constexpr guint32 kMediumFontPixels = 16;

struct ObjectUnref {
    void operator()(gpointer object) const { g_object_unref(object); }
};

struct ModuleState {
    std::unique_ptr<WebKitWebContext, ObjectUnref> context;  // made at the first view
};

ModuleState g_module;

WebKitWebContext* Context() {
    if (g_module.context) return g_module.context.get();
    // Ephemeral: cookies, caches and site storage stay in memory, so the program writes no files
    // besides its own.
    g_module.context.reset(webkit_web_context_new_ephemeral());
    // Off by default in this API, and said here so that it stays off: the sandbox starts the
    // helpers through bubblewrap, which needs user namespaces that many containers and CI
    // machines refuse, and then the web process fails to start and the view stays blank. The
    // view shows the product's own site only. Settled before the first helper starts.
    webkit_web_context_set_sandbox_enabled(g_module.context.get(), FALSE);
    return g_module.context.get();
}

bool IsSchemeChar(char c, bool first) {
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')) return true;
    return !first && ((c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.');
}

// "host:port/path" is an HTTP address to the Windows component; WebKit would read "host" as
// the scheme.
std::string WithScheme(std::string_view address) {
    const std::size_t colon = address.find(':');
    bool scheme = colon != std::string_view::npos && colon > 0;
    for (std::size_t i = 0; scheme && i < colon; ++i) scheme = IsSchemeChar(address[i], i == 0);
    if (scheme && (address.substr(colon + 1).starts_with("//") || address.starts_with("about:"))) {
        return std::string(address);
    }
    return "http://" + std::string(address);
}

void Navigate(GtkWidget* view, const char* address) {
    // load_uri is an ordinary top-level GET with WebKit's own headers and nothing added.
    webkit_web_view_load_uri(WEBKIT_WEB_VIEW(view), WithScheme(address ? address : "").c_str());
}

GtkWidget* Create(const char* address) {
    // Without a GPU (a headless X server, a remote display) WebKit would set up GL in software
    // for a view that shows plain pages.
    std::unique_ptr<WebKitSettings, ObjectUnref> settings(webkit_settings_new_with_settings(
        "default-font-size", kMediumFontPixels, "hardware-acceleration-policy",
        WEBKIT_HARDWARE_ACCELERATION_POLICY_NEVER, nullptr));
    GtkWidget* view = GTK_WIDGET(g_object_new(WEBKIT_TYPE_WEB_VIEW, "web-context", Context(),
                                              "settings", settings.get(), nullptr));
    webkit_web_view_set_zoom_level(WEBKIT_WEB_VIEW(view), 1.0);
    Navigate(view, address);
    return view;
}

constexpr WebViewModule kModule = {
    .version = kWebViewModuleVersion,
    .create = Create,
    .navigate = Navigate,
};

}  // namespace
}  // namespace xl::gtk

extern "C" G_MODULE_EXPORT const xl::gtk::WebViewModule* xl_web_view_module() {
    return &xl::gtk::kModule;
}
