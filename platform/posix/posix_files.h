// The state of the POSIX file layer that the backends of POSIX systems share.
#pragma once

#include <string>

#include "platform/core/text.h"

namespace xl::posix {

struct State {
    Text run_directory;  // GBK, without a trailing separator
};
extern State g_state;

// Takes the run directory from the executable's path and makes it the current directory.
void TakeRunDirectory();

// The same for the directory of that path (a file in it, or the directory with a trailing "/").
void UseRunDirectory(const std::string& path_in_directory);

}  // namespace xl::posix
