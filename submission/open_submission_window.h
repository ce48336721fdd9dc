#pragma once

namespace xl {

// The handler of the main window's 创意提交 button: the submission window as a modal dialog,
// returning when the user has closed it.
void OpenSubmissionWindow();

}  // namespace xl
