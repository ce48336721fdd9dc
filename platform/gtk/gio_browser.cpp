// The default web browser, for the GTK backend.
//   needs: GIO
//   implemented: handing an address to the handler registered for its scheme
//   missing: nothing
#include <gio/gio.h>

#include "platform/core/platform.h"
#include "platform/posix/encoding.h"

namespace xl::platform {

void OpenInDefaultBrowser(const Text& address) {
    // The handler runs as a program of its own; nothing of its outcome concerns us.
    GError* error = nullptr;
    g_app_info_launch_default_for_uri(posix::GbkToUtf8(address).c_str(), nullptr, &error);
    if (error) g_error_free(error);
}

}  // namespace xl::platform
