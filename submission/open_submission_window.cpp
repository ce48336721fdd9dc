#include "open_submission_window.h"

#include "platform/core/platform.h"
#include "resources/layouts.h"

namespace xl {

void OpenSubmissionWindow() {
    // A window that cannot be loaded leaves the main window as it was; there is nothing to say.
    platform::LoadDialog(layout::kSubmissionWindow, layout::kMainWindow);
}

}  // namespace xl
