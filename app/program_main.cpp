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

// The lists start empty, and a press fills them from the files.
void InitGlobals() { g_lists = SentenceLists(); }

// Runs once, after the last window is gone, and only at the orderly end: hands back the lists.
void ShutdownCleanup() { g_lists = SentenceLists(); }

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
