// SkinH_Attach_Ex, the one function of our Linux skin library.
//   needs: GTK 3.24, GdkPixbuf, GLib (g_convert with GB18030)
//   implemented: the skin file read and checked whole, images beside it checked by decoding them,
//     one style sheet for the whole screen above the program's own style, so that every window
//     of the process is drawn with it (message boxes and dialogs too); a second call replaces
//     the skin; a file that is missing, not a regular file, too large or not a valid skin
//     changes nothing
//   missing: focus colours on the frame of a multi-line edit box (GTK marks only the text view)
#include <glib/gstdio.h>
#include <gtk/gtk.h>

#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "gtk_css.h"
#include "platform/gtk/gobject_ref.h"
#include "skin_file.h"

namespace {

// A skin image larger than this is not a control's background.
constexpr int kMaxImageSide = 2048;

using xl::gtk::GErrorPtr;
using xl::gtk::Ref;
using OwnedString = xl::gtk::GOwnedString;

// The skin on the screen. It stays when the library is unloaded: the style sheet belongs to GTK
// and calls nothing of ours.
class AttachedSkin {
public:
    void Replace(GdkScreen* screen, Ref<GtkCssProvider> provider) {
        if (provider_ && screen_ == screen) {
            gtk_style_context_remove_provider_for_screen(screen_,
                                                         GTK_STYLE_PROVIDER(provider_.get()));
        }
        // Above the program's own style, which gives sizes only and is left to do so.
        gtk_style_context_add_provider_for_screen(screen, GTK_STYLE_PROVIDER(provider.get()),
                                                  GTK_STYLE_PROVIDER_PRIORITY_USER);
        screen_ = screen;
        provider_ = std::move(provider);
    }

private:
    GdkScreen* screen_ = nullptr;
    Ref<GtkCssProvider> provider_;
};
AttachedSkin g_skin;

// The file name in the system's encoding, from the GBK path the program passes.
std::optional<std::string> FileName(const char* gbk_path) {
    OwnedString utf8(g_convert(gbk_path, -1, "UTF-8", "GB18030", nullptr, nullptr, nullptr));
    if (!utf8) return std::nullopt;
    OwnedString name(g_filename_from_utf8(utf8.get(), -1, nullptr, nullptr, nullptr));
    if (!name || !*name) return std::nullopt;
    return std::string(name.get());
}

bool IsSmallRegularFile(const std::string& name, std::size_t max_size) {
    GStatBuf st;
    return g_stat(name.c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
           static_cast<std::size_t>(st.st_size) <= max_size;
}

std::optional<std::string> ReadSkinFile(const std::string& name) {
    // Checked before opening, so that a directory, a pipe or a device is never read from.
    if (!IsSmallRegularFile(name, xlskin::kMaxSkinFileSize)) return std::nullopt;
    gchar* contents = nullptr;
    gsize length = 0;
    if (!g_file_get_contents(name.c_str(), &contents, &length, nullptr)) return std::nullopt;
    OwnedString owned(contents);
    return std::string(contents, length);
}

std::optional<std::string> ImageAddress(const std::string& directory, const std::string& file) {
    OwnedString path(g_build_filename(directory.c_str(), file.c_str(), nullptr));
    if (!IsSmallRegularFile(path.get(), 16 * 1024 * 1024)) return std::nullopt;
    int width = 0, height = 0;
    if (!gdk_pixbuf_get_file_info(path.get(), &width, &height) || width <= 0 || height <= 0 ||
        width > kMaxImageSide || height > kMaxImageSide) {
        return std::nullopt;
    }
    // Decoded whole once, so that a broken image is found now and not when a window is drawn.
    Ref<GdkPixbuf> image(gdk_pixbuf_new_from_file(path.get(), nullptr));
    if (!image) return std::nullopt;
    OwnedString uri(g_filename_to_uri(path.get(), nullptr, nullptr));
    if (!uri) return std::nullopt;
    return std::string(uri.get());
}

bool Attach(const char* gbk_path) {
    GdkScreen* screen = gdk_screen_get_default();
    if (!screen || !gbk_path) return false;
    const std::optional<std::string> name = FileName(gbk_path);
    if (!name) return false;
    const std::optional<std::string> bytes = ReadSkinFile(*name);
    if (!bytes) return false;
    const std::optional<xlskin::Skin> skin = xlskin::ParseSkin(*bytes);
    if (!skin) return false;

    OwnedString directory(g_path_get_dirname(name->c_str()));
    const std::string dir = directory.get();
    const std::optional<std::string> css =
        xlskin::SkinCss(*skin, [&](const std::string& file) { return ImageAddress(dir, file); });
    if (!css) return false;

    Ref<GtkCssProvider> provider(gtk_css_provider_new());
    GError* raw_error = nullptr;
    const gboolean loaded =
        gtk_css_provider_load_from_data(provider.get(), css->c_str(), -1, &raw_error);
    GErrorPtr error(raw_error);
    // A style sheet with an error is still partly loaded; a skin is used whole or not at all.
    if (!loaded || error) return false;
    g_skin.Replace(screen, std::move(provider));
    return true;
}

}  // namespace

// The skin file's path and a second text, both GBK; the second is not used. Gives 1 when the
// skin now draws the windows, 0 when nothing changed.
extern "C" __attribute__((visibility("default"))) int SkinH_Attach_Ex(const char* skin_path,
                                                                      const char* /*unused*/) {
    return Attach(skin_path) ? 1 : 0;
}
