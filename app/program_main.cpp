// The program's start-up and its orderly end.
#include "program_main.h"
#include "generator/word_lists.h"
#include "handlers.h"
#include "platform/core/platform.h"
#include "platform/core/shutdown.h"
#include "resources/layouts.h"

namespace xl {
namespace {

const WindowDesign* const kWindows[] = {&layout::kMainWindow, &layout::kSubmissionWindow};

void InitGlobals() {
    g_lists.adjective = WordList();
    g_lists.name = WordList();
    g_lists.place = WordList();
    g_lists.event = WordList();
}

// Runs once, after the last window is gone, and only at the orderly end.
void ShutdownCleanup() {
    g_lists.adjective = WordList();
    g_lists.name = WordList();
    g_lists.place = WordList();
    g_lists.event = WordList();
}

}  // namespace

int ProgramMain() {
    platform::SetUp(kWindows, kHandlers);
    InitGlobals();
    RegisterShutdownRoutine(ShutdownCleanup);
    platform::LoadStartupWindow(layout::kMainWindow);
    platform::RunMessageLoop();
    return 0;
}

}  // namespace xl
