#include "window_design.h"

namespace xl {
namespace {

bool TakesFocus(ControlKind kind) {
    switch (kind) {
    case ControlKind::EditBox:
    case ControlKind::Button:
    case ControlKind::ComboBox:
    case ControlKind::BrowserView: return true;
    case ControlKind::Label:
    case ControlKind::Timer:
    case ControlKind::StatusBar: return false;
    }
    return false;
}

bool HandlerKnown(std::span<const HandlerBinding> handlers, const char* name) {
    return name == nullptr || FindHandler(handlers, name) != nullptr;
}

}  // namespace

const ControlDesign* FindControl(const WindowDesign& window, std::string_view name) {
    for (const ControlDesign& control : window.controls) {
        if (name == control.name) return &control;
    }
    return nullptr;
}

Handler FindHandler(std::span<const HandlerBinding> handlers, std::string_view name) {
    for (const HandlerBinding& binding : handlers) {
        if (name == binding.name) return binding.routine;
    }
    return nullptr;
}

bool DesignsAreSound(std::span<const WindowDesign* const> windows,
                     std::span<const HandlerBinding> handlers) {
    for (const WindowDesign* window : windows) {
        if (!HandlerKnown(handlers, window->created_handler)) return false;
        for (const ControlDesign& control : window->controls) {
            if (!HandlerKnown(handlers, control.handler)) return false;
            if (FindControl(*window, control.name) != &control) return false;
        }
        for (const char* name : window->focus_order) {
            const ControlDesign* control = FindControl(*window, name);
            if (!control || !TakesFocus(control->kind)) return false;
        }
    }
    return true;
}

}  // namespace xl
