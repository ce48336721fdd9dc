// A backend without a screen: windows are tables of control texts in memory, and what the
// program hands to the system (clipboard, browser) is recorded. Tests drive the handlers with it.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "platform/core/platform.h"

namespace xl::headless {

struct OpenWindow {
    const WindowDesign* design = nullptr;
    std::map<std::string, Text, std::less<>> texts;  // by control name
    std::map<std::string, int, std::less<>> selections;
    std::string focus;
    std::vector<Text> browser_addresses;  // every navigation, in order
    int redraws = 0;
};

struct State {
    std::span<const WindowDesign* const> designs;
    std::span<const HandlerBinding> handlers;
    std::vector<OpenWindow> windows;
    Text clipboard;
    std::vector<Text> opened_in_browser;
    // Runs while a dialog is open, standing in for the user; the dialog closes when it returns.
    void (*dialog_user)(OpenWindow&) = nullptr;
};
extern State g_state;

// Opens a window from its design, as the start-up window would be, without its creation handler.
OpenWindow& Open(const WindowDesign& design);
OpenWindow* Find(const WindowDesign& design);
void CloseAll();

}  // namespace xl::headless
