// Every event handler of the program, bound by name to the events of the window designs.
#pragma once

#include <span>

#include "platform/core/window_design.h"

namespace xl {

extern const std::span<const HandlerBinding> kHandlers;

// Handlers of the application shell.
void MainWindowCreated();
void TickCredits();
void OpenPromotionPage();

}  // namespace xl
