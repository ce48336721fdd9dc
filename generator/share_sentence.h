#pragma once

#include "platform/core/text.h"

namespace xl {

// CR LF, the line to whoever receives the sentence, and the product site's home address.
const Text& ShareSuffix();

// The handler of the Share button: the edit box's text and the suffix go to the clipboard.
void ShareSentence();

}  // namespace xl
