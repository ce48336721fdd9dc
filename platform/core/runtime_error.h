// The run-time error stop: every failed built-in check ends the program the same way, with a
// message box and exit code -1, skipping the registered clean-up.
#pragma once

#include <cstddef>
#include <cstdint>

#include "text.h"

namespace xl {

enum RuntimeErrorKind {
    kErrorIndexAboveCount,    // code 1
    kErrorIndexBelowOne,      // code 4
    kErrorStackUnbalanced,    // code 6
    kErrorDesignsUnreadable,  // code 0
    kErrorStartupWindow,      // code 0
};

// The box text: the heading, the code line unless the code is 0, the message line unless the
// message is empty.
Text RuntimeErrorText(std::int32_t code, std::string_view message);

// The message of a failed memory request of `bytes` bytes.
Text OutOfMemoryMessage(std::size_t bytes);

// The message of a library that cannot be loaded or lacks its function.
Text MissingLibraryFunctionMessage(std::string_view library, std::string_view function);

[[noreturn]] void RuntimeErrorStop(std::int32_t code, std::string_view message);
[[noreturn]] void RuntimeErrorStop(RuntimeErrorKind kind);

// What a backend does inside the stop: show the box (and wait for OK), then release the libraries
// it loaded. Without hooks the stop writes the box text to standard error only.
struct StopHooks {
    void (*show_error_box)(const Text& box_text) = nullptr;
    void (*release_libraries)() = nullptr;
};
void InstallStopHooks(StopHooks hooks);

}  // namespace xl
