// The clipboard, for the GTK backend.
//   needs: GTK 3.24 (the CLIPBOARD selection of X11)
//   implemented: offering a text as UTF-8, marked storable so that a clipboard manager keeps it
//     after the program ends
//   missing: nothing
#include <gtk/gtk.h>

#include "platform/core/platform.h"
#include "platform/posix/encoding.h"

namespace xl::platform {

void SetClipboardText(const Text& text) {
    GtkClipboard* clipboard = gtk_clipboard_get(GDK_SELECTION_CLIPBOARD);
    const std::string utf8 = posix::GbkToUtf8(text);
    gtk_clipboard_set_text(clipboard, utf8.c_str(), static_cast<gint>(utf8.size()));
    gtk_clipboard_set_can_store(clipboard, nullptr, 0);
}

}  // namespace xl::platform
