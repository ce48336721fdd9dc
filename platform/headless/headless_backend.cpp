// The headless backend, for tests of the handlers.
//   needs: the POSIX file layer
//   implemented: windows as texts in memory, dialogs that a test stands in for, a recorded
//     clipboard and browser, libraries released at the end
//   missing: drawing, input, a message loop (there are no events but those a test raises)
#include "headless_backend.h"

#include "platform/core/runtime_error.h"
#include "platform/core/shutdown.h"
#include "platform/core/word_list.h"
#include "platform/posix/dynamic_library.h"

namespace xl::headless {

State g_state;

OpenWindow& Open(const WindowDesign& design) {
    OpenWindow window;
    window.design = &design;
    for (const ControlDesign& control : design.controls) {
        if (control.kind == ControlKind::ComboBox) {
            window.selections[control.name] = 0;
        } else if (control.kind == ControlKind::BrowserView) {
            window.browser_addresses.push_back(control.text);
        } else {
            window.texts[control.name] = control.text ? control.text : "";
        }
    }
    g_state.windows.push_back(std::move(window));
    return g_state.windows.back();
}

OpenWindow* Find(const WindowDesign& design) {
    for (OpenWindow& window : g_state.windows) {
        if (window.design == &design) return &window;
    }
    return nullptr;
}

void CloseAll() { g_state.windows.clear(); }

namespace {

OpenWindow& Window(const WindowDesign& design, std::string_view control) {
    OpenWindow* window = Find(design);
    if (!window || !FindControl(design, control)) RuntimeErrorStop(kErrorDesignsUnreadable);
    return *window;
}

}  // namespace
}  // namespace xl::headless

namespace xl::platform {

using headless::g_state;
using headless::Window;

int Run(int (*program_main)()) {
    program_main();
    RunShutdownRoutine();
    posix::ReleaseLibraries();
    return 0;
}

void SetUp(std::span<const WindowDesign* const> windows, std::span<const HandlerBinding> handlers) {
    if (!DesignsAreSound(windows, handlers)) RuntimeErrorStop(kErrorDesignsUnreadable);
    g_state.designs = windows;
    g_state.handlers = handlers;
}

void LoadStartupWindow(const WindowDesign& window) {
    headless::Open(window);
    if (window.created_handler) FindHandler(g_state.handlers, window.created_handler)();
}

bool LoadDialog(const WindowDesign& window, const WindowDesign&) {
    headless::Open(window);
    if (g_state.dialog_user) g_state.dialog_user(*headless::Find(window));
    std::erase_if(g_state.windows, [&](const auto& w) { return w.design == &window; });
    return true;
}

void RunMessageLoop() {}

Text GetText(const WindowDesign& window, std::string_view control) {
    auto& texts = Window(window, control).texts;
    auto it = texts.find(control);
    return it == texts.end() ? Text() : it->second;
}

void SetText(const WindowDesign& window, std::string_view control, const Text& text) {
    Window(window, control).texts[std::string(control)] = text;
}

void SetFocus(const WindowDesign& window, std::string_view control) {
    Window(window, control).focus = control;
}

int ComboSelection(const WindowDesign& window, std::string_view control) {
    auto& selections = Window(window, control).selections;
    auto it = selections.find(control);
    return it == selections.end() ? -1 : it->second;
}

void SetBrowserAddress(const WindowDesign& window, std::string_view control, const Text& address) {
    Window(window, control).browser_addresses.push_back(address);
}

void RedrawNow(const WindowDesign& window, std::string_view control) {
    ++Window(window, control).redraws;
}

void OpenInDefaultBrowser(const Text& address) { g_state.opened_in_browser.push_back(address); }

void SetClipboardText(const Text& text) { g_state.clipboard = text; }

}  // namespace xl::platform
