// Windows are fixed data: a design per window and a row per control, from which a backend builds
// the real window. Handlers are plain routines bound by name; the names are resolved once, when
// the designs are read at start-up, so a name without a routine stops the program there.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace xl {

// The frame and caption that a designed outer size includes. A backend subtracts them to get the
// client area; the window system then adds its own decoration around that.
inline constexpr int kFrameWidth = 3;
inline constexpr int kCaptionHeight = 22;

// The height of a docked status bar.
inline constexpr int kStatusBarHeight = 20;

enum class ControlKind { EditBox, Button, Label, Timer, StatusBar, ComboBox, BrowserView };
enum class Align { Left, Centre };

struct Rgb {
    std::uint8_t red, green, blue;
};

// The settings that only some kinds use; the rest keep their defaults.
struct ControlStyle {
    bool multiline = false;       // edit box: several lines, wrapped, Enter starts a new line
    int max_length = 0;           // edit box: characters, 0 for no limit
    bool integer_input = false;   // edit box: typing admits only "0" to "9" and "-"
    bool default_button = false;  // button: Enter in its window presses it
    Rgb colour = {0, 0, 0};       // label: text colour
    Align align = Align::Left;    // label: horizontal alignment
    bool wrap = false;            // label: wraps at word boundaries, top-aligned
    int period_ms = 0;            // timer
    int pane_edges[2] = {0, 0};   // status bar: right edge of each pane, from the bar's left edge
};

// `text` is the design text; for a combo box its items, for a status bar its panes, each
// separated by "\r\n"; for a browser view the start address.
struct ControlDesign {
    ControlKind kind;
    const char* name;
    int x, y, width, height;
    const char* text;
    const char* handler;  // the routine of the control's event, or nullptr
    ControlStyle style = {};
};

struct WindowDesign {
    const char* name;
    const char* title;
    int width, height;  // outer size, frame and caption included
    bool minimise_button;
    bool taskbar_button;
    bool program_icon;
    const char* created_handler;  // or nullptr
    std::span<const ControlDesign> controls;
    std::span<const char* const> focus_order;  // control names, in Tab order
};

using Handler = void (*)();

struct HandlerBinding {
    const char* name;
    Handler routine;
};

// The control of that name in the design, or nullptr.
const ControlDesign* FindControl(const WindowDesign& window, std::string_view name);

// The routine bound to a handler name, or nullptr.
Handler FindHandler(std::span<const HandlerBinding> handlers, std::string_view name);

// True when every handler name of the designs has a routine, every focus name is a control of
// its window that can take the focus, and every control has a name unique in its window.
bool DesignsAreSound(std::span<const WindowDesign* const> windows,
                     std::span<const HandlerBinding> handlers);

// The client size that a designed outer size leaves.
constexpr int ClientWidth(const WindowDesign& w) { return w.width - 2 * kFrameWidth; }
constexpr int ClientHeight(const WindowDesign& w) {
    return w.height - kCaptionHeight - 2 * kFrameWidth;
}

// Where a window of that outer size stands centred on a screen of that size.
struct Point {
    int x, y;
};
constexpr Point CentredOn(int screen_width, int screen_height, const WindowDesign& w) {
    return {(screen_width - w.width) / 2, (screen_height - w.height) / 2};
}

}  // namespace xl
