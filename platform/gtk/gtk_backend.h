// The GTK backend's state and the pieces its files share. Nothing outside platform/gtk/ sees it.
#pragma once

#include <gmodule.h>
#include <gtk/gtk.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/core/platform.h"
#include "platform/gtk/gobject_ref.h"
#include "platform/posix/encoding.h"

namespace xl::gtk {

using posix::GbkToUtf8;
using posix::Utf8ToGbk;

// Tells a second press of a double click from a press of its own, by the toolkit's double-click
// time and distance, so that a double click counts as one press.
class PressCounter {
public:
    // True when the press at that time and place is a press and not the end of a double click.
    bool IsSinglePress(guint32 time_ms, double x, double y, guint double_click_ms,
                       int double_click_distance);

private:
    bool armed_ = false;
    guint32 time_ms_ = 0;
    double x_ = 0, y_ = 0;
};

struct LiveWindow;
struct WebViewModule;

struct GModuleCloser {
    void operator()(GModule* module) const { g_module_close(module); }
};
using GModuleHandle = std::unique_ptr<GModule, GModuleCloser>;

struct LiveControl {
    const ControlDesign* design = nullptr;
    LiveWindow* window = nullptr;
    GtkWidget* widget = nullptr;  // placed in the window; owned by it
    GtkWidget* focus = nullptr;   // the widget that takes the keyboard focus, if any
    GtkWidget* label = nullptr;   // the label that shows a label control's text
    Handler handler = nullptr;
    guint timer = 0;
    PressCounter presses;
};

struct LiveWindow {
    const WindowDesign* design = nullptr;
    GtkWidget* window = nullptr;  // the toplevel; destroyed by the user or the toolkit
    std::vector<std::unique_ptr<LiveControl>> controls;
    LiveControl* default_button = nullptr;
    GMainLoop* dialog_loop = nullptr;  // while it runs as a modal dialog
    // The last key event handed to a browser view, which the view may send back unhandled.
    guint32 view_key_time = 0;
    guint view_key_value = 0;
};

struct Backend {
    std::span<const WindowDesign* const> designs;
    std::span<const HandlerBinding> handlers;
    std::vector<std::unique_ptr<LiveWindow>> windows;  // those that exist, oldest first
    bool toolkit_ready = false;
    bool loop_running = false;
    int quit_code = 0;
    GModuleHandle web_view_library;           // loaded at the first browser view, then kept
    const WebViewModule* web_view = nullptr;  // its table
};

extern Backend g_backend;

void InstallBaseStyle();

// The open window of that design, or nullptr.
LiveWindow* FindWindow(const WindowDesign& design);

// The browser view control, navigating to its design address; nullptr when the view module
// cannot be loaded.
GtkWidget* MakeBrowserView(LiveControl& control);

// Starts the navigation of a browser view control to a UTF-8 address.
void NavigateBrowserView(LiveControl& control, const std::string& address);

// Builds the window and its controls; nullptr when a control cannot be made.
LiveWindow* BuildWindow(const WindowDesign& design, GtkWindow* parent);

}  // namespace xl::gtk
