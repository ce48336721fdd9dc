#pragma once

#include "platform/core/text.h"

namespace xl {

// The address that proposes `entry` for the category at that position of the category list,
// with the QQ text. Both texts go in as they are, unescaped.
Text SubmissionAddress(int category, const Text& entry, const Text& qq);

// The handler of the submission window's 提交 button.
void SubmitEntry();

}  // namespace xl
